#include "desktop/win32_top_window.h"

#include <string>

#include "platform/wide_text.h"
#include "shell/controls.h"

namespace jk {

namespace {

void SetFontOfChildren(HWND window, HFONT font) {
  EnumChildWindows(
      window,
      [](HWND child, LPARAM font) {
        SendMessageW(child, WM_SETFONT, WPARAM(font), TRUE);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(font));
}

}  // namespace

Status SystemFailure(const char* function) {
  return Status::IoError(function,
                         "cannot make the program's windows: " + SystemErrorText(GetLastError()));
}

SIZE SizeOf(const RECT& rect) { return SIZE{rect.right - rect.left, rect.bottom - rect.top}; }

SIZE WindowSizeFor(SIZE client, DWORD style, DWORD ex_style, UINT dpi) {
  RECT rect{0, 0, client.cx, client.cy};
  AdjustWindowRectForDpi(&rect, style, ex_style, dpi);
  return SizeOf(rect);
}

Status TopWindow::Register(const wchar_t* window_class) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, window_class, &existing)) return Status::Ok();
  WNDCLASSEXW description{};
  description.cbSize = sizeof description;
  description.lpfnWndProc = &TopWindow::Procedure;
  description.hInstance = instance;
  description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // The system's colour for dialogs, which is what the controls expect
  // around them.
  description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  description.lpszClassName = window_class;
  if (!RegisterClassExW(&description)) return SystemFailure("RegisterClassExW");
  return Status::Ok();
}

Status TopWindow::MakeWindow(const wchar_t* window_class, DWORD style, DWORD ex_style, HWND owner) {
  JK_RETURN_IF_ERROR(Register(window_class));
  HWND made = CreateWindowExW(ex_style, window_class, WideOf(kProgramTitle).c_str(), style,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                              nullptr, GetModuleHandleW(nullptr), this);
  if (made == nullptr) return SystemFailure("CreateWindowExW");
  return Status::Ok();
}

void TopWindow::SetDpiFont(UINT dpi) {
  dpi_ = dpi;
  UniqueFont font = CreateMessageFont(dpi);
  if (font == nullptr) return;
  SetFontOfChildren(hwnd_, font.get());
  // The old font goes only once no control uses it.
  font_ = std::move(font);
  metrics_ = MeasureFont(hwnd_, font_.get());
}

LRESULT CALLBACK TopWindow::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  TopWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<TopWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<TopWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  LRESULT result = self->HandleMessage(message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

void MoveFocus(HWND window, WPARAM wparam, LPARAM lparam) {
  HWND target = LOWORD(lparam) ? reinterpret_cast<HWND>(wparam)
                               : GetNextDlgTabItem(window, GetFocus(), wparam != 0);
  if (target == nullptr) return;
  SetFocus(target);
  if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
    SendMessageW(target, EM_SETSEL, 0, -1);
  }
}

HWND Focusable(HWND window, HWND control) {
  if (control == nullptr || !IsWindow(control) || !IsChild(window, control)) return nullptr;
  return IsWindowEnabled(control) && IsWindowVisible(control) ? control : nullptr;
}

}  // namespace jk
