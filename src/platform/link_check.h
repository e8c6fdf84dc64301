// Links that folder scans must not follow.
#ifndef JKRESCALE_PLATFORM_LINK_CHECK_H_
#define JKRESCALE_PLATFORM_LINK_CHECK_H_

#include <filesystem>

namespace jk {

// Whether `path` is a symbolic link (on Windows any reparse point: a
// symbolic link, a junction or a mount point), without following it. False
// when the path cannot be examined.
bool IsLink(const std::filesystem::path& path);

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_LINK_CHECK_H_
