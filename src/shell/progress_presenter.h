// The progress of a scale run as the desktop program shows it: a line of
// text and a bar in the progress window, with the window's events let run
// at each redraw.
#ifndef JKRESCALE_SHELL_PROGRESS_PRESENTER_H_
#define JKRESCALE_SHELL_PROGRESS_PRESENTER_H_

#include <cstdint>
#include <string>

#include "scaling/progress.h"
#include "shell/window_interfaces.h"

namespace jk {

class ProgressPresenter : public ScaleProgress {
 public:
  // Both must outlive the presenter.
  ProgressPresenter(ProgressWindow* window, WindowSystem* windows)
      : window_(window), windows_(windows) {}

  void LevelText(double share) override;
  void Models(int64_t done, int64_t count) override;
  // What the progress window's Cancel says.
  bool CancelRequested() const override { return window_->CancelRequested(); }

 private:
  void Redraw(const std::string& text, double fraction);

  ProgressWindow* window_;
  WindowSystem* windows_;
  RedrawSchedule schedule_;
};

}  // namespace jk

#endif  // JKRESCALE_SHELL_PROGRESS_PRESENTER_H_
