#include "desktop/win32_windows.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "desktop/win32_controls.h"
#include "desktop/win32_dpi.h"
#include "desktop/win32_layout.h"
#include "platform/wide_text.h"

namespace jk {

using enum ControlId;

namespace {

constexpr wchar_t kMainWindowClass[] = L"jkrescale_main_window";
constexpr wchar_t kProgressWindowClass[] = L"jkrescale_progress_window";
constexpr int kBarSteps = 1000;

constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kProgressStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kProgressExStyle = WS_EX_DLGMODALFRAME;

Status SystemFailure(const char* function) {
  return Status::IoError(function,
                         "cannot make the program's windows: " + SystemErrorText(GetLastError()));
}

void SetFontOfChildren(HWND window, HFONT font) {
  EnumChildWindows(
      window,
      [](HWND child, LPARAM font) {
        SendMessageW(child, WM_SETFONT, WPARAM(font), TRUE);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(font));
}

SIZE SizeOf(const RECT& rect) { return SIZE{rect.right - rect.left, rect.bottom - rect.top}; }

// The outer size of a window whose client area is `client`.
SIZE WindowSizeFor(SIZE client, DWORD style, DWORD ex_style, UINT dpi) {
  RECT rect{0, 0, client.cx, client.cy};
  AdjustWindowRectForDpi(&rect, style, ex_style, dpi);
  return SizeOf(rect);
}

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

HWND Item(HWND window, ControlId id) { return ItemOf(window, id); }

// WM_NEXTDLGCTL, which the dialog keys send to the window to move the focus
// (Tab; Alt and a caption's letter), as a dialog answers it: the next or
// previous control that takes Tab, or the one named; a text field that
// gets the focus this way has its text selected.
void MoveFocus(HWND window, WPARAM wparam, LPARAM lparam) {
  HWND target = LOWORD(lparam) ? reinterpret_cast<HWND>(wparam)
                               : GetNextDlgTabItem(window, GetFocus(), wparam != 0);
  if (target == nullptr) return;
  SetFocus(target);
  if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
    SendMessageW(target, EM_SETSEL, 0, -1);
  }
}

// A control that can take the focus back, or nullptr.
HWND Focusable(HWND window, HWND control) {
  if (control == nullptr || !IsWindow(control) || !IsChild(window, control)) return nullptr;
  return IsWindowEnabled(control) && IsWindowVisible(control) ? control : nullptr;
}

}  // namespace

// --- The main window ----------------------------------------------------------

class Win32MainWindow
    : public TopWindow,
      public MainWindowWith<Win32List, Win32TextField, Win32Button, Win32CheckBox, Win32Label> {
 public:
  explicit Win32MainWindow(HINSTANCE instance) : instance_(instance) {}
  ~Win32MainWindow() override { Destroy(); }

  Status Create();

  void SetEvents(MainWindowEvents* events) override { events_ = events; }
  void Show() override;
  bool Enabled() const override { return hwnd_ != nullptr && IsWindowEnabled(hwnd_); }
  void SetEnabled(bool enabled) override;

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
  MainTextWidths texts_;
  UniqueIcon big_icon_, small_icon_;
  // The control that had the focus when the window was left or disabled.
  HWND focus_ = nullptr;
  HWND tooltip_ = nullptr;
};

Status Win32MainWindow::Create() {
  JK_RETURN_IF_ERROR(MakeWindow(kMainWindowClass, kMainStyle, 0, nullptr));
  JK_RETURN_IF_ERROR(MakeControls());
  AttachControls();
  ApplyDpi(WindowDpi(hwnd_));
  SIZE client = MainWindowInitialSize(metrics_, texts_);
  SIZE window = WindowSizeFor(client, kMainStyle, 0, dpi_);
  SetWindowPos(hwnd_, nullptr, 0, 0, window.cx, window.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return Status::Ok();
}

// Made in the order of the table, which is the order of the Tab key; each
// caption comes just before the control its Alt key goes to.
Status Win32MainWindow::MakeControls() {
  for (const ControlInfo& control : kControls) {
    if (control.window != WindowId::kMain) continue;
    if (MakeControl(hwnd_, control.id) == nullptr) return SystemFailure("CreateWindowExW");
  }
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
  if (tooltip_ == nullptr) return SystemFailure("CreateWindowExW");
  return Status::Ok();
}

void Win32MainWindow::AttachControls() {
  game_path_field_.Attach(hwnd_, tooltip_, [this] { Raise(&MainWindowEvents::OnGamePathChanged); });
  expansion_path_field_.Attach(hwnd_, tooltip_,
                               [this] { Raise(&MainWindowEvents::OnExpansionPathChanged); });
  factor_field_.Attach(hwnd_, tooltip_, [this] { Raise(&MainWindowEvents::OnFactorChanged); });
  SetWindowSubclass(factor_field_.hwnd(), &Win32MainWindow::FactorFieldKeys, 0,
                    reinterpret_cast<DWORD_PTR>(this));
  archive_list_.Attach(
      hwnd_, [this] { Raise(&MainWindowEvents::OnArchiveSelectionChanged); },
      [this] { Raise(&MainWindowEvents::OnArchiveActivated); });
  extra_list_.Attach(hwnd_, nullptr, nullptr);
  for (Win32Button* button : {&scale_button_, &save_mod_button_, &back_button_,
                              &browse_game_button_, &browse_expansion_button_}) {
    button->Attach(hwnd_);
  }
  gravity_check_box_.Attach(hwnd_);
  start_in_level_check_box_.Attach(hwnd_);
  list_caption_.Attach(hwnd_);
  status_line_.Attach(hwnd_);
  // The hints of the table; a text field's is its own (SetHint).
  for (const ControlInfo& control : kControls) {
    if (control.window != WindowId::kMain || *control.hint == 0) continue;
    std::wstring hint = WideOf(control.hint);
    TOOLINFOW tip{};
    tip.cbSize = sizeof tip;
    tip.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tip.hwnd = hwnd_;
    tip.uId = reinterpret_cast<UINT_PTR>(Item(hwnd_, control.id));
    tip.lpszText = hint.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tip));
  }
  // Long enough for any path the system can open.
  for (ControlId field : {kGamePathField, kExpansionPathField, kFactorField}) {
    SendMessageW(Item(hwnd_, field), EM_SETLIMITTEXT, 32767, 0);
  }
}

