#include "scaling_fixture.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "cli/cli.h"
#include "platform/real_file_system.h"

namespace jk::scaling_test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  // A random part keeps test programs that run at the same time apart.
  static const unsigned run = std::random_device{}();
  static std::atomic<int> counter{0};
  fs::path base = fs::temp_directory_path() /
                  ("jkrescale-scaling-" + std::to_string(run) + "-" +
                   std::to_string(counter++));
  fs::remove_all(base);
  fs::create_directories(base);
  path_ = base.string();
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    names.push_back(entry.path().filename().string());
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
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  CliRun run;
  run.exit_code = RunCli(args, real, out, err, false);
  run.out = Drain(out);
  run.err = Drain(err);
  return run;
}

}  // namespace jk::scaling_test
