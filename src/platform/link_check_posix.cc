#include "platform/link_check.h"

namespace jk {

bool IsLink(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec));
}

}  // namespace jk
