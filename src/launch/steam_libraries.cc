#include "launch/steam_libraries.h"

#include <algorithm>
#include <functional>
#include <memory>

#include "platform/path.h"

namespace jk {

namespace {

// Valve's KeyValues text as tokens: quoted or bare strings, and braces.
class KeyValuesReader {
 public:
  explicit KeyValuesReader(std::string_view text) : text_(text) {}

  enum class Token { kEnd, kOpen, kClose, kString };

  // The next token; a string's text in `text`.
  Token Next(std::string* text) {
    SkipBlanksAndComments();
    if (at_ >= text_.size()) return Token::kEnd;
    char c = text_[at_];
    if (c == '{' || c == '}') {
      ++at_;
      return c == '{' ? Token::kOpen : Token::kClose;
    }
    text->clear();
    if (c == '"') return Quoted(text);
    while (at_ < text_.size() && !IsBlank(text_[at_]) && !IsDelimiter(text_[at_])) {
      *text += text_[at_++];
    }
    return Token::kString;
  }

 private:
  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  static bool IsDelimiter(char c) { return c == '{' || c == '}' || c == '"'; }

  void SkipBlanksAndComments() {
    while (at_ < text_.size()) {
      if (IsBlank(text_[at_])) {
        ++at_;
      } else if (text_.substr(at_, 2) == "//") {
        size_t end = text_.find('\n', at_);
        at_ = end == std::string_view::npos ? text_.size() : end + 1;
      } else {
        break;
      }
    }
  }

  // A quoted string; an unfinished one ends the text.
  Token Quoted(std::string* text) {
    for (++at_; at_ < text_.size(); ++at_) {
      char c = text_[at_];
      if (c == '"') {
        ++at_;
        return Token::kString;
      }
      if (c == '\\' && at_ + 1 < text_.size()) {
        char escaped = text_[++at_];
        *text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
      } else {
        *text += c;
      }
    }
    return Token::kEnd;
  }

  std::string_view text_;
  size_t at_ = 0;
};

bool IsNumber(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Hands each key and its value to `visit`, with the keys of the blocks
// they are in (outermost first), until `visit` returns false or the text
// ends.
void ForEachValue(
    std::string_view text,
    const std::function<bool(const std::vector<std::string>& blocks, const std::string& key,
                             const std::string& value)>& visit) {
  KeyValuesReader reader(text);
  std::vector<std::string> blocks;
  std::string key, token;
  bool have_key = false;
  for (;;) {
    KeyValuesReader::Token next = reader.Next(&token);
    if (next == KeyValuesReader::Token::kEnd) return;
    if (next == KeyValuesReader::Token::kOpen) {
      blocks.push_back(have_key ? key : "");
      have_key = false;
    } else if (next == KeyValuesReader::Token::kClose) {
      if (!blocks.empty()) blocks.pop_back();
      have_key = false;
    } else if (!have_key) {
      key = token;
      have_key = true;
    } else {
      have_key = false;
      if (!visit(blocks, key, token)) return;
    }
  }
}

// The first `kMostLibraryListBytes` of the file at `path`; false when it
// cannot be read.
bool ReadSmallText(FileSystem& fs, const std::string& path, std::string* text) {
  std::unique_ptr<InputFile> in;
  return fs.OpenRead(path, &in).ok() &&
         in->Read(size_t(std::min(in->Length(), kMostLibraryListBytes)), text).ok();
}

bool IsPlainFolderName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         std::none_of(name.begin(), name.end(),
                      [](char c) { return c == '/' || c == '\\' || c == ':'; });
}

}  // namespace

std::string SteamInstallDir(std::string_view text) {
  std::string folder;
  ForEachValue(text, [&](const std::vector<std::string>& blocks, const std::string& key,
                         const std::string& value) {
    if (blocks.size() != 1 || !EqualsIgnoringCase(blocks[0], "AppState") ||
        !EqualsIgnoringCase(key, "installdir")) {
      return true;
    }
    if (IsPlainFolderName(value)) folder = value;
    return false;
  });
  return folder;
}

std::string SteamAppManifestPath(FileSystem& fs, const std::string& library,
                                 std::string_view app_id) {
  return FindIgnoringCase(fs, FindIgnoringCase(fs, library, "steamapps"),
                          "appmanifest_" + std::string(app_id) + ".acf");
}

std::string ReadSteamInstallDir(FileSystem& fs, const std::string& manifest) {
  std::string text;
  return ReadSmallText(fs, manifest, &text) ? SteamInstallDir(text) : "";
}

std::vector<std::string> SteamLibraryPaths(std::string_view text, size_t limit) {
  std::vector<std::string> paths;
  if (limit == 0) return paths;
  ForEachValue(text, [&](const std::vector<std::string>& blocks, const std::string& key,
                         const std::string& value) {
    if (blocks.empty() || !EqualsIgnoringCase(blocks[0], "libraryfolders")) return true;
    // Today: "libraryfolders" { "0" { "path" "..." ... } }; before 2021:
    // "LibraryFolders" { "1" "..." }.
    bool today = blocks.size() == 2 && EqualsIgnoringCase(key, "path");
    bool older = blocks.size() == 1 && IsNumber(key);
    if ((today || older) && !value.empty()) paths.push_back(value);
    return paths.size() < limit;
  });
  return paths;
}

std::vector<std::string> ReadSteamLibraryList(FileSystem& fs, const std::string& root) {
  std::string list =
      FindIgnoringCase(fs, FindIgnoringCase(fs, root, "steamapps"), "libraryfolders.vdf");
  std::string text;
  if (!ReadSmallText(fs, list, &text)) return {};
  return SteamLibraryPaths(text, kMostSteamLibraries);
}

}  // namespace jk
