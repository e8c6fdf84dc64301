// The limits of the game's engine that a level can pass, in one place for
// every part of the program that names them.
#ifndef JKRESCALE_SCALING_GAME_LIMITS_H_
#define JKRESCALE_SCALING_GAME_LIMITS_H_

#include <cstddef>

namespace jk {

// The game reads at most this many characters of a line (OpenJKDF2 2,047),
// and splits a longer one silently.
inline constexpr size_t kLongestGameLine = 1023;
// It reads at most this many fields of a line; more overflow its table.
inline constexpr size_t kMostGameFields = 128;
// The sky plane is hit-tested only up to this height: a Ceiling Sky Z above
// it shows the sky wrongly.
inline constexpr double kHighestSky = 1000;
// Single precision makes motion jerky beyond this distance from the origin
// along any axis, and breaks it beyond the next.
inline constexpr double kSmoothCoordinates = 10000;
inline constexpr double kWorkingCoordinates = 30000;

}  // namespace jk

#endif  // JKRESCALE_SCALING_GAME_LIMITS_H_
