// Other programs: starting one and waiting for it while the windows keep
// running, running a small helper to read what it prints, and finding a
// program on the PATH.
#ifndef JKRESCALE_PLATFORM_PROCESS_H_
#define JKRESCALE_PLATFORM_PROCESS_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/status.h"

namespace jk {

struct ProgramStart {
  // The program's path (or a name that FindProgram resolved).
  std::string program;
  // The arguments after the program's name, each passed as it is.
  std::vector<std::string> arguments;
  // The program's whole command line, for systems that pass one line
  // rather than a list: on Windows a program is started with exactly this
  // line when it is set (the arguments are then not used), and with the
  // program and the arguments, each quoted as needed, when it is empty.
  // Elsewhere it is only logged.
  std::string command_line;
  // The folder the program starts in; "" keeps this program's own.
  std::string working_folder;
  // Variables added to (or replaced in) this program's environment, each
  // "NAME=value".
  std::vector<std::string> environment;
};

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;

  // Starts the program and returns once it has ended, calling `while_waiting`
  // every few milliseconds meanwhile (to let window events run). Its exit
  // status is not read. Fails, naming the program, when it cannot be started.
  virtual Status RunAndWait(const ProgramStart& start,
                            const std::function<void()>& while_waiting) = 0;

  // Runs the program to its end and returns what it wrote on its standard
  // output. Fails when it cannot be started or ends with a status other
  // than 0.
  virtual Status RunAndCapture(const ProgramStart& start, std::string* output) = 0;

  // The full path of the executable `name` found on the PATH; "" when none.
  virtual std::string FindProgram(const std::string& name) = 0;
};

// The runner of the system the program runs on.
std::unique_ptr<ProcessRunner> MakeSystemProcessRunner();

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_PROCESS_H_
