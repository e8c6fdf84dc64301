// The short form of a path, for command lines that take a path unquoted
// (the game's -path value): a path with blanks would be cut at the first
// blank there.
#ifndef JKRESCALE_PLATFORM_SHORT_PATH_H_
#define JKRESCALE_PLATFORM_SHORT_PATH_H_

#include <string>

#include "platform/status.h"

namespace jk {

// The short form of the existing file or folder `path`. On Windows every
// component with a long name is replaced by its 8.3 name, which holds no
// blank; a volume that keeps no 8.3 names gives the long names back, so
// the caller must still check for blanks. Fails, naming the path, when it
// does not exist or the system refuses. On other systems: the path itself,
// unchecked.
Status ShortPath(const std::string& path, std::string* short_path);

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_SHORT_PATH_H_
