// Facts about the installation the program runs in.
#ifndef JKRESCALE_PLATFORM_SYSTEM_H_
#define JKRESCALE_PLATFORM_SYSTEM_H_

#include <string>

#include "platform/status.h"

namespace jk {

// The folder that holds the running executable, without a final separator.
Status ProgramFolder(std::string* folder);

// The user's own folder for the data of the program `name`: on Windows
// %LOCALAPPDATA%\name, elsewhere $XDG_DATA_HOME/name, by default
// ~/.local/share/name. Not created here. Fails when the system cannot say
// where the user's data goes.
Status UserDataFolder(const std::string& name, std::string* folder);

// The name of the user running the program; "" when the system cannot say.
std::string UserName();

// Whether Windows programs (the game's JK.EXE) run natively on this system;
// elsewhere they run through Wine.
bool WindowsProgramsRunNatively();

// The absolute form of `path`: the path itself when it is absolute
// already, else the path from the current folder (on Windows also with
// "." and ".." resolved). Fails, naming the path, when the system cannot
// say.
Status AbsolutePath(const std::string& path, std::string* absolute);

// The value of the environment variable `name`, in UTF-8; "" when it is not
// set.
std::string EnvironmentVariable(const std::string& name);

// Creates a new, empty folder of this program's own in the system's folder
// for temporary files (TMPDIR or /tmp; on Windows the user's temporary
// folder), named `prefix` and a random part, and gives its path. Removing
// it is the caller's business. Fails, naming the temporary folder, when
// none can be created.
Status CreateTemporaryFolder(const std::string& prefix, std::string* folder);

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_SYSTEM_H_
