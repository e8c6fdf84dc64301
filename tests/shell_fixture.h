// A game folder, a work folder and the fake window layer, for the tests of
// the shell and of the launch: the real file system in a fresh temporary
// folder, synthetic archives, and windows and programs that only record.
#ifndef JKRESCALE_TESTS_SHELL_FIXTURE_H_
#define JKRESCALE_TESTS_SHELL_FIXTURE_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fake_process_runner.h"
#include "fake_windows.h"
#include "launch/game_launch.h"
#include "platform/real_file_system.h"
#include "shell/settings.h"
#include "shell/shell.h"
#include "test_archive.h"
#include "test_util.h"

namespace jk {

// Clean-ups that try as often as the program's but do not wait in between.
inline const CleanupPacing kQuickCleanup{3, std::chrono::milliseconds(0)};

// A level with a header the header step rewrites.
inline const char* kTestLevel =
    "SECTION: HEADER\r\n"
    "World Gravity 4.000000\r\n"
    "MipMap Distances 1.000000 2.000000 3.000000 4.000000\r\n"
    "\r\n"
    "SECTION: GEORESOURCE\r\n"
    "World vertices 1\r\n"
    "0:\t1.0\t2.0\t3.0\r\n";

// An episode archive with the levels "jkl\one.jkl" and "jkl\two.jkl".
TestArchive EpisodeArchive();
// An archive without an "episode.jk" entry.
TestArchive ExtraArchive();
// An episode archive with the level "jkl\left.jkl", whose scenery uses the
// model gone.3do, which no archive holds.
TestArchive ArchiveLeavingOutAModel();

// The files and folders below `folder`, relative with "/" on every system,
// sorted; folders end in "/".
std::vector<std::string> Listing(const std::string& folder);

// Plans the start of `game` as a play session does and runs it.
inline Status PlanAndRunGame(FileSystem& fs, ProcessRunner& runner, const GameChoice& game,
                             const std::string& work_folder, const std::string& extra_copy_name,
                             const std::function<void()>& while_waiting) {
  ProgramStart start;
  JK_RETURN_IF_ERROR(PlanGameStart(fs, runner, game, work_folder, extra_copy_name, &start));
  return runner.RunAndWait(start, while_waiting);
}

class ShellTest : public ::testing::Test {
 protected:
  ShellTest();

  // game/JK, game/Episode/ep1.gob, game/Resource/res2.gob,
  // game/extras.gob; returns the path of JK.
  std::string MakeGame();
  // Writes the settings file the shell reads.
  void WriteSettingsFile(const std::string& text);
  // Creates the shell and runs its start-up.
  void StartShell();
  // Opens the archive at the archive list's `item` and selects level `level`.
  void OpenLevel(int item, int level);
  // The folder the game's browse dialog starts in (the dialog is cancelled).
  std::string BrowsedFolder();

  FakeMainWindow& main_window() { return ui_.main_window_; }
  std::vector<std::string> Items(const ListControl& list) const;

  TempFolder temp_;
  std::string game_folder_;  // with its final separator
  std::string work_;
  RealFileSystem fs_;
  FakeWindowSystem ui_;
  FakeProcessRunner runner_{&ui_.record};
  std::unique_ptr<Shell> shell_;
  std::string identity_ = IdentityText("tester");
  // The search for installed games the shell is given (none by default).
  std::function<GameSearch()> find_games_;
};

}  // namespace jk

#endif  // JKRESCALE_TESTS_SHELL_FIXTURE_H_
