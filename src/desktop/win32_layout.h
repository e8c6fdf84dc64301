// Where the controls of the Win32 windows go, computed from the font's
// measures (so that everything grows with the font and the display's
// scale) and the widths of the texts they show. Pure computation, apart
// from the system's RECT type. Windows only.
//
// The main window, from the top:
//   a group box "Where the game is installed" with the two path rows
//     (caption, field, Browse...);
//   the archive list (3/5 of the width) with its caption above and Back and
//   Refresh below, beside the extra list (2/5) with its caption;
//   the command row: factor caption and field, the check boxes "Divide
//   the world gravity by the factor" and "Start in the level", and About,
//   Save as mod... and Scale and play at the right;
//   the player line (what the factor changes for the player) and the
//   status line, each two lines high.
// Margins and spacing are the usual ones of Windows dialogs, in dialog
// units: 7 at the edges, 4 between controls, buttons and fields 14 high.
#ifndef JKRESCALE_DESKTOP_WIN32_LAYOUT_H_
#define JKRESCALE_DESKTOP_WIN32_LAYOUT_H_

#include <windows.h>

#include "desktop/win32_dpi.h"

namespace jk {

// The widths of the texts of the main window's controls, in pixels, as
// drawn in its font.
struct MainTextWidths {
  int path_labels = 0;  // the wider of the two path captions
  int browse = 0;       // the wider of the two Browse... buttons
  int back = 0, refresh = 0, about = 0, save_mod = 0, scale = 0;
  int factor_label = 0;
  int gravity = 0, start_in_level = 0;  // the check boxes' texts
};

struct MainLayout {
  RECT group{}, game_label{}, game_field{}, browse_game{}, expansion_label{}, expansion_field{},
      browse_expansion{};
  RECT list_caption{}, archive_list{}, back{}, refresh{}, extra_caption{}, extra_list{};
  RECT factor_label{}, factor_field{}, gravity{}, start_in_level{}, about{}, save_mod{}, scale{};
  RECT player_line{}, status{};
};

// The main window's controls in a client area of `client` pixels.
MainLayout LayOutMainWindow(const FontMetrics& font, const MainTextWidths& texts, SIZE client);

// The smallest client area in which nothing overlaps or is cut.
SIZE MainWindowMinimumSize(const FontMetrics& font, const MainTextWidths& texts);

// The client area the main window opens with: room for long paths and
// archive names, 56 by 30 lines of text (at least the minimum).
SIZE MainWindowInitialSize(const FontMetrics& font, const MainTextWidths& texts);

// The width of a push button that shows a text `text_width` wide.
int ButtonWidth(const FontMetrics& font, int text_width);

struct ProgressLayout {
  SIZE client{};
  RECT text{}, bar{}, cancel{};
};

// The progress window: the text over the bar, Cancel at the bottom right.
// The text has room for "Scaling models: 12345 of 12345", 36 digits wide.
ProgressLayout LayOutProgressWindow(const FontMetrics& font, int cancel_text_width);

}  // namespace jk

#endif  // JKRESCALE_DESKTOP_WIN32_LAYOUT_H_
