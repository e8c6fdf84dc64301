#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <random>
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

Status AbsolutePath(const std::string& path, std::string* absolute) {
  std::wstring wide = WideOf(path);
  std::wstring full(MAX_PATH, L'\0');
  while (true) {
    DWORD length = GetFullPathNameW(wide.c_str(), DWORD(full.size()), full.data(), nullptr);
    if (length == 0) {
      return Status::IoError(path,
                             "cannot make the path absolute: " + SystemErrorText(GetLastError()));
    }
    // A path that does not fit gives the size it needs, its NUL counted.
    if (length < full.size()) {
      *absolute = Utf8Of(std::wstring_view(full.data(), length));
      return Status::Ok();
    }
    full.resize(length);
  }
}

std::string EnvironmentVariable(const std::string& name) {
  std::wstring wide_name = WideOf(name);
  std::wstring value(256, L'\0');
  while (true) {
    DWORD length = GetEnvironmentVariableW(wide_name.c_str(), value.data(), DWORD(value.size()));
    if (length == 0) return "";  // not set, or set to nothing
    // A value that does not fit gives the size it needs, its NUL counted.
    if (length < value.size()) return Utf8Of(std::wstring_view(value.data(), length));
    value.resize(length);
  }
}

Status CreateTemporaryFolder(const std::string& prefix, std::string* folder) {
  std::vector<wchar_t> buffer(MAX_PATH + 2);
  DWORD length = GetTempPathW(DWORD(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) {
    return Status::IoError("%TEMP%", "the system does not say where temporary files go");
  }
  std::wstring base(buffer.data(), length);
  std::random_device random;
  // CreateDirectoryW makes the folder only when the name is new; a name
  // taken already is drawn again.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring name =
        base + WideOf(prefix) + std::to_wstring(random()) + std::to_wstring(random());
    if (CreateDirectoryW(name.c_str(), nullptr)) {
      *folder = Utf8Of(name);
      return Status::Ok();
    }
    DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) {
      return Status::IoError(Utf8Of(base),
                             "cannot create a temporary folder in it: " + SystemErrorText(error));
    }
  }
  return Status::IoError(Utf8Of(base),
                         "cannot create a temporary folder in it: every name "
                         "tried was taken");
}

}  // namespace jk
