#include "platform/file_system.h"

#include "platform/path.h"

namespace jk {

std::string FindIgnoringCase(FileSystem& fs, const std::string& folder, std::string_view name) {
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

std::string SpeltAsOnDisk(FileSystem& fs, const std::string& path) {
  std::string spelt;
  size_t at = 0;
  if (path.size() >= 2 && path[1] == ':' && IsAsciiLetter(path[0])) {
    spelt = {char(path[0] & ~0x20), ':'};
    at = 2;
  }
  bool listing = true;
  while (at < path.size()) {
    size_t end = at;
    while (end < path.size() && !IsPathSeparator(path[end])) ++end;
    std::string name = path.substr(at, end - at);
    std::vector<FolderEntry> entries;
    if (listing && !name.empty() && name != "." && name != "..") {
      listing = fs.ListFolder(spelt.empty() ? "." : spelt, &entries).ok();
      const FolderEntry* match = nullptr;
      for (const FolderEntry& entry : entries) {
        if (entry.name == name) match = &entry;
      }
      for (const FolderEntry& entry : entries) {
        if (!match && EqualsIgnoringCase(entry.name, name)) match = &entry;
      }
      if (match) name = match->name;
      listing = listing && match;
    }
    spelt += name;
    if (end < path.size()) spelt += path[end];
    at = end + 1;
  }
  return spelt;
}

}  // namespace jk
