#include "platform/path.h"

#include <algorithm>
#include <vector>

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

std::string WithoutFinalSeparator(std::string_view folder) {
  while (folder.size() > 1 && IsPathSeparator(folder.back()) &&
         !(folder.size() == 3 && folder[1] == ':')) {
    folder.remove_suffix(1);
  }
  return std::string(folder);
}

std::string NormalPath(std::string_view path) {
  size_t root = 0;
  while (root < path.size() && IsPathSeparator(path[root])) ++root;
  std::vector<std::string_view> parts;
  for (size_t start = root; start < path.size();) {
    size_t end = start;
    while (end < path.size() && !IsPathSeparator(path[end])) ++end;
    std::string_view part = path.substr(start, end - start);
    if (part == ".." && !parts.empty() && parts.back() != "..") {
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string normal(root, kPathSeparator);
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) normal += kPathSeparator;
    normal += parts[i];
  }
#ifdef _WIN32
  normal = ComparablePath(normal);
#endif
  return normal;
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
