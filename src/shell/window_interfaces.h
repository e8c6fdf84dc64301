// The windows of the desktop program as the shell sees them: the main
// window with its controls, the progress window, the dialogs, and the event
// loop. The shell only ever talks to these interfaces; the desktop program
// implements them with real widgets, and the tests with fakes that record.
//
// Every control raises its events through the MainWindowEvents it was given,
// on the one user-interface thread, one at a time. A text field raises its
// change event on every change of its text, by typing or by the program.
#ifndef JKRESCALE_SHELL_WINDOW_INTERFACES_H_
#define JKRESCALE_SHELL_WINDOW_INTERFACES_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shell/controls.h"

namespace jk {

// A colour packed as red + green * 256 + blue * 65536.
using Colour = uint32_t;

inline constexpr Colour PackColour(int red, int green, int blue) {
  return Colour(red & 0xff) | Colour(green & 0xff) << 8 | Colour(blue & 0xff) << 16;
}
inline constexpr Colour kWhite = PackColour(255, 255, 255);
inline constexpr Colour kLightRed = PackColour(255, 127, 127);

// A list of text items with at most one selected item.
class ListControl {
 public:
  virtual ~ListControl() = default;
  virtual void Clear() = 0;
  virtual void AddItem(const std::string& text) = 0;
  // Adds an item shown greyed, for something that cannot be used, with
  // `hint` saying why when the user asks (a tooltip; beside the text where
  // the list has none). Where the list lets it be selected, the shell
  // refuses to use it.
  virtual void AddGreyedItem(const std::string& text, const std::string& hint) = 0;
  virtual int ItemCount() const = 0;
  virtual std::string ItemText(int index) const = 0;
  // -1 when no item is selected.
  virtual int SelectedIndex() const = 0;
  virtual void SetSelectedIndex(int index) = 0;
  // What the list says in its place while it has no item ("" for nothing).
  virtual void SetPlaceholder(const std::string& text) = 0;
};

class TextField {
 public:
  virtual ~TextField() = default;
  virtual std::string Text() const = 0;
  // Replaces the text; raises the field's change event.
  virtual void SetText(const std::string& text) = 0;
  virtual Colour Background() const = 0;
  virtual void SetBackground(Colour colour) = 0;
  // What the field says in its place while it is empty.
  virtual void SetPlaceholder(const std::string& text) = 0;
  // What the field expects, shown when the user asks (a tooltip).
  virtual void SetHint(const std::string& text) = 0;
};

class Label {
 public:
  virtual ~Label() = default;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

// A push button. It can be clicked only while it is both enabled and
// available; the two are kept apart because the program sets them for
// different reasons (the scale button is enabled while a level can be
// scaled, the back button is available once the levels have been shown).
class Button {
 public:
  virtual ~Button() = default;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Available() const = 0;
  virtual void SetAvailable(bool available) = 0;
};

// A check box. A click by the user raises its event, if it has one;
// SetChecked does not.
class CheckBox {
 public:
  virtual ~CheckBox() = default;
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool checked) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
};

// The handlers of the main window's events. The shell implements them.
class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  virtual void OnBrowseGame() = 0;
  virtual void OnBrowseExpansion() = 0;
  virtual void OnGamePathChanged() = 0;
  virtual void OnExpansionPathChanged() = 0;
  // The user left the game or the expansion path field (the focus went
  // elsewhere, or Enter was pressed in it).
  virtual void OnPathFieldLeft() = 0;
  virtual void OnFactorChanged() = 0;
  // The user clicked "Divide the world gravity by the factor".
  virtual void OnGravityChanged() = 0;
  // The archive list's selected item changed (by the user or the program).
  virtual void OnArchiveSelectionChanged() = 0;
  // An item of the archive list was double-clicked.
  virtual void OnArchiveActivated() = 0;
  virtual void OnScaleAndPlay() = 0;
  virtual void OnSaveAsMod() = 0;
  // The user clicked "Start in the level".
  virtual void OnStartInLevelChanged() = 0;
  virtual void OnBack() = 0;
  // The user asked for the lists to follow the disk again (F5), or the
  // window was activated.
  virtual void OnRefresh() = 0;
  // The user asked to close the main window: true lets it close.
  virtual bool OnCloseRequested() = 0;
  // The user asked who made the program and which version it is (F1).
  virtual void OnAbout() = 0;
};

// The main window's controls the program works with (see controls.h for
// all of them, with their names and texts).
struct MainWindowControls {
  // The episode archives, or the levels of the opened one.
  ListControl& archive_list;
  // "NONE" and the extra archives, one of which may be copied along.
  ListControl& extra_list;
  TextField& game_path_field;
  TextField& expansion_path_field;
  TextField& factor_field;
  Button& scale_button;
  // "Save as mod...": the scaled level into one archive, no game started.
  Button& save_mod_button;
  Button& back_button;
  Button& browse_game_button;
  Button& browse_expansion_button;
  CheckBox& gravity_check_box;
  // OpenJKDF2 starts in the level rather than at its menus.
  CheckBox& start_in_level_check_box;
  // The caption above the archive list, which says what it shows.
  Label& list_caption;
  // The line under the factor: what the factor changes for the player.
  Label& player_line;
  // A line at the foot of the window: what a run left out, what the
  // program is waiting for.
  Label& status_line;
};

class MainWindow {
 public:
  virtual ~MainWindow() = default;

  // They live as long as the window.
  virtual MainWindowControls controls() = 0;

