#include "desktop/win32_windows.h"

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>

#include "desktop/background_work.h"
#include "desktop/win32_controls.h"
#include "desktop/win32_dialogs.h"
#include "desktop/win32_main_window.h"
#include "desktop/win32_progress_window.h"

namespace jk {

using enum ControlId;

HWND FindControl(HWND window, std::string_view name) {
  int id = ControlIdOf(name);
  return id == 0 || window == nullptr ? nullptr : GetDlgItem(window, id);
}

std::string ControlName(HWND control) {
  if (control == nullptr) return "";
  if (GetWindowLongPtrW(control, GWL_STYLE) & WS_CHILD) return ControlNameOf(GetDlgCtrlID(control));
  wchar_t window_class[64] = L"";
  GetClassNameW(control, window_class, int(std::size(window_class)));
  if (std::wstring_view(window_class) == kMainWindowClass) return "main_window";
  if (std::wstring_view(window_class) == kProgressWindowClass) return "progress_window";
  return "";
}

Win32WindowSystem::Win32WindowSystem() = default;

Win32WindowSystem::~Win32WindowSystem() {
  // The worker first, before the window it wakes goes.
  background_.reset();
  // The progress window first: the main window owns it.
  dialogs_.reset();
  progress_window_.reset();
  main_window_.reset();
}

Status Win32WindowSystem::Create(HINSTANCE instance, std::unique_ptr<Win32WindowSystem>* system) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES;
  InitCommonControlsEx(&controls);

  std::unique_ptr<Win32WindowSystem> made(new Win32WindowSystem());
  made->main_window_ = std::make_unique<Win32MainWindow>(instance);
  JK_RETURN_IF_ERROR(made->main_window_->Create());
  made->progress_window_ = std::make_unique<Win32ProgressWindow>();
  JK_RETURN_IF_ERROR(made->progress_window_->Create(made->main_window_->hwnd()));
  made->dialogs_ = std::make_unique<Win32Dialogs>(instance, made->main_window_.get(),
                                                  made->progress_window_.get());
  ACCEL keys[] = {
      {FVIRTKEY, VK_F5, WORD(Win32Id(kRefreshButton))},
      {FVIRTKEY, VK_F1, WORD(Win32Id(kAboutButton))},
  };
  made->accelerators_.reset(CreateAcceleratorTableW(keys, int(std::size(keys))));
  if (made->accelerators_ == nullptr) return SystemFailure("CreateAcceleratorTableW");
  // A finished job wakes the main window through its message queue, which
  // modal loops (message boxes, dialogs) serve too; once the window is
  // gone, the message goes nowhere.
  Win32WindowSystem* self = made.get();
  made->background_ = std::make_unique<BackgroundWork>(
      [window = made->main_window_->hwnd()] { PostMessageW(window, kWorkDoneMessage, 0, 0); });
  made->main_window_->on_work_done = [self] { self->background_->RunFinished(); };
  *system = std::move(made);
  return Status::Ok();
}

MainWindow& Win32WindowSystem::main_window() { return *main_window_; }
ProgressWindow& Win32WindowSystem::progress_window() { return *progress_window_; }
Dialogs& Win32WindowSystem::dialogs() { return *dialogs_; }
HWND Win32WindowSystem::main_window_handle() const { return main_window_->hwnd(); }
HWND Win32WindowSystem::progress_window_handle() const { return progress_window_->hwnd(); }

void Win32WindowSystem::Dispatch(MSG* message) {
  HWND root = message->hwnd != nullptr ? GetAncestor(message->hwnd, GA_ROOT) : nullptr;
  if (root != nullptr && root == main_window_->hwnd()) {
    if (TranslateAcceleratorW(root, accelerators_.get(), message)) return;
    if (IsDialogMessageW(root, message)) return;
  } else if (root != nullptr && root == progress_window_->hwnd()) {
    if (IsDialogMessageW(root, message)) return;
  }
  TranslateMessage(message);
  DispatchMessageW(message);
}

void Win32WindowSystem::RunUntilClosed() {
  HWND main = main_window_->hwnd();
  if (main == nullptr || !IsWindowVisible(main)) return;
  MSG message;
  while (main_window_->hwnd() != nullptr) {
    // 0: the program was asked to quit; -1: no message can be had.
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) return;
    Dispatch(&message);
  }
}

void Win32WindowSystem::PumpEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the loop that waits for it.
      PostQuitMessage(int(message.wParam));
      return;
    }
    Dispatch(&message);
  }
}

void Win32WindowSystem::RunInBackground(std::function<void()> work, std::function<void()> done) {
  background_->Run(std::move(work), std::move(done));
}

void Win32WindowSystem::Log(const std::string& line) {
  std::fprintf(stderr, "jkrescale: %s\n", line.c_str());
  std::fflush(stderr);
}

}  // namespace jk
