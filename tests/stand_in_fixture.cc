#include "stand_in_fixture.h"

#include <gtest/gtest.h>

#include "platform/path.h"
#include "platform/system.h"
#include "shell_fixture.h"

namespace jk {

std::string StandInGamePath() {
  std::string folder;
  EXPECT_TRUE(ProgramFolder(&folder).ok());
  return JoinPath(folder, JK_STAND_IN_GAME_NAME);
}

std::vector<std::string> StandInReport(const std::string& folder) {
  std::string text = ReadFile(JoinPath(folder, "stand-in-game.txt"));
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

std::vector<std::string> StartOfReport(const std::string& executable, const std::string& path_value,
                                       const std::string& working_folder) {
  std::vector<std::string> lines;
#ifndef _WIN32
  (void)executable;  // a list of arguments carries no command line
#else
  lines.push_back("command line: \"" + executable +
                  "\" -debug con -verbose 2 -devmode -windowgui -path " + path_value);
#endif
  for (const char* argument :
       {"-debug", "con", "-verbose", "2", "-devmode", "-windowgui", "-path"}) {
    lines.push_back(std::string("argument: ") + argument);
  }
  lines.push_back("argument: " + path_value);
  lines.push_back("working folder: " + working_folder);
  return lines;
}

}  // namespace jk
