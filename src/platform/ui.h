// The windows of the desktop program as the shell sees them: the main window
// frm1 with its controls, the progress window frm2, the dialogs, and the
// event loop. The shell only ever talks to these interfaces; the Qt widgets
// behind them live in qt_ui.*, and fake_ui.* stands in for them in tests.
//
// Every control raises its events through the MainWindowEvents it was given,
// on the one user-interface thread, one at a time. A text field raises its
// change event on every change of its text, by typing or by the program.
#ifndef JKRESCALE_PLATFORM_UI_H_
#define JKRESCALE_PLATFORM_UI_H_

#include <string>

#include "platform/drawing.h"
#include "platform/list_control.h"

namespace jk {

inline constexpr Colour kLightRed = PackColour(255, 127, 127);

class TextField {
 public:
  virtual ~TextField() = default;
  virtual std::string Text() const = 0;
  // Replaces the text; raises the field's change event.
  virtual void SetText(const std::string& text) = 0;
  virtual Colour Background() const = 0;
  virtual void SetBackground(Colour colour) = 0;
};

class Label {
 public:
  virtual ~Label() = default;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

// A push button. It can be clicked only while it is both enabled and
// available; the two are kept apart because the program sets them for
// different reasons (cmd1 is enabled while a level can be scaled, cmd2 is
// available while the level view has been shown).
class Button {
 public:
  virtual ~Button() = default;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Available() const = 0;
  virtual void SetAvailable(bool available) = 0;
};

class CheckBox {
 public:
  virtual ~CheckBox() = default;
  virtual bool Checked() const = 0;
};

// The handlers of frm1's events. The shell implements them.
class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  virtual void brs_jk_Click() = 0;
  virtual void brs_mots_Click() = 0;
  virtual void ed1_Change() = 0;
  virtual void ed2_Change() = 0;
  virtual void scaleby_Change() = 0;
  // lb1's selected item changed (by the user or the program).
  virtual void lb1_Click() = 0;
  virtual void lb1_DblClick() = 0;
  virtual void cmd1_Click() = 0;
  virtual void cmd2_Click() = 0;
};

// frm1, the main window.
class MainWindow {
 public:
  virtual ~MainWindow() = default;

  virtual ListControl& lb1() = 0;
  virtual ListControl& lb2() = 0;
  virtual TextField& ed1() = 0;
  virtual TextField& ed2() = 0;
  virtual TextField& scaleby() = 0;
  virtual Button& cmd1() = 0;
  virtual Button& cmd2() = 0;
  virtual Button& brs_jk() = 0;
  virtual Button& brs_mots() = 0;
  virtual CheckBox& chk1() = 0;
  // The caption above lb1, which says which view it shows.
  virtual Label& lbl3() = 0;

  // Where the controls send their events; set once, before Show().
  virtual void SetEvents(MainWindowEvents* events) = 0;
  virtual void Show() = 0;
  // A disabled window takes no input and cannot be closed by the user.
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
};

// frm2, the progress window of a scale run: a drawing area of 200 x 32
// pixels that keeps what was drawn on it when the window is repainted.
class ProgressForm {
 public:
  virtual ~ProgressForm() = default;
  // Shows the window with a fresh drawing area.
  virtual void Show() = 0;
  virtual void Close() = 0;
  virtual bool Visible() const = 0;
  // The drawing area; valid while the form exists.
  virtual DrawingSurface& Surface() = 0;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The open-file dialog: the chosen file's path, or "" when cancelled.
  virtual std::string OpenFile(const std::string& title, const std::string& folder,
                               const std::string& proposed_name) = 0;
  // A message box with an OK button; returns when it is closed.
  virtual void Message(const std::string& text) = 0;
};

// The window system of one run of the program.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  virtual MainWindow& frm1() = 0;
  virtual ProgressForm& frm2() = 0;
  virtual Dialogs& dialogs() = 0;
  // Runs window events until frm1 has been closed.
  virtual void RunUntilClosed() = 0;
  // Lets pending window events run once, without waiting for one.
  virtual void PumpEvents() = 0;
  // A line for the run's log (standard error of the desktop program):
  // what the user may want to know but need not confirm.
  virtual void Log(const std::string& line) = 0;
};

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_UI_H_
