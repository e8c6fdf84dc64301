#include "shell/shell.h"

#include "archives/archive_tables.h"
#include "platform/path.h"
#include "scaling/text.h"
#include "shell/archive_scan.h"
#include "shell/progress_presenter.h"
#include "shell/settings.h"

namespace jk {

namespace {

constexpr const char* kNoExtraArchive = "NONE";

Colour PathColour(FileSystem& fs, const std::string& path) {
  return fs.IsFile(path) ? kWhite : kLightRed;
}

// The full paths stay with the shell; the list shows the file names.
void FillList(ListControl& list, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) list.AddItem(FileNameOf(path));
}

// A play session in the windows: the progress window while the level and
// its models are scaled, the window's events let run while the game runs.
class WindowedPlay : public PlayObserver {
 public:
  explicit WindowedPlay(WindowSystem& windows)
      : windows_(windows), progress_(&windows.progress_window(), &windows) {
    windows_.progress_window().Show();
  }
  ScaleProgress& progress() override { return progress_; }
  void ScaleFinished() override { windows_.progress_window().Close(); }
  void GameStarting(const std::string& command_line) override {
    windows_.Log("starting the game: " + command_line);
  }
  void WhileGameRuns() override { windows_.PumpEvents(); }

 private:
  WindowSystem& windows_;
  ProgressPresenter progress_;
};

}  // namespace

std::string LevelsCaption(const std::string& archive_path) {
  return "Levels in " + FileNameOf(archive_path) + " (pick one):";
}

Shell::Shell(FileSystem& fs, WindowSystem& windows, ProcessRunner& runner, ShellEnvironment env)
    : fs_(fs),
      windows_(windows),
      window_(windows.main_window()),
      runner_(runner),
      env_(std::move(env)) {}

void Shell::Run() {
  StartUp();
  windows_.RunUntilClosed();
  End();
}

void Shell::StartUp() {
  settings_suffix_ = SettingsSuffix(env_.identity_text);
  Status cleaned = CleanWorkFolderAtStartUp(fs_, env_.work_folder, env_.cleanup_pacing);

  Settings settings;
  Status read = ReadSettings(fs_, env_.work_folder, settings_suffix_, &settings);
  save_settings_ = read.ok();
  game_path_ = PathOrFallback(fs_, settings.game_path, env_.work_folder);
  expansion_path_ = PathOrFallback(fs_, settings.expansion_path, env_.work_folder);

  window_.SetEvents(this);
  window_.scale_button().SetEnabled(false);
  window_.back_button().SetAvailable(false);
  window_.list_caption().SetText(kEpisodesCaption);
  window_.factor_field().SetText(kInitialFactor);
  window_.Show();
  if (!cleaned.ok()) windows_.dialogs().Message(cleaned.message());
  if (!read.ok()) {
    windows_.dialogs().Message(read.message() +
                               "\nThe settings were not read, and will not be saved.");
  }

  // Their change events store the paths and fill the lists.
  window_.game_path_field().SetText(game_path_);
  window_.expansion_path_field().SetText(expansion_path_);
  UpdateScaleButton();
}

void Shell::End() {
  if (!save_settings_) return;
  Status written =
      WriteSettings(fs_, env_.work_folder, settings_suffix_, {game_path_, expansion_path_});
  if (!written.ok()) windows_.dialogs().Message(written.message());
}

bool Shell::Browse(const std::string& title, const std::string& folder,
                   const std::string& proposed_name, std::string* path) {
  std::string chosen = windows_.dialogs().OpenFile(title, folder, proposed_name);
  if (chosen.empty() || !fs_.IsFile(chosen)) return false;
  *path = chosen;
  return true;
}

void Shell::OnBrowseGame() {
  if (Browse("Find JK.EXE", game_folder_, "JK.EXE", &game_path_)) {
    window_.game_path_field().SetText(game_path_);
  }
}

void Shell::OnBrowseExpansion() {
  if (Browse("Find JKM.EXE", expansion_folder_, "JKM.EXE", &expansion_path_)) {
    window_.expansion_path_field().SetText(expansion_path_);
  }
}

void Shell::OnGamePathChanged() {
  game_path_ = window_.game_path_field().Text();
  RefreshArchiveLists();
}

void Shell::OnExpansionPathChanged() {
  expansion_path_ = window_.expansion_path_field().Text();
  RefreshArchiveLists();
}

