#include "scaling_fixture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "fake_process_runner.h"
#include "platform/real_file_system.h"
#include "test_util.h"

namespace jk::scaling_test {

namespace fs = std::filesystem;

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(FsPath(folder), ec)) {
    names.push_back(Utf8Text(entry.path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

static std::string Drain(std::FILE* file) {
  std::rewind(file);
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  std::fclose(file);
  return text;
}

CliRun RunCliCaptured(const std::vector<std::string>& args) {
  RealFileSystem real;
  std::vector<std::string> log;
  FakeProcessRunner runner(&log);
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  CliRun run;
  run.exit_code = RunCli(args, {real, runner, "", {}, out, err});
  run.out = Drain(out);
  run.err = Drain(err);
  return run;
}

}  // namespace jk::scaling_test
