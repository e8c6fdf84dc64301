#include "platform/arguments.h"

// windows.h first: shellapi.h builds on it.
#include <windows.h>

#include <shellapi.h>

#include "platform/wide_text.h"

namespace jk {

std::vector<std::string> SplitCommandLine(const std::wstring& command_line) {
  // CommandLineToArgvW answers an empty line with the program's own path.
  if (command_line.empty()) return {};
  int count = 0;
  wchar_t** words = CommandLineToArgvW(command_line.c_str(), &count);
  if (words == nullptr) return {};
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(Utf8Of(words[i]));
  LocalFree(words);
  return args;
}

std::vector<std::string> ProgramArguments(int, char**) {
  return SplitCommandLine(GetCommandLineW());
}

std::string ProgramCommandLine() { return Utf8Of(GetCommandLineW()); }

}  // namespace jk
