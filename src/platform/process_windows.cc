#include <windows.h>

#include <algorithm>

#include "platform/path.h"
#include "platform/process.h"
#include "platform/wide_text.h"

namespace jk {

namespace {

constexpr DWORD kPollMilliseconds = 10;

// A kernel handle, closed when it goes.
class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  HANDLE get() const { return handle_; }
  HANDLE* out() { return &handle_; }
  void Close() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

bool IsFileW(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// `path` itself, or with ".exe" added when its name has no extension (the
// way programs are named on a command line); "" when neither is a file.
std::string ProgramFile(const std::string& path) {
  if (IsFileW(WideOf(path))) return path;
  if (FileNameOf(path).find('.') == std::string::npos && IsFileW(WideOf(path + ".exe"))) {
    return path + ".exe";
  }
  return "";
}

std::string FindOnPath(const std::string& name) {
  if (name.find_first_of("\\/:") != std::string::npos) return ProgramFile(name);
  DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  std::wstring folders(size, L'\0');
  folders.resize(GetEnvironmentVariableW(L"PATH", folders.data(), size));
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(L';', start);
    if (end == std::wstring::npos) end = folders.size();
    std::wstring folder = folders.substr(start, end - start);
    // An entry may be quoted (a folder with a ';' in its name).
    folder.erase(std::remove(folder.begin(), folder.end(), L'"'), folder.end());
    if (!folder.empty()) {
      std::string found = ProgramFile(JoinPath(Utf8Of(folder), name));
      if (!found.empty()) return found;
    }
    start = end + 1;
  }
  return "";
}

// One argument as the C runtime and CommandLineToArgvW read it back: quoted
// when it is empty or holds a blank, a tab or a quote; a quote inside is
// escaped with a backslash, and the backslashes before a quote (or before
// the closing quote) are doubled.
std::string QuotedArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
    return argument;
  }
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

// The start's own command line when it has one (the game's, exactly as
// built); else the program in quotes and the arguments, each quoted as
// needed.
std::string CommandLineOf(const ProgramStart& start, const std::string& program) {
  if (!start.command_line.empty()) return start.command_line;
  std::string line = "\"" + program + "\"";
  for (const std::string& argument : start.arguments) line += " " + QuotedArgument(argument);
  return line;
}

std::wstring NameOf(const std::wstring& entry) {
  // Entries such as "=C:=C:\games" (a drive's current folder) begin with
  // "="; the name ends at the next one.
  return entry.substr(0, entry.find(L'=', 1));
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// The environment block of the child: ours, with the start's variables
// replacing those of the same name (letter case ignored, as Windows does),
// sorted by name as CreateProcessW expects.
std::wstring EnvironmentBlock(const std::vector<std::string>& extra) {
  std::vector<std::wstring> entries;
  for (const std::string& variable : extra) entries.push_back(WideOf(variable));
  size_t added = entries.size();
  if (wchar_t* block = GetEnvironmentStringsW()) {
    for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
      std::wstring text = entry;
      bool replaced =
          std::any_of(entries.begin(), entries.begin() + added,
                      [&](const std::wstring& x) { return SameName(NameOf(x), NameOf(text)); });
      if (!replaced) entries.push_back(text);
    }
    FreeEnvironmentStringsW(block);
  }
  std::sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
    std::wstring x = NameOf(a), y = NameOf(b);
    return CompareStringOrdinal(x.c_str(), int(x.size()), y.c_str(), int(y.size()), TRUE) ==
           CSTR_LESS_THAN;
  });
  std::wstring joined;
  for (const std::wstring& entry : entries) joined += entry + L'\0';
  return joined + L'\0';
}

// Starts the program; with `output` set, its standard output goes there
// (an inheritable handle) and its other standard handles are ours.
Status Start(const ProgramStart& start, HANDLE output, PROCESS_INFORMATION* info) {
  std::string program = FindOnPath(start.program);
  if (program.empty()) {
    return Status::IoError(start.program, "cannot start: no such program, or it is not executable");
  }
  std::wstring application = WideOf(program);
  // CreateProcessW may write into the command line, so it gets a copy.
  std::wstring command_line = WideOf(CommandLineOf(start, program));
  std::wstring folder = WideOf(start.working_folder);
  std::wstring environment;
  DWORD flags = 0;
  if (!start.environment.empty()) {
    environment = EnvironmentBlock(start.environment);
    flags |= CREATE_UNICODE_ENVIRONMENT;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (output != nullptr) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }
  if (!CreateProcessW(application.c_str(), command_line.data(), nullptr, nullptr, output != nullptr,
                      flags, environment.empty() ? nullptr : environment.data(),
                      folder.empty() ? nullptr : folder.c_str(), &startup, info)) {
    DWORD error = GetLastError();
    std::string where = start.working_folder.empty() ? "" : " in '" + start.working_folder + "'";
    return Status::IoError(program, "cannot start" + where + ": " + SystemErrorText(error));
  }
  CloseHandle(info->hThread);
  return Status::Ok();
}

class WindowsProcessRunner : public ProcessRunner {
 public:
  Status RunAndWait(const ProgramStart& start,
                    const std::function<void()>& while_waiting) override {
    PROCESS_INFORMATION info{};
    JK_RETURN_IF_ERROR(Start(start, nullptr, &info));
    Handle process(info.hProcess);
    // Short waits, so that the windows stay alive while the game runs.
    while (WaitForSingleObject(process.get(), kPollMilliseconds) == WAIT_TIMEOUT) {
      if (while_waiting) while_waiting();
    }
    return Status::Ok();
  }

  Status RunAndCapture(const ProgramStart& start, std::string* output) override {
    output->clear();
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    Handle read_end, write_end;
    if (!CreatePipe(read_end.out(), write_end.out(), &inheritable, 0) ||
        !SetHandleInformation(read_end.get(), HANDLE_FLAG_INHERIT, 0)) {
      return Status::IoError(start.program, "cannot start: " + SystemErrorText(GetLastError()));
    }
    PROCESS_INFORMATION info{};
    JK_RETURN_IF_ERROR(Start(start, write_end.get(), &info));
    Handle process(info.hProcess);
    // Our copy of the write end goes, so that the read ends when the
    // program's does.
    write_end.Close();
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(read_end.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
      output->append(buffer, read);
    }
    WaitForSingleObject(process.get(), INFINITE);
    DWORD exit_code = 1;
    if (!GetExitCodeProcess(process.get(), &exit_code) || exit_code != 0) {
      return Status::IoError(start.program, "ended with a failure");
    }
    return Status::Ok();
  }

  std::string FindProgram(const std::string& name) override { return FindOnPath(name); }
};

}  // namespace

std::unique_ptr<ProcessRunner> MakeSystemProcessRunner() {
  return std::make_unique<WindowsProcessRunner>();
}

}  // namespace jk
