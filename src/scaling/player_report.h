// The player report: what a level scaled by a factor changes for the
// player, and the range of factors that keeps it as playable as it is,
// computed from a PlayerWalk (scaling/player_walk.h) for any factor without
// reading the level again.
//
// This is what the geometry allows, not a proof: slopes, moving floors, the
// Force, teleports and openings in floors and ceilings are not judged.
#ifndef JKRESCALE_SCALING_PLAYER_REPORT_H_
#define JKRESCALE_SCALING_PLAYER_REPORT_H_

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "scaling/player_walk.h"

namespace jk {

// A place the report names, as a modder finds it in an editor, and its
// numbers at the factor asked for.
struct PlayerPlace {
  enum Kind {
    kStep,           // a rise above the step height; `jumpable` says whether a jump clears it
    kLowOpening,     // too low to pass standing (crouching passes)
    kClosedOpening,  // too low to pass even crouching
    kNarrowOpening,  // too narrow
    kDrop,           // a drop that hurts
  } kind = kStep;
  size_t crossing = 0;  // index into PlayerWalk::crossings
  double size = 0;      // the rise, height, width or drop, scaled
  bool jumpable = false;
};

// What limits the range of factors.
enum class FactorLimit { kNone, kStep, kJump, kDrop, kOpening };

struct PlayerReport {
  double factor = 1;
  bool divide_gravity = false;
  double gravity = 4;                             // the world gravity at this factor
  double step = 0;                                // the highest rise the player steps up
  double jump = 0;                                // the height a jump adds
  double drop = 0;                                // the highest drop that does not hurt
  double standing = 0, crouching = 0, width = 0;  // the smallest opening it passes
  std::vector<PlayerPlace> places;                // in crossing order
  // Steps too high to climb (and of them those a jump clears), openings too
  // low or too narrow, and drops that hurt.
  int64_t steps = 0, jumpable_steps = 0, openings = 0, drops = 0;
  // The largest factor up to which every step that is climbed at x1 still
  // is, every jump that clears still does and no drop starts to hurt
  // (infinity when nothing limits it), and the smallest down to which
  // every opening passed at x1 still is (0 when nothing limits it). Both
  // are for the level as it is, whatever the factor asked for.
  double largest_factor = std::numeric_limits<double>::infinity();
  FactorLimit largest_limit = FactorLimit::kNone;
  size_t largest_crossing = 0;
  double smallest_factor = 0;
  size_t smallest_crossing = 0;
};

// The report on `walk` scaled by `factor`, the gravity divided by it when
// `divide_gravity`. Costs one look at each crossing.
PlayerReport ReportPlayer(const PlayerWalk& walk, double factor, bool divide_gravity);

// The report's lines for the command line: the player, each place, the
// factors and the plain word on what is judged.
std::vector<std::string> PlayerReportLines(const PlayerWalk& walk, const PlayerReport& report);

// The one sentence under the factor field: "At ×2: 14 steps too high to
// climb (9 can be jumped), 3 drops that hurt. Every step stays climbable up
// to ×1.6."
std::string PlayerReportSentence(const PlayerReport& report);

// A factor as the report writes it, rounded to three significant digits
// towards 1 ("1.63", "0.45"): a limit is never overstated.
std::string FactorText(double factor, bool round_down);

}  // namespace jk

#endif  // JKRESCALE_SCALING_PLAYER_REPORT_H_