void Shell::OnFactorChanged() {
  double factor;
  if (ParseScaleFactor(window_.factor_field().Text(), &factor)) {
    window_.factor_field().SetBackground(kWhite);
  }
}

void Shell::OnArchiveSelectionChanged() { UpdateScaleButton(); }

void Shell::OnArchiveActivated() {
  int item = window_.archive_list().SelectedIndex();
  if (list_mode_ != ArchiveListMode::kEpisodes || item < 0 ||
      size_t(item) >= episode_paths_.size()) {
    return;
  }
  // Listed aside first: an archive that has gone or changed since the scan
  // leaves the list of episodes as it was.
  LevelArchiveTables tables;
  Status opened = OpenLevelArchive(fs_, episode_paths_[size_t(item)], &tables);
  if (!opened.ok()) {
    windows_.dialogs().Message(opened.message());
    return;
  }
  opened_archive_ = tables.path;
  references_ = ReferenceLists{};
  list_mode_ = ArchiveListMode::kLevels;
  ListControl& list = window_.archive_list();
  list.Clear();
  for (const std::string& level : tables.level_names) list.AddItem(level);
  window_.list_caption().SetText(LevelsCaption(opened_archive_));
  window_.back_button().SetAvailable(true);
  UpdateScaleButton();
}

void Shell::OnBack() {
  window_.back_button().SetAvailable(false);
  RefreshArchiveLists();
}

void Shell::RefreshArchiveLists() {
  window_.game_path_field().SetBackground(PathColour(fs_, game_path_));
  window_.expansion_path_field().SetBackground(PathColour(fs_, expansion_path_));
  game_folder_ = FolderOf(game_path_);
  expansion_folder_ = FolderOf(expansion_path_);
  list_mode_ = ArchiveListMode::kEpisodes;
  ListControl& archives = window_.archive_list();
  ListControl& extras = window_.extra_list();
  archives.Clear();
  extras.Clear();

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
  FillList(archives, episode_paths_);
  if (!extra_paths_.empty()) {
    extras.AddItem(kNoExtraArchive);
    FillList(extras, extra_paths_);
    extras.SetSelectedIndex(0);
  }
  window_.list_caption().SetText(kEpisodesCaption);
  UpdateScaleButton();
}

void Shell::UpdateScaleButton() {
  // Enabled once a level is picked, and disabled only when the list goes
  // back to the episodes: a cleared selection leaves it as it is.
  Button& button = window_.scale_button();
  bool levels_shown = list_mode_ == ArchiveListMode::kLevels;
  if (!button.Enabled()) {
    if (levels_shown && window_.archive_list().SelectedIndex() >= 0) button.SetEnabled(true);
  } else if (!levels_shown) {
    button.SetEnabled(false);
  }
}

std::string Shell::SelectedExtraArchive() const {
  int item = window_.extra_list().SelectedIndex();
  if (item < 1 || size_t(item) > extra_paths_.size()) return "";
  return extra_paths_[size_t(item) - 1];
}

void Shell::OnScaleAndPlay() {
  if (list_mode_ != ArchiveListMode::kLevels || window_.archive_list().SelectedIndex() < 0) {
    return;
  }
  double factor;
  std::string factor_text = window_.factor_field().Text();
  if (!ParseScaleFactor(factor_text, &factor)) {
    window_.factor_field().SetBackground(kLightRed);
    windows_.dialogs().Message("scale factor '" + factor_text + "': not " + kFactorRangeText);
    return;
  }
  window_.SetEnabled(false);
  std::string message = ScaleAndPlay();
  if (!message.empty()) windows_.dialogs().Message(message);
  window_.SetEnabled(true);
  UpdateScaleButton();
}

std::string Shell::ScaleAndPlay() {
  ListControl& levels = window_.archive_list();
  PlayChoices choices;
  choices.game_path = game_path_;
  choices.expansion_path = expansion_path_;
  choices.level_archive_path = opened_archive_;
  choices.level_name = levels.ItemText(levels.SelectedIndex());
  choices.factor_text = window_.factor_field().Text();
  choices.divide_gravity = window_.gravity_check_box().Checked();
  choices.extra_archive_path = SelectedExtraArchive();

  WindowedPlay play(windows_);
  PlayReport report;
  Status status = RunPlaySession(fs_, runner_, MakePlayRequest(fs_, env_.work_folder, choices),
                                 play, &references_, &report, env_.cleanup_pacing);
  for (const std::string& skipped : report.skipped) windows_.Log("skipped " + skipped);
  return status.message();
}

}  // namespace jk
