// jkrescale-cli: see cli.h.
#include "cli/cli.h"
#include "platform/arguments.h"
#include "platform/console.h"
#include "platform/real_file_system.h"

int main(int argc, char** argv) {
  jk::Utf8Console console;
  jk::RealFileSystem fs;
  return jk::RunCli(jk::ProgramArguments(argc, argv), fs, stdout, stderr,
                    jk::StandardErrorIsTerminal());
}
