#include "desktop/win32_layout.h"

#include <algorithm>

#include "shell/controls.h"

namespace jk {

namespace {

// The spacing of Windows dialogs, in dialog units.
constexpr int kMargin = 7;
constexpr int kGap = 4;
constexpr int kRowHeight = 14;
constexpr int kCaptionGap = 3;
// A check box's square and the room between it and its text.
constexpr int kCheckBoxExtra = 14;
// Below its caption, the group box's first row starts this low.
constexpr int kGroupTop = 11;
constexpr int kGroupInset = 6;

RECT Rect(int left, int top, int width, int height) {
  return RECT{left, top, left + width, top + height};
}

// A line of text set in a row of controls, centred on the row's height.
RECT TextInRow(const FontMetrics& font, int left, int row_top, int width) {
  int row = font.DluY(kRowHeight);
  return Rect(left, row_top + (row - font.line_height) / 2, width, font.line_height);
}

struct Spacing {
  explicit Spacing(const FontMetrics& font)
      : margin_x(font.DluX(kMargin)),
        margin_y(font.DluY(kMargin)),
        gap_x(font.DluX(kGap)),
        gap_y(font.DluY(kGap)),
        row(font.DluY(kRowHeight)) {}
  int margin_x, margin_y, gap_x, gap_y, row;
};

int FactorFieldWidth(const FontMetrics& font) {
  return font.digit_width * kFactorFieldDigits + font.line_height;
}

int CheckBoxWidth(const FontMetrics& font, int text_width) {
  return text_width + font.DluX(kCheckBoxExtra);
}

// The group box with the two path rows; returns its bottom.
int LayOutPaths(const FontMetrics& font, const MainTextWidths& texts, const Spacing& s, int right,
                MainLayout* layout) {
  int left = s.margin_x;
  int top = s.margin_y;
  int inner_left = left + font.DluX(kGroupInset);
  int inner_right = right - font.DluX(kGroupInset);
  int browse = ButtonWidth(font, texts.browse);
  int field_left = inner_left + texts.path_labels + s.gap_x;
  int field_width = std::max(0, inner_right - browse - s.gap_x - field_left);
  int row1 = top + font.DluY(kGroupTop);
  int row2 = row1 + s.row + s.gap_y;
  layout->game_label = TextInRow(font, inner_left, row1, texts.path_labels);
  layout->game_field = Rect(field_left, row1, field_width, s.row);
  layout->browse_game = Rect(inner_right - browse, row1, browse, s.row);
  layout->expansion_label = TextInRow(font, inner_left, row2, texts.path_labels);
  layout->expansion_field = Rect(field_left, row2, field_width, s.row);
  layout->browse_expansion = Rect(inner_right - browse, row2, browse, s.row);
  int bottom = row2 + s.row + s.margin_y;
  layout->group = RECT{left, top, right, bottom};
  return bottom;
}

// The two lists between `top` and `bottom`.
void LayOutLists(const FontMetrics& font, const MainTextWidths& texts, const Spacing& s, int top,
                 int bottom, int right, MainLayout* layout) {
  int left = s.margin_x;
  int width = std::max(0, right - left - s.margin_x);
  int left_width = width * 3 / 5;
  int extra_left = left + left_width + s.margin_x;
  int list_top = top + font.line_height + font.DluY(kCaptionGap);
  int buttons_top = bottom - s.row;
  layout->list_caption = Rect(left, top, left_width, font.line_height);
  layout->archive_list = RECT{left, list_top, left + left_width, buttons_top - s.gap_y};
  int back = ButtonWidth(font, texts.back);
  int refresh = ButtonWidth(font, texts.refresh);
  layout->back = Rect(left, buttons_top, back, s.row);
  layout->refresh = Rect(left + left_width - refresh, buttons_top, refresh, s.row);
  layout->extra_caption = Rect(extra_left, top, right - extra_left, font.line_height);
  layout->extra_list = RECT{extra_left, list_top, right, bottom};
}

// The command row, whose top is `top`.
void LayOutCommands(const FontMetrics& font, const MainTextWidths& texts, const Spacing& s, int top,
                    int right, MainLayout* layout) {
  int x = s.margin_x;
  layout->factor_label = TextInRow(font, x, top, texts.factor_label);
  x += texts.factor_label + s.gap_x;
  layout->factor_field = Rect(x, top, FactorFieldWidth(font), s.row);
  x += FactorFieldWidth(font) + font.line_height;
  int box_height = font.DluY(10);
  int box_top = top + (s.row - box_height) / 2;
  layout->gravity = Rect(x, box_top, CheckBoxWidth(font, texts.gravity), box_height);
  x += CheckBoxWidth(font, texts.gravity) + s.gap_x;
  layout->start_in_level = Rect(x, box_top, CheckBoxWidth(font, texts.start_in_level), box_height);
  int scale = ButtonWidth(font, texts.scale);
  int save_mod = ButtonWidth(font, texts.save_mod);
  int about = ButtonWidth(font, texts.about);
  layout->scale = Rect(right - scale, top, scale, s.row);
  layout->save_mod = Rect(right - scale - s.gap_x - save_mod, top, save_mod, s.row);
  layout->about = Rect(right - scale - s.gap_x - save_mod - s.gap_x - about, top, about, s.row);
}

}  // namespace

int ButtonWidth(const FontMetrics& font, int text_width) {
  return std::max(font.DluX(50), text_width + font.DluX(10));
}

MainLayout LayOutMainWindow(const FontMetrics& font, const MainTextWidths& texts, SIZE client) {
  Spacing s(font);
  MainLayout layout;
  int right = std::max(int(client.cx) - s.margin_x, s.margin_x);
  int group_bottom = LayOutPaths(font, texts, s, right, &layout);
  // From the bottom up: the status line, the player line, the command
  // row, then the lists take what is left.
  int status_bottom = std::max(int(client.cy) - s.margin_y, group_bottom);
  int status_top = status_bottom - 2 * font.line_height;
  layout.status = RECT{s.margin_x, status_top, right, status_bottom};
  int player_bottom = status_top - s.gap_y;
  int player_top = player_bottom - 2 * font.line_height;
  layout.player_line = RECT{s.margin_x, player_top, right, player_bottom};
  int command_top = player_top - s.gap_y - s.row;
  LayOutCommands(font, texts, s, command_top, right, &layout);
  int lists_top = group_bottom + s.margin_y;
  int lists_bottom = std::max(command_top - s.margin_y, lists_top);
  LayOutLists(font, texts, s, lists_top, lists_bottom, right, &layout);
  return layout;
}

SIZE MainWindowMinimumSize(const FontMetrics& font, const MainTextWidths& texts) {
  Spacing s(font);
  int commands = texts.factor_label + s.gap_x + FactorFieldWidth(font) + font.line_height +
                 CheckBoxWidth(font, texts.gravity) + s.gap_x +
                 CheckBoxWidth(font, texts.start_in_level) + s.gap_x +
                 ButtonWidth(font, texts.about) + s.gap_x + ButtonWidth(font, texts.save_mod) +
                 s.gap_x + ButtonWidth(font, texts.scale);
  int paths = 2 * font.DluX(kGroupInset) + texts.path_labels + s.gap_x + 20 * font.digit_width +
              s.gap_x + ButtonWidth(font, texts.browse);
  // Back and Refresh side by side in the archive list's three fifths.
  int lists = (ButtonWidth(font, texts.back) + s.gap_x + ButtonWidth(font, texts.refresh)) * 5 / 3 +
              s.margin_x;
  int width = 2 * s.margin_x + std::max({commands, paths, lists});
  int group = font.DluY(kGroupTop) + 2 * s.row + s.gap_y + s.margin_y;
  // Each list shows at least five items.
  int list_area =
      font.line_height + font.DluY(kCaptionGap) + 5 * font.line_height + s.gap_y + s.row;
  int height = s.margin_y + group + s.margin_y + list_area + s.margin_y + s.row +
               2 * (s.gap_y + 2 * font.line_height) + s.margin_y;
  return SIZE{width, height};
}

SIZE MainWindowInitialSize(const FontMetrics& font, const MainTextWidths& texts) {
  SIZE minimum = MainWindowMinimumSize(font, texts);
  return SIZE{std::max(56 * font.line_height, int(minimum.cx)),
              std::max(30 * font.line_height, int(minimum.cy))};
}

ProgressLayout LayOutProgressWindow(const FontMetrics& font, int cancel_text_width) {
  Spacing s(font);
  ProgressLayout layout;
  int cancel = ButtonWidth(font, cancel_text_width);
  int width = std::max(36 * font.digit_width, cancel);
  int top = s.margin_y;
  layout.text = Rect(s.margin_x, top, width, font.line_height);
  top += font.line_height + s.gap_y;
  layout.bar = Rect(s.margin_x, top, width, font.DluY(10));
  top += font.DluY(10) + s.margin_y;
  layout.cancel = Rect(s.margin_x + width - cancel, top, cancel, s.row);
  layout.client = SIZE{width + 2 * s.margin_x, top + s.row + s.margin_y};
  return layout;
}

}  // namespace jk