void Win32MainWindow::Show() {
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  if (GetFocus() == nullptr || !IsChild(hwnd_, GetFocus())) {
    SetFocus(game_path_field_.hwnd());
  }
}

void Win32MainWindow::SetEnabled(bool enabled) {
  if (hwnd_ == nullptr) return;
  if (!enabled && IsWindowEnabled(hwnd_)) focus_ = Focusable(hwnd_, GetFocus());
  EnableWindow(hwnd_, enabled);
  if (enabled && Focusable(hwnd_, focus_) != nullptr) SetFocus(focus_);
}

void Win32MainWindow::ApplyDpi(UINT dpi) {
  SetDpiFont(dpi);
  SetIcons();
  texts_ = MeasureTexts();
  LayOut();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32MainWindow::SetIcons() {
  auto load = [this](int size) {
    return UniqueIcon(static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, size, size, 0)));
  };
  UniqueIcon big = load(MetricForDpi(SM_CXICON, dpi_));
  UniqueIcon small = load(MetricForDpi(SM_CXSMICON, dpi_));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  // The window now shows the new ones: the old ones can go.
  big_icon_ = std::move(big);
  small_icon_ = std::move(small);
}

MainTextWidths Win32MainWindow::MeasureTexts() const {
  auto width = [this](ControlId id) {
    HWND control = Item(hwnd_, id);
    return TextWidth(hwnd_, font_.get(), WideOf(WindowText(control)));
  };
  MainTextWidths texts;
  texts.path_labels = std::max(width(kGamePathLabel), width(kExpansionPathLabel));
  texts.browse = std::max(width(kBrowseGameButton), width(kBrowseExpansionButton));
  texts.back = width(kBackButton);
  texts.refresh = width(kRefreshButton);
  texts.about = width(kAboutButton);
  texts.scale = width(kScaleButton);
  texts.save_mod = width(kSaveModButton);
  texts.factor_label = width(kFactorLabel);
  texts.gravity = width(kGravityCheckBox);
  texts.start_in_level = width(kStartInLevelCheckBox);
  return texts;
}

