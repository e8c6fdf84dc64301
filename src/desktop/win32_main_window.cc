#include "desktop/win32_main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

#include "desktop/win32_dpi.h"
#include "desktop/win32_windows.h"
#include "platform/wide_text.h"

namespace jk {

using enum ControlId;

namespace {

constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW;

}  // namespace

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
  player_line_.Attach(hwnd_);
  status_line_.Attach(hwnd_);
  // The hints of the table; a text field's is its own (SetHint).
  for (const ControlInfo& control : kControls) {
    if (control.window != WindowId::kMain || *control.hint == 0) continue;
    std::wstring hint = WideOf(control.hint);
    TOOLINFOW tip{};
    tip.cbSize = sizeof tip;
    tip.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tip.hwnd = hwnd_;
    tip.uId = reinterpret_cast<UINT_PTR>(ItemOf(hwnd_, control.id));
    tip.lpszText = hint.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tip));
  }
  // Long enough for any path the system can open.
  for (ControlId field : {kGamePathField, kExpansionPathField, kFactorField}) {
    SendMessageW(ItemOf(hwnd_, field), EM_SETLIMITTEXT, 32767, 0);
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
  if (hwnd_ == nullptr || enabled == enabled_) return;
  if (!enabled) focus_ = Focusable(hwnd_, GetFocus());
  enabled_ = enabled;
  // Every control but the status line, which stays readable; the buttons
  // and check boxes then go back to their own states.
  for (const ControlInfo& control : kControls) {
    if (control.window == WindowId::kMain && control.id != kStatusLine) {
      EnableWindow(ItemOf(hwnd_, control.id), enabled);
    }
  }
  ForEachControl([held = !enabled](ControlId, auto& control) {
    if constexpr (requires { control.SetHeld(held); }) control.SetHeld(held);
  });
  if (enabled && Focusable(hwnd_, focus_) != nullptr) SetFocus(focus_);
}

void Win32MainWindow::FocusControl(ControlId id) {
  HWND control = Focusable(hwnd_, ItemOf(hwnd_, id));
  if (control == nullptr) return;
  // Kept too for when the window is activated again.
  focus_ = control;
  SetFocus(control);
}

void Win32MainWindow::ApplyDpi(UINT dpi) {
  SetDpiFont(dpi);
  archive_list_.FitItemHeight();
  extra_list_.FitItemHeight();
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
    HWND control = ItemOf(hwnd_, id);
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
      {kPlayerLine, &layout.player_line},
      {kStatusLine, &layout.status},
  };
  HDWP moves = BeginDeferWindowPos(int(std::size(places)));
  for (const auto& [id, rect] : places) {
    SIZE size = SizeOf(*rect);
    if (moves != nullptr) {
      moves = DeferWindowPos(moves, ItemOf(hwnd_, id), nullptr, rect->left, rect->top, size.cx,
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
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      for (const Win32List* list : {&archive_list_, &extra_list_}) {
        if (item->hwndItem == list->hwnd()) {
          list->DrawItem(*item);
          return TRUE;
        }
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
    case kWorkDoneMessage:
      if (on_work_done) on_work_done();
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
      if (code == EN_KILLFOCUS) Raise(&MainWindowEvents::OnPathFieldLeft);
      break;
    case Win32Id(kExpansionPathField):
      if (code == EN_CHANGE) expansion_path_field_.EditChanged();
      if (code == EN_KILLFOCUS) Raise(&MainWindowEvents::OnPathFieldLeft);
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
    case Win32Id(kGravityCheckBox):
      if (code == BN_CLICKED) Raise(&MainWindowEvents::OnGravityChanged);
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
  // A window whose controls are greyed out has none to take the focus.
  if (enabled_) {
    HWND focus = Focusable(hwnd_, focus_);
    if (focus == nullptr) focus = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (focus != nullptr) SetFocus(focus);
  }
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

}  // namespace jk