  // Where the controls send their events; set before Show(). nullptr stops
  // them, when their handler goes before the window.
  virtual void SetEvents(MainWindowEvents* events) = 0;
  virtual void Show() = 0;
  // A disabled window greys out its controls, which take no input, all but
  // the status line, which stays readable; the user can still ask to close
  // the window, and OnCloseRequested answers.
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  // Puts the keyboard focus on the window's control `id`, when it can take
  // it (it is enabled).
  virtual void FocusControl(ControlId id) = 0;
};

// A main window that holds the controls of MainWindowControls as members
// of its own kinds, each made with its ControlId (see controls.h); the
// window makes the others.
template <typename List, typename Field, typename Push, typename Box, typename Text>
class MainWindowWith : public MainWindow {
 public:
  MainWindowControls controls() final {
    return {archive_list_,       extra_list_,
            game_path_field_,    expansion_path_field_,
            factor_field_,       scale_button_,
            save_mod_button_,    back_button_,
            browse_game_button_, browse_expansion_button_,
            gravity_check_box_,  start_in_level_check_box_,
            list_caption_,       player_line_,
            status_line_};
  }

  List archive_list_{ControlId::kArchiveList};
  List extra_list_{ControlId::kExtraList};
  Field game_path_field_{ControlId::kGamePathField};
  Field expansion_path_field_{ControlId::kExpansionPathField};
  Field factor_field_{ControlId::kFactorField};
  Push scale_button_{ControlId::kScaleButton};
  Push save_mod_button_{ControlId::kSaveModButton};
  Push back_button_{ControlId::kBackButton};
  Push browse_game_button_{ControlId::kBrowseGameButton};
  Push browse_expansion_button_{ControlId::kBrowseExpansionButton};
  Box gravity_check_box_{ControlId::kGravityCheckBox};
  Box start_in_level_check_box_{ControlId::kStartInLevelCheckBox};
  Text list_caption_{ControlId::kListCaption};
  Text player_line_{ControlId::kPlayerLine};
  Text status_line_{ControlId::kStatusLine};

 protected:
  // Calls `visit(id, control)` for each of these controls.
  template <typename Visit>
  void ForEachControl(Visit visit) {
    visit(ControlId::kArchiveList, archive_list_);
    visit(ControlId::kExtraList, extra_list_);
    visit(ControlId::kGamePathField, game_path_field_);
    visit(ControlId::kExpansionPathField, expansion_path_field_);
    visit(ControlId::kFactorField, factor_field_);
    visit(ControlId::kScaleButton, scale_button_);
    visit(ControlId::kSaveModButton, save_mod_button_);
    visit(ControlId::kBackButton, back_button_);
    visit(ControlId::kBrowseGameButton, browse_game_button_);
    visit(ControlId::kBrowseExpansionButton, browse_expansion_button_);
    visit(ControlId::kGravityCheckBox, gravity_check_box_);
    visit(ControlId::kStartInLevelCheckBox, start_in_level_check_box_);
    visit(ControlId::kListCaption, list_caption_);
    visit(ControlId::kPlayerLine, player_line_);
    visit(ControlId::kStatusLine, status_line_);
  }
};

// The progress window of a scale run: a line of text, a bar, and Cancel.
class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;
  // Shows the window with an empty bar, not cancelled.
  virtual void Show() = 0;
  virtual void Close() = 0;
  virtual bool Visible() const = 0;
  // Shows `text` and the bar filled to `fraction`, from 0 to 1.
  virtual void SetProgress(const std::string& text, double fraction) = 0;
  // Whether the user has clicked Cancel, or tried to close the window,
  // since it was shown. The window stays open until Close().
  virtual bool CancelRequested() const = 0;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The open-file dialog: the chosen file's path, or "" when cancelled.
  virtual std::string OpenFile(const std::string& title, const std::string& folder,
                               const std::string& proposed_name) = 0;
  // The save-file dialog for a GOB archive: the chosen path, or "" when
  // cancelled. It does not ask before it replaces a file: the program
  // checks the path first, and then asks itself (Ask).
  virtual std::string SaveArchive(const std::string& title, const std::string& folder,
                                  const std::string& proposed_name) = 0;
  // A dialog that shows `text` over a list of `items`, the first picked,
  // with OK and Cancel: the index of the item picked, or -1 when
  // cancelled.
  virtual int Choose(const std::string& title, const std::string& text,
                     const std::vector<std::string>& items) = 0;
  // A question with the buttons Yes and No, No the default (Enter, Escape
  // and closing the box answer No): true for Yes.
  virtual bool Ask(const std::string& question) = 0;
  // A message box with an OK button, for a problem; returns when it is
  // closed.
  virtual void Message(const std::string& text) = 0;
  // The same for news of a success.
  virtual void Notice(const std::string& text) = 0;
  // The About box: `text` under the program's name and icon, with an OK
  // button; returns when it is closed.
  virtual void About(const std::string& text) = 0;
};

// The window system of one run of the program.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  virtual MainWindow& main_window() = 0;
  virtual ProgressWindow& progress_window() = 0;
  virtual Dialogs& dialogs() = 0;
  // Runs window events until the main window has been closed.
  virtual void RunUntilClosed() = 0;
  // Lets pending window events run once, without waiting for one.
  virtual void PumpEvents() = 0;
  // A line for the run's log (standard error of the desktop program):
  // what the user may want to know but need not confirm.
  virtual void Log(const std::string& line) = 0;
  // Runs `work` off the user-interface thread, and then `done` on it, in
  // the course of its events. Jobs run one at a time, in order. `work` must
  // touch nothing the user-interface thread uses; a job not yet done when
  // the window system ends is dropped.
  virtual void RunInBackground(std::function<void()> work, std::function<void()> done) = 0;
};

}  // namespace jk

#endif  // JKRESCALE_SHELL_WINDOW_INTERFACES_H_