void Win32MainWindow::LayOut() {
  if (font_ == nullptr) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  MainLayout layout = LayOutMainWindow(metrics_, texts_, SizeOf(client));
  const std::pair<ControlId, const RECT*> places[] = {
      {kGameGroup, &layout.group},
      {kGamePathLabel, &layout.game_label},
      {kGamePathField, &layout.game_field},
      {kBrowseGameButton, &layout.browse_game},
      {kExpansionPathLabel, &layout.expansion_label},
      {kExpansionPathField, &layout.expansion_field},
      {kBrowseExpansionButton, &layout.browse_expansion},
      {kListCaption, &layout.list_caption},
      {kArchiveList, &layout.archive_list},
      {kBackButton, &layout.back},
      {kRefreshButton, &layout.refresh},
      {kExtraListCaption, &layout.extra_caption},
      {kExtraList, &layout.extra_list},
      {kFactorLabel, &layout.factor_label},
      {kFactorField, &layout.factor_field},
      {kGravityCheckBox, &layout.gravity},
      {kStartInLevelCheckBox, &layout.start_in_level},
      {kAboutButton, &layout.about},
      {kSaveModButton, &layout.save_mod},
      {kScaleButton, &layout.scale},
      {kStatusLine, &layout.status},
  };
  HDWP moves = BeginDeferWindowPos(int(std::size(places)));
  for (const auto& [id, rect] : places) {
    SIZE size = SizeOf(*rect);
    if (moves != nullptr) {
      moves = DeferWindowPos(moves, Item(hwnd_, id), nullptr, rect->left, rect->top, size.cx,
                             size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  if (moves != nullptr) EndDeferWindowPos(moves);
  // The group box's inside is the window's own background: drawn again
  // with it, so that no trace of the old places stays.
  InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT Win32MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_CTLCOLOREDIT: {
      HWND edit = reinterpret_cast<HWND>(lparam);
      HDC dc = reinterpret_cast<HDC>(wparam);
      for (const Win32TextField* field :
           {&game_path_field_, &expansion_path_field_, &factor_field_}) {
        if (field->hwnd() == edit) return reinterpret_cast<LRESULT>(field->Paint(dc));
      }
      break;
    }
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_GETMINMAXINFO:
      if (font_ != nullptr) {
        SIZE least = WindowSizeFor(MainWindowMinimumSize(metrics_, texts_), kMainStyle, 0, dpi_);
        reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = POINT{least.cx, least.cy};
      }
      return 0;
    case WM_DPICHANGED: {
      // The system proposes the window's place at the new scale.
      ApplyDpi(HIWORD(wparam));
      const RECT* proposed = reinterpret_cast<const RECT*>(lparam);
      SIZE size = SizeOf(*proposed);
      SetWindowPos(hwnd_, nullptr, proposed->left, proposed->top, size.cx, size.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_SETTINGCHANGE:
      // The user chose another message font, or another size of text.
      if (wparam == SPI_SETNONCLIENTMETRICS) ApplyDpi(dpi_);
      break;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wparam) != WA_INACTIVE && !HIWORD(wparam));
      return 0;
    case WM_NEXTDLGCTL:
      MoveFocus(hwnd_, wparam, lparam);
      return 0;
    case WM_CLOSE:
      // The shell says whether the window may close (not while a game runs).
      if (events_ == nullptr || events_->OnCloseRequested()) DestroyWindow(hwnd_);
      return 0;
  }
  return Default(message, wparam, lparam);
}

void Win32MainWindow::OnCommand(int id, int code) {
  // Buttons say BN_CLICKED (0); the F5 and F1 keys come as commands of the
  // buttons they stand for, with code 1.
  bool clicked = code == BN_CLICKED || code == 1;
  switch (id) {
    case Win32Id(kGamePathField):
      if (code == EN_CHANGE) game_path_field_.EditChanged();
      break;
    case Win32Id(kExpansionPathField):
      if (code == EN_CHANGE) expansion_path_field_.EditChanged();
      break;
    case Win32Id(kFactorField):
      if (code == EN_CHANGE) factor_field_.EditChanged();
      break;
    case Win32Id(kArchiveList):
      if (code == LBN_SELCHANGE) archive_list_.SelectionChanged();
      if (code == LBN_DBLCLK) Raise(&MainWindowEvents::OnArchiveActivated);
      break;
    case Win32Id(kExtraList):
      if (code == LBN_SELCHANGE) extra_list_.SelectionChanged();
      break;
    case Win32Id(kBrowseGameButton):
      if (clicked) Raise(&MainWindowEvents::OnBrowseGame);
      break;
    case Win32Id(kBrowseExpansionButton):
      if (clicked) Raise(&MainWindowEvents::OnBrowseExpansion);
      break;
    case Win32Id(kBackButton):
      if (clicked && back_button_.Clickable()) Raise(&MainWindowEvents::OnBack);
      break;
    case Win32Id(kScaleButton):
      if (clicked) ClickScale();
      break;
    case Win32Id(kSaveModButton):
      if (clicked && save_mod_button_.Clickable() && Enabled()) {
        Raise(&MainWindowEvents::OnSaveAsMod);
      }
      break;
    case Win32Id(kStartInLevelCheckBox):
      if (code == BN_CLICKED) Raise(&MainWindowEvents::OnStartInLevelChanged);
      break;
    case Win32Id(kRefreshButton):
      if (clicked && Enabled()) Raise(&MainWindowEvents::OnRefresh);
      break;
    case Win32Id(kAboutButton):
      if (clicked && Enabled()) Raise(&MainWindowEvents::OnAbout);
      break;
  }
}

void Win32MainWindow::ClickScale() {
  if (scale_button_.Clickable() && Enabled()) Raise(&MainWindowEvents::OnScaleAndPlay);
}

// Coming back to the window, the user finds the focus where it was and the
// lists as the disk has them.
void Win32MainWindow::OnActivate(bool active) {
  if (!active) {
    if (HWND focus = Focusable(hwnd_, GetFocus())) focus_ = focus;
    return;
  }
  HWND focus = Focusable(hwnd_, focus_);
  if (focus == nullptr) focus = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  if (focus != nullptr) SetFocus(focus);
  Raise(&MainWindowEvents::OnRefresh);
}

// Enter in the factor field is Scale and play, when that can be clicked.
LRESULT CALLBACK Win32MainWindow::FactorFieldKeys(HWND window, UINT message, WPARAM wparam,
                                                  LPARAM lparam, UINT_PTR, DWORD_PTR self) {
  auto* main = reinterpret_cast<Win32MainWindow*>(self);
  switch (message) {
    case WM_GETDLGCODE:
      if (wparam == VK_RETURN)
        return DefSubclassProc(window, message, wparam, lparam) | DLGC_WANTALLKEYS;
      break;
    case WM_KEYDOWN:
      if (wparam == VK_RETURN) {
        main->ClickScale();
        return 0;
      }
      break;
    case WM_CHAR:
      // A single-line field beeps at a line break.
      if (wparam == L'\r') return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, &Win32MainWindow::FactorFieldKeys, 0);
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

// --- The progress window --------------------------------------------------------

// What the run is doing, in words, over a bar, and Cancel. Closing the
// window or Escape is cancelling too; the window goes when the run has
// stopped.
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

// --- Dialogs ---------------------------------------------------------------------

class Win32Dialogs : public Dialogs {
 public:
  Win32Dialogs(HINSTANCE instance, const TopWindow* main, const TopWindow* progress)
      : instance_(instance), main_(main), progress_(progress) {}

  std::string OpenFile(const std::string& title, const std::string& folder,
                       const std::string& proposed_name) override;
  std::string SaveArchive(const std::string& title, const std::string& folder,
                          const std::string& proposed_name) override;
  int Choose(const std::string& title, const std::string& text,
             const std::vector<std::string>& items) override;
  void Message(const std::string& text) override;
  void Notice(const std::string& text) override;
  void About(const std::string& text) override;

 private:
  struct FileDialogKind {
    const wchar_t* filter;  // as the system takes it: pairs of texts
    bool save;              // else open
  };
  std::string FileDialog(const FileDialogKind& kind, const std::string& title,
                         const std::string& folder, const std::string& proposed_name);
  // The window the dialog belongs to: the progress window while it shows,
  // else the main window while it is open.
  HWND Owner() const {
    HWND progress = progress_->hwnd();
    if (progress != nullptr && IsWindowVisible(progress)) return progress;
    return main_->hwnd();
  }

  HINSTANCE instance_;
  const TopWindow* main_;
  const TopWindow* progress_;
};

// The system's open-file or save-file dialog: the chosen path, or "" when
// cancelled. A name typed without an extension gets the proposed one's.
std::string Win32Dialogs::FileDialog(const FileDialogKind& kind, const std::string& title,
                                     const std::string& folder, const std::string& proposed_name) {
  // Room for the longest path the system takes.
  std::wstring file = WideOf(proposed_name);
  file.resize(32768, L'\0');
  std::wstring wide_title = WideOf(title);
  std::wstring start = WideOf(folder);
  size_t dot = proposed_name.find_last_of(".\\/");
  std::wstring extension;
  if (dot != std::string::npos && proposed_name[dot] == '.') {
    extension = WideOf(proposed_name.substr(dot + 1));
  }
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = Owner();
  dialog.lpstrFilter = kind.filter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = DWORD(file.size());
  dialog.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
  dialog.lpstrTitle = wide_title.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                 OFN_NOCHANGEDIR | OFN_DONTADDTORECENT |
                 (kind.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  if (!(kind.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return "";
  return Utf8Of(file.c_str());
}

std::string Win32Dialogs::OpenFile(const std::string& title, const std::string& folder,
                                   const std::string& proposed_name) {
  static constexpr FileDialogKind kProgram{L"Programs (*.exe)\0*.exe\0All files (*.*)\0*.*\0",
                                           false};
  return FileDialog(kProgram, title, folder, proposed_name);
}

std::string Win32Dialogs::SaveArchive(const std::string& title, const std::string& folder,
                                      const std::string& proposed_name) {
  static constexpr FileDialogKind kArchive{
      L"Episode archives (*.gob, *.goo)\0*.gob;*.goo\0All files (*.*)\0*.*\0", true};
  return FileDialog(kArchive, title, folder, proposed_name);
}

namespace {

// A dialog template built in memory: the header, then each control,
// every part on a four-byte boundary.
class DialogTemplate {
 public:
  DialogTemplate(const std::wstring& title, short width, short height, WORD controls) {
    DLGTEMPLATE header{};
    header.style = DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    header.cdit = controls;
    header.cx = width;
    header.cy = height;
    Append(&header, sizeof header);
    Word(0);  // no menu
    Word(0);  // the system's dialog class
    Text(title);
    Word(8);  // the font: 8 points of the shell's dialog font
    Text(L"MS Shell Dlg");
  }

  // A control of one of the system's predefined classes (0x80 button,
  // 0x82 static, 0x83 list box).
  void Add(WORD predefined_class, const std::wstring& text, DWORD style, short x, short y,
           short width, short height, WORD id) {
    Align();
    DLGITEMTEMPLATE item{};
    item.style = WS_CHILD | WS_VISIBLE | style;
    item.x = x;
    item.y = y;
    item.cx = width;
    item.cy = height;
    item.id = id;
    Append(&item, sizeof item);
    Word(0xFFFF);
    Word(predefined_class);
    Text(text);
    Word(0);  // no creation data
  }

  const DLGTEMPLATE* get() { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Append(const void* data, size_t size) {
    size_t at = bytes_;
    bytes_ += size;
    words_.resize((bytes_ + 3) / 4);
    std::memcpy(reinterpret_cast<char*>(words_.data()) + at, data, size);
  }
  void Word(WORD word) { Append(&word, sizeof word); }
  void Text(const std::wstring& text) { Append(text.c_str(), (text.size() + 1) * sizeof(wchar_t)); }
  void Align() { bytes_ = (bytes_ + 3) / 4 * 4; }

  std::vector<DWORD> words_;
  size_t bytes_ = 0;
};

constexpr WORD kChoiceList = 100;

struct ChooseRequest {
  const std::vector<std::string>* items;
};

INT_PTR CALLBACK ChooseDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  HWND list = GetDlgItem(dialog, kChoiceList);
  switch (message) {
    case WM_INITDIALOG: {
      const auto* request = reinterpret_cast<const ChooseRequest*>(lparam);
      int widest = 0;
      HDC dc = GetDC(list);
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
      for (const std::string& item : *request->items) {
        std::wstring wide = WideOf(item);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
        widest = std::max(widest, int(size.cx));
      }
      SelectObject(dc, old);
      ReleaseDC(list, dc);
      // A path longer than the list is wide scrolls into view.
      SendMessageW(list, LB_SETHORIZONTALEXTENT, widest + 8, 0);
      SendMessageW(list, LB_SETCURSEL, 0, 0);
      SetFocus(list);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
          EndDialog(dialog, SendMessageW(list, LB_GETCURSEL, 0, 0));
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, -1);
          return TRUE;
        case kChoiceList:
          if (HIWORD(wparam) == LBN_DBLCLK) {
            EndDialog(dialog, SendMessageW(list, LB_GETCURSEL, 0, 0));
            return TRUE;
          }
          break;
      }
      break;
  }
  return FALSE;
}

// A long path has no blank to wrap at, and a message box breaks its lines
// at blanks only: a line break after a separator keeps each stretch of text
// without a blank shorter than kLongestStretch characters.
std::wstring WrappableText(const std::string& text) {
  constexpr size_t kLongestStretch = 64;
  std::wstring wide = WideOf(text);
  std::wstring wrappable;
  size_t stretch = 0;
  for (size_t i = 0; i < wide.size(); ++i) {
    wchar_t c = wide[i];
    wrappable += c;
    stretch = c == L' ' || c == L'\n' ? 0 : stretch + 1;
    if (c != L'\\' && c != L'/') continue;
    size_t next = wide.find_first_of(L"\\/ \n", i + 1);
    size_t ahead = (next == std::wstring::npos ? wide.size() : next) - i;
    if (stretch + ahead > kLongestStretch) {
      wrappable += L'\n';
      stretch = 0;
    }
  }
  return wrappable;
}

}  // namespace

// The text over the list, OK and Cancel at the bottom right; sizes in
// dialog units, which follow the dialog's font.
int Win32Dialogs::Choose(const std::string& title, const std::string& text,
                         const std::vector<std::string>& items) {
  constexpr short kWidth = 340, kHeight = 170, kMargin = 7, kButtonWidth = 50, kButtonHeight = 14;
  constexpr short kTextHeight = 32;
  constexpr short kInner = kWidth - 2 * kMargin;
  constexpr short kButtonsTop = kHeight - kMargin - kButtonHeight;
  constexpr short kListTop = kMargin + kTextHeight + 4;
  DialogTemplate dialog(WideOf(title), kWidth, kHeight, 4);
  dialog.Add(0x82, WrappableText(text), SS_LEFT, kMargin, kMargin, kInner, kTextHeight, 0xFFFF);
  dialog.Add(0x83, L"",
             WS_TABSTOP | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
             kMargin, kListTop, kInner, kButtonsTop - 4 - kListTop, kChoiceList);
  dialog.Add(0x80, L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, kWidth - kMargin - 2 * kButtonWidth - 4,
             kButtonsTop, kButtonWidth, kButtonHeight, IDOK);
  dialog.Add(0x80, L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, kWidth - kMargin - kButtonWidth,
             kButtonsTop, kButtonWidth, kButtonHeight, IDCANCEL);
  ChooseRequest request{&items};
  INT_PTR picked = DialogBoxIndirectParamW(instance_, dialog.get(), Owner(), ChooseDialogProc,
                                           reinterpret_cast<LPARAM>(&request));
  return picked >= 0 && picked < INT_PTR(items.size()) ? int(picked) : -1;
}

void Win32Dialogs::Message(const std::string& text) {
  MessageBoxW(Owner(), WrappableText(text).c_str(), WideOf(kProgramTitle).c_str(),
              MB_OK | MB_ICONWARNING);
}

void Win32Dialogs::Notice(const std::string& text) {
  MessageBoxW(Owner(), WrappableText(text).c_str(), WideOf(kProgramTitle).c_str(),
              MB_OK | MB_ICONINFORMATION);
}

void Win32Dialogs::About(const std::string& text) {
  std::wstring wide = WideOf(text);
  MSGBOXPARAMSW box{};
  box.cbSize = sizeof box;
  box.hwndOwner = Owner();
  box.hInstance = instance_;
  box.lpszText = wide.c_str();
  std::wstring title = WideOf(kAboutTitle);
  box.lpszCaption = title.c_str();
  // The program's own icon beside the text.
  box.dwStyle = MB_OK | MB_USERICON;
  box.lpszIcon = MAKEINTRESOURCEW(kIconResource);
  MessageBoxIndirectW(&box);
}

// --- The window system ------------------------------------------------------------

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

void Win32WindowSystem::Log(const std::string& line) {
  std::fprintf(stderr, "jkrescale: %s\n", line.c_str());
  std::fflush(stderr);
}

}  // namespace jk
