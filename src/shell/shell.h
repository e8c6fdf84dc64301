// The desktop program's shell: the presenter of the main window. It reads
// the settings at start-up, keeps the two lists of archives and levels, and
// runs a play session when the user asks for one; everything it does to
// windows, dialogs and other programs goes through interfaces, so the same
// shell runs on the real widgets and, in tests, on fakes.
#ifndef JKRESCALE_SHELL_SHELL_H_
#define JKRESCALE_SHELL_SHELL_H_

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "launch/game_finder.h"
#include "launch/play_session.h"
#include "launch/work_folder.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "scaling/scale_run.h"
#include "shell/player_line.h"
#include "shell/settings.h"
#include "shell/window_interfaces.h"

namespace jk {

struct ShellEnvironment {
  // The folder that holds the program: where every run writes.
  std::string work_folder;
  // Names the settings file (see settings.h).
  std::string identity_text;
  // How hard clean-ups try.
  CleanupPacing cleanup_pacing;
  // Looks for the installed games, on the first start (no settings file);
  // none means no search.
  std::function<GameSearch()> find_games;
  // The folder a mod is made in before it is packed: a new folder of this
  // path, or for "" a new temporary folder (see ModRequest).
  std::string mod_work_folder;
};

// The environment of the desktop program as the user starts it: the settings
// named after the user, the installed games searched for on the system, a
// mod made in a temporary folder.
ShellEnvironment DesktopEnvironment(FileSystem& fs, ProcessRunner& runner,
                                    const std::string& work_folder);

// What the archive list shows.
enum class ArchiveListMode {
  // The episode archives found below the game folders.
  kEpisodes,
  // The levels of one of them, opened with a double-click.
  kLevels,
};

// The caption above the archive list in each mode ("&" marks the key that
// goes to the list with Alt), and what the list says when it has nothing to
// show.
inline constexpr const char* kEpisodesCaption = "Episode &archives (double-click one to open it):";
std::string LevelsCaption(const std::string& archive_path);
inline constexpr const char* kNoEpisodes =
    "No episode archive was found below the game's folders. Type or browse to JK.EXE (and "
    "JKM.EXE for Mysteries of the Sith) above.";
inline constexpr const char* kNoLevels =
    "This archive holds no level. Go back to the episodes to pick another one.";

// The hint of an archive in the list that cannot be read, and what
// opening it says: `reason` is why ("damaged archive: ...").
std::string DamagedArchiveHint(const std::string& reason);

// What the path fields say while they are empty.
inline constexpr const char* kGamePathPlaceholder = "Path of JK.EXE";
inline constexpr const char* kExpansionPathPlaceholder = "Path of JKM.EXE";

// What the factor field expects, and what it and the status line say
// while it holds no accepted factor.
inline constexpr const char* kFactorHint = "A number from 0.001 to 1000, with a dot, such as 2.5";
inline constexpr const char* kBadFactor = "The factor must be a number from 0.001 to 1000";

// The programs the path fields name, and what a field and the status line
// say while the one named is not there: "JK.EXE was not found at /x/JK.EXE".
inline constexpr const char* kGameProgram = "JK.EXE";
inline constexpr const char* kExpansionProgram = "JKM.EXE";
std::string ProgramNotFoundText(const std::string& program, const std::string& path);

// What the About box says.
std::string AboutText();

// The dialog that offers the installed games found on the first start, and
// how it shows each of them ("Jedi Knight, Steam: C:\...\JK.EXE").
inline constexpr const char* kFoundGamesTitle = "Installed games found";
inline constexpr const char* kFoundGamesText =
    "jkrescale found these copies of the game. Pick the one to use; you can still type a path "
    "or browse to another one.";
inline constexpr const char* kLookingForGames = "Looking for installed games…";
std::string FoundGameItem(const GameInstall& install);

// The title of the dialog that saves a mod, the question before it
// replaces a file, and what a saved mod says.
inline constexpr const char* kSaveModTitle = "Save the scaled level as a mod";
std::string ReplaceArchiveQuestion(const std::string& archive_path);
std::string ModSavedText(const std::string& archive_path);

// The first item of the extra list: no extra archive copied along.
inline constexpr const char* kNoExtraArchive = "NONE";

// The status line while the game runs, and what closing the window then
// says.
inline constexpr const char* kWaitingForTheGame = "Waiting for the game to end…";
inline constexpr const char* kCannotCloseYet =
    "The game is still running on the scaled level. jkrescale removes the scaled level from "
    "its folder when the game ends, so it cannot close before: quit the game first.";

class Shell : public MainWindowEvents {
 public:
  // The references must outlive the shell.
  Shell(FileSystem& fs, WindowSystem& windows, ProcessRunner& runner, ShellEnvironment env);
  // The window raises no event once the shell is gone (a field that loses
  // the focus as the windows close would).
  ~Shell() override;

  // The whole program: StartUp, the window's events until it is closed, End.
  void Run();

  // Cleans the work folder of what an earlier run left, reads the settings,
  // shows the main window and puts the two paths into their fields (which
  // fills the lists through their change events).
  void StartUp();
  // Writes the settings file when the settings changed since it was read
  // or written; a failure is shown in a message.
  void End();

