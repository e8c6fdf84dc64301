#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/path.h"
#include "platform/process.h"

extern char** environ;

namespace jk {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string FindOnPath(const std::string& name) {
  if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : "";
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    std::string folder = folders.substr(start, end - start);
    std::string candidate = JoinPath(folder.empty() ? "." : folder, name);
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return "";
}

// The environment of the child: ours, with the start's variables replacing
// those of the same name.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const std::string& x : extra) replaced |= x.substr(0, x.find('=')) == name;
    if (!replaced) env.push_back(entry);
  }
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& t : texts) pointers.push_back(t.data());
  pointers.push_back(nullptr);
  return pointers;
}

// A started child. The exec's failure comes back through a pipe that the
// successful exec closes, so a program that cannot be started is reported
// here rather than as a child that exits at once.
Status Start(const ProgramStart& start, int stdout_fd, pid_t* pid) {
  std::string program = FindOnPath(start.program);
  if (program.empty()) {
    return Status::IoError(start.program, "cannot start: no such program, or it is not executable");
  }
  std::vector<std::string> argv_texts{program};
  argv_texts.insert(argv_texts.end(), start.arguments.begin(), start.arguments.end());
  std::vector<std::string> env_texts = ChildEnvironment(start.environment);
  std::vector<char*> argv = Pointers(argv_texts);
  std::vector<char*> envp = Pointers(env_texts);

  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    return Status::IoError(program, std::string("cannot start: ") + std::strerror(errno));
  }
  *pid = fork();
  if (*pid < 0) {
    int err = errno;
    close(report[0]);
    close(report[1]);
    return Status::IoError(program, std::string("cannot start: ") + std::strerror(err));
  }
  if (*pid == 0) {
    // The child: only async-signal-safe calls until exec.
    if (stdout_fd >= 0) dup2(stdout_fd, STDOUT_FILENO);
    int err = 0;
    if (!start.working_folder.empty() && chdir(start.working_folder.c_str()) != 0) {
      err = errno;
    } else {
      execve(program.c_str(), argv.data(), envp.data());
      err = errno;
    }
    (void)!write(report[1], &err, sizeof err);
    _exit(127);
  }
  close(report[1]);
  int err = 0;
  ssize_t n;
  do {
    n = read(report[0], &err, sizeof err);
  } while (n < 0 && errno == EINTR);
  close(report[0]);
  if (n == sizeof err) {
    waitpid(*pid, nullptr, 0);
    std::string where = start.working_folder.empty() ? "" : " in '" + start.working_folder + "'";
    return Status::IoError(program, "cannot start" + where + ": " + std::strerror(err));
  }
  return Status::Ok();
}

class PosixProcessRunner : public ProcessRunner {
 public:
  Status RunAndWait(const ProgramStart& start,
                    const std::function<void()>& while_waiting) override {
    pid_t pid;
    JK_RETURN_IF_ERROR(Start(start, -1, &pid));
    while (true) {
      pid_t done = waitpid(pid, nullptr, WNOHANG);
      if (done == pid || (done < 0 && errno != EINTR)) return Status::Ok();
      if (while_waiting) while_waiting();
      std::this_thread::sleep_for(kPollInterval);
    }
  }

  Status RunAndCapture(const ProgramStart& start, std::string* output) override {
    output->clear();
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
      return Status::IoError(start.program, std::string("cannot start: ") + std::strerror(errno));
    }
    pid_t pid;
    Status started = Start(start, out[1], &pid);
    close(out[1]);
    if (!started.ok()) {
      close(out[0]);
      return started;
    }
    char buffer[4096];
    ssize_t n;
    while ((n = read(out[0], buffer, sizeof buffer)) != 0) {
      if (n > 0)
        output->append(buffer, size_t(n));
      else if (errno != EINTR)
        break;
    }
    close(out[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      return Status::IoError(start.program, "ended with a failure");
    }
    return Status::Ok();
  }

  std::string FindProgram(const std::string& name) override { return FindOnPath(name); }
};

}  // namespace

std::unique_ptr<ProcessRunner> MakeSystemProcessRunner() {
  return std::make_unique<PosixProcessRunner>();
}

}  // namespace jk
