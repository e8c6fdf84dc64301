#include "platform/link_check.h"

#include <windows.h>

namespace jk {

// The std::filesystem of MinGW's GCC 12 follows every link and never calls
// an entry a symbolic link; junctions, which Windows itself puts in user
// profiles, are no symbolic links to it anyway. The attribute tells both.
bool IsLink(const std::filesystem::path& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace jk
