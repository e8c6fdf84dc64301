#include "shell/shell.h"

#include <algorithm>
#include <utility>

#include "archives/archive_tables.h"
#include "launch/save_mod.h"
#include "platform/path.h"
#include "platform/system.h"
#include "platform/version.h"
#include "scaling/layout.h"
#include "scaling/numbers.h"
#include "shell/archive_scan.h"
#include "shell/controls.h"
#include "shell/progress_presenter.h"

namespace jk {

namespace {

// The item that reads `text`, or -1.
int FindItem(const ListControl& list, const std::string& text) {
  for (int k = 0; k < list.ItemCount(); ++k) {
    if (list.ItemText(k) == text) return k;
  }
  return -1;
}

// What the scaled level passes of the game's limits, as the status line
// tells it (begun with a capital), logged as a warning; "" when nothing.
std::string LimitNote(WindowSystem& windows, const std::vector<std::string>& warnings) {
  std::string limits = LimitWarningLine(warnings);
  if (limits.empty()) return limits;
  if (limits[0] >= 'a' && limits[0] <= 'z') limits[0] = char(limits[0] - 'a' + 'A');
  windows.Log("warning: " + limits);
  return limits;
}

// Two notes of the status line as one: "first. second".
std::string JoinNotes(const std::string& first, const std::string& second) {
  return first.empty() || second.empty() ? first + second : first + ". " + second;
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
  // What the level passes of the game's limits, and what the run left out,
  // stay in the status line while the game runs: they explain what the
  // player will see.
  void ScaleFinished(const PlayReport& report) override {
    windows_.progress_window().Close();
    warnings_ = JoinNotes(LimitNote(windows_, report.limit_warnings),
                          LeftOutNote(report.missing_models, report.missing_cogs, report.shared));
    if (!warnings_.empty()) windows_.main_window().controls().status_line.SetText(warnings_);
  }
  void GameStarting(const std::string& command_line) override {
    windows_.Log("starting the game: " + command_line);
    windows_.main_window().controls().status_line.SetText(
        JoinNotes(warnings_, std::string(kWaitingForTheGame)));
  }
  void WhileGameRuns() override { windows_.PumpEvents(); }

 private:
  WindowSystem& windows_;
  ProgressPresenter progress_;
  std::string warnings_;
};

// A mod being saved, in the windows: the progress window while the level
// and its models are scaled and packed.
class WindowedSave {
 public:
  explicit WindowedSave(WindowSystem& windows)
      : windows_(windows), progress_(&windows.progress_window(), &windows) {
    windows_.progress_window().Show();
  }
  ~WindowedSave() { windows_.progress_window().Close(); }
  ScaleProgress& progress() { return progress_; }

