// The controls of the desktop program's two windows, in one table: what
// each is, the name it carries, the text it shows, the letter Alt takes it
// with and the hint it shows when the user asks. The Qt and the Win32
// windows, and the fakes of the tests, make their controls from this table,
// so that both programs show the same texts and take the same keys.
//
// The table is in the order of the Tab key. A caption comes just before the
// control it names, and its key goes to that control.
#ifndef JKRESCALE_SHELL_CONTROLS_H_
#define JKRESCALE_SHELL_CONTROLS_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace jk {

// The title of both windows and of the messages.
inline constexpr const char* kProgramTitle = "jkrescale";
// The title of the About box.
inline constexpr const char* kAboutTitle = "About jkrescale";
// What the progress window says once Cancel has been clicked.
inline constexpr const char* kCancellingText = "Cancelling…";
// The width of the factor field, in digits of the window's font and the
// height of a line for its frame: "0.001" and "1000.5" show whole.
inline constexpr int kFactorFieldDigits = 10;

enum class ControlId {
  // The main window.
  kGameGroup,
  kGamePathLabel,
  kGamePathField,
  kBrowseGameButton,
  kExpansionPathLabel,
  kExpansionPathField,
  kBrowseExpansionButton,
  kListCaption,
  kArchiveList,
  kBackButton,
  kRefreshButton,
  kExtraListCaption,
  kExtraList,
  kFactorLabel,
  kFactorField,
  kGravityCheckBox,
  kStartInLevelCheckBox,
  kAboutButton,
  kSaveModButton,
  kScaleButton,
  kPlayerLine,
  kStatusLine,
  // The progress window.
  kProgressText,
  kProgressBar,
  kCancelButton,
};

enum class ControlKind {
  kGroup,        // a frame with a title around other controls
  kLabel,        // a caption
  kListCaption,  // a caption above a list, cut with "…" when too long
  kTextField,    // a one-line text field
  kList,         // a list of texts
  kButton,       // a push button
  kCheckBox,
  kStatusLine,  // read-only text, which can be selected and copied
  kProgressText,
  kProgressBar,
};

enum class WindowId { kMain, kProgress };

struct ControlInfo {
  ControlId id;
  ControlKind kind;
  WindowId window;
  // The control's name: Qt's object name, and on Win32 through its
  // control identifier.
  const char* name;
  // The text it shows, "" for none (or one the program sets).
  const char* label;
  // The lower-case letter Alt takes it with, 0 for none; it is in `label`.
  char key;
  // The hint it shows when the user asks (a tooltip), "" for none.
  const char* hint;
};

inline constexpr ControlInfo kControls[] = {
    {ControlId::kGameGroup, ControlKind::kGroup, WindowId::kMain, "game_group",
     "Where the game is installed", 0, ""},
    {ControlId::kGamePathLabel, ControlKind::kLabel, WindowId::kMain, "game_path_label",
     "Jedi Knight (JK.EXE):", 'j', ""},
    {ControlId::kGamePathField, ControlKind::kTextField, WindowId::kMain, "game_path_field", "", 0,
     ""},
    {ControlId::kBrowseGameButton, ControlKind::kButton, WindowId::kMain, "browse_game_button",
     "Browse...", 'w', ""},
    {ControlId::kExpansionPathLabel, ControlKind::kLabel, WindowId::kMain, "expansion_path_label",
     "Mysteries of the Sith (JKM.EXE):", 'm', ""},
    {ControlId::kExpansionPathField, ControlKind::kTextField, WindowId::kMain,
     "expansion_path_field", "", 0, ""},
    {ControlId::kBrowseExpansionButton, ControlKind::kButton, WindowId::kMain,
     "browse_expansion_button", "Browse...", 'e', ""},
    // Its text, and the key in it, follow what the list shows (see shell.h).
    {ControlId::kListCaption, ControlKind::kListCaption, WindowId::kMain, "list_caption", "", 0,
     ""},
    {ControlId::kArchiveList, ControlKind::kList, WindowId::kMain, "archive_list", "", 0, ""},
    {ControlId::kBackButton, ControlKind::kButton, WindowId::kMain, "back_button",
     "Back to the episodes", 'b', ""},
    {ControlId::kRefreshButton, ControlKind::kButton, WindowId::kMain, "refresh_button",
     "Refresh (F5)", 'r', ""},
    {ControlId::kExtraListCaption, ControlKind::kListCaption, WindowId::kMain, "extra_list_caption",
     "Extra archive to copy along:", 'x', ""},
    {ControlId::kExtraList, ControlKind::kList, WindowId::kMain, "extra_list", "", 0, ""},
    {ControlId::kFactorLabel, ControlKind::kLabel, WindowId::kMain, "factor_label",
     "Scale factor:", 'f', ""},
    {ControlId::kFactorField, ControlKind::kTextField, WindowId::kMain, "factor_field", "", 0, ""},
    {ControlId::kGravityCheckBox, ControlKind::kCheckBox, WindowId::kMain, "gravity_check_box",
     "Divide the world gravity by the factor", 'g', ""},
    {ControlId::kStartInLevelCheckBox, ControlKind::kCheckBox, WindowId::kMain,
     "start_in_level_check_box", "Start in the level", 'i',
     "OpenJKDF2 loads the level at once, without its menus"},
    {ControlId::kAboutButton, ControlKind::kButton, WindowId::kMain, "about_button", "About (F1)",
     't', ""},
    {ControlId::kSaveModButton, ControlKind::kButton, WindowId::kMain, "save_mod_button",
     "Save as mod...", 'o', ""},
    {ControlId::kScaleButton, ControlKind::kButton, WindowId::kMain, "scale_button",
     "Scale and play", 's', ""},
    // Under the factor: what the factor changes for the player.
    {ControlId::kPlayerLine, ControlKind::kStatusLine, WindowId::kMain, "player_line", "", 0, ""},
    {ControlId::kStatusLine, ControlKind::kStatusLine, WindowId::kMain, "status_line", "", 0, ""},
    {ControlId::kProgressText, ControlKind::kProgressText, WindowId::kProgress, "progress_text", "",
     0, ""},
    {ControlId::kProgressBar, ControlKind::kProgressBar, WindowId::kProgress, "progress_bar", "", 0,
     ""},
    {ControlId::kCancelButton, ControlKind::kButton, WindowId::kProgress, "cancel_button", "Cancel",
     0, ""},
};

inline constexpr size_t kControlCount = std::size(kControls);

// The table's entry of `id`.
constexpr const ControlInfo& InfoOf(ControlId id) { return kControls[size_t(id)]; }

// The entry of the control named `name`, or nullptr.
const ControlInfo* FindControlInfo(std::string_view name);

// The text as both window systems take it: "&" before the letter of the key
// (the first of its letters that is the key), "&&" for an "&" of the text.
std::string MarkedText(std::string_view text, char key);
// The control's label so marked: "&Scale and play".
std::string MarkedLabel(const ControlInfo& control);

}  // namespace jk

#endif  // JKRESCALE_SHELL_CONTROLS_H_
