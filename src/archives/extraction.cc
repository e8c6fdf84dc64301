#include "archives/extraction.h"

#include "platform/path.h"

namespace jk {

bool IsSafeEntryPath(std::string_view relative) {
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

Status EntryOutputPath(FileSystem& fs, const std::string& work_folder,
                       std::string_view kind_folder, const std::string& entry_name,
                       std::string* path) {
  std::string_view relative = std::string_view(entry_name).substr(
      std::min<size_t>(4, entry_name.size()));
  if (!IsSafeEntryPath(relative)) {
    return Status::Error("entry '" + entry_name +
                         "': unsafe name, it would be written outside its folder");
  }
  std::string folder = JoinPath(work_folder, kind_folder);
  *path = JoinPath(folder, NativeRelativePath(relative));
  std::string parent = FolderOf(*path);
  if (parent.size() > folder.size() + 1) JK_RETURN_IF_ERROR(fs.CreateFolder(parent));
  return Status::Ok();
}

Status ExtractEntryAsText(FileSystem& fs, InputFile& archive, const EntryRow& entry,
                          const std::string& output_path) {
  std::unique_ptr<OutputFile> out;
  JK_RETURN_IF_ERROR(fs.OpenWrite(output_path, &out));
  JK_RETURN_IF_ERROR(ReadEntryText(archive, entry.offset, entry.length,
                                   [&](std::string& line) { return out->WriteLine(line); }));
  return out->Close();
}

std::string ResourceArchivePath(FileSystem& fs, const std::string& level_archive_path,
                                const std::string& game_folder,
                                const std::string& expansion_folder) {
  bool expansion = EndsWithIgnoringCase(level_archive_path, ".goo");
  const std::string& root = expansion ? expansion_folder : game_folder;
  std::string resource = FindIgnoringCase(fs, root, "Resource");
  return FindIgnoringCase(fs, resource, expansion ? "jkmres.goo" : "res2.gob");
}

Status PrepareExtraction(FileSystem& fs, const std::string& work_folder,
                         const std::string& extra_archive_path,
                         const std::string& resource_archive_path,
                         const std::string& level_archive_path, OpenArchives* open) {
  if (!extra_archive_path.empty()) {
    std::string copy = JoinPath(work_folder, FileNameOf(extra_archive_path));
    // An extra archive that already lies in the work folder is the user's
    // own file: it is neither copied onto itself nor cleaned up afterwards.
    if (!fs.SameFile(extra_archive_path, copy)) {
      JK_RETURN_IF_ERROR(fs.CopyFile(extra_archive_path, copy));
      open->extra_copy = copy;
    }
  }
  for (std::string_view sub : kWorkSubfolders) {
    JK_RETURN_IF_ERROR(fs.CreateFolder(JoinPath(work_folder, sub)));
  }
  JK_RETURN_IF_ERROR(GobArchive::Open(fs, resource_archive_path, &open->resource));
  open->resource_models.clear();
  JK_RETURN_IF_ERROR(CollectModels(*open->resource, false, &open->resource_models));
  return GobArchive::Open(fs, level_archive_path, &open->level);
}

}  // namespace jk
