// OpenJKDF2 as the game: recognised by its name or by choice, started
// directly with the absolute work folder, in the level or at its menus;
// planned, and run with the stand-in game in its place.
#include <gmock/gmock.h>

#include <filesystem>

#include "launch/game_launch.h"
#include "platform/path.h"
#include "platform/process.h"
#include "platform/short_path.h"
#include "platform/system.h"
#include "shell_fixture.h"
#include "stand_in_fixture.h"
#include "test_util.h"

namespace jk {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::IsSubsetOf;

#ifdef _WIN32
constexpr const char* kOpenJkdf2Name = "openjkdf2.exe";
#else
constexpr const char* kOpenJkdf2Name = "openjkdf2";
#endif

const std::vector<std::string> kSwitches = {"-debug",   "con",        "-verbose", "2",
                                            "-devmode", "-windowgui", "-path"};

// The arguments OpenJKDF2 gets for `path_value`, and `more` after them.
std::vector<std::string> Arguments(const std::string& path_value,
                                   const std::vector<std::string>& more = {}) {
  std::vector<std::string> arguments = kSwitches;
  arguments.push_back(path_value);
  arguments.insert(arguments.end(), more.begin(), more.end());
  return arguments;
}

// "openjkdf2" followed by anything, in any letter case, is OpenJKDF2.
TEST(OpenJkdf2Test, RecognisedByName) {
  for (const char* name : {"/usr/bin/openjkdf2", "/opt/OpenJKDF2/openjkdf2-64.exe", "OpenJKDF2.exe",
                           "/opt/OPENJKDF2_debug"}) {
    EXPECT_TRUE(IsOpenJkdf2(name)) << name;
  }
  for (const char* name : {"/usr/bin/openjk", "/g/JK.EXE", "/openjkdf2/jk", "my-openjkdf2"}) {
    EXPECT_FALSE(IsOpenJkdf2(name)) << name;
  }
}

// OpenJKDF2 starts as such on every system, by name or by choice.
TEST(OpenJkdf2Test, HowItStarts) {
  EXPECT_EQ(HowGameStarts("/g/openjkdf2", false), GameStart::kOpenJkdf2);
  EXPECT_EQ(HowGameStarts("/g/openjkdf2-64.exe", false), GameStart::kOpenJkdf2);
  EXPECT_EQ(HowGameStarts("/g/OpenJKDF2.exe", true), GameStart::kOpenJkdf2);
  EXPECT_EQ(HowGameStarts("/g/JK.EXE", false, true), GameStart::kOpenJkdf2);
  EXPECT_EQ(HowGameStarts("/g/jk.exe", true, true), GameStart::kOpenJkdf2);
}

// -episode takes the archive's file name, -map the level's, both without
// folder and extension.
TEST(OpenJkdf2Test, AutostartValues) {
  EXPECT_EQ(AutostartEpisode("/g/Episode/JK1.GOB"), "JK1");
  EXPECT_EQ(AutostartEpisode("C:\\g\\Episode\\my mod.v2.goo"), "my mod.v2");
  EXPECT_EQ(AutostartMap("jkl\\01narshadda.jkl"), "01narshadda");
  EXPECT_EQ(AutostartMap("jkl\\sub\\deep.jkl"), "deep");
  EXPECT_THAT(AutostartArguments("JK1", "canyon"),
              ElementsAre("-autostart", "-sp", "-episode", "JK1", "-map", "canyon"));
}

// In the level by default, at the menus when asked; never for the
// original game, which has no such switches.
TEST(OpenJkdf2Test, ChoosesTheStart) {
  GameChoice in_level =
      ChooseGame("/g/Episode/ep1.gob", "jkl\\two.jkl", "/o/openjkdf2", "/m/JKM.EXE", {});
  EXPECT_EQ(in_level.executable, "/o/openjkdf2");
  EXPECT_EQ(in_level.folder, "/o/");
  EXPECT_EQ(in_level.start, GameStart::kOpenJkdf2);
  EXPECT_EQ(in_level.autostart_episode, "ep1");
  EXPECT_EQ(in_level.autostart_map, "two");

  GameChoice at_menus =
      ChooseGame("/g/Episode/ep1.gob", "jkl\\two.jkl", "/o/openjkdf2", "", {false, false});
  EXPECT_EQ(at_menus.start, GameStart::kOpenJkdf2);
  EXPECT_EQ(at_menus.autostart_episode, "");
  EXPECT_EQ(at_menus.autostart_map, "");

  GameChoice chosen = ChooseGame("/g/Episode/a.goo", "jkl\\x.jkl", "/g/JK.EXE", "/m/JKM", {true});
  EXPECT_EQ(chosen.executable, "/m/JKM");
  EXPECT_EQ(chosen.start, GameStart::kOpenJkdf2);
  EXPECT_EQ(chosen.autostart_episode, "a");

  GameChoice original = ChooseGame("/g/Episode/ep1.gob", "jkl\\two.jkl", "/g/JK.EXE", "", {});
  EXPECT_NE(original.start, GameStart::kOpenJkdf2);
  EXPECT_EQ(original.autostart_episode, "");
  EXPECT_EQ(original.autostart_map, "");
}

// The data folder of the game or of the expansion, whichever is chosen;
// none for the original game.
TEST(OpenJkdf2Test, ChoosesTheDataFolder) {
  GameOptions options{false, true, "/d/jk", "/d/mots"};
  EXPECT_EQ(ChooseGame("/d/jk/Episode/a.gob", "jkl\\x.jkl", "/o/openjkdf2", "/o/openjkdf2", options)
                .data_folder,
            "/d/jk");
  EXPECT_EQ(
      ChooseGame("/d/mots/Episode/a.goo", "jkl\\x.jkl", "/o/openjkdf2", "/o/openjkdf2", options)
          .data_folder,
      "/d/mots");
  EXPECT_EQ(ChooseGame("/g/Episode/a.gob", "jkl\\x.jkl", "/g/JK.EXE", "", options).data_folder, "");
}

class OpenJkdf2PlanTest : public ShellTest {
 protected:
  // On Windows the temporary folder may hold a blank; its short form does
  // not.
  void SetUp() override { ASSERT_TRUE(ShortPath(work_, &path_).ok()); }

