#include "desktop/win32_controls.h"

#include <commctrl.h>

#include <algorithm>
#include <string_view>

#include "platform/wide_text.h"

namespace jk {

namespace {

// The colour as the system takes it: both are red + green * 256 + blue *
// 65536.
COLORREF ToColorRef(Colour colour) { return COLORREF(colour); }

// How the system makes a control of each kind.
struct ControlClass {
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
};

ControlClass ClassOf(ControlKind kind) {
  constexpr DWORD kPush = WS_TABSTOP | BS_PUSHBUTTON;
  switch (kind) {
    case ControlKind::kGroup:
      return {WC_BUTTONW, BS_GROUPBOX, 0};
    case ControlKind::kLabel:
      return {WC_STATICW, SS_LEFT, 0};
    case ControlKind::kListCaption:
      return {WC_STATICW, SS_LEFT | SS_ENDELLIPSIS, 0};
    case ControlKind::kTextField:
      return {WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::kList:
      // Drawn by the program (Win32List::DrawItem), for its greyed items.
      return {WC_LISTBOXW,
              WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED |
                  LBS_HASSTRINGS,
              WS_EX_CLIENTEDGE};
    case ControlKind::kButton:
      return {WC_BUTTONW, kPush, 0};
    case ControlKind::kCheckBox:
      return {WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    case ControlKind::kStatusLine:
      // Read-only text rather than a label, so that a long message can be
      // selected and copied.
      return {WC_EDITW, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0};
    case ControlKind::kProgressText:
      return {WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0};
    case ControlKind::kProgressBar:
      return {PROGRESS_CLASSW, 0, 0};
  }
  return {WC_STATICW, 0, 0};
}

}  // namespace

const ControlInfo* ControlInfoOf(int win32_id) {
  for (const ControlInfo& control : kControls) {
    if (Win32Id(control.id) == win32_id) return &control;
  }
  return nullptr;
}

const char* ControlNameOf(int id) {
  const ControlInfo* control = ControlInfoOf(id);
  return control != nullptr ? control->name : "";
}

int ControlIdOf(std::string_view name) {
  const ControlInfo* control = FindControlInfo(name);
  return control != nullptr ? Win32Id(control->id) : 0;
}

HWND MakeControl(HWND parent, ControlId id) {
  const ControlInfo& info = InfoOf(id);
  ControlClass made = ClassOf(info.kind);
  return CreateWindowExW(made.ex_style, made.window_class, WideOf(MarkedLabel(info)).c_str(),
                         WS_CHILD | WS_VISIBLE | made.style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(Win32Id(id))),
                         GetModuleHandleW(nullptr), nullptr);
}

std::string WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  if (length <= 0) return "";
  std::wstring text(size_t(length) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(window, text.data(), length + 1)));
  return Utf8Of(text);
}

// --- Text fields -------------------------------------------------------------

void Win32TextField::Attach(HWND window, HWND tooltip, std::function<void()> on_change) {
  edit_ = ItemOf(window, id_);
  tooltip_ = tooltip;
  on_change_ = std::move(on_change);
  brush_.reset(CreateSolidBrush(ToColorRef(background_)));
}

void Win32TextField::SetText(const std::string& text) {
  // The edit control's own EN_CHANGE is held back: the change event comes
  // once, even when the text stays the same, as typing it again would.
  setting_ = true;
  SetWindowTextW(edit_, WideOf(text).c_str());
  setting_ = false;
  // The cursor at the end, where the user goes on typing.
  int length = GetWindowTextLengthW(edit_);
  SendMessageW(edit_, EM_SETSEL, WPARAM(length), LPARAM(length));
  if (on_change_) on_change_();
}

void Win32TextField::EditChanged() {
  if (!setting_ && on_change_) on_change_();
}

void Win32TextField::SetBackground(Colour colour) {
  if (colour == background_) return;
  background_ = colour;
  brush_.reset(CreateSolidBrush(ToColorRef(colour)));
  InvalidateRect(edit_, nullptr, TRUE);
}

HBRUSH Win32TextField::Paint(HDC dc) const {
  SetBkColor(dc, ToColorRef(background_));
  SetTextColor(dc, RGB(0, 0, 0));
  return brush_.get();
}

