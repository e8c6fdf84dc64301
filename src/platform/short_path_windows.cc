#include "platform/short_path.h"

#include <windows.h>

#include "platform/wide_text.h"

namespace jk {

Status ShortPath(const std::string& path, std::string* short_path) {
  std::wstring wide = WideOf(path);
  // The first call tells the size (with the final NUL), the second fills;
  // the loop covers a path renamed between the two.
  std::wstring buffer;
  DWORD size = GetShortPathNameW(wide.c_str(), nullptr, 0);
  while (size != 0 && size > buffer.size()) {
    buffer.assign(size, L'\0');
    size = GetShortPathNameW(wide.c_str(), buffer.data(), DWORD(buffer.size()));
  }
  if (size == 0) {
    return Status::IoError(
        path, "cannot get the short form of the path: " + SystemErrorText(GetLastError()));
  }
  buffer.resize(size);
  *short_path = Utf8Of(buffer);
  return Status::Ok();
}

}  // namespace jk
