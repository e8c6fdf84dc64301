#include "shell/shell.h"

#include <algorithm>

#include "archives/extraction.h"
#include "launch/game_launch.h"
#include "platform/path.h"
#include "scaling/progress.h"
#include "scaling/text.h"
#include "shell/archive_scan.h"
#include "shell/settings.h"

namespace jk {

namespace {

constexpr const char* kNoExtraArchive = "NONE";

Colour PathColour(FileSystem& fs, const std::string& path) {
  return fs.IsFile(path) ? kWhite : kLightRed;
}

// The full paths go into the path table; the list shows the file names.
void FillList(ListControl& list, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) list.AddItem(FileNameOf(path));
}

std::string JoinMessages(const Status& a, const Status& b) {
  if (a.ok()) return b.message();
  if (b.ok()) return a.message();
  return a.message() + "\n" + b.message();
}

}  // namespace

std::string LevelViewCaption(const std::string& archive_path) {
  return "Levels in " + FileNameOf(archive_path) + " (pick one):";
}

Shell::Shell(FileSystem& fs, WindowSystem& ui, ProcessRunner& runner, ShellEnvironment env)
    : fs_(fs), ui_(ui), frm1_(ui.frm1()), runner_(runner), env_(std::move(env)) {}

void Shell::Run() {
  StartUp();
  ui_.RunUntilClosed();
  End();
}

void Shell::StartUp() {
  suffix_ = SettingsSuffix(env_.identity_text);
  Status cleaned = CleanWorkFolderAtStartUp(fs_, env_.work_folder, pacing_);

  Settings settings = ReadSettings(fs_, env_.work_folder, suffix_);
  game_path_ = PathOrFallback(fs_, settings.game_path, env_.work_folder);
  expansion_path_ = PathOrFallback(fs_, settings.expansion_path, env_.work_folder);

  frm1_.SetEvents(this);
  frm1_.cmd1().SetEnabled(false);
  frm1_.cmd2().SetAvailable(false);
  frm1_.lbl3().SetText(kArchiveViewCaption);
  frm1_.scaleby().SetText(kInitialScaleFactor);
  frm1_.Show();
  if (!cleaned.ok()) ui_.dialogs().Message(cleaned.message());

  // Their change events store the paths and fill the lists.
  frm1_.ed1().SetText(game_path_);
  frm1_.ed2().SetText(expansion_path_);
  UpdateScaleButton();
}

void Shell::End() {
  Status written =
      WriteSettings(fs_, env_.work_folder, suffix_, {game_path_, expansion_path_});
  if (!written.ok()) ui_.dialogs().Message(written.message());
}

bool Shell::Browse(const std::string& title, const std::string& folder,
                   const std::string& proposed_name, std::string* path) {
  std::string chosen = ui_.dialogs().OpenFile(title, folder, proposed_name);
  if (chosen.empty() || !fs_.IsFile(chosen)) return false;
  *path = chosen;
  return true;
}

void Shell::brs_jk_Click() {
  if (Browse("Find JK.EXE", game_folder_, "JK.EXE", &game_path_)) {
    frm1_.ed1().SetText(game_path_);
  }
}

void Shell::brs_mots_Click() {
  if (Browse("Find JKM.EXE", expansion_folder_, "JKM.EXE", &expansion_path_)) {
    frm1_.ed2().SetText(expansion_path_);
  }
}

void Shell::ed1_Change() {
  game_path_ = frm1_.ed1().Text();
  RefreshLevelList();
}

void Shell::ed2_Change() {
  expansion_path_ = frm1_.ed2().Text();
  RefreshLevelList();
}

void Shell::scaleby_Change() {
  double factor;
  if (ParseScaleFactor(frm1_.scaleby().Text(), &factor)) {
    frm1_.scaleby().SetBackground(kWhite);
  }
}

void Shell::lb1_Click() { UpdateScaleButton(); }

void Shell::lb1_DblClick() {
  int item = frm1_.lb1().SelectedIndex();
  if (selected_archive_ != -1 || item < 0 || size_t(item) >= episode_paths_.size()) return;
  // Listed aside first: an archive that has gone or changed since the scan
  // leaves the archive view as it was.
  StringList levels;
  LevelArchiveTables tables;
  Status opened = OpenLevelArchive(fs_, episode_paths_[size_t(item)], &levels, &tables);
  if (!opened.ok()) {
    ui_.dialogs().Message(opened.message());
    return;
  }
  tables_ = std::move(tables);
  references_ = ReferenceLists{};
  selected_archive_ = item;
  ListControl& lb1 = frm1_.lb1();
  lb1.Clear();
  for (const std::string& level : levels.items()) lb1.AddItem(level);
  frm1_.lbl3().SetText(LevelViewCaption(tables_.path));
  frm1_.cmd2().SetAvailable(true);
  UpdateScaleButton();
}

void Shell::cmd2_Click() {
  frm1_.cmd2().SetAvailable(false);
  selected_archive_ = -1;
  RefreshLevelList();
}

