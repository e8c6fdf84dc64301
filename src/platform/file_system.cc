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

}  // namespace jk
