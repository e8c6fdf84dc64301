// What the program's two top-level windows on Win32 have in common: a
// window class whose messages go to a C++ object, the font at the
// monitor's scale, and the dialog keys' moves of the focus. Part of the
// Win32 window system (win32_windows.h); Windows only.
#ifndef JKRESCALE_DESKTOP_WIN32_TOP_WINDOW_H_
#define JKRESCALE_DESKTOP_WIN32_TOP_WINDOW_H_

#include <windows.h>

#include "desktop/win32_dpi.h"
#include "desktop/win32_handles.h"
#include "platform/status.h"

namespace jk {

// The failure of the system's `function` while making the windows, with
// the system's reason.
Status SystemFailure(const char* function);

SIZE SizeOf(const RECT& rect);

// The outer size of a window whose client area is `client`.
SIZE WindowSizeFor(SIZE client, DWORD style, DWORD ex_style, UINT dpi);

// WM_NEXTDLGCTL, which the dialog keys send to the window to move the focus
// (Tab; Alt and a caption's letter), as a dialog answers it: the next or
// previous control that takes Tab, or the one named; a text field that
// gets the focus this way has its text selected.
void MoveFocus(HWND window, WPARAM wparam, LPARAM lparam);

// A control of `window` that can take the focus back, or nullptr.
HWND Focusable(HWND window, HWND control);

// A top-level window whose messages go to a C++ object.
class TopWindow {
 public:
  TopWindow() = default;
  virtual ~TopWindow() = default;
  TopWindow(const TopWindow&) = delete;
  TopWindow& operator=(const TopWindow&) = delete;

  // nullptr once the window has been destroyed.
  HWND hwnd() const { return hwnd_; }

 protected:
  static Status Register(const wchar_t* window_class);
  Status MakeWindow(const wchar_t* window_class, DWORD style, DWORD ex_style, HWND owner);
  // Destroys the window while the object is still whole; each derived
  // class's destructor calls it.
  void Destroy() {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  }
  // The system's message font at `dpi`, measured, on every control.
  void SetDpiFont(UINT dpi);
  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(hwnd_, message, wparam, lparam);
  }

  HWND hwnd_ = nullptr;
  UINT dpi_ = kDefaultDpi;
  UniqueFont font_;
  FontMetrics metrics_;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
};

}  // namespace jk

#endif  // JKRESCALE_DESKTOP_WIN32_TOP_WINDOW_H_
