#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <vector>

#include "platform/path.h"
#include "platform/system.h"
#include "platform/wide_text.h"

namespace jk {

Status ProgramFolder(std::string* folder) {
  // GetModuleFileNameW cuts a path that does not fit and says so only by
  // filling the whole buffer: grow it until the path fits.
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD length = 0;
  while (true) {
    length = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
    if (length == 0) {
      return Status::IoError("GetModuleFileNameW",
                             "cannot get the program's path: " + SystemErrorText(GetLastError()));
    }
    if (length < buffer.size()) break;
    buffer.resize(buffer.size() * 2);
  }
  *folder = FolderOf(Utf8Of(std::wstring_view(buffer.data(), length)));
  // Without its final separator, except for a drive's root ("C:\"), which
  // without it would name the drive's current folder.
  if (folder->size() > 1 && !folder->ends_with(":\\")) folder->pop_back();
  return Status::Ok();
}

Status UserDataFolder(const std::string& name, std::string* folder) {
  PWSTR local = nullptr;
  HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local);
  if (FAILED(result) || !local) {
    if (local) CoTaskMemFree(local);
    return Status::NotFound("%LOCALAPPDATA%", "the system does not say where the user's data goes");
  }
  *folder = JoinPath(Utf8Of(local), name);
  CoTaskMemFree(local);
  return Status::Ok();
}

std::string UserName() {
  // The logon name of the account the program runs as.
  std::wstring name(256 + 1, L'\0');
  DWORD size = DWORD(name.size());
  if (!GetUserNameW(name.data(), &size)) return "";
  name.resize(size > 0 ? size - 1 : 0);  // size counts the final NUL
  return Utf8Of(name);
}

bool WindowsProgramsRunNatively() { return true; }

}  // namespace jk
