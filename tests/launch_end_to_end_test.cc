// The whole flow on the real file system with a real program: a game folder
// of synthetic archives and a stand-in game that reports what it was
// started with and what the work folder held while it ran.
#include <gmock/gmock.h>

#include <algorithm>

#include "platform/path.h"
#include "platform/process.h"
#include "platform/short_path.h"
#include "shell_fixture.h"
#include "stand_in_fixture.h"
#include "test_util.h"

namespace jk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsSubsetOf;

class EndToEndTest : public ShellTest {
 protected:
  // A game folder whose executable is the stand-in, and a shell that starts
  // real programs.
  void SetUp() override {
    MakeGame();
    game_ = game_folder_ + kGameFileName;
    std::filesystem::copy_file(FsPath(StandInGamePath()), FsPath(game_),
                               std::filesystem::copy_options::overwrite_existing);
    WriteSettingsFile(game_ + "\r\n");
    real_runner_ = MakeSystemProcessRunner();
    shell_ = std::make_unique<Shell>(fs_, ui_, *real_runner_,
                                     ShellEnvironment{work_, identity_, kQuickCleanup});
    shell_->StartUp();
  }
  std::string game_;
  std::unique_ptr<ProcessRunner> real_runner_;
};

// The game runs on the scaled files with the command line as built, and
// the work folder is clean afterwards.
TEST_F(EndToEndTest, ScaleRunStartsTheGameOnTheScaledLevel) {
  OpenLevel(0, 1);
  main_window().Select(main_window().extra_list_, 1);
  main_window().factor_field_.SetText("2");
  main_window().gravity_check_box_.checked = true;
  main_window().Click(main_window().scale_button_);
  EXPECT_THAT(ui_.dialogs_.messages, ElementsAre());

  // On Windows the game gets the work folder's short form.
  std::string path_value;
  ASSERT_TRUE(ShortPath(work_, &path_value).ok());
  std::string working_folder = game_folder_.substr(0, game_folder_.size() - 1);
  std::vector<std::string> start = StartOfReport(game_, path_value, working_folder);
  std::vector<std::string> report = StandInReport(game_folder_);
  ASSERT_GE(report.size(), start.size());
  EXPECT_EQ(std::vector<std::string>(report.begin(), report.begin() + start.size()), start);
  std::vector<std::string> expected = {
      "work folder: 3do/",
      "work folder: cog/",
      "work folder: episode.jk",
      "work folder: extras.gob",
      "work folder: jkl/",
      "work folder: jkl/two.jkl",
      "work folder: misc/",
      "episode.jk| \"ep1.gob\"",
      "episode.jk| TYPE 1",
      "episode.jk| SEQ 1",
      "episode.jk| 10: 0 1 LEVEL two.jkl 0 0 -1 -1",
      "episode.jk| end",
      "jkl/two.jkl| World Gravity 2",
      "jkl/two.jkl| MipMap Distances 2 4 6 8",
  };
  EXPECT_THAT(expected, IsSubsetOf(report));
  EXPECT_THAT(Listing(work_), ElementsAre(SettingsFileName(SettingsSuffix(identity_))));
  EXPECT_TRUE(main_window().Enabled());
}

// A game executable that cannot be started: one message, a clean folder.
TEST_F(EndToEndTest, GameThatCannotBeStarted) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no executable permission to take away";
#endif
  std::filesystem::permissions(game_,
                               std::filesystem::perms::owner_exec |
                                   std::filesystem::perms::group_exec |
                                   std::filesystem::perms::others_exec,
                               std::filesystem::perm_options::remove);
  OpenLevel(0, 0);
  main_window().Click(main_window().scale_button_);
  EXPECT_THAT(ui_.dialogs_.messages, ElementsAre("'" + game_ +
                                                 "': cannot start: no such program, or it is not "
                                                 "executable"));
  EXPECT_THAT(Listing(work_), ElementsAre(SettingsFileName(SettingsSuffix(identity_))));
}

