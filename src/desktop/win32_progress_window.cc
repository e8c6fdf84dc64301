#include "desktop/win32_progress_window.h"

#include <commctrl.h>

#include <algorithm>

#include "desktop/win32_controls.h"
#include "desktop/win32_layout.h"
#include "platform/wide_text.h"
#include "shell/controls.h"

namespace jk {

using enum ControlId;

namespace {

constexpr int kBarSteps = 1000;
constexpr DWORD kProgressStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kProgressExStyle = WS_EX_DLGMODALFRAME;

}  // namespace

Status Win32ProgressWindow::Create(HWND owner) {
  owner_ = owner;
  JK_RETURN_IF_ERROR(MakeWindow(kProgressWindowClass, kProgressStyle, kProgressExStyle, owner));
  text_ = MakeControl(hwnd_, kProgressText);
  bar_ = MakeControl(hwnd_, kProgressBar);
  cancel_ = MakeControl(hwnd_, kCancelButton);
  if (text_ == nullptr || bar_ == nullptr || cancel_ == nullptr) {
    return SystemFailure("CreateWindowExW");
  }
  SendMessageW(bar_, PBM_SETRANGE32, 0, kBarSteps);
  ApplyDpi(WindowDpi(hwnd_));
  return Status::Ok();
}

void Win32ProgressWindow::ApplyDpi(UINT dpi) {
  SetDpiFont(dpi);
  int cancel_text = TextWidth(hwnd_, font_.get(), WideOf(WindowText(cancel_)));
  ProgressLayout layout = LayOutProgressWindow(metrics_, cancel_text);
  for (auto [control, rect] : {std::pair{text_, layout.text}, std::pair{bar_, layout.bar},
                               std::pair{cancel_, layout.cancel}}) {
    SIZE size = SizeOf(rect);
    MoveWindow(control, rect.left, rect.top, size.cx, size.cy, TRUE);
  }
  SIZE window = WindowSizeFor(layout.client, kProgressStyle, kProgressExStyle, dpi);
  SetWindowPos(hwnd_, nullptr, 0, 0, window.cx, window.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32ProgressWindow::Show() {
  cancelled_ = false;
  EnableWindow(cancel_, TRUE);
  SetWindowTextW(text_, L"");
  SendMessageW(bar_, PBM_SETPOS, 0, 0);
  // Over the middle of the main window.
  RECT window, over;
  GetWindowRect(hwnd_, &window);
  if (owner_ != nullptr && IsWindow(owner_) && GetWindowRect(owner_, &over)) {
    SIZE size = SizeOf(window);
    int left = (over.left + over.right - size.cx) / 2;
    int top = (over.top + over.bottom - size.cy) / 2;
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(hwnd_, SW_SHOW);
  SetFocus(cancel_);
  UpdateWindow(hwnd_);
}

void Win32ProgressWindow::SetProgress(const std::string& text, double fraction) {
  SetWindowTextW(text_, WideOf(text).c_str());
  SendMessageW(bar_, PBM_SETPOS, WPARAM(std::clamp(fraction, 0.0, 1.0) * kBarSteps), 0);
}

void Win32ProgressWindow::RequestCancel() {
  cancelled_ = true;
  // The focus stays in the window, so that Escape still reaches it.
  if (GetFocus() == cancel_) SetFocus(hwnd_);
  EnableWindow(cancel_, FALSE);
  SetWindowTextW(text_, WideOf(kCancellingText).c_str());
}

LRESULT Win32ProgressWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      // The Cancel button, and Escape, which the dialog keys turn into it.
      if (LOWORD(wparam) == IDCANCEL && !cancelled_) RequestCancel();
      return 0;
    case WM_CLOSE:
      if (Visible() && !cancelled_) RequestCancel();
      return 0;
    case WM_NEXTDLGCTL:
      MoveFocus(hwnd_, wparam, lparam);
      return 0;
    case WM_DPICHANGED: {
      ApplyDpi(HIWORD(wparam));
      const RECT* proposed = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(hwnd_, nullptr, proposed->left, proposed->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
  }
  return Default(message, wparam, lparam);
}

}  // namespace jk
