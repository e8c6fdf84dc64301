// The consistency check of a level: whether the values that the editors
// derive from a level's geometry agree with it. For each sector, the
// BOUNDBOX must be the minima and maxima of the coordinates of the world
// vertices its VERTICES list names, the CENTER their average and the RADIUS
// their largest distance from it. For each adjoin, dist must be the distance
// from its sector's center to the plane of its surface: the surface whose
// adjoin field names it, in the sector whose SURFACES range holds that
// surface; the plane has the surface's normal and passes through its first
// vertex.
//
// RADIUS and dist are measured from the sector's CENTER as written, as the
// engine measures them: a wrong CENTER makes them wrong in the game too.
//
// A damaged level (an index out of range, an adjoin that no surface names, a
// value missing) gives findings too; nothing in the text makes the check
// fail. Only a file that cannot be read does.
#ifndef JKRESCALE_SCALING_LEVEL_CHECK_H_
#define JKRESCALE_SCALING_LEVEL_CHECK_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/status.h"

namespace jk {

// The check cannot know by what factor a level was scaled, so its
// tolerances grow with the level: with the magnitude of the coordinates,
// with the size of each sector and with the size of the level's sectors as
// a whole. R is a sector's largest distance of its vertices from their
// average, M the largest absolute coordinate of its vertices and CENTER,
// and L the median R of the level's sectors.
//
// The game holds every coordinate in single precision, and a scaled level
// writes nine significant digits: two values that differ by less than one
// step of single precision at their magnitude, kFloatStep * M, are the same
// to the game. Both tolerances below add that much.
inline constexpr double kFloatStep = 1.0 / (1 << 23);
// BOUNDBOX, CENTER and RADIUS may be off by kSectorSlack * (2 + 4 R) besides.
// The editors write the vertices and these values rounded to six decimals,
// so a value is off by up to 5e-7 and what it is compared with, made of
// rounded vertices, by about as much again: 2e-6 covers both. A level
// scaled by a factor carries its rounding errors multiplied by that factor,
// as its sectors' sizes are; 4e-6 R follows them.
inline constexpr double kSectorSlack = 1e-6;
// dist may be off by kDistSlack * max(R, L) besides. The editors compute
// dist more roughly than the other values: within 0.005 of the true
// distance at the level's own scale. A scaled level carries that error
// multiplied by the factor, in small sectors as in large ones, and so does
// L: at 0.025 L the tolerance holds the editors' error at any factor as
// long as the level's typical sector reaches 0.2 units from its center.
inline constexpr double kDistSlack = 0.025;

// One inconsistency: the line it is found at (the first line is 1) and what
// is wrong, such as "sector 5: CENTER 0 0 1 is not the average of its
// vertices, 0 0 2". Numbers are written by TextOf.
struct LevelFinding {
  int64_t line = 0;
  std::string text;
};

struct LevelCheckReport {
  // SECTOR lines and adjoin lines read.
  int64_t sectors = 0;
  int64_t adjoins = 0;
  // In line order; findings of one line in the order they were made.
  std::vector<LevelFinding> findings;
  // Where the level passes a limit of the game (scaling/game_limits.h), in
  // line order: a line longer than the game reads or with more fields, a
  // Ceiling Sky Z above the height the game draws, and the farthest vertex
  // beyond each of the distances within which the game moves things
  // smoothly and at all. These are no inconsistency.
  std::vector<LevelFinding> limits;

  bool consistent() const { return findings.empty(); }
};

// Reads the level at `path` line by line and checks it into `report`. Fails
// only when the file cannot be opened or read; the Status names the file.
// Sectors are reported at the line of the value concerned (a sector without
// vertices or a value at its SECTOR line), adjoins at their own line,
// surfaces and normals at theirs.
Status CheckLevel(FileSystem& fs, const std::string& path, LevelCheckReport* report);

// "PATH:LINE: TEXT".
std::string FindingLine(const std::string& path, const LevelFinding& finding);

// "PATH: 3 sectors and 4 adjoins checked: consistent", or ": 2
// inconsistencies" (": 1 inconsistency") in place of "consistent"; then
// "; 2 lines beyond the game's limits" when there are any.
std::string SummaryLine(const std::string& path, const LevelCheckReport& report);

}  // namespace jk

#endif  // JKRESCALE_SCALING_LEVEL_CHECK_H_
