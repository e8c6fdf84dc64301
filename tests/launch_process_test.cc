// Starting programs on this system: arguments, working folder, environment,
// waiting, and programs that cannot be started.
#include <gmock/gmock.h>

#include "platform/process.h"
#include "platform/system.h"
#include "shell_fixture.h"

namespace jk {
namespace {

class ProcessTest : public ::testing::Test {
 protected:
  std::unique_ptr<ProcessRunner> runner_ = MakeSystemProcessRunner();
  TempFolder temp_;
};

// Arguments arrive as they are, in the working folder, with the added
// variables.
TEST_F(ProcessTest, CapturesWhatTheProgramSees) {
  ProcessSpec spec{"sh", {"-c", "pwd; echo \"$1|$2|$WINEDEBUG\"", "sh", "a b", "c\\d"}, "",
                   temp_.path(), {"WINEDEBUG=-all"}};
  std::string output;
  ASSERT_TRUE(runner_->RunAndCapture(spec, &output).ok());
  EXPECT_EQ(output, temp_.path() + "\na b|c\\d|-all\n");
}

// RunAndWait returns once the program has ended, pumping meanwhile.
TEST_F(ProcessTest, WaitsWhilePumping) {
  int pumps = 0;
  ProcessSpec spec{"sh", {"-c", "sleep 0.2; echo done > out.txt"}, "", temp_.path(), {}};
  ASSERT_TRUE(runner_->RunAndWait(spec, [&] { ++pumps; }).ok());
  EXPECT_EQ(ReadWholeFile(temp_.Path("out.txt")), "done\n");
  EXPECT_GT(pumps, 0);
}

// A missing program, or a missing working folder, is reported by name.
TEST_F(ProcessTest, ProgramsThatCannotStart) {
  ProcessSpec missing{temp_.Path("nothing"), {}, "", "", {}};
  EXPECT_EQ(runner_->RunAndWait(missing, nullptr).message(),
            "'" + temp_.Path("nothing") + "': cannot start: no such program, or it is not "
            "executable");
  ProcessSpec nowhere{"/bin/sh", {"-c", "true"}, "", temp_.Path("gone"), {}};
  EXPECT_EQ(runner_->RunAndWait(nowhere, nullptr).message(),
            "'/bin/sh': cannot start in '" + temp_.Path("gone") +
            "': No such file or directory");
  std::string output;
  EXPECT_EQ(runner_->RunAndCapture({"sh", {"-c", "exit 3"}, "", "", {}}, &output).message(),
            "'sh': ended with a failure");
  EXPECT_EQ(runner_->FindProgram("no-such-program-here"), "");
  EXPECT_NE(runner_->FindProgram("sh"), "");
}

// The program's folder is the folder of the test executable.
TEST(SystemTest, ProgramFolder) {
  std::string folder;
  ASSERT_TRUE(ProgramFolder(&folder).ok());
  EXPECT_TRUE(std::filesystem::exists(folder + "/jkrescale_tests"));
  EXPECT_NE(UserName(), "");
}

}  // namespace
}  // namespace jk
