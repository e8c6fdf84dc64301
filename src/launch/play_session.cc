#include "launch/play_session.h"

#include <algorithm>

#include "platform/path.h"
#include "scaling/layout.h"

namespace jk {

namespace {

// The names of what a run is about to write into the work folder, in the
// order of the clean-up: the test episode, the copy of the extra archive
// (unless the extra archive lies in the work folder already, when no copy is
// made) and the work subfolders.
std::vector<std::string> NamesToWrite(FileSystem& fs, const ScaleRequest& request) {
  std::vector<std::string> names = {std::string(kEpisodeFileName)};
  if (!request.extra_archive_path.empty()) {
    std::string name = FileNameOf(request.extra_archive_path);
    if (!fs.SameFile(request.extra_archive_path, JoinPath(request.work_folder, name))) {
      names.push_back(name);
    }
  }
  for (std::string_view sub : kWorkSubfolders) names.emplace_back(sub);
  return names;
}

// Whether the work folder holds anything of that name, a link that leads
// nowhere included.
bool IsInFolder(FileSystem& fs, const std::vector<FolderEntry>& entries,
                const std::string& work_folder, const std::string& name) {
  if (fs.Exists(JoinPath(work_folder, name))) return true;
  return std::any_of(entries.begin(), entries.end(),
                     [&name](const FolderEntry& entry) { return entry.name == name; });
}

// The names of `paths`, quoted, joined by ", ".
std::string QuotedList(const std::vector<std::string>& paths) {
  std::string list;
  for (const std::string& path : paths) list += (list.empty() ? "'" : ", '") + path + "'";
  return list;
}

// Refuses, naming them all in one message, those of `names` that are in the
// work folder already without being in the run record: they are the
// user's, and the run would replace them. An empty folder is no exception:
// only the record tells one that an earlier run made from the user's own.
Status CheckNothingInTheWay(FileSystem& fs, const ScaleRequest& request,
                            const std::vector<std::string>& names,
                            const std::vector<std::string>& recorded) {
  std::vector<FolderEntry> entries;
  if (fs.IsFolder(request.work_folder)) {
    JK_RETURN_IF_ERROR(fs.ListFolder(request.work_folder, &entries));
  }
  std::string copy_name =
      request.extra_archive_path.empty() ? "" : FileNameOf(request.extra_archive_path);
  std::vector<std::string> users, copy;
  for (const std::string& name : names) {
    if (std::find(recorded.begin(), recorded.end(), name) != recorded.end()) continue;
    if (!IsInFolder(fs, entries, request.work_folder, name)) continue;
    (name == copy_name ? copy : users).push_back(JoinPath(request.work_folder, name));
  }
  if (users.empty() && copy.empty()) return Status::Ok();
  std::string message;
  if (!users.empty()) {
    bool one = users.size() == 1;
    message = QuotedList(users) + (one ? ": is" : ": are") + " in the work folder already and " +
              (one ? "was" : "were") + " not left by an earlier run of jkrescale";
  }
  if (!copy.empty()) {
    message += (message.empty() ? "" : "; ") + QuotedList(copy) +
               ": is in the work folder already and is not the chosen extra archive";
  }
  bool one = users.size() + copy.size() == 1;
  return Status::Invalid(
      message + (one ? "; it would" : "; they would") +
      " be replaced, so nothing was done; move them elsewhere, or delete them if "
      "they are not yours");
}

// The names of what the run is about to write, once it is sure that none
// of it would replace a file or folder of the user's.
Status PlanWrites(FileSystem& fs, const ScaleRequest& request, std::vector<std::string>* names) {
  std::vector<std::string> recorded;
  JK_RETURN_IF_ERROR(ReadRunRecord(fs, request.work_folder, &recorded));
  *names = NamesToWrite(fs, request);
  return CheckNothingInTheWay(fs, request, *names, recorded);
}

// Notes `names` in the run record. `recorded` receives the whole record,
// what the clean-up removes, even when it could not be written: the clean-up
// then removes what earlier runs left and brings the record up to date.
Status RecordWrites(FileSystem& fs, const ScaleRequest& request,
                    const std::vector<std::string>& names, std::vector<std::string>* recorded) {
  JK_RETURN_IF_ERROR(fs.CreateFolder(request.work_folder));
  return AddToRunRecord(fs, request.work_folder, names, recorded);
}

Status StartGame(FileSystem& fs, ProcessRunner& runner, const PlayRequest& request,
                 const std::string& extra_copy_name, PlayObserver& observer) {
  ProgramStart start;
  JK_RETURN_IF_ERROR(
      PlanGameStart(fs, runner, request.game, request.scale.work_folder, extra_copy_name, &start));
  observer.GameStarting(start.command_line);
  return runner.RunAndWait(start, [&observer] { observer.WhileGameRuns(); });
}

}  // namespace

PlayRequest MakePlayRequest(FileSystem& fs, const std::string& work_folder,
                            const PlayChoices& choices) {
  PlayRequest request;
  request.game = ChooseGame(choices.level_archive_path, choices.level_name, choices.game_path,
                            choices.expansion_path,
                            {choices.openjkdf2, choices.start_in_level, choices.game_data_folder,
                             choices.expansion_data_folder});
  ScaleRequest& scale = request.scale;
  scale.work_folder = work_folder;
  scale.level_archive_path = choices.level_archive_path;
  scale.level_name = choices.level_name;
  scale.resource_archive_path = choices.resource_archive_path;
  if (scale.resource_archive_path.empty()) {
    std::string game_folder = GameFolder(choices.game_path, choices.game_data_folder);
    std::string expansion_folder =
        GameFolder(choices.expansion_path, choices.expansion_data_folder);
    bool expansion = IsExpansionArchive(choices.level_archive_path);
    request.resource_folder = expansion ? expansion_folder : game_folder;
    scale.resource_archive_path =
        ResourceArchivePath(fs, choices.level_archive_path, game_folder, expansion_folder);
  }
  scale.extra_archive_path = choices.extra_archive_path;
  scale.factor_text = choices.factor_text;
  scale.divide_gravity = choices.divide_gravity;
  return request;
}

Status CheckResourceArchive(FileSystem& fs, const PlayRequest& request) {
  const ScaleRequest& scale = request.scale;
  if (fs.IsFile(scale.resource_archive_path)) return Status::Ok();
  std::string message = "The game's resource archive ";
  if (request.resource_folder.empty()) {
    message += scale.resource_archive_path + " was not found";
  } else {
    message += std::string(ResourceArchiveName(scale.level_archive_path)) + " was not found in " +
               request.resource_folder;
  }
  return Status::Failure(Status::Kind::kNotFound, message);
}

std::string LeftOutNote(const std::vector<std::string>& missing_models,
                        const std::vector<std::string>& missing_cogs, const SharedFiles& shared) {
  std::string note = LeftOutPhrase(missing_models, missing_cogs, shared);
  if (!note.empty()) note[0] = 'N';
  return note;
}

Status RunPlaySession(FileSystem& fs, ProcessRunner& runner, const PlayRequest& request,
                      PlayObserver& observer, ReferenceLists* lists, PlayReport* report,
                      const CleanupPacing& pacing) {
  *report = PlayReport{};
  std::vector<std::string> names;
  Status status = CheckResourceArchive(fs, request);
  if (status.ok()) status = PlanWrites(fs, request.scale, &names);
  if (!status.ok()) {
    // Nothing was written, so there is nothing to clean up.
    observer.ScaleFinished(*report);
    return status;
  }
  std::vector<std::string> recorded;
  status = RecordWrites(fs, request.scale, names, &recorded);
  ScaleReport scaled;
  if (status.ok()) status = RunScale(fs, request.scale, observer.progress(), lists, &scaled);
  // A cancel that came after the last model still starts no game.
  if (status.ok() && observer.progress().CancelRequested()) {
    status = Status::Cancelled("the scale run was cancelled");
  }
  report->skipped = scaled.skipped;
  report->missing_models = scaled.missing_models;
  report->missing_cogs = scaled.missing_cogs;
  report->shared = scaled.shared;
  report->limit_warnings = scaled.limit_warnings;
  observer.ScaleFinished(*report);
  if (status.ok()) status = StartGame(fs, runner, request, FileNameOf(scaled.extra_copy), observer);
  return Joined(status, CleanWorkFolder(fs, request.scale.work_folder, recorded, pacing));
}

}  // namespace jk
