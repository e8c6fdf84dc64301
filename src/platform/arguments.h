// The words the program was started with, as UTF-8 text like every other
// text inside the program.
#ifndef JKRESCALE_PLATFORM_ARGUMENTS_H_
#define JKRESCALE_PLATFORM_ARGUMENTS_H_

#include <string>
#include <vector>

namespace jk {

// The program's arguments after its own name, in UTF-8. On POSIX systems
// they are argv's words as given. On Windows they are taken from the wide
// command line and `argc` and `argv` are not used: argv holds the words in
// the ANSI code page, which cannot spell every file name.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The whole command line the program was started with, in UTF-8, where the
// system passes one (Windows); "" where it passes a list of words.
std::string ProgramCommandLine();

#ifdef _WIN32
// The words of a Windows command line after the program name, split as the
// system splits them (quotes group, backslashes before a quote escape it),
// in UTF-8. An empty command line has none.
std::vector<std::string> SplitCommandLine(const std::wstring& command_line);
#endif

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_ARGUMENTS_H_
