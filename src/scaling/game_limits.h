// The limits of the game's engine that a level can pass. The original game
// reads at most 1,023 characters of a line (OpenJKDF2 2,047), silently
// splitting a longer one, and at most 128 fields, overflowing on more; it
// hit-tests the sky plane only up to 1,000 units; and as it holds every
// coordinate in single precision, motion turns jerky beyond about 10,000
// units from the origin and breaks beyond about 30,000. A scale run refuses
// to write a line over the first two (GameTextRewriter) and warns of the
// others (LimitWatch); the level check reports all of them.
#ifndef JKRESCALE_SCALING_GAME_LIMITS_H_
#define JKRESCALE_SCALING_GAME_LIMITS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace jk {

// The most characters of a line, line break aside, and the most fields
// the game reads.
inline constexpr size_t kLongestGameLine = 1023;
inline constexpr size_t kMostGameFields = 128;
// The highest Ceiling Sky Z the game draws right.
inline constexpr double kHighestSky = 1000;
// How far from the origin (along any axis) motion stays smooth, and how far
// it works at all.
inline constexpr double kSmoothMotionLimit = 10000;
inline constexpr double kWorkingMotionLimit = 30000;

// The sentence for a Ceiling Sky Z above kHighestSky: "Ceiling Sky Z would
// be 1500, above the 1000 the game draws".
std::string SkyWarning(double ceiling_sky_z);

// The sentence for a coordinate beyond kSmoothMotionLimit: "a coordinate
// would be -12000, more than 10000 from the origin, where the game's motion
// turns jerky"; beyond kWorkingMotionLimit: "a coordinate would be 40000,
// more than 30000 from the origin, where the game's motion breaks".
std::string CoordinateWarning(double coordinate);

// What a scale run's result passes of the game's sky and coordinate
// limits.
class LimitWatch {
 public:
  // A Ceiling Sky Z of the result.
  void NoteSky(double ceiling_sky_z);
  // A world coordinate of the result (a vertex, a thing's position or path
  // frame).
  void NoteCoordinate(double coordinate);
  // The same for a coordinate as the run wrote it (plain decimal, as
  // TextOf writes): read only when it is 10000 or more from 0, so that
  // watching costs next to nothing.
  void NoteWrittenCoordinate(std::string_view text);
  // The sentences for what was noted: the highest sky above the limit, the
  // coordinate farthest from the origin beyond one; empty when all is
  // within.
  std::vector<std::string> Warnings() const;

 private:
  double highest_sky_ = 0;
  double farthest_ = 0;
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_GAME_LIMITS_H_