  void OnBrowseGame() override;
  void OnBrowseExpansion() override;
  void OnGamePathChanged() override;
  void OnExpansionPathChanged() override;
  void OnPathFieldLeft() override;
  void OnFactorChanged() override;
  void OnGravityChanged() override;
  void OnArchiveSelectionChanged() override;
  void OnArchiveActivated() override;
  void OnScaleAndPlay() override;
  void OnSaveAsMod() override;
  void OnStartInLevelChanged() override;
  void OnBack() override;
  void OnRefresh() override;
  bool OnCloseRequested() override;
  void OnAbout() override;

 private:
  // Lists the episode archives and the extra archives found below the two
  // game folders; the archive list shows the episodes again, and Back to
  // the episodes is unavailable. With `keep_picks` (a refresh), the items
  // picked before stay picked when they are still there; else none is, and
  // the extra list is back at "NONE".
  void RefreshArchiveLists(bool keep_picks = false);
  // Colours a path field light red while the file it names is not there,
  // its hint saying so; an empty field is white.
  void MarkPathField(TextField& field, const std::string& program, const std::string& path);
  // Shows the levels of `tables`' archive, the level named `level` picked
  // when there is one.
  void ShowLevels(const LevelArchiveTables& tables, const std::string& level);
  // Scale and play is enabled only while a level is picked and the program
  // that would be started (the game, or the expansion for a ".goo"
  // archive) is there; Save as mod while a level is picked. "Start in the
  // level" is enabled while that program is OpenJKDF2, and unticked while
  // it is not. Then the status line follows (ShowStatus).
  void UpdateCommands();
  // Why Scale and play cannot be clicked, or why a field is light red: in
  // the levels of an archive, the program that would start is not there;
  // in the episodes, a path field names no file (the game's first); then,
  // the factor is not accepted. "" when none of these holds.
  std::string Hindrance() const;
  // The status line says the hindrance while there is one, else what the
  // last run left out (run_note_). Left alone while a run goes on.
  void ShowStatus();
  // Writes the settings when they differ from what the file holds.
  void SaveSettings();
  // On the first start: the installed games found, offered in a dialog;
  // the one picked fills its path field, and the other game's of the same
  // kind the other field when it is empty.
  void OfferFoundGames();
  // A path typed or browsed to that differs from the setting's: its data
  // folder and the OpenJKDF2 setting were the old path's.
  void TakeGamePath(const std::string& path);
  void TakeExpansionPath(const std::string& path);
  // The player line follows the level picked (none in the episodes mode),
  // the factor and the gravity choice.
  void PickPlayerLevel();
  void ShowPlayerLine();
  // The factor field's text when it is an accepted factor; else false,
  // after saying so.
  bool CheckFactor();
  // What the user chose in the window, for a play session or a mod.
  PlayChoices Choices() const;
  // The executable a run of the opened archive would start.
  const std::string& ProgramToStart() const;
  // The archive list shows the levels of an expansion archive (".goo").
  bool OpensExpansion() const;
  // Saves the mod of the picked level as `archive_path`, showing the
  // progress window, and notes in the status line what it left out.
  Status SaveModShowingProgress(const PlayRequest& request, const std::string& archive_path);
  // Browse for an executable; true when the user picked an existing file.
  bool Browse(const std::string& title, const std::string& folder, const std::string& proposed_name,
              std::string* path);
  // The extra archive picked in the extra list; "" for "NONE" or none.
  std::string SelectedExtraArchive() const;
  // The play session of one Scale and play, with the main window disabled;
  // the message to show, "" when all went well (or the user cancelled).
  // `note` receives what the run left out, "" for nothing.
  std::string ScaleAndPlay(std::string* note);

  FileSystem& fs_;
  WindowSystem& windows_;
  MainWindow& window_;
  MainWindowControls controls_;
  ProcessRunner& runner_;
  ShellEnvironment env_;
  long long settings_suffix_ = 0;
  // False when the settings file is there but could not be read: it is then
  // never replaced, so that the paths in it are not lost.
  bool save_settings_ = true;
  // The settings as the settings file holds them, and as they stand.
  Settings saved_;
  Settings settings_;
  // A play session is under way (its game may be running).
  bool running_ = false;
  // What the last run or mod left out, "" for nothing: the status line
  // shows it while nothing hinders a run.
  std::string run_note_;

  // The folders that hold the games' Episode and Resource folders.
  std::string game_folder_, expansion_folder_;
  // The full paths behind the items of the archive list (in its episodes
  // mode) and of the extra list (after its "NONE").
  std::vector<std::string> episode_paths_, extra_paths_;
  // Of the episode paths, the archives that cannot be read, and why.
  std::map<std::string, std::string> damaged_archives_;
  ArchiveListMode list_mode_ = ArchiveListMode::kEpisodes;
  // The archive whose levels the archive list shows.
  std::string opened_archive_;
  // The model and cog lists of the opened archive; they last as long as it.
  ReferenceLists references_;
  PlayerLine player_line_;
};

}  // namespace jk

#endif  // JKRESCALE_SHELL_SHELL_H_
