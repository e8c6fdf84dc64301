// Starting programs on this system: arguments, working folder, environment,
// waiting, and programs that cannot be started.
#include <gmock/gmock.h>

#include "platform/path.h"
#include "platform/process.h"
#include "platform/system.h"
#include "shell_fixture.h"
#include "stand_in_fixture.h"
#include "test_util.h"
#ifdef _WIN32
#include <windows.h>

#include "platform/wide_text.h"
#endif

namespace jk {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

#ifdef _WIN32
constexpr const char* kTestProgram = "jkrescale_tests.exe";
// A program of the system that ends with the status 3.
const ProgramStart kFailingProgram{"cmd", {"/c", "exit", "3"}, "", "", {}};
#else
constexpr const char* kTestProgram = "jkrescale_tests";
const ProgramStart kFailingProgram{"sh", {"-c", "exit 3"}, "", "", {}};
#endif

// The lines of a program's output, without the CR that Windows programs
// write before each line break.
std::vector<std::string> Lines(const std::string& output) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : output) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  return lines;
}

class ProcessTest : public ::testing::Test {
 protected:
  std::unique_ptr<ProcessRunner> runner_ = MakeSystemProcessRunner();
  TempFolder temp_;
  std::string game_ = StandInGamePath();
};

// Arguments arrive as they are, blanks, backslashes, quotes and empty ones
// included, in the working folder, with the added variables.
TEST_F(ProcessTest, CapturesWhatTheProgramSees) {
  ProgramStart start{game_,
                     {"a b", "c\\d", "say \"hi\"", "", "end\\", "\\\\\"x\\ y\\"},
                     "",
                     temp_.path(),
                     {"JKRESCALE_STAND_IN_NOTE=a note"}};
  std::string output;
  Status status = runner_->RunAndCapture(start, &output);
  ASSERT_TRUE(status.ok()) << status.message();
  std::vector<std::string> expected = {"jkrescale's stand-in game was started with:"};
#ifdef _WIN32
  // Each argument quoted only when it must be; backslashes doubled only
  // before a quote.
  expected.push_back("command line: \"" + game_ +
                     "\" \"a b\" c\\d \"say \\\"hi\\\"\" \"\" end\\ \"\\\\\\\\\\\"x\\ y\\\\\"");
#endif
  for (const std::string& argument : start.arguments) expected.push_back("argument: " + argument);
  expected.push_back("working folder: " + temp_.path());
  expected.push_back("note: a note");
  EXPECT_THAT(Lines(output), ElementsAreArray(expected));
}

// RunAndWait returns once the program has ended, pumping meanwhile.
TEST_F(ProcessTest, WaitsWhilePumping) {
  int pumps = 0;
  ProgramStart start{game_, {}, "", temp_.path(), {"JKRESCALE_STAND_IN_SECONDS=0.2"}};
  ASSERT_TRUE(runner_->RunAndWait(start, [&] { ++pumps; }).ok());
  EXPECT_THAT(StandInReport(temp_.path()), ::testing::Contains("working folder: " + temp_.path()));
  EXPECT_GT(pumps, 0);
}

// A missing program, or a missing working folder, is reported by name.
TEST_F(ProcessTest, ProgramsThatCannotStart) {
  ProgramStart missing{temp_.Path("nothing"), {}, "", "", {}};
  EXPECT_EQ(runner_->RunAndWait(missing, nullptr).message(),
            "'" + temp_.Path("nothing") +
                "': cannot start: no such program, or it is not "
                "executable");
#ifdef _WIN32
  std::string no_folder = SystemErrorText(ERROR_DIRECTORY);
#else
  std::string no_folder = "No such file or directory";
#endif
  ProgramStart nowhere{game_, {}, "", temp_.Path("gone"), {}};
  EXPECT_EQ(runner_->RunAndWait(nowhere, nullptr).message(),
            "'" + game_ + "': cannot start in '" + temp_.Path("gone") + "': " + no_folder);
  std::string output;
  EXPECT_EQ(runner_->RunAndCapture(kFailingProgram, &output).message(),
            "'" + kFailingProgram.program + "': ended with a failure");
  EXPECT_EQ(runner_->FindProgram("no-such-program-here"), "");
  EXPECT_NE(runner_->FindProgram(kFailingProgram.program), "");
}

// The program's folder is the folder of the test executable.
TEST(SystemTest, ProgramFolder) {
  std::string folder;
  ASSERT_TRUE(ProgramFolder(&folder).ok());
  EXPECT_TRUE(std::filesystem::exists(FsPath(JoinPath(folder, kTestProgram))));
  EXPECT_NE(UserName(), "");
}

// Environment variables read in UTF-8; temporary folders are new each time.
TEST(SystemTest, EnvironmentAndTemporaryFolders) {
  const std::string value =
      "/a b/J\xC3\xA9"
      "di";
#ifdef _WIN32
  _wputenv_s(L"JKRESCALE_TEST_VALUE", WideOf(value).c_str());
#else
  setenv("JKRESCALE_TEST_VALUE", value.c_str(), 1);
#endif
  EXPECT_EQ(EnvironmentVariable("JKRESCALE_TEST_VALUE"), value);
  EXPECT_EQ(EnvironmentVariable("JKRESCALE_NO_SUCH_VARIABLE"), "");

  std::string first, second;
  ASSERT_TRUE(CreateTemporaryFolder("jkrescale-test-", &first).ok());
  ASSERT_TRUE(CreateTemporaryFolder("jkrescale-test-", &second).ok());
  EXPECT_NE(first, second);
  for (const std::string& folder : {first, second}) {
    EXPECT_TRUE(FileNameOf(folder).starts_with("jkrescale-test-")) << folder;
    EXPECT_TRUE(std::filesystem::is_empty(FsPath(folder))) << folder;
    std::filesystem::remove(FsPath(folder));
  }
}

}  // namespace
}  // namespace jk
