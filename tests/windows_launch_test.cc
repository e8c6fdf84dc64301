// Starting the game on Windows: the stand-in game in the place of JK.EXE,
// in a folder whose name holds a blank, started natively on work folders
// whose paths hold blanks or are too long for the game.
#ifdef _WIN32

#include <gmock/gmock.h>

#include <filesystem>

#include "launch/game_launch.h"
#include "platform/process.h"
#include "platform/real_file_system.h"
#include "platform/short_path.h"
#include "shell_fixture.h"
#include "stand_in_fixture.h"
#include "test_util.h"

namespace jk {
namespace {

using ::testing::IsEmpty;
using ::testing::IsSupersetOf;

class WindowsLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(FsPath(game_folder_));
    std::filesystem::copy_file(FsPath(StandInGamePath()), FsPath(game_));
  }

  // A work folder as a scale run leaves it for the game.
  std::string MakeWorkFolder(const std::string& name) {
    temp_.WriteFile(name + "/episode.jk", "x");
    temp_.WriteFile(name + "/jkl/level.jkl", "x");
    return temp_.Path(name);
  }

  Status StartGame(const std::string& work_folder) {
    GameChoice game = ChooseGame("Episode\\level.gob", game_, "");
    return PlanAndRunGame(fs_, *runner_, game, work_folder, "", nullptr);
  }

  TempFolder temp_;
  std::string game_folder_ = temp_.Path("Jedi Knight/");
  std::string game_ = game_folder_ + "JK.EXE";
  RealFileSystem fs_;
  std::unique_ptr<ProcessRunner> runner_ = MakeSystemProcessRunner();
};

// A work folder with blanks in its name reaches the game as its short form,
// one word without a blank through which the game finds the files; the
// executable's path, blank and all, is quoted; the game runs in its folder.
TEST_F(WindowsLaunchTest, WorkFolderWithBlanksArrivesAsItsShortForm) {
  std::string work = MakeWorkFolder("work folder with blanks");
  Status status = StartGame(work);
  ASSERT_TRUE(status.ok()) << status.message();
  std::string short_form;
  ASSERT_TRUE(ShortPath(work, &short_form).ok());
  EXPECT_EQ(short_form.find(' '), std::string::npos) << short_form;

  std::vector<std::string> report = StandInReport(game_folder_);
  ASSERT_FALSE(report.empty());
  EXPECT_EQ(report[0], "command line: \"" + game_ +
                           "\" -debug con -verbose 2 -devmode -windowgui -path " + short_form);
  std::string working_folder = game_folder_.substr(0, game_folder_.size() - 1);
  std::vector<std::string> start = StartOfReport(game_, short_form, working_folder);
  ASSERT_GE(report.size(), start.size());
  EXPECT_EQ(std::vector<std::string>(report.begin(), report.begin() + start.size()), start);
  EXPECT_THAT(report, IsSupersetOf({"work folder: episode.jk", "work folder: jkl/level.jkl"}));
}

// A work folder so deep that a file in it has more than 127 characters
// from the game's view: the message says so and the game is not started.
TEST_F(WindowsLaunchTest, TooLongWorkFolderStartsNothing) {
  // Names of eight letters are their own short forms.
  std::string deep;
  for (int i = 0; i < 12; ++i) deep += "folder" + std::to_string(10 + i) + "/";
  std::string work = MakeWorkFolder(deep + "work");
  std::string short_form;
  ASSERT_TRUE(ShortPath(work, &short_form).ok());
  std::string longest = short_form + "\\jkl\\level.jkl";
  ASSERT_GT(longest.size(), kGamePathLimit);

  EXPECT_EQ(StartGame(work).message(),
            "'" + longest + "': is " + std::to_string(longest.size()) +
                " characters long, more than the 127 the game can open; move jkrescale to a "
                "shorter folder");
  EXPECT_THAT(StandInReport(game_folder_), IsEmpty());
}

}  // namespace
}  // namespace jk

#endif  // _WIN32
