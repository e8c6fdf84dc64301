// A source of the platform layer that includes a header of a layer above it:
// it must not build (see CMakeLists.txt).
#include "archives/gob_archive.h"
