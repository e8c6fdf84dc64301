#include "scaling/player_report.h"

#include <algorithm>
#include <cmath>

#include "scaling/text.h"

namespace jk {

namespace {

// The engine's constants of the player's motion.
constexpr double kCrouchMargin = 0.01;
constexpr double kHarmlessImpactSpeed = 2.5;
constexpr double kDamagePerSquaredSpeed = 45;

// The speed of impact above which a fall does a point of damage:
// 45 (v - 2.5)^2 > 1.
double HurtingSpeed() { return kHarmlessImpactSpeed + 1 / std::sqrt(kDamagePerSquaredSpeed); }

// The highest fall that does not hurt at gravity `g`: v^2 = 2 g drop.
double HarmlessDrop(double g) {
  return g > 0 ? HurtingSpeed() * HurtingSpeed() / (2 * g)
               : std::numeric_limits<double>::infinity();
}

// The height a jump adds at gravity `g`.
double JumpHeight(double jump_speed, double g) {
  return g > 0 ? jump_speed * jump_speed / (2 * g) : std::numeric_limits<double>::infinity();
}

std::string Counted(int64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Times(double factor, bool round_down) { return "×" + FactorText(factor, round_down); }

std::string PointText(const Point3& p, double factor) {
  return TextOf(p.x * factor) + " " + TextOf(p.y * factor) + " " + TextOf(p.z * factor);
}

// "sector 3 to sector 4, surface 22 (adjoin 5) at 1.5 2 0.25".
std::string PlaceName(const Crossing& c, double factor) {
  return "sector " + std::to_string(c.from_sector) + " to sector " + std::to_string(c.to_sector) +
         ", surface " + std::to_string(c.surface) + " (adjoin " + std::to_string(c.adjoin) +
         ") at " + PointText(c.point, factor);
}

// Narrows the largest factor to `bound` when it is lower.
void LimitLargest(PlayerReport* report, double bound, FactorLimit limit, size_t crossing) {
  if (bound < report->largest_factor) {
    report->largest_factor = bound;
    report->largest_limit = limit;
    report->largest_crossing = crossing;
  }
}

void LimitSmallest(PlayerReport* report, double bound, size_t crossing) {
  if (bound > report->smallest_factor) {
    report->smallest_factor = bound;
    report->smallest_crossing = crossing;
  }
}

// The factors that keep the level as playable as it is at x1.
void FindFactorRange(const PlayerWalk& walk, bool divide_gravity, PlayerReport* report) {
  const PlayerBody& player = walk.player;
  const double step = player.StepHeight();
  const double g = walk.gravity;
  const double jump = JumpHeight(player.jump_speed, g);
  const double harmless = HarmlessDrop(g);
  const double crouching = 2 * player.radius + kCrouchMargin;
  const double width = 2 * player.radius;
  for (size_t i = 0; i < walk.crossings.size(); ++i) {
    const Crossing& c = walk.crossings[i];
    if (c.has_rise && c.rise > 0) {
      if (c.rise <= step) {
        LimitLargest(report, step / c.rise, FactorLimit::kStep, i);
      } else if (c.rise <= step + jump) {
        // With the gravity divided, the jump grows with the factor too:
        // rise F <= step + jump F.
        if (!divide_gravity) {
          LimitLargest(report, (step + jump) / c.rise, FactorLimit::kJump, i);
        } else if (c.rise > jump) {
          LimitLargest(report, step / (c.rise - jump), FactorLimit::kJump, i);
        }
      }
    } else if (c.has_rise && c.rise < 0 && !c.soft_landing && -c.rise <= harmless) {
      // With the gravity divided, a drop scaled by F lands as fast as at x1.
      if (!divide_gravity) LimitLargest(report, harmless / -c.rise, FactorLimit::kDrop, i);
    }
    if (c.is_opening && c.opening_height >= crouching && c.opening_width >= width) {
      LimitSmallest(report, std::max(crouching / c.opening_height, width / c.opening_width), i);
    }
  }
}

}  // namespace

PlayerReport ReportPlayer(const PlayerWalk& walk, double factor, bool divide_gravity) {
  PlayerReport r;
  r.factor = factor;
  r.divide_gravity = divide_gravity;
  const PlayerBody& player = walk.player;
  r.gravity = divide_gravity ? walk.gravity / factor : walk.gravity;
  r.step = player.StepHeight();
  r.jump = JumpHeight(player.jump_speed, r.gravity);
  r.drop = HarmlessDrop(r.gravity);
  r.standing = player.StandingHeight() + player.radius;
  r.crouching = 2 * player.radius + kCrouchMargin;
  r.width = 2 * player.radius;
  for (size_t i = 0; i < walk.crossings.size(); ++i) {
    const Crossing& c = walk.crossings[i];
    if (c.has_rise) {
      const double rise = c.rise * factor;
      if (rise > r.step) {
        const bool jumpable = rise <= r.step + r.jump;
        r.places.push_back({PlayerPlace::kStep, i, rise, jumpable});
        ++r.steps;
        r.jumpable_steps += jumpable;
      } else if (-rise > r.drop && !c.soft_landing) {
        r.places.push_back({PlayerPlace::kDrop, i, -rise, false});
        ++r.drops;
      }
    }
    if (c.is_opening) {
      const double height = c.opening_height * factor;
      const double width = c.opening_width * factor;
      const size_t before = r.places.size();
      if (height < r.crouching) {
        r.places.push_back({PlayerPlace::kClosedOpening, i, height, false});
      } else if (height < r.standing) {
        r.places.push_back({PlayerPlace::kLowOpening, i, height, false});
      }
      if (width < r.width) r.places.push_back({PlayerPlace::kNarrowOpening, i, width, false});
      if (r.places.size() > before) ++r.openings;
    }
  }
  FindFactorRange(walk, divide_gravity, &r);
  return r;
}

std::string FactorText(double factor, bool round_down) {
  if (!(factor > 0) || !std::isfinite(factor)) return TextOf(factor);
  const double scale = std::pow(10.0, 2 - std::floor(std::log10(factor)));
  const double digits = factor * scale;
  // A hair of slack, so that a factor of exactly 1.6 does not become 1.59.
  const double rounded =
      round_down ? std::floor(digits * (1 + 1e-12)) : std::ceil(digits * (1 - 1e-12));
  return TextOf(rounded / scale);
}

std::string PlayerReportSentence(const PlayerReport& r) {
  std::vector<std::string> parts;
  if (r.steps) {
    parts.push_back(Counted(r.steps, "step", "steps") + " too high to climb (" +
                    std::to_string(r.jumpable_steps) + " can be jumped)");
  }
  if (r.openings)
    parts.push_back(Counted(r.openings, "opening", "openings") + " too low or too narrow");
  if (r.drops) parts.push_back(Counted(r.drops, "drop that hurts", "drops that hurt"));
  std::string text = "At " + Times(r.factor, true) + ": ";
  if (parts.empty()) text += "no step too high to climb, no opening too small, no drop that hurts";
  for (size_t i = 0; i < parts.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
  }
  text += ".";
  const std::string largest = Times(r.largest_factor, true);
  switch (r.largest_limit) {
    case FactorLimit::kStep:
      text += " Every step stays climbable up to " + largest + ".";
      break;
    case FactorLimit::kJump:
      text += " Every jump still clears up to " + largest + ".";
      break;
    case FactorLimit::kDrop:
      text += " No drop starts to hurt up to " + largest + ".";
      break;
    case FactorLimit::kNone:
    case FactorLimit::kOpening:
      break;
  }
  if (r.smallest_factor > 0) {
    text += " Every opening stays passable down to " + Times(r.smallest_factor, false) + ".";
  }
  return text;
}

std::vector<std::string> PlayerReportLines(const PlayerWalk& walk, const PlayerReport& r) {
  std::vector<std::string> lines;
  const PlayerBody& player = walk.player;
  if (!player.found) {
    lines.push_back("player: no template is of type=player: the stock player's size is assumed");
  } else if (!player.height_known) {
    lines.push_back("player: neither its template nor its model " + player.model +
                    " gives its height: the least the engine allows is assumed");
  }
  lines.push_back(
      "player: " + (player.found ? "template " + player.template_name + ", " : std::string()) +
      "radius " + TextOf(player.radius) + ", height " + TextOf(player.StandingHeight()) +
      ": steps up " + TextOf(r.step) + ", jumps " + TextOf(r.jump) + " higher, passes openings " +
      TextOf(r.standing) + " high standing, " + TextOf(r.crouching) + " crouching, " +
      TextOf(r.width) + " wide; a drop of more than " + TextOf(r.drop) + " hurts (gravity " +
      TextOf(r.gravity) + ")");
  lines.push_back(PlayerReportSentence(r));
  for (const PlayerPlace& place : r.places) {
    const Crossing& c = walk.crossings[place.crossing];
    const std::string where = PlaceName(c, r.factor) + ": ";
    switch (place.kind) {
      case PlayerPlace::kStep:
        lines.push_back("step: " + where + "rises " + TextOf(place.size) + ", above the " +
                        TextOf(r.step) + " the player steps up; " +
                        (place.jumpable ? "a jump clears it" : "a jump does not clear it"));
        break;
      case PlayerPlace::kLowOpening:
        lines.push_back("opening: " + where + TextOf(place.size) + " high, below the " +
                        TextOf(r.standing) + " the player stands; it passes crouching");
        break;
      case PlayerPlace::kClosedOpening:
        lines.push_back("opening: " + where + TextOf(place.size) + " high, below the " +
                        TextOf(r.crouching) + " the player passes crouching");
        break;
      case PlayerPlace::kNarrowOpening:
        lines.push_back("opening: " + where + TextOf(place.size) + " wide, narrower than the " +
                        TextOf(r.width) + " the player is");
        break;
      case PlayerPlace::kDrop:
        lines.push_back("drop: " + where + "falls " + TextOf(place.size) + ", more than the " +
                        TextOf(r.drop) + " that does not hurt");
        break;
    }
  }
  if (r.largest_limit != FactorLimit::kNone) {
    lines.push_back("largest factor: " + Times(r.largest_factor, true) + ", set by " +
                    PlaceName(walk.crossings[r.largest_crossing], 1));
  }
  if (r.smallest_factor > 0) {
    lines.push_back("smallest factor: " + Times(r.smallest_factor, false) + ", set by " +
                    PlaceName(walk.crossings[r.smallest_crossing], 1));
  }
  lines.push_back(
      "This is what the geometry allows, not a proof: slopes, moving floors, the Force, "
      "teleports and openings in floors and ceilings are not judged.");
  return lines;
}

}  // namespace jk
