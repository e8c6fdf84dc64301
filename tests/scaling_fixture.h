// Helpers for the tests of the scaling steps: progress that records what a
// run reported, a temporary folder, files, and the command line run with its
// output captured.
#ifndef JKRESCALE_TESTS_SCALING_FIXTURE_H_
#define JKRESCALE_TESTS_SCALING_FIXTURE_H_

#include <string>
#include <vector>

#include "scaling/level_pass.h"
#include "scaling/progress.h"
#include "test_util.h"

namespace jk::scaling_test {

using jk::ReadFile;
using jk::TempFolder;
using jk::WriteFile;

// Records what a scale run reported: the level shares, and "i of n" for
// each report of the model pass.
struct RecordedProgress : ScaleProgress {
  void LevelText(double share) override { shares.push_back(share); }
  void Models(int64_t done, int64_t count) override {
    models.push_back(std::to_string(done) + " of " + std::to_string(count));
  }

  std::vector<double> shares;
  std::vector<std::string> models;
};

// What `handler` leaves of `line`.
inline std::string Handled(SectionHandler& handler, std::string line) {
  handler.HandleLine(line);
  return line;
}

// The names in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);
// The lines, each followed by CR LF (as the program writes them).
std::string CrLfLines(const std::vector<std::string>& lines);

struct CliRun {
  int exit_code = -1;
  std::string out, err;
};
// Runs jkrescale-cli on the real file system, without progress.
CliRun RunCliCaptured(const std::vector<std::string>& args);

}  // namespace jk::scaling_test

#endif  // JKRESCALE_TESTS_SCALING_FIXTURE_H_
