// A source of the archives layer that includes a header of a layer above it:
// it must not build (see CMakeLists.txt).
#include "scaling/text.h"
