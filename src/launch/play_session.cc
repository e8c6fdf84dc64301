#include "launch/play_session.h"

#include <algorithm>

#include "platform/path.h"
#include "scaling/layout.h"

namespace jk {

namespace {

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Notes the copy of the extra archive that the run is about to make, so that
// a clean-up, now or at the next start, removes it and nothing else.
Status RecordExtraCopy(FileSystem& fs, const ScaleRequest& request) {
  if (request.extra_archive_path.empty()) return Status::Ok();
  std::string name = FileNameOf(request.extra_archive_path);
  std::string copy = JoinPath(request.work_folder, name);
  if (fs.SameFile(request.extra_archive_path, copy)) return Status::Ok();  // no copy is made
  // A copy that an earlier clean-up could not remove is still in the record
  // and may be replaced; anything else of that name is the user's own.
  std::vector<std::string> recorded;
  JK_RETURN_IF_ERROR(ReadRecordedCopies(fs, request.work_folder, &recorded));
  if (Contains(recorded, name)) return Status::Ok();
  if (fs.Exists(copy)) {
    return Status::Invalid("'" + copy +
                           "': is in the work folder already and is not the chosen extra "
                           "archive; it would be replaced, so nothing was done");
  }
  return RecordCopy(fs, request.work_folder, name);
}

Status StartGame(FileSystem& fs, ProcessRunner& runner, const PlayRequest& request,
                 const std::string& extra_copy_name, PlayObserver& observer) {
  ProgramStart start;
  JK_RETURN_IF_ERROR(
      PlanGameStart(fs, runner, request.game, request.scale.work_folder, extra_copy_name, &start));
  observer.GameStarting(start.command_line);
  return runner.RunAndWait(start, [&observer] { observer.WhileGameRuns(); });
}

Status Joined(const Status& first, const Status& second) {
  if (first.ok()) return second;
  if (second.ok()) return first;
  return Status::Failure(first.kind(), first.message() + "\n" + second.message());
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
    scale.resource_archive_path =
        ResourceArchivePath(fs, choices.level_archive_path, FolderOf(choices.game_path),
                            FolderOf(choices.expansion_path));
  }
  scale.extra_archive_path = choices.extra_archive_path;
  scale.factor_text = choices.factor_text;
  scale.divide_gravity = choices.divide_gravity;
  return request;
}

Status RunPlaySession(FileSystem& fs, ProcessRunner& runner, const PlayRequest& request,
                      PlayObserver& observer, ReferenceLists* lists, PlayReport* report,
                      const CleanupPacing& pacing) {
  const std::string& work_folder = request.scale.work_folder;
  ScaleReport scaled;
  Status status = RecordExtraCopy(fs, request.scale);
  if (status.ok()) status = RunScale(fs, request.scale, observer.progress(), lists, &scaled);
  // A cancel that came after the last model still starts no game.
  if (status.ok() && observer.progress().CancelRequested()) {
    status = Status::Cancelled("the scale run was cancelled");
  }
  observer.ScaleFinished();
  report->skipped = scaled.skipped;

  // The clean-up removes the copies of the record; a copy the run made
  // without noting it (the record could not be written) is added.
  std::vector<std::string> copies;
  Status read = ReadRecordedCopies(fs, work_folder, &copies);
  std::string copy_name = FileNameOf(scaled.extra_copy);
  if (!scaled.extra_copy.empty() && !Contains(copies, copy_name)) copies.push_back(copy_name);
  if (status.ok()) status = read;
  if (status.ok()) status = StartGame(fs, runner, request, copy_name, observer);
  return Joined(status, CleanWorkFolder(fs, work_folder, copies, pacing));
}

}  // namespace jk
