#include "scaling/layout.h"

#include <algorithm>

#include "platform/path.h"

namespace jk {

namespace {

constexpr size_t kFolderPrefixLength = 4;

}  // namespace

std::string_view NameInFolder(std::string_view entry_name) {
  return entry_name.substr(std::min(kFolderPrefixLength, entry_name.size()));
}

bool IsSafeEntryName(std::string_view entry_name) {
  std::string_view relative = NameInFolder(entry_name);
  if (relative.empty() || relative.find(':') != std::string_view::npos) return false;
  size_t start = 0;
  while (true) {
    size_t end = relative.find_first_of("\\/", start);
    std::string_view segment = relative.substr(start, end - start);
    if (segment.empty() || segment == "." || segment == "..") return false;
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

Status EntryOutputPath(FileSystem& fs, const std::string& work_folder, std::string_view kind_folder,
                       std::string_view entry_name, std::string* path) {
  if (!IsSafeEntryName(entry_name)) {
    return Status::Failure(Status::Kind::kDamaged,
                           "entry '" + std::string(entry_name) +
                               "': unsafe name, it would be written outside its folder");
  }
  std::string folder = JoinPath(work_folder, kind_folder);
  *path = JoinPath(folder, NativeRelativePath(NameInFolder(entry_name)));
  std::string parent = FolderOf(*path);
  if (parent.size() > folder.size() + 1) JK_RETURN_IF_ERROR(fs.CreateFolder(parent));
  return Status::Ok();
}

std::string EntryStem(std::string_view name) {
  name = name.substr(name.find_last_of("\\/") + 1);
  if (size_t dot = name.rfind('.'); dot != std::string_view::npos && dot > 0) {
    name = name.substr(0, dot);
  }
  return std::string(name);
}

bool IsExpansionArchive(std::string_view archive_path) {
  return EndsWithIgnoringCase(archive_path, ".goo");
}

std::string_view ResourceArchiveName(std::string_view level_archive_path) {
  return IsExpansionArchive(level_archive_path) ? "Resource\\jkmres.goo" : "Resource\\res2.gob";
}

std::string ResourceArchivePath(FileSystem& fs, std::string_view level_archive_path,
                                const std::string& game_folder,
                                const std::string& expansion_folder) {
  bool expansion = IsExpansionArchive(level_archive_path);
  std::string resource =
      FindIgnoringCase(fs, expansion ? expansion_folder : game_folder, kResourceFolderName);
  return FindIgnoringCase(fs, resource,
                          expansion ? kExpansionResourceFileName : kGameResourceFileName);
}

}  // namespace jk
