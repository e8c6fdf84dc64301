#include "scaling/game_limits.h"

#include <algorithm>
#include <cmath>

#include "scaling/numbers.h"

namespace jk {

std::string SkyWarning(double ceiling_sky_z) {
  return "Ceiling Sky Z would be " + TextOf(ceiling_sky_z) + ", above the " + TextOf(kHighestSky) +
         " the game draws";
}

std::string CoordinateWarning(double coordinate) {
  const bool broken = std::fabs(coordinate) > kWorkingMotionLimit;
  return "a coordinate would be " + TextOf(coordinate) + ", more than " +
         TextOf(broken ? kWorkingMotionLimit : kSmoothMotionLimit) +
         (broken ? " from the origin, where the game's motion breaks"
                 : " from the origin, where the game's motion turns jerky");
}

void LimitWatch::NoteSky(double ceiling_sky_z) {
  if (ceiling_sky_z > highest_sky_) highest_sky_ = ceiling_sky_z;
}

void LimitWatch::NoteCoordinate(double coordinate) {
  if (std::fabs(coordinate) > std::fabs(farthest_)) farthest_ = coordinate;
}

void LimitWatch::NoteWrittenCoordinate(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && digits[0] == '-') digits.remove_prefix(1);
  // Looked at character by character: nearly every coordinate has a point
  // within its first five, and a call to search for it would cost more.
  static_assert(kSmoothMotionLimit == 10000, "five whole digits pass the smooth limit");
  constexpr size_t kFiveDigits = 5;
  if (digits.size() < kFiveDigits) return;
  for (size_t i = 0; i < kFiveDigits; ++i) {
    if (digits[i] == '.') return;
  }
  NoteCoordinate(ValueOf(text));
}

std::vector<std::string> LimitWatch::Warnings() const {
  std::vector<std::string> warnings;
  if (highest_sky_ > kHighestSky) warnings.push_back(SkyWarning(highest_sky_));
  if (std::fabs(farthest_) > kSmoothMotionLimit) warnings.push_back(CoordinateWarning(farthest_));
  return warnings;
}

}  // namespace jk
