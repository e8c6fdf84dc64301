#include "launch/save_mod.h"

#include <algorithm>

#include "archives/gob_writer.h"
#include "platform/ascii.h"
#include "platform/path.h"
#include "platform/system.h"
#include "scaling/episode.h"
#include "scaling/layout.h"

namespace jk {

namespace {

// Adds the files below `folder` as entries named `name` + "\" + their
// relative path, in name order so that the archive does not depend on the
// order the system lists a folder in.
Status AddFolder(FileSystem& fs, const std::string& folder, const std::string& name,
                 GobArchiveWriter& writer) {
  std::vector<FolderEntry> entries;
  JK_RETURN_IF_ERROR(fs.ListFolder(folder, &entries));
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  for (const FolderEntry& entry : entries) {
    std::string path = JoinPath(folder, entry.name);
    std::string entry_name = name + "\\" + entry.name;
    if (entry.is_link) continue;
    if (entry.is_folder) {
      JK_RETURN_IF_ERROR(AddFolder(fs, path, entry_name, writer));
    } else {
      JK_RETURN_IF_ERROR(writer.AddFile(entry_name, path));
    }
  }
  return Status::Ok();
}

std::string EpisodeText(const std::string& level_name, const std::string& factor_text) {
  std::string text;
  for (const std::string& line : ModEpisodeLines(level_name, factor_text)) text += line + "\r\n";
  return text;
}

// The mod's folder must be its own: a new one, or one left empty.
Status CheckModFolder(FileSystem& fs, const std::string& folder) {
  if (!fs.Exists(folder)) return Status::Ok();
  std::vector<FolderEntry> entries;
  if (fs.IsFolder(folder)) JK_RETURN_IF_ERROR(fs.ListFolder(folder, &entries));
  if (!fs.IsFolder(folder) || !entries.empty()) {
    return Status::Invalid("'" + folder +
                           "': is there already; a mod is made in a new folder of its own");
  }
  return Status::Ok();
}

// Removes what a scale run writes (the test episode and the four work
// subfolders) from the mod's folder, and then the folder.
Status RemoveModFolder(FileSystem& fs, const std::string& folder, const CleanupPacing& pacing) {
  if (!fs.IsFolder(folder)) return Status::Ok();
  std::vector<std::string> written = {std::string(kEpisodeFileName)};
  for (std::string_view sub : kWorkSubfolders) written.emplace_back(sub);
  JK_RETURN_IF_ERROR(CleanWorkFolder(fs, folder, written, pacing));
  return fs.RemoveFolder(folder);
}

}  // namespace

// A mod written over the archive it was made from would destroy it.
Status CheckModArchivePath(FileSystem& fs, const ModRequest& request) {
  for (const std::string* source :
       {&request.scale.level_archive_path, &request.scale.resource_archive_path}) {
    if (fs.SameFile(*source, request.archive_path)) {
      return Status::Invalid("'" + request.archive_path +
                             "': is an archive the level is made from; save the mod under "
                             "another name");
    }
  }
  return Status::Ok();
}

std::string ModArchiveName(const std::string& level_archive_path, const std::string& level_name,
                           const std::string& factor_text) {
  std::string name = EntryStem(level_name);
  std::string factor(Trim(factor_text));
  // A name the file systems of both kinds take.
  for (char& c : factor) {
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) c = '_';
  }
  return name + "-x" + factor + (IsExpansionArchive(level_archive_path) ? ".goo" : ".gob");
}

Status PackMod(FileSystem& fs, const std::string& folder, const std::string& level_name,
               const std::string& factor_text, const std::string& archive_path) {
  GobArchiveWriter writer(fs, archive_path);
  JK_RETURN_IF_ERROR(
      writer.AddBytes(std::string(kEpisodeFileName), EpisodeText(level_name, factor_text)));
  for (std::string_view sub : kWorkSubfolders) {
    std::string path = JoinPath(folder, sub);
    if (fs.IsFolder(path)) JK_RETURN_IF_ERROR(AddFolder(fs, path, std::string(sub), writer));
  }
  return writer.Write();
}

Status SaveMod(FileSystem& fs, const ModRequest& request, ScaleProgress& progress,
               ScaleReport* report, const CleanupPacing& pacing) {
  *report = ScaleReport{};
  JK_RETURN_IF_ERROR(CheckModArchivePath(fs, request));
  ScaleRequest scale = request.scale;
  scale.extra_archive_path.clear();
  if (scale.work_folder.empty()) {
    JK_RETURN_IF_ERROR(CreateTemporaryFolder("jkrescale-mod-", &scale.work_folder));
  } else {
    JK_RETURN_IF_ERROR(CheckModFolder(fs, scale.work_folder));
  }
  ReferenceLists lists;
  Status status = RunScale(fs, scale, progress, &lists, report);
  if (status.ok() && progress.CancelRequested()) {
    status = Status::Cancelled("the scale run was cancelled");
  }
  if (status.ok()) {
    status =
        PackMod(fs, scale.work_folder, scale.level_name, scale.factor_text, request.archive_path);
  }
  return Joined(status, RemoveModFolder(fs, scale.work_folder, pacing));
}

}  // namespace jk
