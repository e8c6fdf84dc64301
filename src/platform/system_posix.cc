#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/path.h"
#include "platform/system.h"

namespace jk {

Status ProgramFolder(std::string* folder) {
  std::vector<char> buffer(4096);
  ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n < 0 || size_t(n) == buffer.size()) {
    return Status::IoError("/proc/self/exe",
                           std::string("cannot read the program's path: ") + std::strerror(errno));
  }
  std::string path(buffer.data(), size_t(n));
  *folder = FolderOf(path);
  // Without its final separator, except for the root folder itself.
  if (folder->size() > 1) folder->pop_back();
  return Status::Ok();
}

Status UserDataFolder(const std::string& name, std::string* folder) {
  // XDG_DATA_HOME counts only when it is an absolute path.
  const char* data_home = std::getenv("XDG_DATA_HOME");
  if (data_home && data_home[0] == '/') {
    *folder = JoinPath(data_home, name);
    return Status::Ok();
  }
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') {
    const passwd* pw = getpwuid(getuid());
    home = pw ? pw->pw_dir : nullptr;
  }
  if (!home || home[0] != '/') {
    return Status::NotFound("$HOME", "there is no home folder for the user's data");
  }
  *folder = JoinPath(JoinPath(home, ".local/share"), name);
  return Status::Ok();
}

std::string UserName() {
  // The account of the real user id: stable whatever the environment says.
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name) return pw->pw_name;
  const char* user = std::getenv("USER");
  return user ? user : "";
}

bool WindowsProgramsRunNatively() { return false; }

Status AbsolutePath(const std::string& path, std::string* absolute) {
  if (!path.empty() && path[0] == '/') {
    *absolute = path;
    return Status::Ok();
  }
  std::vector<char> buffer(4096);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) {
      return Status::IoError(path,
                             std::string("cannot make the path absolute: ") + std::strerror(errno));
    }
    buffer.resize(buffer.size() * 2);
  }
  *absolute = JoinPath(buffer.data(), path);
  return Status::Ok();
}

std::string EnvironmentVariable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

Status CreateTemporaryFolder(const std::string& prefix, std::string* folder) {
  // TMPDIR counts only when it is an absolute path, as for XDG_DATA_HOME.
  std::string base = EnvironmentVariable("TMPDIR");
  if (base.empty() || base[0] != '/') base = "/tmp";
  std::string pattern = JoinPath(base, prefix + "XXXXXX");
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  // mkdtemp makes the folder only when the name is new, readable by its
  // owner only.
  if (!mkdtemp(name.data())) {
    return Status::IoError(
        base, std::string("cannot create a temporary folder in it: ") + std::strerror(errno));
  }
  *folder = name.data();
  return Status::Ok();
}

}  // namespace jk
