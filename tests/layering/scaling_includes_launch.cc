// A source of the scaling layer that includes a header of a layer above it:
// it must not build (see CMakeLists.txt).
#include "launch/game_launch.h"
