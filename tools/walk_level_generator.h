// Synthetic levels for the player report: a row of rooms along x, one
// sector each, whose floors, ceilings and widths differ, so that the
// passages between them make steps, drops and openings of known sizes.
//
// Room i spans x from the end of room i - 1 (the first starts at 0) over
// its length, y from -width/2 to width/2 and z from its floor to its
// ceiling. Between neighbours, the passage is the rectangle both rooms
// share: y within the narrower width, z from the higher floor to the lower
// ceiling; it carries adjoin 2i on room i's side and 2i + 1 on room
// i + 1's. The rest of each end face is wall. Every surface has vertices of
// its own. The sectors' BOUNDBOX, CENTER, RADIUS and the adjoins' dist agree
// with the geometry.
#ifndef JKRESCALE_TOOLS_WALK_LEVEL_GENERATOR_H_
#define JKRESCALE_TOOLS_WALK_LEVEL_GENERATOR_H_

#include <cstdint>
#include <string>
#include <vector>

namespace jk::levelgen {

struct Room {
  double length = 2;
  double floor = 0;
  double ceiling = 2;
  double width = 2;
  // Added to the floor's surface flags (0x1): 0x80 for a floor on which a
  // fall never hurts.
  uint32_t floor_flags = 0;
  // The flags of the adjoins of the passage to the next room; without 0x2
  // the player cannot move through it.
  uint32_t passage_flags = 0x7;
};

struct WalkLevelOptions {
  std::vector<Room> rooms;
  double gravity = 4;
  // The player: template walkplayer based on _walkplayer (type=player,
  // model3d=ky.3do) based on _humanactor (size, movesize, jumpspeed).
  double move_size = 0.065;
  double jump_speed = 1.5;
  // 0: the template gives no height=, its model's INSERT OFFSET does.
  double height = 0.18;
  // Surfaces with four light values a vertex (colour and intensity), as
  // the expansion writes them; and with `colour_extra_light`, their extra
  // light in four values too.
  bool expansion = false;
  bool colour_extra_light = false;
};

struct WalkLevel {
  std::string text;
  // The surface that carries the passage from room i to i + 1 (on room i's
  // side) and back (on room i + 1's side); -1 where the rooms share no
  // rectangle.
  std::vector<int> forward_surfaces;
  std::vector<int> backward_surfaces;
};

WalkLevel MakeWalkLevel(const WalkLevelOptions& options);

// Ten rooms whose passages make one place of each kind, for a player of
// radius 0.065 and height 0.18 who steps up 0.115 and jumps 0.28125 higher
// at gravity 4, and whom a fall of more than 0.877 hurts. Passage i leads
// from room i to room i + 1:
//   0: a rise of 0.1, climbed up to x1.15
//   1: a rise of 0.3, jumped up to x(0.39625 / 0.3) = x1.3208
//   2: a drop of 0.5 (harmless up to x1.7544); back up, 0.5 is too high
//   3, 4: into and out of a tunnel 0.2 high, passed crouching down to x0.7
//   5, 6: into and out of a corridor 0.16 wide, passed down to x0.8125
//   7: a drop of 1 onto a floor that never hurts (flag 0x80)
//   8: a drop of 1, which hurts
std::vector<Room> RoomsOfEveryKind();

// The player's model: a box whose INSERT OFFSET z is `insert_z`.
std::string MakePlayerModel(double insert_z);

}  // namespace jk::levelgen

#endif  // JKRESCALE_TOOLS_WALK_LEVEL_GENERATOR_H_
