#include "scaling/progress.h"

#include <algorithm>
#include <cmath>

namespace jk {

bool RedrawSchedule::ShouldRedraw(Phase phase, bool last) {
  Clock::time_point now = Clock::now();
  if (phase == phase_ && !last && now - last_ < kInterval) return false;
  phase_ = phase;
  last_ = now;
  return true;
}

int WholePercent(double fraction) { return int(std::floor(std::clamp(fraction, 0.0, 1.0) * 100)); }

}  // namespace jk
