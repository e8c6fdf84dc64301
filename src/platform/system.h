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

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_SYSTEM_H_
