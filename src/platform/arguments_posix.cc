#include "platform/arguments.h"

namespace jk {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  if (argc < 1) return {};
  return std::vector<std::string>(argv + 1, argv + argc);
}

std::string ProgramCommandLine() { return ""; }

}  // namespace jk
