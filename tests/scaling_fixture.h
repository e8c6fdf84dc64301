// Helpers for the tests of the scaling steps: a drawing surface that records
// the progress window's calls, a temporary folder, files, and the command
// line run with its output captured.
#ifndef JKRESCALE_TESTS_SCALING_FIXTURE_H_
#define JKRESCALE_TESTS_SCALING_FIXTURE_H_

#include <string>
#include <vector>

#include "platform/drawing.h"
#include "scaling/level_pass.h"
#include "scaling/progress.h"
#include "test_util.h"

namespace jk::scaling_test {

using jk::ReadFile;
using jk::TempFolder;
using jk::WriteFile;

// Each refresh of the progress window draws one text and pumps once.
struct RecordingSurface : DrawingSurface {
  void FillBox(double, double, double, double, Colour) override {}
  void DrawText(double, double, const std::string& text, Colour) override {
    texts.push_back(text);
  }
  void PumpEvents() override { ++pumps; }

  std::vector<std::string> texts;
  int pumps = 0;
};

// A progress window whose refreshes are counted.
struct CountedProgress {
  RecordingSurface surface;
  ProgressWindow window{&surface};
  int refreshes() const { return surface.pumps; }
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
