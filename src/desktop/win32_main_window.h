// The main window on Win32: the system's controls, made from the table of
// the controls (shell/controls.h) and laid out by win32_layout.h, behind
// the shell's MainWindow. Part of the Win32 window system
// (win32_windows.h); Windows only.
#ifndef JKRESCALE_DESKTOP_WIN32_MAIN_WINDOW_H_
#define JKRESCALE_DESKTOP_WIN32_MAIN_WINDOW_H_

#include <windows.h>

#include <functional>

#include "desktop/win32_controls.h"
#include "desktop/win32_handles.h"
#include "desktop/win32_layout.h"
#include "desktop/win32_top_window.h"
#include "platform/status.h"
#include "shell/window_interfaces.h"

namespace jk {

inline constexpr wchar_t kMainWindowClass[] = L"jkrescale_main_window";

// Posted to the main window when a job of the background work has finished.
inline constexpr UINT kWorkDoneMessage = WM_APP + 1;

// The main window: the paths, the lists, the factor and the commands.
class Win32MainWindow
    : public TopWindow,
      public MainWindowWith<Win32List, Win32TextField, Win32Button, Win32CheckBox, Win32Label> {
 public:
  explicit Win32MainWindow(HINSTANCE instance) : instance_(instance) {}
  ~Win32MainWindow() override { Destroy(); }

  Status Create();

  void SetEvents(MainWindowEvents* events) override { events_ = events; }
  void Show() override;
  bool Enabled() const override { return hwnd_ != nullptr && enabled_; }
  // The controls are greyed out, not the window: its close box still asks
  // the shell, which says why the window stays.
  void SetEnabled(bool enabled) override;
  void FocusControl(ControlId id) override;

  // Runs the follow-ups of the background work when it says it has some.
  std::function<void()> on_work_done;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  Status MakeControls();
  void AttachControls();
  // The font, the icons and the layout for the monitor's scale.
  void ApplyDpi(UINT dpi);
  void SetIcons();
  MainTextWidths MeasureTexts() const;
  void LayOut();
  void OnCommand(int id, int code);
  void OnActivate(bool active);
  void ClickScale();
  void Raise(void (MainWindowEvents::*event)()) {
    if (events_ != nullptr) (events_->*event)();
  }
  static LRESULT CALLBACK FactorFieldKeys(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                          UINT_PTR id, DWORD_PTR self);

  HINSTANCE instance_;
  MainWindowEvents* events_ = nullptr;
  bool enabled_ = true;
  MainTextWidths texts_;
  UniqueIcon big_icon_, small_icon_;
  // The control that had the focus when the window was left or disabled.
  HWND focus_ = nullptr;
  HWND tooltip_ = nullptr;
};

}  // namespace jk

#endif  // JKRESCALE_DESKTOP_WIN32_MAIN_WINDOW_H_
