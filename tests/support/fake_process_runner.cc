#include "fake_process_runner.h"

namespace jk {

std::string DescribeRun(const ProgramStart& start) {
  std::string text = start.program;
  for (const std::string& arg : start.arguments) text += " " + arg;
  return text;
}

Status FakeProcessRunner::RunAndWait(const ProgramStart& start,
                                     const std::function<void()>& while_waiting) {
  runs.push_back(start);
  log_->push_back("run: " + DescribeRun(start));
  if (while_waiting) while_waiting();
  return on_run ? on_run(start) : Status::Ok();
}

Status FakeProcessRunner::RunAndCapture(const ProgramStart& start, std::string* output) {
  auto it = captures.find(DescribeRun(start));
  if (it == captures.end()) return Status::IoError(start.program, "ended with a failure");
  *output = it->second;
  return Status::Ok();
}

std::string FakeProcessRunner::FindProgram(const std::string& name) {
  auto it = on_path.find(name);
  return it == on_path.end() ? "" : it->second;
}

}  // namespace jk
