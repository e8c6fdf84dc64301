// The controls of the Win32 windows behind the shell's control interfaces:
// an edit control as a TextField, a list box as a ListControl, and so on,
// with the identifiers (and so the names) of every control. Part of the
// Win32 window system (win32_windows.h); Windows only.
#ifndef JKRESCALE_DESKTOP_WIN32_CONTROLS_H_
#define JKRESCALE_DESKTOP_WIN32_CONTROLS_H_

#include <windows.h>

#include <functional>
#include <string>

#include "desktop/win32_handles.h"
#include "shell/controls.h"
#include "shell/window_interfaces.h"

namespace jk {

// The control identifier of a control of the table (shell/controls.h):
// from 100 up in the table's order, but the progress window's Cancel
// button, which is IDCANCEL so that the dialog keys click it with Escape.
constexpr int Win32Id(ControlId id) {
  return id == ControlId::kCancelButton ? IDCANCEL : 100 + int(id);
}

// The table's entry of the control with identifier `win32_id`, or nullptr.
const ControlInfo* ControlInfoOf(int win32_id);
// The name of the control with identifier `id` ("" for none), and the
// identifier of the one named `name` (0 for none).
const char* ControlNameOf(int id);
int ControlIdOf(std::string_view name);

// The control `id` of `window`, or nullptr.
inline HWND ItemOf(HWND window, ControlId id) { return GetDlgItem(window, Win32Id(id)); }

// Makes the child control `id` of `parent` as the table has it: its class
// and style for its kind, its text with the key marked; nullptr when the
// system cannot.
HWND MakeControl(HWND parent, ControlId id);

// The text of a window, in UTF-8.
std::string WindowText(HWND window);

// A single-line edit control. It raises `on_change` on every change of its
// text: through EN_CHANGE as the user types (the window passes it on with
// EditChanged), and once for every SetText.
class Win32TextField : public TextField {
 public:
  explicit Win32TextField(ControlId id) : id_(id) {}
  // Takes the control of `window` made for the field's id (MakeControl).
  void Attach(HWND window, HWND tooltip, std::function<void()> on_change);
  HWND hwnd() const { return edit_; }

  std::string Text() const override { return WindowText(edit_); }
  void SetText(const std::string& text) override;
  Colour Background() const override { return background_; }
  void SetBackground(Colour colour) override;
  void SetPlaceholder(const std::string& text) override;
  void SetHint(const std::string& text) override;

  // The edit control told its parent that its text changed.
  void EditChanged();
  // Prepares `dc` to draw the field (WM_CTLCOLOREDIT): its background, and
  // black text, which reads on both colours even under a dark theme.
  HBRUSH Paint(HDC dc) const;

 private:
  ControlId id_;
  HWND edit_ = nullptr;
  HWND tooltip_ = nullptr;
  std::function<void()> on_change_;
  bool setting_ = false;
  Colour background_ = kWhite;
  UniqueBrush brush_;
  bool has_hint_ = false;
};

// A list box with one selected item at most. Selection changes by the
// program raise `on_select` as the user's do (the window passes LBN_SELCHANGE
// on with SelectionChanged). While it has no item, it says its placeholder
// in its place.
class Win32List : public ListControl {
 public:
  explicit Win32List(ControlId id) : id_(id) {}
  ~Win32List() override;
  Win32List(const Win32List&) = delete;
  Win32List& operator=(const Win32List&) = delete;

  // `on_activate`, when set, is what Enter and Space on the list do (after
  // selecting the item with the focus, when none is selected).
  void Attach(HWND window, std::function<void()> on_select, std::function<void()> on_activate);
  HWND hwnd() const { return list_; }

  void Clear() override;
  void AddItem(const std::string& text) override;
  // A list box has no tooltips for its items: the hint follows the text,
  // after " - ", drawn grey like the text.
  void AddGreyedItem(const std::string& text, const std::string& hint) override;
  int ItemCount() const override;
  std::string ItemText(int index) const override;
  int SelectedIndex() const override;
  void SetSelectedIndex(int index) override;
  void SetPlaceholder(const std::string& text) override;

  void SelectionChanged();
  bool IsGreyed(int index) const;
  // The list draws its items itself (WM_DRAWITEM, which its window passes
  // on): greyed ones in the system's grey text. Their height follows the
  // list's font, and must be set again when the font changes.
  void DrawItem(const DRAWITEMSTRUCT& item) const;
  void FitItemHeight();

 private:
  // The item data that marks a greyed item.
  static constexpr LRESULT kGreyedItem = 1;

  static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR id, DWORD_PTR self);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // Paints the empty list: its background and the placeholder.
  void PaintPlaceholder(HDC dc);
  void Activate();

  ControlId id_;
  HWND list_ = nullptr;
  std::function<void()> on_select_, on_activate_;
  std::wstring placeholder_;
};

// A push button, greyed out unless both enabled and available, and while
// its window is held (takes no input).
class Win32Button : public Button {
 public:
  explicit Win32Button(ControlId id) : id_(id) {}
  void Attach(HWND window) { button_ = ItemOf(window, id_); }
  HWND hwnd() const { return button_; }

  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override;
  bool Available() const override { return available_; }
  void SetAvailable(bool available) override;
  // Whether a click does something.
  bool Clickable() const { return enabled_ && available_; }
  // Greys the button out whatever its own state; released, it shows that
  // state again.
  void SetHeld(bool held);

 private:
  void Apply();

  ControlId id_;
  HWND button_ = nullptr;
  bool enabled_ = true;
  bool available_ = true;
  bool held_ = false;
};

// A check box, greyed out unless enabled, and while its window is held.
class Win32CheckBox : public CheckBox {
 public:
  explicit Win32CheckBox(ControlId id) : id_(id) {}
  void Attach(HWND window) { box_ = ItemOf(window, id_); }
  bool Checked() const override;
  void SetChecked(bool checked) override;
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override {
    enabled_ = enabled;
    Apply();
  }
  // As Win32Button::SetHeld.
  void SetHeld(bool held) {
    held_ = held;
    Apply();
  }

 private:
  void Apply() { EnableWindow(box_, enabled_ && !held_); }

  ControlId id_;
  HWND box_ = nullptr;
  bool enabled_ = true;
  bool held_ = false;
};

class Win32Label : public Label {
 public:
  explicit Win32Label(ControlId id) : id_(id) {}
  void Attach(HWND window) { label_ = ItemOf(window, id_); }
  std::string Text() const override { return WindowText(label_); }
  void SetText(const std::string& text) override;

 private:
  ControlId id_;
  HWND label_ = nullptr;
};

}  // namespace jk

#endif  // JKRESCALE_DESKTOP_WIN32_CONTROLS_H_
