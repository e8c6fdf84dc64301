// The display's scale as a window sees it, and the system's message font
// at that scale. The program declares itself aware of each monitor's scale
// (its manifest), so every size it draws is computed here for the window's
// own DPI; on systems older than Windows 10 (1607), which cannot say a
// window's DPI, the system's DPI stands for every window. Windows only.
#ifndef JKRESCALE_DESKTOP_WIN32_DPI_H_
#define JKRESCALE_DESKTOP_WIN32_DPI_H_

#include <windows.h>

#include <string>

#include "desktop/win32_handles.h"

namespace jk {

// 96 DPI: the scale of 100%.
inline constexpr UINT kDefaultDpi = USER_DEFAULT_SCREEN_DPI;

// The DPI of the monitor `window` is on.
UINT WindowDpi(HWND window);

// A system metric (GetSystemMetrics' SM_...) at `dpi`.
int MetricForDpi(int index, UINT dpi);

// Grows `rect` from a client area to the whole window of that style, at
// `dpi`.
void AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD ex_style, UINT dpi);

// The font the system uses for the text of message boxes and dialogs
// (Segoe UI 9 points on current Windows), at `dpi`.
UniqueFont CreateMessageFont(UINT dpi);

// The sizes a layout is computed from, measured on one font. Dialog units
// are the system's own measure for dialog layouts: a quarter of the font's
// average character width across, an eighth of its height down.
struct FontMetrics {
  int char_width = 0;   // average width of a letter
  int line_height = 0;  // height of a line of text
  int digit_width = 0;  // width of "0"

  int DluX(int units) const { return MulDiv(units, char_width, 4); }
  int DluY(int units) const { return MulDiv(units, line_height, 8); }
};

// Measures `font` on `window`'s display.
FontMetrics MeasureFont(HWND window, HFONT font);

// The width of `text` in `font` on one line, "&" marking the next letter as
// a mnemonic (as in labels and buttons, where it takes no room).
int TextWidth(HWND window, HFONT font, const std::wstring& text);

}  // namespace jk

#endif  // JKRESCALE_DESKTOP_WIN32_DPI_H_
