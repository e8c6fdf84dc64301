// jkrescale.exe: the desktop program on Windows. Rescales one level of Jedi
// Knight or Mysteries of the Sith and starts the game on it. Its own folder
// is the work folder, where the settings file lives and every run writes; an
// installed program, which cannot write there (C:\Program Files), uses
// %LOCALAPPDATA%\jkrescale.
//
// A program of the GUI subsystem: it has no console of its own. With
// --version it writes "jkrescale VERSION" to its standard output when that
// goes to a file or a pipe, or else to the console it was started from.
#include <objbase.h>
#include <windows.h>

#include <string>
#include <vector>

#include "desktop/win32_windows.h"
#include "launch/work_folder.h"
#include "platform/arguments.h"
#include "platform/process.h"
#include "platform/real_file_system.h"
#include "platform/version.h"
#include "platform/wide_text.h"
#include "shell/shell.h"

namespace {

// COM for the calling thread while it lives: the open-file dialog and the
// shell extensions it loads expect a single-threaded apartment.
class ComApartment {
 public:
  ComApartment()
      : initialised_(
            SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
  }
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

bool IsConsole(HANDLE handle) {
  DWORD mode;
  return GetConsoleMode(handle, &mode) != FALSE;
}

void Write(HANDLE out, const std::string& text) {
  if (IsConsole(out)) {
    std::wstring wide = jk::WideOf(text);
    DWORD written;
    WriteConsoleW(out, wide.c_str(), DWORD(wide.size()), &written, nullptr);
  } else {
    DWORD written;
    WriteFile(out, text.data(), DWORD(text.size()), &written, nullptr);
  }
}

// A GUI program's standard output is there only when the one who started
// it passed one (a file, a pipe); started from a console, it writes to that
// console instead.
void PrintOut(const std::string& text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out != nullptr && out != INVALID_HANDLE_VALUE) {
    Write(out, text);
    return;
  }
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  if (console != INVALID_HANDLE_VALUE) {
    Write(console, text);
    CloseHandle(console);
  }
  FreeConsole();
}

void ShowError(const std::string& message) {
  MessageBoxW(nullptr, jk::WideOf(message).c_str(), L"jkrescale", MB_OK | MB_ICONERROR);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Answered before any window.
  std::vector<std::string> arguments = jk::ProgramArguments(0, nullptr);
  if (arguments.size() == 1 && arguments[0] == "--version") {
    PrintOut(std::string("jkrescale ") + jk::kVersion + "\n");
    return 0;
  }
  ComApartment com;
  jk::RealFileSystem fs;
  std::string work_folder;
  if (jk::Status found = jk::FindWorkFolder(fs, &work_folder); !found.ok()) {
    ShowError(found.message());
    return 1;
  }
  std::unique_ptr<jk::Win32WindowSystem> windows;
  if (jk::Status made = jk::Win32WindowSystem::Create(instance, &windows); !made.ok()) {
    ShowError(made.message());
    return 1;
  }
  std::unique_ptr<jk::ProcessRunner> runner = jk::MakeSystemProcessRunner();
  jk::Shell shell(fs, *windows, *runner, jk::DesktopEnvironment(fs, *runner, work_folder));
  shell.Run();
  return 0;
}
