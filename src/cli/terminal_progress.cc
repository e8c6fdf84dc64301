#include "cli/terminal_progress.h"

namespace jk {

void TerminalProgress::LevelText(double share) {
  if (!ShouldDraw(Phase::kLevelText, share >= 1)) return;
  Draw(LevelProgressText(share));
}

void TerminalProgress::Models(int64_t done, int64_t count) {
  if (!ShouldDraw(Phase::kModels, done >= count)) return;
  Draw(ModelProgressText(done, count) + " (" +
       std::to_string(WholePercent(ModelFraction(done, count))) + "%)");
}

void TerminalProgress::Finish() {
  if (!line_open_) return;
  std::fputc('\n', terminal_);
  std::fflush(terminal_);
  line_open_ = false;
}

bool TerminalProgress::ShouldDraw(Phase phase, bool last) {
  Phase before = schedule_.phase();
  if (!schedule_.ShouldRedraw(phase, last)) return false;
  if (phase != before) Finish();
  return true;
}

void TerminalProgress::Draw(const std::string& text) {
  // "\033[K" clears what a longer earlier text left on the line.
  std::fprintf(terminal_, "\r%s\033[K", text.c_str());
  std::fflush(terminal_);
  line_open_ = true;
}

}  // namespace jk
