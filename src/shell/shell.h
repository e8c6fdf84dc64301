// The desktop program's shell: start-up, the main window's event handlers,
// the level list, the scale command with its launch and clean-up, and the
// settings written at the end. Everything it does to windows, dialogs and
// other programs goes through the platform interfaces, so the same shell
// runs on the Qt widgets and, in tests, on the fake window layer.
#ifndef JKRESCALE_SHELL_SHELL_H_
#define JKRESCALE_SHELL_SHELL_H_

#include <string>
#include <vector>

#include "archives/archive_tables.h"
#include "launch/work_folder.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/ui.h"
#include "scaling/scale_run.h"

namespace jk {

struct ShellEnvironment {
  // The folder that holds the program: where every run writes.
  std::string work_folder;
  // Names the settings file (see settings.h).
  std::string identity_text;
};

// The caption above lb1 in its two views.
inline constexpr const char* kArchiveViewCaption =
    "Episode archives (double-click one to open it):";
std::string LevelViewCaption(const std::string& archive_path);

// The text scaleby starts with.
inline constexpr const char* kInitialScaleFactor = "1";

class Shell : public MainWindowEvents {
 public:
  // The references must outlive the shell.
  Shell(FileSystem& fs, WindowSystem& ui, ProcessRunner& runner, ShellEnvironment env);

  // The whole program: StartUp, the window's events until frm1 is closed,
  // End.
  void Run();

  // Cleans the work folder of what an earlier run left, reads the settings,
  // shows frm1 and puts the two paths into ed1 and ed2 (which fills the
  // lists through their change events).
  void StartUp();
  // Writes the settings file; a failure is shown in a message.
  void End();

  void brs_jk_Click() override;
  void brs_mots_Click() override;
  void ed1_Change() override;
  void ed2_Change() override;
  void scaleby_Change() override;
  void lb1_Click() override;
  void lb1_DblClick() override;
  void cmd1_Click() override;
  void cmd2_Click() override;

  // For tests: how hard clean-ups try.
  void set_cleanup_pacing(const CleanupPacing& pacing) { pacing_ = pacing; }

  const std::string& game_path() const { return game_path_; }
  const std::string& expansion_path() const { return expansion_path_; }
  const std::string& game_folder() const { return game_folder_; }
  const std::string& expansion_folder() const { return expansion_folder_; }
  int selected_archive() const { return selected_archive_; }
  const std::vector<std::string>& episode_paths() const { return episode_paths_; }
  const std::vector<std::string>& extra_paths() const { return extra_paths_; }
  long long settings_suffix() const { return suffix_; }

 private:
  // Rebuilds lb1's archive view and lb2 from the two paths.
  void RefreshLevelList();
  // Keeps cmd1 enabled only while a level can be scaled.
  void UpdateScaleButton();
  // Browse for an executable; true when the user picked an existing file.
  bool Browse(const std::string& title, const std::string& folder,
              const std::string& proposed_name, std::string* path);
  // The extra archive picked in lb2; "" for "NONE" or an empty list.
  std::string SelectedExtraArchive() const;
  // The scale run, the game and the clean-up of one cmd1_Click, with frm1
  // disabled; the message to show, "" when all went well.
  std::string ScaleAndPlay();
  // Notes the copy the run is about to make in the run record; refuses to
  // replace a different archive of the same name in the work folder.
  Status PrepareCopyRecord(const std::string& extra_archive);

  FileSystem& fs_;
  WindowSystem& ui_;
  MainWindow& frm1_;
  ProcessRunner& runner_;
  ShellEnvironment env_;
  CleanupPacing pacing_;
  long long suffix_ = 0;

  std::string game_path_, expansion_path_;
  std::string game_folder_, expansion_folder_;
  std::vector<std::string> episode_paths_, extra_paths_;
  // Index of the opened archive in episode_paths_; -1 in the archive view.
  int selected_archive_ = -1;
  LevelArchiveTables tables_;
  // The model and cog lists of the opened archive; they last as long as it.
  ReferenceLists references_;
};

}  // namespace jk

#endif  // JKRESCALE_SHELL_SHELL_H_
