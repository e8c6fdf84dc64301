#include "platform/short_path.h"

namespace jk {

// POSIX file names have no second, short form.
Status ShortPath(const std::string& path, std::string* short_path) {
  *short_path = path;
  return Status::Ok();
}

}  // namespace jk
