// jkrescale-cli: see cli.h.
#include <memory>

#include "cli/cli.h"
#include "launch/work_folder.h"
#include "platform/arguments.h"
#include "platform/console.h"
#include "platform/process.h"
#include "platform/real_file_system.h"

int main(int argc, char** argv) {
  jk::Utf8Console console;
  jk::RealFileSystem fs;
  std::unique_ptr<jk::ProcessRunner> runner = jk::MakeSystemProcessRunner();
  // Only `play` needs the work folder; it says why when there is none.
  std::string work_folder;
  jk::Status found = jk::FindWorkFolder(fs, &work_folder);
  if (!found.ok()) work_folder.clear();
  jk::CliEnvironment env{
      fs, *runner, work_folder, found, stdout, stderr, jk::StandardErrorIsTerminal()};
  return jk::RunCli(jk::ProgramArguments(argc, argv), env);
}