void Win32TextField::SetPlaceholder(const std::string& text) {
  // Shown also while the field has the focus, as an empty field's hint.
  std::wstring wide = WideOf(text);
  SendMessageW(edit_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Win32TextField::SetHint(const std::string& text) {
  std::wstring wide = WideOf(text);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(edit_);
  tool.uId = reinterpret_cast<UINT_PTR>(edit_);
  tool.lpszText = wide.data();
  // The tooltip keeps its own copy of the text.
  SendMessageW(tooltip_, has_hint_ ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
               reinterpret_cast<LPARAM>(&tool));
  has_hint_ = true;
}

// --- Lists -------------------------------------------------------------------

Win32List::~Win32List() {
  if (list_ != nullptr && IsWindow(list_)) RemoveWindowSubclass(list_, &Win32List::Subclass, 0);
}

void Win32List::Attach(HWND window, std::function<void()> on_select,
                       std::function<void()> on_activate) {
  list_ = ItemOf(window, id_);
  on_select_ = std::move(on_select);
  on_activate_ = std::move(on_activate);
  SetWindowSubclass(list_, &Win32List::Subclass, 0, reinterpret_cast<DWORD_PTR>(this));
}

void Win32List::Clear() {
  bool had_selection = SelectedIndex() >= 0;
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  if (had_selection) SelectionChanged();
}

void Win32List::AddItem(const std::string& text) {
  SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideOf(text).c_str()));
}

void Win32List::AddGreyedItem(const std::string& text, const std::string& hint) {
  LRESULT index = SendMessageW(list_, LB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>(WideOf(text + " - " + hint).c_str()));
  if (index >= 0) SendMessageW(list_, LB_SETITEMDATA, WPARAM(index), kGreyedItem);
}

bool Win32List::IsGreyed(int index) const {
  return SendMessageW(list_, LB_GETITEMDATA, WPARAM(index), 0) == kGreyedItem;
}

void Win32List::FitItemHeight() {
  HDC dc = GetDC(list_);
  if (dc == nullptr) return;
  TEXTMETRICW metrics{};
  {
    Selection selected(dc, reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0)));
    GetTextMetricsW(dc, &metrics);
  }
  ReleaseDC(list_, dc);
  // The height of a list box's own items: one line of its font.
  SendMessageW(list_, LB_SETITEMHEIGHT, 0, std::max<LPARAM>(1, metrics.tmHeight));
  InvalidateRect(list_, nullptr, TRUE);
}

void Win32List::DrawItem(const DRAWITEMSTRUCT& item) const {
  if (item.itemID == UINT(-1)) return;  // an empty list with the focus: nothing to draw
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const bool greyed = IsGreyed(int(item.itemID)) || (item.itemState & ODS_DISABLED) != 0;
  HDC dc = item.hDC;
  RECT area = item.rcItem;
  FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(greyed     ? COLOR_GRAYTEXT
                               : selected ? COLOR_HIGHLIGHTTEXT
                                          : COLOR_WINDOWTEXT));
  std::wstring text = WideOf(ItemText(int(item.itemID)));
  RECT inside = area;
  inside.left += 2;
  DrawTextW(dc, text.c_str(), int(text.size()), &inside,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &area);
}

int Win32List::ItemCount() const { return int(SendMessageW(list_, LB_GETCOUNT, 0, 0)); }