  GameChoice game_{"/o/openjkdf2", "/o/", GameStart::kOpenJkdf2, "ep1", "two"};
  std::string path_;
  ProgramStart start_;
};

// Started directly, the work folder as it is (absolute), the autostart
// switches after it; no limit of 127 characters.
TEST_F(OpenJkdf2PlanTest, InTheLevel) {
  ASSERT_TRUE(PlanGameStart(fs_, runner_, game_, path_, "", &start_).ok());
  EXPECT_EQ(start_.program, "/o/openjkdf2");
  EXPECT_EQ(start_.arguments,
            Arguments(path_, {"-autostart", "-sp", "-episode", "ep1", "-map", "two"}));
  EXPECT_EQ(start_.command_line,
            "\"/o/openjkdf2\" -debug con -verbose 2 -devmode -windowgui -path " + path_ +
                " -autostart -sp -episode ep1 -map two");
  EXPECT_EQ(start_.working_folder, "/o/");
  EXPECT_THAT(start_.environment, IsEmpty());

  std::string deep = JoinPath(path_, std::string(200, 'd'));
  ASSERT_TRUE(PlanGameStart(fs_, runner_, game_, deep, "", &start_).ok());
  EXPECT_EQ(start_.arguments[7], deep);
}

// At the menus: the game's switches only.
TEST_F(OpenJkdf2PlanTest, AtTheMenus) {
  game_.autostart_episode = game_.autostart_map = "";
  ASSERT_TRUE(PlanGameStart(fs_, runner_, game_, path_, "", &start_).ok());
  EXPECT_EQ(start_.arguments, Arguments(path_));
  EXPECT_EQ(start_.command_line,
            "\"/o/openjkdf2\" -debug con -verbose 2 -devmode -windowgui -path " + path_);
}

// With a data folder of its own, OpenJKDF2 starts there and is told so.
TEST_F(OpenJkdf2PlanTest, WithADataFolder) {
  game_.data_folder = "/d/openjkdf2";
  ASSERT_TRUE(PlanGameStart(fs_, runner_, game_, path_, "", &start_).ok());
  EXPECT_EQ(start_.working_folder, "/d/openjkdf2");
  EXPECT_THAT(start_.environment, ElementsAre("OPENJKDF2_ROOT=/d/openjkdf2"));
  EXPECT_EQ(start_.arguments,
            Arguments(path_, {"-autostart", "-sp", "-episode", "ep1", "-map", "two"}));
}

// Names with blanks stay one argument each, and are quoted on the command
// line.
TEST_F(OpenJkdf2PlanTest, NamesWithBlanks) {
  game_.autostart_episode = "My Mod";
  game_.autostart_map = "my\tlevel";
  ASSERT_TRUE(PlanGameStart(fs_, runner_, game_, path_, "", &start_).ok());
  EXPECT_EQ(start_.arguments,
            Arguments(path_, {"-autostart", "-sp", "-episode", "My Mod", "-map", "my\tlevel"}));
  EXPECT_EQ(start_.command_line,
            "\"/o/openjkdf2\" -debug con -verbose 2 -devmode -windowgui -path " + path_ +
                " -autostart -sp -episode \"My Mod\" -map \"my\tlevel\"");
}

// A relative work folder becomes absolute; one with a blank or a tab is
// refused.
TEST_F(OpenJkdf2PlanTest, WorkFolderPath) {
  ASSERT_TRUE(PlanGameStart(fs_, runner_, game_, "work", "", &start_).ok());
  EXPECT_EQ(start_.arguments[7], JoinPath(Utf8Text(std::filesystem::current_path()), "work"));

  std::string blank = JoinPath(path_, "a b");
  EXPECT_EQ(PlanGameStart(fs_, runner_, game_, blank, "", &start_).message(),
            "'" + blank +
                "': the game cannot take a work folder whose path holds a blank or a tab; move "
                "jkrescale to a folder whose path has none");
}

// The stand-in game, named openjkdf2, in the place of OpenJKDF2.
class OpenJkdf2RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(FsPath(temp_.Path("game")));
    std::filesystem::copy_file(FsPath(StandInGamePath()), FsPath(game_.executable));
    temp_.WriteFile("work/episode.jk", "x");
    temp_.WriteFile("work/jkl/two.jkl", "x");
    // On Windows the temporary folder may hold a blank; its short form
    // does not.
    ASSERT_TRUE(ShortPath(temp_.Path("work"), &work_).ok());
  }

  // What the stand-in reported of its start: its command line (Windows
  // only), its arguments and its working folder.
  std::vector<std::string> ExpectedReport(const std::vector<std::string>& arguments) {
    std::vector<std::string> lines;
#ifdef _WIN32
    std::string line = "command line: \"" + game_.executable + "\"";
    for (const std::string& argument : arguments) line += " " + argument;
    lines.push_back(line);
#endif
    for (const std::string& argument : arguments) lines.push_back("argument: " + argument);
    lines.push_back("working folder: " + temp_.Path("game"));
    return lines;
  }

  TempFolder temp_;
  GameChoice game_{JoinPath(temp_.Path("game"), kOpenJkdf2Name), temp_.Path("game/"),
                   GameStart::kOpenJkdf2, "ep1", "two"};
  std::string work_;
  RealFileSystem fs_;
  std::unique_ptr<ProcessRunner> runner_ = MakeSystemProcessRunner();
};

