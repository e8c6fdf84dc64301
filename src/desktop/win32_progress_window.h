// The progress window on Win32: what the run is doing, in words, over a
// bar, and Cancel. Closing the window or Escape is cancelling too; the
// window goes when the run has stopped. Part of the Win32 window system
// (win32_windows.h); Windows only.
#ifndef JKRESCALE_DESKTOP_WIN32_PROGRESS_WINDOW_H_
#define JKRESCALE_DESKTOP_WIN32_PROGRESS_WINDOW_H_

#include <windows.h>

#include <string>

#include "desktop/win32_top_window.h"
#include "platform/status.h"
#include "shell/window_interfaces.h"

namespace jk {

inline constexpr wchar_t kProgressWindowClass[] = L"jkrescale_progress_window";

class Win32ProgressWindow : public TopWindow, public ProgressWindow {
 public:
  ~Win32ProgressWindow() override { Destroy(); }

  Status Create(HWND owner);

  void Show() override;
  void Close() override { ShowWindow(hwnd_, SW_HIDE); }
  bool Visible() const override { return IsWindowVisible(hwnd_) != FALSE; }
  void SetProgress(const std::string& text, double fraction) override;
  bool CancelRequested() const override { return cancelled_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void ApplyDpi(UINT dpi);
  void RequestCancel();

  HWND owner_ = nullptr;
  HWND text_ = nullptr, bar_ = nullptr, cancel_ = nullptr;
  bool cancelled_ = false;
};

}  // namespace jk

#endif  // JKRESCALE_DESKTOP_WIN32_PROGRESS_WINDOW_H_