// `jkrescale-cli play` runs the same session without a window, in the
// program's own folder: the game is started on the scaled level with the
// game's command line from the game's folder, and the program's folder
// holds nothing of the run afterwards.
TEST_F(EndToEndTest, CommandLinePlayRunsTheSameSession) {
  std::string program_folder = temp_.Path("program");
  std::string cli = JoinPath(program_folder, JK_CLI_NAME);
  std::filesystem::create_directories(FsPath(program_folder));
  std::filesystem::copy_file(FsPath(JoinPath(FolderOf(StandInGamePath()), JK_CLI_NAME)),
                             FsPath(cli));
  ProgramStart start;
  start.program = cli;
  start.arguments = {"play",
                     NativeJoin(game_folder_, "Episode/ep1.gob"),
                     "jkl\\two.jkl",
                     "2",
                     "--game",
                     game_,
                     "--gravity",
                     "--extra",
                     game_folder_ + "extras.gob"};
  std::string output;
  Status played = real_runner_->RunAndCapture(start, &output);
  ASSERT_TRUE(played.ok()) << played.message();

  std::string path_value;
  ASSERT_TRUE(ShortPath(program_folder, &path_value).ok());
  std::string working_folder = game_folder_.substr(0, game_folder_.size() - 1);
  std::vector<std::string> expected = StartOfReport(game_, path_value, working_folder);
  for (const char* line :
       {"work folder: episode.jk", "work folder: extras.gob", "work folder: jkl/two.jkl",
        "jkl/two.jkl| World Gravity 2", "episode.jk| 10: 0 1 LEVEL two.jkl 0 0 -1 -1"}) {
    expected.push_back(line);
  }
  EXPECT_THAT(expected, IsSubsetOf(StandInReport(game_folder_)));
  EXPECT_THAT(Listing(program_folder), ElementsAre(JK_CLI_NAME));
}

// `jkrescale-cli play` with OpenJKDF2: the stand-in named openjkdf2, or
// named otherwise and chosen with --openjkdf2, is started directly with the
// program's folder as -path and loads the level at once, or starts at its
// menus with --no-autostart.
TEST_F(EndToEndTest, CommandLinePlayWithOpenJkdf2) {
  std::string program_folder = temp_.Path("program");
  if (program_folder.find(' ') != std::string::npos) {
    GTEST_SKIP() << "the temporary folder holds a blank, which OpenJKDF2 cannot take";
  }
  std::string cli = JoinPath(program_folder, JK_CLI_NAME);
  std::filesystem::create_directories(FsPath(program_folder));
  std::filesystem::copy_file(FsPath(JoinPath(FolderOf(StandInGamePath()), JK_CLI_NAME)),
                             FsPath(cli));
#ifdef _WIN32
  std::string openjkdf2 = game_folder_ + "OpenJKDF2-64.exe";
#else
  std::string openjkdf2 = game_folder_ + "OpenJKDF2-64";
#endif
  std::filesystem::copy_file(FsPath(StandInGamePath()), FsPath(openjkdf2));
  const std::vector<std::string> kAutostart = {"argument: -autostart", "argument: -sp",
                                               "argument: -episode",   "argument: ep1",
                                               "argument: -map",       "argument: two"};

  // The arguments after the game's switches that `play` with `options`
  // gave the game `game`, as it reported them in `folder`.
  auto play = [&](const std::string& game, std::vector<std::string> options,
                  const std::string& folder) {
    ProgramStart start;
    start.program = cli;
    start.arguments = {
        "play", NativeJoin(game_folder_, "Episode/ep1.gob"), "jkl\\two.jkl", "2", "--game", game};
    start.arguments.insert(start.arguments.end(), options.begin(), options.end());
    std::string output;
    Status played = real_runner_->RunAndCapture(start, &output);
    EXPECT_TRUE(played.ok()) << played.message();
    std::vector<std::string> report = StandInReport(folder);
    size_t first =
        size_t(std::find(report.begin(), report.end(), "argument: -path") - report.begin());
    std::vector<std::string> after;
    for (size_t i = first + 1; i < report.size() && report[i].starts_with("argument: "); ++i) {
      after.push_back(report[i]);
    }
    EXPECT_THAT(std::vector<std::string>{"jkl/two.jkl| World Gravity 4.000000"},
                IsSubsetOf(report));
    return after;
  };
  std::vector<std::string> expected = {"argument: " + program_folder};
  expected.insert(expected.end(), kAutostart.begin(), kAutostart.end());
  EXPECT_EQ(play(openjkdf2, {}, game_folder_), expected);
  EXPECT_EQ(play(game_, {"--openjkdf2"}, game_folder_), expected);
  EXPECT_EQ(play(openjkdf2, {"--no-autostart"}, game_folder_),
            std::vector<std::string>{"argument: " + program_folder});

  // OpenJKDF2 elsewhere, its data folder given: it starts there, and the
  // resource archive is the one there.
  std::string elsewhere = JoinPath(temp_.Path("bin"), FileNameOf(openjkdf2));
  std::filesystem::create_directories(FsPath(temp_.Path("bin")));
  std::filesystem::copy_file(FsPath(StandInGamePath()), FsPath(elsewhere));
  std::string data_folder = game_folder_.substr(0, game_folder_.size() - 1);
  std::filesystem::remove(FsPath(JoinPath(data_folder, "stand-in-game.txt")));
  EXPECT_EQ(play(elsewhere, {"--data", data_folder}, data_folder), expected);
  EXPECT_THAT(StandInReport(data_folder), ::testing::Contains("working folder: " + data_folder));
  EXPECT_THAT(Listing(program_folder), ElementsAre(JK_CLI_NAME));
}

}  // namespace
}  // namespace jk
