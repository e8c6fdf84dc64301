// A process runner that runs nothing, for tests: it records each program it
// is asked to start and answers as the test says.
#ifndef JKRESCALE_TESTS_SUPPORT_FAKE_PROCESS_RUNNER_H_
#define JKRESCALE_TESTS_SUPPORT_FAKE_PROCESS_RUNNER_H_

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/process.h"

namespace jk {

// Records each program it is asked to run ("run: PROGRAM ARG ARG..." in
// `log`), answers RunAndCapture from `captures` (keyed by the program and
// its arguments joined with blanks), and finds the programs listed in
// `on_path`.
class FakeProcessRunner : public ProcessRunner {
 public:
  explicit FakeProcessRunner(std::vector<std::string>* log) : log_(log) {}

  Status RunAndWait(const ProgramStart& start, const std::function<void()>& while_waiting) override;
  Status RunAndCapture(const ProgramStart& start, std::string* output) override;
  std::string FindProgram(const std::string& name) override;

  // The programs started with RunAndWait.
  std::vector<ProgramStart> runs;
  // Called while the "program" runs; its Status is RunAndWait's.
  std::function<Status(const ProgramStart&)> on_run;
  std::map<std::string, std::string> captures;
  std::map<std::string, std::string> on_path;

 private:
  std::vector<std::string>* log_;
};

// "PROGRAM ARG ARG..." for a start.
std::string DescribeRun(const ProgramStart& start);

}  // namespace jk

#endif  // JKRESCALE_TESTS_SUPPORT_FAKE_PROCESS_RUNNER_H_
