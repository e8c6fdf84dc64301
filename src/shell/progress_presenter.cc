#include "shell/progress_presenter.h"

namespace jk {

using Phase = RedrawSchedule::Phase;

std::string LevelProgressText(double share) {
  return "Scaling the level… " + std::to_string(WholePercent(share)) + "%";
}

std::string ModelProgressText(int64_t done, int64_t count) {
  return "Scaling models: " + std::to_string(done) + " of " + std::to_string(count);
}

void ProgressPresenter::LevelText(double share) {
  // This runs many times a second: the text is made only when shown.
  if (!schedule_.ShouldRedraw(Phase::kLevelText, share >= 1)) return;
  Redraw(LevelProgressText(share), share);
}

void ProgressPresenter::Models(int64_t done, int64_t count) {
  if (!schedule_.ShouldRedraw(Phase::kModels, done >= count)) return;
  Redraw(ModelProgressText(done, count), count > 0 ? double(done) / double(count) : 1.0);
}

void ProgressPresenter::Redraw(const std::string& text, double fraction) {
  window_->SetProgress(text, fraction);
  windows_->PumpEvents();
}

}  // namespace jk