// Started in the level: the game's switches, the work folder and the
// autostart switches reach it as planned, in the game's folder.
TEST_F(OpenJkdf2RunTest, StartsInTheLevel) {
  Status status = PlanAndRunGame(fs_, *runner_, game_, work_, "", nullptr);
  ASSERT_TRUE(status.ok()) << status.message();
  std::vector<std::string> expected =
      ExpectedReport(Arguments(work_, {"-autostart", "-sp", "-episode", "ep1", "-map", "two"}));
  std::vector<std::string> report = StandInReport(temp_.Path("game"));
  ASSERT_GE(report.size(), expected.size());
  EXPECT_THAT(std::vector<std::string>(report.begin(), report.begin() + expected.size()),
              ElementsAreArray(expected));
  EXPECT_THAT((std::vector<std::string>{"work folder: episode.jk", "work folder: jkl/two.jkl"}),
              IsSubsetOf(report));
}

// Started at the menus: no autostart switch.
TEST_F(OpenJkdf2RunTest, StartsAtTheMenus) {
  game_.autostart_episode = game_.autostart_map = "";
  ASSERT_TRUE(PlanAndRunGame(fs_, *runner_, game_, work_, "", nullptr).ok());
  std::vector<std::string> expected = ExpectedReport(Arguments(work_));
  std::vector<std::string> report = StandInReport(temp_.Path("game"));
  ASSERT_GE(report.size(), expected.size());
  EXPECT_THAT(std::vector<std::string>(report.begin(), report.begin() + expected.size()),
              ElementsAreArray(expected));
}

// A work folder with a blank starts nothing.
TEST_F(OpenJkdf2RunTest, WorkFolderWithABlankStartsNothing) {
  temp_.WriteFile("work folder/episode.jk", "x");
  std::string blank = temp_.Path("work folder");
  EXPECT_EQ(PlanAndRunGame(fs_, *runner_, game_, blank, "", nullptr).message(),
            "'" + blank +
                "': the game cannot take a work folder whose path holds a blank or a tab; move "
                "jkrescale to a folder whose path has none");
  EXPECT_THAT(StandInReport(temp_.Path("game")), IsEmpty());
}

}  // namespace
}  // namespace jk
