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

std::string LevelProgressText(double share) {
  return "Scaling the level… " + std::to_string(WholePercent(share)) + "%";
}

std::string ModelProgressText(int64_t done, int64_t count) {
  return "Scaling models: " + std::to_string(done) + " of " + std::to_string(count);
}

double ModelFraction(int64_t done, int64_t count) {
  return count > 0 ? double(done) / double(count) : 1.0;
}

}  // namespace jk
