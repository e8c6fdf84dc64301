#include "shell/progress_presenter.h"

namespace jk {

using Phase = RedrawSchedule::Phase;

void ProgressPresenter::LevelText(double share) {
  // This runs many times a second: the text is made only when shown.
  if (!schedule_.ShouldRedraw(Phase::kLevelText, share >= 1)) return;
  Redraw(LevelProgressText(share), share);
}

void ProgressPresenter::Models(int64_t done, int64_t count) {
  if (!schedule_.ShouldRedraw(Phase::kModels, done >= count)) return;
  Redraw(ModelProgressText(done, count), ModelFraction(done, count));
}

void ProgressPresenter::Redraw(const std::string& text, double fraction) {
  window_->SetProgress(text, fraction);
  windows_->PumpEvents();
}

}  // namespace jk