void Shell::RefreshLevelList() {
  frm1_.ed1().SetBackground(PathColour(fs_, game_path_));
  frm1_.ed2().SetBackground(PathColour(fs_, expansion_path_));
  game_folder_ = FolderOf(game_path_);
  expansion_folder_ = FolderOf(expansion_path_);
  selected_archive_ = -1;
  ListControl& lb1 = frm1_.lb1();
  ListControl& lb2 = frm1_.lb2();
  lb1.Clear();
  lb2.Clear();

  // A path without a folder scans nothing, rather than wherever the program
  // happened to be started from.
  ScannedArchives found;
  for (const std::string* folder : {&game_folder_, &expansion_folder_}) {
    if (!folder->empty() && fs_.IsFolder(FindIgnoringCase(fs_, *folder, "Episode"))) {
      ScanArchives(fs_, *folder, &found);
    }
  }
  episode_paths_ = std::move(found.episodes);
  extra_paths_ = std::move(found.extras);
  FillList(lb1, episode_paths_);
  if (!extra_paths_.empty()) {
    lb2.AddItem(kNoExtraArchive);
    FillList(lb2, extra_paths_);
    lb2.SetSelectedIndex(0);
  }
  frm1_.lbl3().SetText(kArchiveViewCaption);
  UpdateScaleButton();
}

void Shell::UpdateScaleButton() {
  Button& cmd1 = frm1_.cmd1();
  if (!cmd1.Enabled()) {
    if (selected_archive_ > -1 && frm1_.lb1().SelectedIndex() >= 0) cmd1.SetEnabled(true);
  } else if (selected_archive_ < 0) {
    cmd1.SetEnabled(false);
  }
}

std::string Shell::SelectedExtraArchive() const {
  int item = frm1_.lb2().SelectedIndex();
  if (item < 1 || size_t(item) > extra_paths_.size()) return "";
  return extra_paths_[size_t(item) - 1];
}

void Shell::cmd1_Click() {
  if (selected_archive_ < 0 || frm1_.lb1().SelectedIndex() < 0) return;
  double factor;
  if (!ParseScaleFactor(frm1_.scaleby().Text(), &factor)) {
    frm1_.scaleby().SetBackground(kLightRed);
    return;
  }
  frm1_.SetEnabled(false);
  std::string message = ScaleAndPlay();
  if (!message.empty()) ui_.dialogs().Message(message);
  frm1_.SetEnabled(true);
  UpdateScaleButton();
}

Status Shell::PrepareCopyRecord(const std::string& extra_archive) {
  if (extra_archive.empty()) return Status::Ok();
  std::string copy = JoinPath(env_.work_folder, FileNameOf(extra_archive));
  if (fs_.SameFile(extra_archive, copy)) return Status::Ok();  // no copy is made
  // A copy that an earlier clean-up could not remove is still in the record
  // and may be replaced; anything else of that name is the user's own.
  std::vector<std::string> recorded = RecordedCopies(fs_, env_.work_folder);
  if (std::find(recorded.begin(), recorded.end(), FileNameOf(copy)) != recorded.end()) {
    return Status::Ok();
  }
  if (fs_.Exists(copy)) {
    return Status::FileError(copy, "is in the work folder already and is not the chosen "
                                   "extra archive; it would be replaced, so nothing was "
                                   "done");
  }
  return RecordCopy(fs_, env_.work_folder, FileNameOf(extra_archive));
}

std::string Shell::ScaleAndPlay() {
  ProgressForm& frm2 = ui_.frm2();
  frm2.Show();
  ProgressWindow progress(&frm2.Surface());
  progress.Show();

  ListControl& lb1 = frm1_.lb1();
  ScaleRequest request;
  request.work_folder = env_.work_folder;
  request.archive = &tables_;
  request.level_index = lb1.SelectedIndex();
  request.level_item = lb1.ItemText(request.level_index);
  request.resource_archive_path =
      ResourceArchivePath(fs_, tables_.path, game_folder_, expansion_folder_);
  request.extra_archive_path = SelectedExtraArchive();
  request.scale_text = frm1_.scaleby().Text();
  request.divide_gravity = frm1_.chk1().Checked();

  ScaleReport report;
  Status status = PrepareCopyRecord(request.extra_archive_path);
  if (status.ok()) status = RunScale(fs_, progress, request, &references_, &report);
  frm2.Close();
  for (const std::string& skipped : report.skipped) ui_.Log("skipped " + skipped);

  std::vector<std::string> copies = RecordedCopies(fs_, env_.work_folder);
  std::string copy_name = FileNameOf(report.extra_copy);
  if (!report.extra_copy.empty() &&
      std::find(copies.begin(), copies.end(), copy_name) == copies.end()) {
    copies.push_back(copy_name);
  }
  if (status.ok()) {
    GameChoice game = ChooseGame(tables_.path, game_path_, expansion_path_);
    status = StartGameAndWait(fs_, runner_, game, env_.work_folder, copy_name,
                              [this] { ui_.PumpEvents(); });
  }
  Status cleaned = CleanWorkFolder(fs_, env_.work_folder, copies, pacing_);
  return JoinMessages(status, cleaned);
}

}  // namespace jk