std::string Win32List::ItemText(int index) const {
  if (index < 0 || index >= ItemCount()) return "";
  LRESULT length = SendMessageW(list_, LB_GETTEXTLEN, WPARAM(index), 0);
  if (length == LB_ERR) return "";
  std::wstring text(size_t(length) + 1, L'\0');
  length = SendMessageW(list_, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(length == LB_ERR ? 0 : size_t(length));
  return Utf8Of(text);
}

int Win32List::SelectedIndex() const {
  LRESULT selected = SendMessageW(list_, LB_GETCURSEL, 0, 0);
  return selected == LB_ERR ? -1 : int(selected);
}

void Win32List::SetSelectedIndex(int index) {
  int before = SelectedIndex();
  bool valid = index >= 0 && index < ItemCount();
  // LB_SETCURSEL does not notify, unlike a click: the event is raised here.
  SendMessageW(list_, LB_SETCURSEL, valid ? WPARAM(index) : WPARAM(-1), 0);
  if (SelectedIndex() != before) SelectionChanged();
}

void Win32List::SetPlaceholder(const std::string& text) {
  placeholder_ = WideOf(text);
  InvalidateRect(list_, nullptr, TRUE);
}

void Win32List::SelectionChanged() {
  if (on_select_) on_select_();
}

void Win32List::Activate() {
  int count = ItemCount();
  if (SelectedIndex() < 0 && count > 0) {
    LRESULT caret = SendMessageW(list_, LB_GETCARETINDEX, 0, 0);
    SetSelectedIndex(std::clamp(caret == LB_ERR ? 0 : int(caret), 0, count - 1));
  }
  if (on_activate_) on_activate_();
}

LRESULT CALLBACK Win32List::Subclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                     UINT_PTR, DWORD_PTR self) {
  Win32List* list = reinterpret_cast<Win32List*>(self);
  if (list == nullptr || list->list_ != window) {
    return DefSubclassProc(window, message, wparam, lparam);
  }
  return list->HandleMessage(message, wparam, lparam);
}

LRESULT Win32List::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  // Asked for only where needed: the count is itself a message to the list.
  auto empty = [this] { return ItemCount() == 0; };
  switch (message) {
    case WM_PAINT:
      if (empty()) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(list_, &paint);
        PaintPlaceholder(dc);
        EndPaint(list_, &paint);
        return 0;
      }
      break;
    case WM_PRINTCLIENT:
      if (empty()) {
        PaintPlaceholder(reinterpret_cast<HDC>(wparam));
        return 0;
      }
      break;
    case WM_SIZE:
      // The placeholder wraps to the new width.
      if (empty()) InvalidateRect(list_, nullptr, TRUE);
      break;
    case WM_GETDLGCODE:
      // Enter goes to the list rather than to the window's default button.
      if (on_activate_ && wparam == VK_RETURN) {
        return DefSubclassProc(list_, message, wparam, lparam) | DLGC_WANTALLKEYS;
      }
      break;
    case WM_KEYDOWN:
      if (on_activate_ && (wparam == VK_RETURN || wparam == VK_SPACE)) {
        Activate();
        return 0;
      }
      break;
    case WM_CHAR:
      // The characters of those keys would search the list for an item.
      if (on_activate_ && (wparam == L'\r' || wparam == L' ')) return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(list_, &Win32List::Subclass, 0);
      break;
  }
  return DefSubclassProc(list_, message, wparam, lparam);
}

void Win32List::PaintPlaceholder(HDC dc) {
  RECT client;
  GetClientRect(list_, &client);
  // The list's own background, as its parent gives it.
  HBRUSH background = reinterpret_cast<HBRUSH>(SendMessageW(
      GetParent(list_), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), LPARAM(list_)));
  FillRect(dc, &client, background != nullptr ? background : GetSysColorBrush(COLOR_WINDOW));
  if (placeholder_.empty()) return;
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0));
  Selection selected(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  int margin = metrics.tmHeight / 2;
  RECT text = {client.left + margin, client.top + margin, client.right - margin,
               client.bottom - margin};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  DrawTextW(dc, placeholder_.c_str(), int(placeholder_.size()), &text,
            DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
}

// --- Buttons, check box, label -----------------------------------------------

void Win32Button::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Apply();
}

void Win32Button::SetAvailable(bool available) {
  available_ = available;
  Apply();
}

void Win32Button::SetHeld(bool held) {
  held_ = held;
  Apply();
}

void Win32Button::Apply() {
  bool on = Clickable() && !held_;
  // A button greyed out while it has the focus would leave the keyboard
  // nowhere: the focus goes on to the next control first.
  if (!on && GetFocus() == button_) SendMessageW(GetParent(button_), WM_NEXTDLGCTL, 0, FALSE);
  EnableWindow(button_, on);
}

bool Win32CheckBox::Checked() const { return SendMessageW(box_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// BM_SETCHECK notifies no one: only a click makes a BN_CLICKED.
void Win32CheckBox::SetChecked(bool checked) {
  SendMessageW(box_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32Label::SetText(const std::string& text) { SetWindowTextW(label_, WideOf(text).c_str()); }

}  // namespace jk
