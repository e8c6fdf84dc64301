// How far a scale run has got. The run reports what it has done, as
// fractions and counts; each front-end decides how and how often to show
// it (the desktop program in its progress window, the command line as a
// percentage on the terminal).
#ifndef JKRESCALE_SCALING_PROGRESS_H_
#define JKRESCALE_SCALING_PROGRESS_H_

#include <chrono>
#include <cstdint>
#include <string>

namespace jk {

class ScaleProgress {
 public:
  virtual ~ScaleProgress() = default;

  // The level text: `share` of it (from 0 to 1, by bytes) has been read.
  // Called after the first line, then about every 64 KiB of text, and
  // after the last line.
  virtual void LevelText(double share) = 0;

  // The model pass: `done` models of `count` have been written. Called
  // before each model and once more, with `done` equal to `count`, at the
  // end (also when there are none).
  virtual void Models(int64_t done, int64_t count) = 0;

  // Whether the user asked to stop. The run asks each time it reports the
  // level text's progress and before every model, and stops there.
  virtual bool CancelRequested() const { return false; }
};

// Progress that nobody watches.
class NoProgress : public ScaleProgress {
 public:
  void LevelText(double) override {}
  void Models(int64_t, int64_t) override {}
};

// When a front-end redraws the progress: at the start and at the end of
// each phase, and in between at most about 30 times a second. A front-end
// that redrew on every report would spend more time drawing than scaling.
class RedrawSchedule {
 public:
  enum class Phase { kNone, kLevelText, kModels };
  static constexpr std::chrono::milliseconds kInterval{33};

  // Whether to redraw for a report of `phase`; `last` marks the report
  // that ends the phase.
  bool ShouldRedraw(Phase phase, bool last);
  // The phase last redrawn.
  Phase phase() const { return phase_; }

 private:
  using Clock = std::chrono::steady_clock;
  Clock::time_point last_{};
  Phase phase_ = Phase::kNone;
};

// A whole percentage of `fraction`, from 0 to 100, rounded down, so that
// 100% means done.
int WholePercent(double fraction);

// How every front-end words the two phases: "Scaling the level… 37%" and
// "Scaling models: 12 of 40".
std::string LevelProgressText(double share);
std::string ModelProgressText(int64_t done, int64_t count);
// The share of the models done, from 0 to 1 (1 when there are none).
double ModelFraction(int64_t done, int64_t count);

}  // namespace jk

#endif  // JKRESCALE_SCALING_PROGRESS_H_
