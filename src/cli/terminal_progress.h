// The progress of a scale run on a terminal: one line a phase, rewritten in
// place, "Scaling the level… 37%" and then "Scaling models: 12 of 40 (30%)".
#ifndef JKRESCALE_CLI_TERMINAL_PROGRESS_H_
#define JKRESCALE_CLI_TERMINAL_PROGRESS_H_

#include <cstdint>
#include <cstdio>
#include <string>

#include "scaling/progress.h"

namespace jk {

class TerminalProgress : public ScaleProgress {
 public:
  explicit TerminalProgress(std::FILE* terminal) : terminal_(terminal) {}

  void LevelText(double share) override;
  void Models(int64_t done, int64_t count) override;
  // Ends the line of the last phase shown.
  void Finish();

 private:
  using Phase = RedrawSchedule::Phase;
  // Starts a new line for a new phase.
  bool ShouldDraw(Phase phase, bool last);
  void Draw(const std::string& text);

  std::FILE* terminal_;
  RedrawSchedule schedule_;
  bool line_open_ = false;
};

}  // namespace jk

#endif  // JKRESCALE_CLI_TERMINAL_PROGRESS_H_
