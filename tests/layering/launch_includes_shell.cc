// A source of the launch layer that includes a header of a layer above it:
// it must not build (see CMakeLists.txt).
#include "shell/window_interfaces.h"
