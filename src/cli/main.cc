// jkrescale-cli: see cli.h.
#include <memory>

#include "cli/cli.h"
#include "platform/arguments.h"
#include "platform/console.h"
#include "platform/process.h"
#include "platform/real_file_system.h"
#include "platform/system.h"

int main(int argc, char** argv) {
  jk::Utf8Console console;
  jk::RealFileSystem fs;
  std::unique_ptr<jk::ProcessRunner> runner = jk::MakeSystemProcessRunner();
  // Only `play` needs the program's folder; it says so when there is none.
  std::string program_folder;
  if (!jk::ProgramFolder(&program_folder).ok()) program_folder.clear();
  jk::CliEnvironment env{fs, *runner, program_folder, stdout, stderr, jk::StandardErrorIsTerminal(),
                         {}};
  return jk::RunCli(jk::ProgramArguments(argc, argv), env);
}
