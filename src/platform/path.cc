#include "platform/path.h"

#include <algorithm>

namespace jk {

bool IsPathSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  // A folder that ends with its separator (the game folder does) takes the
  // name directly; an empty folder leaves the name relative.
  if (!joined.empty() && !IsPathSeparator(joined.back())) joined += kPathSeparator;
  joined += name;
  return joined;
}

static size_t LastSeparator(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) return i - 1;
  }
  return std::string_view::npos;
}

std::string FolderOf(std::string_view path) {
  size_t last = LastSeparator(path);
  if (last == std::string_view::npos) return {};
  return std::string(path.substr(0, last + 1));
}

std::string FileNameOf(std::string_view path) {
  size_t last = LastSeparator(path);
  if (last == std::string_view::npos) return std::string(path);
  return std::string(path.substr(last + 1));
}

std::string NativeRelativePath(std::string_view archive_name) {
  std::string native(archive_name);
  std::replace(native.begin(), native.end(), '\\', kPathSeparator);
  return native;
}

std::string ComparablePath(std::string_view path) {
  std::string comparable = ToLowerAscii(path);
  for (char& c : comparable) {
    if (IsPathSeparator(c)) c = kPathSeparator;
  }
  return comparable;
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace jk
