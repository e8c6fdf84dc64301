// The player report drawn: the level seen from above as an SVG picture.
#ifndef JKRESCALE_SCALING_PLAYER_DRAWING_H_
#define JKRESCALE_SCALING_PLAYER_DRAWING_H_

#include <string>

#include "scaling/player_report.h"

namespace jk {

// The level drawn from above as an SVG picture: the floors, the adjoins
// the player crosses, and each place of the report marked with its number
// and listed in a legend.
std::string DrawPlayerReportSvg(const PlayerWalk& walk, const PlayerReport& report);

}  // namespace jk

#endif  // JKRESCALE_SCALING_PLAYER_DRAWING_H_
