// jkrescale-cli: see cli.h.
#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/console.h"
#include "platform/real_file_system.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  jk::RealFileSystem fs;
  return jk::RunCli(args, fs, stdout, stderr, jk::StandardErrorIsTerminal());
}
