// What the player meets in a level, read once for the player report
// (scaling/player_report.h): the player's body, and the passages between
// sectors, from the level's geometry and the player's template.
//
// Only the level grows; the player keeps its size and the engine its
// constants. The engine moves the player as one sphere of radius r (the
// player template's movesize) whose centre stands h above the floor (the
// template's height=, else the INSERT OFFSET z of its model, at least
// r + 0.005). So it steps up a rise of at most h - r; a jump adds jumpspeed
// to its upward speed and lifts it jumpspeed^2 / (2 g) more, g the world
// gravity; it passes an opening h + r high standing, 2r + 0.01 crouching,
// and 2r wide; and a fall hurts when the speed of impact v = sqrt(2 g drop)
// passes 2.5 by enough that 45 (v - 2.5)^2 > 1, unless it lands on a
// surface with flag 0x80.
//
// The level is read once into a PlayerWalk: for each adjoin the player can
// move through (flag 0x2), the rise between the two sectors' floors at its
// lowest point and the size of its opening. The report for any factor is
// then computed from those numbers alone.
#ifndef JKRESCALE_SCALING_PLAYER_WALK_H_
#define JKRESCALE_SCALING_PLAYER_WALK_H_

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/status.h"

namespace jk {

struct Point3 {
  double x = 0, y = 0, z = 0;
};

// The player as the level's templates make it.
struct PlayerBody {
  bool found = false;         // a template of type=player was found
  std::string template_name;  // the player's template
  std::string model;          // its model3d=, "" when none
  double radius = 0.065;      // movesize
  bool has_height = false;    // height= given in its chain
  bool height_known = false;  // from height= or from the model
  double height = 0;          // height=, or the model's INSERT OFFSET z
  double jump_speed = 1.5;    // jumpspeed=
  // The height the engine uses: at least radius + 0.005.
  double StandingHeight() const;
  double StepHeight() const { return StandingHeight() - radius; }
};

// One adjoin the player can move through, from `from_sector` into
// `to_sector`; both directions of a passage are two crossings.
struct Crossing {
  int64_t adjoin = 0;
  int64_t surface = 0;  // the surface that carries the adjoin, in from_sector
  int64_t from_sector = 0;
  int64_t to_sector = 0;
  Point3 point;  // the adjoin's lowest point
  // The floor of to_sector minus that of from_sector at `point`; known only
  // when both sectors have a floor there.
  bool has_rise = false;
  double rise = 0;
  bool soft_landing = false;  // the floor of to_sector there has flag 0x80
  // The opening, given once for a passage (on the crossing of the lower
  // adjoin number): its clear height above the higher floor and its width.
  bool is_opening = false;
  double opening_height = 0;
  double opening_width = 0;
};

// What the report needs of a level, kept once per level.
struct PlayerWalk {
  PlayerBody player;
  double gravity = 4;
  std::vector<Crossing> crossings;
  // For the drawing from above: the world vertices, and the vertex indices
  // of each floor and of each crossing's adjoin (by crossing).
  std::vector<Point3> vertices;
  std::vector<std::vector<int32_t>> floors;
  std::vector<std::vector<int32_t>> crossing_outlines;
};

// Reads a level's text into `walk`. Damaged text is read as far as it
// makes sense; nothing in it fails the read. The player's height from its
// model is left to ApplyModelInsertOffset.
void ReadPlayerWalk(std::string_view level_text, PlayerWalk* walk);

// Takes the INSERT OFFSET z of the player's model text as its height,
// unless its template gives one. Returns whether the model gave one.
bool ApplyModelInsertOffset(std::string_view model_text, PlayerWalk* walk);

// Reads the level file at `path`; its player's model is looked for in the
// folder "3do" beside the level's folder, as a scale run writes them.
Status ReadPlayerWalkFile(FileSystem& fs, const std::string& path, PlayerWalk* walk);

// Reads level `level` (an entry name such as "jkl\\canyon.jkl") of the
// archive at `archive_path`; the player's model comes from that archive or
// else from the one at `resource_path` ("" for none).
Status ReadPlayerWalkFromArchive(FileSystem& fs, const std::string& archive_path,
                                 const std::string& level, const std::string& resource_path,
                                 PlayerWalk* walk);

}  // namespace jk

#endif  // JKRESCALE_SCALING_PLAYER_WALK_H_
