// The window system on Win32: the main window and the progress window as
// real windows with the system's controls, the system's open-file dialog
// and message boxes, and a message loop. Windows only.
//
// Each control carries the name of its part of the window interfaces
// ("archive_list", "game_path_field", "scale_button", ...; the same as the
// Qt widgets' object names), through its control identifier: FindControl
// finds it by that name, for tests and tools.
//
// The program's text is UTF-8; every call into the system goes through the
// wide-character functions. Sizes follow the system's message font at the
// DPI of the monitor each window is on, and are computed again when a
// window moves to a monitor of another scale. The keyboard works as in a
// dialog: Tab, Alt with the underlined letter, F5 (refresh), F1 (About),
// Enter or Space on the archive list (open), Enter in the factor field
// (Scale and play), Escape in the progress window (Cancel).
//
// Everything runs on the thread that created the window system.
#ifndef JKRESCALE_DESKTOP_WIN32_WINDOWS_H_
#define JKRESCALE_DESKTOP_WIN32_WINDOWS_H_

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "desktop/win32_handles.h"
#include "platform/status.h"
#include "shell/window_interfaces.h"

namespace jk {

// The program's icon in its resources.
inline constexpr int kIconResource = 1;

// The control of `window` named `name`, or nullptr. The windows themselves
// are "main_window" and "progress_window" (see WindowName).
HWND FindControl(HWND window, std::string_view name);
// The name of a control or window; "" for one without a name.
std::string ControlName(HWND control);

class Win32MainWindow;
class Win32ProgressWindow;
class Win32Dialogs;
class BackgroundWork;

class Win32WindowSystem : public WindowSystem {
 public:
  // Makes the two windows, hidden; fails, saying why, when the system
  // cannot. `instance` holds the program's icon.
  static Status Create(HINSTANCE instance, std::unique_ptr<Win32WindowSystem>* system);
  ~Win32WindowSystem() override;

  MainWindow& main_window() override;
  ProgressWindow& progress_window() override;
  Dialogs& dialogs() override;
  // Runs the message loop until the main window is destroyed (closed).
  void RunUntilClosed() override;
  void PumpEvents() override;
  void Log(const std::string& line) override;
  void RunInBackground(std::function<void()> work, std::function<void()> done) override;

  // The windows themselves; the main window's is nullptr once it has been
  // closed.
  HWND main_window_handle() const;
  HWND progress_window_handle() const;

 private:
  Win32WindowSystem();
  // Gives one message to the keyboard handling of its window (accelerators,
  // dialog keys), or else dispatches it.
  void Dispatch(MSG* message);

  UniqueAccelerators accelerators_;
  std::unique_ptr<Win32MainWindow> main_window_;
  std::unique_ptr<Win32ProgressWindow> progress_window_;
  std::unique_ptr<Win32Dialogs> dialogs_;
  std::unique_ptr<BackgroundWork> background_;
};

}  // namespace jk

#endif  // JKRESCALE_DESKTOP_WIN32_WINDOWS_H_