 private:
  WindowSystem& windows_;
  ProgressPresenter progress_;
};

// An install's data folder when it is not its executable's own folder
// (OpenJKDF2 keeps its data apart), else "".
std::string DataFolderApart(const GameInstall& install) {
  return WithoutFinalSeparator(FolderOf(install.executable)) ==
                 WithoutFinalSeparator(install.data_folder)
             ? std::string()
             : install.data_folder;
}

// The install of `game` and `kind` among `installs`, or null.
const GameInstall* FindInstall(const std::vector<GameInstall>& installs, GameTitle game,
                               InstallKind kind) {
  for (const GameInstall& install : installs) {
    if (install.game == game && install.kind == kind) return &install;
  }
  return nullptr;
}

}  // namespace

std::string FoundGameItem(const GameInstall& install) {
  std::string item = std::string(GameTitleName(install.game)) + ", " +
                     std::string(InstallKindName(install.kind)) + ": " + install.executable;
  if (std::string data = DataFolderApart(install); !data.empty()) {
    item += " (data in " + data + ")";
  }
  return item;
}

ShellEnvironment DesktopEnvironment(FileSystem& fs, ProcessRunner& runner,
                                    const std::string& work_folder) {
  return {work_folder,
          IdentityText(UserName()),
          {},
          [&fs, &runner] { return FindInstalledGames(fs, runner); },
          ""};
}

std::string ProgramNotFoundText(const std::string& program, const std::string& path) {
  if (path.empty()) return program + " was not found: type or browse to it above";
  return program + " was not found at " + path;
}

std::string ReplaceArchiveQuestion(const std::string& archive_path) {
  return archive_path + " is there already.\nReplace it with the mod?";
}

std::string ModSavedText(const std::string& archive_path) {
  return "The mod was saved as " + archive_path +
         ".\nIn the game's Episode folder, it is played like any other episode.";
}

std::string DamagedArchiveHint(const std::string& reason) {
  return "This archive cannot be read, so it can be neither opened nor copied: " + reason;
}

std::string LevelsCaption(const std::string& archive_path) {
  return "&Levels in " + MarkedText(FileNameOf(archive_path), 0) + " (pick one):";
}

Shell::Shell(FileSystem& fs, WindowSystem& windows, ProcessRunner& runner, ShellEnvironment env)
    : fs_(fs),
      windows_(windows),
      window_(windows.main_window()),
      controls_(window_.controls()),
      runner_(runner),
      env_(std::move(env)),
      player_line_(fs, windows, [this] { ShowPlayerLine(); }) {}

Shell::~Shell() { window_.SetEvents(nullptr); }

void Shell::Run() {
  StartUp();
  windows_.RunUntilClosed();
  End();
}

void Shell::StartUp() {
  settings_suffix_ = SettingsSuffix(env_.identity_text);
  Status cleaned = CleanWorkFolderAtStartUp(fs_, env_.work_folder, env_.cleanup_pacing);

  bool first_start = !fs_.Exists(JoinPath(env_.work_folder, SettingsFileName(settings_suffix_)));
  Status read = ReadSettings(fs_, env_.work_folder, settings_suffix_, &saved_);
  save_settings_ = read.ok();
  settings_ = saved_;

  window_.SetEvents(this);
  controls_.scale_button.SetEnabled(false);
  controls_.back_button.SetAvailable(false);
  controls_.list_caption.SetText(kEpisodesCaption);
  controls_.game_path_field.SetPlaceholder(kGamePathPlaceholder);
  controls_.expansion_path_field.SetPlaceholder(kExpansionPathPlaceholder);
  controls_.factor_field.SetHint(kFactorHint);
  controls_.factor_field.SetText(settings_.factor);
  controls_.gravity_check_box.SetChecked(settings_.divide_gravity);
  window_.Show();
  if (!cleaned.ok()) windows_.dialogs().Message(cleaned.message());
  if (!read.ok()) {
    windows_.dialogs().Message(read.message() +
                               "\nThe settings were not read, and will not be saved.");
  }

  // Their change events store the paths and fill the lists.
  controls_.game_path_field.SetText(settings_.game_path);
  controls_.expansion_path_field.SetText(settings_.expansion_path);
  UpdateCommands();
  if (first_start && env_.find_games) OfferFoundGames();
}

void Shell::OfferFoundGames() {
  controls_.status_line.SetText(kLookingForGames);
  windows_.PumpEvents();
  GameSearch search = env_.find_games();
  ShowStatus();
  if (search.out_of_time) windows_.Log("the search for installed games ran out of time");
  if (search.installs.empty()) return;
  std::vector<std::string> items;
  for (const GameInstall& install : search.installs) items.push_back(FoundGameItem(install));
  int picked = windows_.dialogs().Choose(kFoundGamesTitle, kFoundGamesText, items);
  if (picked < 0 || size_t(picked) >= search.installs.size()) return;
  const GameInstall& install = search.installs[size_t(picked)];
  bool expansion = install.game == GameTitle::kMysteriesOfTheSith;
  const GameInstall* other = FindInstall(
      search.installs, expansion ? GameTitle::kJediKnight : GameTitle::kMysteriesOfTheSith,
      install.kind);
  const GameInstall* game = expansion ? other : &install;
  const GameInstall* expansion_install = expansion ? &install : other;
  if (install.kind == InstallKind::kOpenJkdf2) settings_.openjkdf2 = true;
  // The settings first: the fields' change events then find the paths
  // unchanged, and keep the data folders.
  if (game && (game == &install || settings_.game_path.empty())) {
    settings_.game_path = game->executable;
    settings_.game_data_folder = DataFolderApart(*game);
    controls_.game_path_field.SetText(settings_.game_path);
  }
  if (expansion_install && (expansion_install == &install || settings_.expansion_path.empty())) {
    settings_.expansion_path = expansion_install->executable;
    settings_.expansion_data_folder = DataFolderApart(*expansion_install);
    controls_.expansion_path_field.SetText(settings_.expansion_path);
  }
  SaveSettings();
}

void Shell::End() { SaveSettings(); }

void Shell::SaveSettings() {
  if (!save_settings_ || settings_ == saved_) return;
  Status written = WriteSettings(fs_, env_.work_folder, settings_suffix_, settings_);
  if (!written.ok()) {
    // Said once; the settings stay as they are for this session.
    save_settings_ = false;
    windows_.dialogs().Message(written.message());
    return;
  }
  saved_ = settings_;
}

void Shell::TakeGamePath(const std::string& path) {
  if (path == settings_.game_path) return;
  settings_.game_path = path;
  settings_.game_data_folder.clear();
  settings_.openjkdf2 = false;
}

void Shell::TakeExpansionPath(const std::string& path) {
  if (path == settings_.expansion_path) return;
  settings_.expansion_path = path;
  settings_.expansion_data_folder.clear();
}

bool Shell::Browse(const std::string& title, const std::string& folder,
                   const std::string& proposed_name, std::string* path) {
  std::string chosen = windows_.dialogs().OpenFile(title, folder, proposed_name);
  if (chosen.empty() || !fs_.IsFile(chosen)) return false;
  *path = chosen;
  return true;
}

void Shell::OnBrowseGame() {
  std::string path;
  if (Browse(std::string("Find ") + kGameProgram, game_folder_, kGameProgram, &path)) {
    controls_.game_path_field.SetText(path);
  }
}

void Shell::OnBrowseExpansion() {
  std::string path;
  if (Browse(std::string("Find ") + kExpansionProgram, expansion_folder_, kExpansionProgram,
             &path)) {
    controls_.expansion_path_field.SetText(path);
  }
}

// A path is saved once the file it names is there, or when the user leaves
// its field: not a file for each letter typed.
void Shell::OnGamePathChanged() {
  TakeGamePath(controls_.game_path_field.Text());
  if (fs_.IsFile(settings_.game_path)) SaveSettings();
  RefreshArchiveLists();
}

void Shell::OnExpansionPathChanged() {
  TakeExpansionPath(controls_.expansion_path_field.Text());
  if (fs_.IsFile(settings_.expansion_path)) SaveSettings();
  RefreshArchiveLists();
}

void Shell::OnPathFieldLeft() { SaveSettings(); }

void Shell::OnStartInLevelChanged() {
  settings_.start_in_level = controls_.start_in_level_check_box.Checked();
  SaveSettings();
}

void Shell::OnFactorChanged() {
  std::string text = controls_.factor_field.Text();
  double factor;
  bool accepted = ParseScaleFactor(text, &factor);
  controls_.factor_field.SetBackground(accepted ? kWhite : kLightRed);
  controls_.factor_field.SetHint(accepted ? kFactorHint : kBadFactor);
  // Remembered once it is a factor the program takes, as a path is once
  // its file is there.
  if (accepted && text != settings_.factor) {
    settings_.factor = text;
    SaveSettings();
  }
  ShowPlayerLine();
  ShowStatus();
}

void Shell::OnGravityChanged() {
  settings_.divide_gravity = controls_.gravity_check_box.Checked();
  SaveSettings();
  ShowPlayerLine();
}

void Shell::OnArchiveSelectionChanged() {
  UpdateCommands();
  PickPlayerLevel();
}

void Shell::PickPlayerLevel() {
  const ListControl& list = controls_.archive_list;
  if (list_mode_ != ArchiveListMode::kLevels || list.SelectedIndex() < 0) {
    player_line_.Clear();
  } else {
    PlayRequest request = MakePlayRequest(fs_, env_.work_folder, Choices());
    player_line_.Pick(opened_archive_, request.scale.level_name,
                      request.scale.resource_archive_path);
  }
  ShowPlayerLine();
}

void Shell::ShowPlayerLine() {
  controls_.player_line.SetText(
      player_line_.Text(controls_.factor_field.Text(), controls_.gravity_check_box.Checked()));
}

void Shell::OnArchiveActivated() {
  int item = controls_.archive_list.SelectedIndex();
  if (list_mode_ != ArchiveListMode::kEpisodes || item < 0 ||
      size_t(item) >= episode_paths_.size()) {
    return;
  }
  // Greyed, but a list may still let it be picked.
  if (auto damaged = damaged_archives_.find(episode_paths_[size_t(item)]);
      damaged != damaged_archives_.end()) {
    windows_.dialogs().Message("'" + damaged->first + "': " + DamagedArchiveHint(damaged->second));
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
  references_ = ReferenceLists{};
  ShowLevels(tables, "");
}

void Shell::ShowLevels(const LevelArchiveTables& tables, const std::string& level) {
  opened_archive_ = tables.path;
  list_mode_ = ArchiveListMode::kLevels;
  ListControl& list = controls_.archive_list;
  list.Clear();
  for (const std::string& name : tables.level_names) list.AddItem(name);
  list.SetPlaceholder(kNoLevels);
  list.SetSelectedIndex(FindItem(list, level));
  controls_.list_caption.SetText(LevelsCaption(opened_archive_));
  controls_.back_button.SetAvailable(true);
  UpdateCommands();
}

void Shell::OnBack() {
  controls_.back_button.SetAvailable(false);
  RefreshArchiveLists();
}

void Shell::OnRefresh() {
  if (running_ || !window_.Enabled()) return;
  if (list_mode_ == ArchiveListMode::kEpisodes) {
    RefreshArchiveLists(/*keep_picks=*/true);
    return;
  }
  // The levels of the opened archive, read again; an archive that has gone
  // leaves the levels for the episodes.
  ListControl& list = controls_.archive_list;
  std::string level = list.ItemText(list.SelectedIndex());
  LevelArchiveTables tables;
  if (!OpenLevelArchive(fs_, opened_archive_, &tables).ok()) {
    controls_.back_button.SetAvailable(false);
    RefreshArchiveLists(/*keep_picks=*/true);
    return;
  }
  ShowLevels(tables, level);
}

std::string AboutText() {
  return std::string("jkrescale ") + kVersion +
         "\n\nRescales a level of Jedi Knight or Mysteries of the Sith, and the models of its "
         "scenery, by a factor you choose, and starts the game on it.\n\nThe game's archives "
         "are only read; what a run writes beside the program is removed when the game ends.";
}

void Shell::OnAbout() { windows_.dialogs().About(AboutText()); }

bool Shell::OnCloseRequested() {
  if (!running_) return true;
  windows_.dialogs().Message(kCannotCloseYet);
  return false;
}

void Shell::MarkPathField(TextField& field, const std::string& program, const std::string& path) {
  // An empty field is no mistake yet: it shows its placeholder.
  bool missing = !path.empty() && !fs_.IsFile(path);
  field.SetBackground(missing ? kLightRed : kWhite);
  field.SetHint(missing ? ProgramNotFoundText(program, path) : "");
}

void Shell::RefreshArchiveLists(bool keep_picks) {
  MarkPathField(controls_.game_path_field, kGameProgram, settings_.game_path);
  MarkPathField(controls_.expansion_path_field, kExpansionProgram, settings_.expansion_path);
  game_folder_ = GameFolder(settings_.game_path, settings_.game_data_folder);
  expansion_folder_ = GameFolder(settings_.expansion_path, settings_.expansion_data_folder);
  ListControl& archives = controls_.archive_list;
  // The items picked before, picked again when they are still there.
  std::string episode, extra;
  if (keep_picks) {
    if (list_mode_ == ArchiveListMode::kEpisodes) {
      episode = archives.ItemText(archives.SelectedIndex());
    }
    extra = SelectedExtraArchive();
  }
  list_mode_ = ArchiveListMode::kEpisodes;
  archives.Clear();

  // A path without a folder scans nothing, rather than wherever the program
  // happened to be started from.
  episode_paths_.clear();
  extra_paths_.clear();
  damaged_archives_.clear();
  std::vector<std::string> extra_items;
  for (const std::string* folder : {&game_folder_, &expansion_folder_}) {
    if (folder->empty() || !fs_.IsFolder(FindIgnoringCase(fs_, *folder, kEpisodeFolderName)))
      continue;
    ScannedArchives found;
    ScanArchives(fs_, *folder, &found);
    episode_paths_.insert(episode_paths_.end(), found.episodes.begin(), found.episodes.end());
    damaged_archives_.insert(found.damaged.begin(), found.damaged.end());
    for (const std::string& path : found.extras) {
      extra_paths_.push_back(path);
      extra_items.push_back(path.substr(folder->size()));
    }
  }
  for (const std::string& path : episode_paths_) {
    auto damaged = damaged_archives_.find(path);
    if (damaged == damaged_archives_.end()) {
      archives.AddItem(FileNameOf(path));
    } else {
      archives.AddGreyedItem(FileNameOf(path), DamagedArchiveHint(damaged->second));
    }
  }
  archives.SetPlaceholder(kNoEpisodes);
  archives.SetSelectedIndex(FindItem(archives, episode));
  // "NONE" and the extras, when there are any; the one picked before stays
  // picked when it is still there.
  ListControl& extras = controls_.extra_list;
  extras.Clear();
  if (!extra_paths_.empty()) {
    extras.AddItem(kNoExtraArchive);
    for (const std::string& item : extra_items) extras.AddItem(item);
    auto picked = std::find(extra_paths_.begin(), extra_paths_.end(), extra);
    extras.SetSelectedIndex(picked == extra_paths_.end() ? 0
                                                         : int(picked - extra_paths_.begin()) + 1);
  }
  controls_.list_caption.SetText(kEpisodesCaption);
  UpdateCommands();
}

bool Shell::OpensExpansion() const {
  return list_mode_ == ArchiveListMode::kLevels && IsExpansionArchive(opened_archive_);
}

const std::string& Shell::ProgramToStart() const {
  return OpensExpansion() ? settings_.expansion_path : settings_.game_path;
}

void Shell::UpdateCommands() {
  bool level_picked = !running_ && list_mode_ == ArchiveListMode::kLevels &&
                      controls_.archive_list.SelectedIndex() >= 0;
  bool can_scale = level_picked && fs_.IsFile(ProgramToStart());
  if (controls_.scale_button.Enabled() != can_scale) {
    controls_.scale_button.SetEnabled(can_scale);
  }
  if (controls_.save_mod_button.Enabled() != level_picked) {
    controls_.save_mod_button.SetEnabled(level_picked);
  }
  bool openjkdf2 = settings_.openjkdf2 || IsOpenJkdf2(ProgramToStart());
  CheckBox& start_in_level = controls_.start_in_level_check_box;
  if (start_in_level.Enabled() != openjkdf2) start_in_level.SetEnabled(openjkdf2);
  // Greyed out it is unticked, for the original game has no such switch;
  // the setting waits for OpenJKDF2.
  bool ticked = openjkdf2 && settings_.start_in_level;
  if (start_in_level.Checked() != ticked) start_in_level.SetChecked(ticked);
  ShowStatus();
}

std::string Shell::Hindrance() const {
  if (list_mode_ == ArchiveListMode::kLevels) {
    const std::string& program = ProgramToStart();
    if (!fs_.IsFile(program)) {
      return ProgramNotFoundText(OpensExpansion() ? kExpansionProgram : kGameProgram, program);
    }
  } else {
    for (auto [program, path] : {std::pair{kGameProgram, &settings_.game_path},
                                 std::pair{kExpansionProgram, &settings_.expansion_path}}) {
      if (!path->empty() && !fs_.IsFile(*path)) return ProgramNotFoundText(program, *path);
    }
  }
  double factor;
  if (!ParseScaleFactor(controls_.factor_field.Text(), &factor)) return kBadFactor;
  return "";
}

void Shell::ShowStatus() {
  // A run writes its own progress there.
  if (running_) return;
  std::string hindrance = Hindrance();
  std::string shown = hindrance.empty() ? run_note_ : hindrance;
  if (controls_.status_line.Text() != shown) controls_.status_line.SetText(shown);
}

std::string Shell::SelectedExtraArchive() const {
  int item = controls_.extra_list.SelectedIndex();
  if (item < 1 || size_t(item) > extra_paths_.size()) return "";
  return extra_paths_[size_t(item) - 1];
}

bool Shell::CheckFactor() {
  double factor;
  std::string factor_text = controls_.factor_field.Text();
  if (ParseScaleFactor(factor_text, &factor)) return true;
  controls_.factor_field.SetBackground(kLightRed);
  windows_.dialogs().Message("scale factor '" + factor_text + "': not " + kFactorRangeText);
  return false;
}

void Shell::OnScaleAndPlay() {
  UpdateCommands();
  if (!controls_.scale_button.Enabled() || !CheckFactor()) return;
  running_ = true;
  window_.SetEnabled(false);
  controls_.status_line.SetText("");
  std::string note;
  std::string message = ScaleAndPlay(&note);
  // What the run left out stays in sight, without holding up the game.
  run_note_ = note;
  controls_.status_line.SetText(note);
  running_ = false;
  if (!message.empty()) windows_.dialogs().Message(message);
  window_.SetEnabled(true);
  UpdateCommands();
  // Back where the user left it, ready for another run.
  window_.FocusControl(ControlId::kScaleButton);
}

PlayChoices Shell::Choices() const {
  ListControl& levels = controls_.archive_list;
  PlayChoices choices;
  choices.game_path = settings_.game_path;
  choices.expansion_path = settings_.expansion_path;
  choices.game_data_folder = settings_.game_data_folder;
  choices.expansion_data_folder = settings_.expansion_data_folder;
  choices.openjkdf2 = settings_.openjkdf2;
  choices.start_in_level = settings_.start_in_level;
  choices.level_archive_path = opened_archive_;
  choices.level_name = levels.ItemText(levels.SelectedIndex());
  choices.factor_text = controls_.factor_field.Text();
  choices.divide_gravity = controls_.gravity_check_box.Checked();
  choices.extra_archive_path = SelectedExtraArchive();
  return choices;
}

void Shell::OnSaveAsMod() {
  UpdateCommands();
  if (!controls_.save_mod_button.Enabled() || !CheckFactor()) return;
  PlayChoices choices = Choices();
  PlayRequest request = MakePlayRequest(fs_, env_.mod_work_folder, choices);
  if (Status found = CheckResourceArchive(fs_, request); !found.ok()) {
    windows_.dialogs().Message(found.message());
    return;
  }
  bool expansion = IsExpansionArchive(opened_archive_);
  std::string folder = expansion ? expansion_folder_ : game_folder_;
  std::string episodes = FindIgnoringCase(fs_, folder, kEpisodeFolderName);
  std::string path = windows_.dialogs().SaveArchive(
      kSaveModTitle, fs_.IsFolder(episodes) ? episodes : folder,
      ModArchiveName(opened_archive_, choices.level_name, choices.factor_text));
  if (path.empty()) return;
  // Refused before the question: the answer would not count.
  if (Status refused = CheckModArchivePath(fs_, {request.scale, path}); !refused.ok()) {
    windows_.dialogs().Message(refused.message());
    return;
  }
  if (fs_.Exists(path) && !windows_.dialogs().Ask(ReplaceArchiveQuestion(path))) return;

  running_ = true;
  window_.SetEnabled(false);
  controls_.status_line.SetText("");
  Status saved = SaveModShowingProgress(request, path);
  running_ = false;
  if (saved.ok()) {
    windows_.dialogs().Notice(ModSavedText(path));
  } else if (!saved.IsCancelled()) {
    windows_.dialogs().Message(saved.message());
  }
  window_.SetEnabled(true);
  UpdateCommands();
  window_.FocusControl(ControlId::kSaveModButton);
}

Status Shell::SaveModShowingProgress(const PlayRequest& request, const std::string& archive_path) {
  ScaleReport report;
  Status status;
  {
    WindowedSave save(windows_);
    status =
        SaveMod(fs_, {request.scale, archive_path}, save.progress(), &report, env_.cleanup_pacing);
  }
  for (const std::string& skipped : report.skipped) windows_.Log("skipped " + skipped);
  // No game shows the mod now: what it passes of the game's limits stays
  // in the status line with what it left out.
  run_note_ = JoinNotes(status.ok() ? LimitNote(windows_, report.limit_warnings) : "",
                        LeftOutNote(report.missing_models, report.missing_cogs, report.shared));
  controls_.status_line.SetText(run_note_);
  return status;
}

std::string Shell::ScaleAndPlay(std::string* note) {
  WindowedPlay play(windows_);
  PlayReport report;
  Status status = RunPlaySession(fs_, runner_, MakePlayRequest(fs_, env_.work_folder, Choices()),
                                 play, &references_, &report, env_.cleanup_pacing);
  for (const std::string& skipped : report.skipped) windows_.Log("skipped " + skipped);
  *note = LeftOutNote(report.missing_models, report.missing_cogs, report.shared);
  // Cancelling is the user's own doing: nothing to tell them about.
  if (status.IsCancelled()) return "";
  return status.message();
}

}  // namespace jk
