#include "platform/file_system.h"

#include "platform/path.h"

namespace jk {

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  // Iterative wildcard match with one backtrack point for the last "*".
  size_t n = 0, p = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || EqualsIgnoringCase(pattern.substr(p, 1),
                                                        name.substr(n, 1)))) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

Status DeleteMatching(FileSystem& fs, const std::string& folder,
                      std::string_view pattern) {
  if (!fs.IsFolder(folder)) return Status::Ok();
  std::vector<FolderEntry> entries;
  JK_RETURN_IF_ERROR(fs.ListFolder(folder, &entries));
  for (const FolderEntry& entry : entries) {
    if (entry.is_folder || !MatchesPattern(entry.name, pattern)) continue;
    JK_RETURN_IF_ERROR(fs.DeleteFile(JoinPath(folder, entry.name)));
  }
  return Status::Ok();
}

std::string FindIgnoringCase(FileSystem& fs, const std::string& folder,
                             const std::string& name) {
  std::string exact = JoinPath(folder, name);
  if (fs.Exists(exact)) return exact;
  std::vector<FolderEntry> entries;
  if (fs.ListFolder(folder.empty() ? "." : folder, &entries).ok()) {
    for (const FolderEntry& entry : entries) {
      if (EqualsIgnoringCase(entry.name, name)) return JoinPath(folder, entry.name);
    }
  }
  return exact;
}

}  // namespace jk
