// A window system and a process runner held in memory, for tests: they do
// what the real ones do to the program's state (texts, lists, colours,
// enabled states, events) and record what a user would have seen, so that
// the shell can be driven and checked without a display.
#ifndef JKRESCALE_PLATFORM_FAKE_UI_H_
#define JKRESCALE_PLATFORM_FAKE_UI_H_

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/ui.h"

namespace jk {

// Everything the fakes record, in the order it happened: "frm1 shown",
// "frm1 disabled", "frm2 shown", "frm2 closed", "message: TEXT",
// "open dialog: TITLE | FOLDER | NAME", "run: PROGRAM ARG ARG...".
using FakeLog = std::vector<std::string>;

class FakeTextField : public TextField {
 public:
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override;
  Colour Background() const override { return background_; }
  void SetBackground(Colour colour) override { background_ = colour; }

  std::function<void()> on_change;

 private:
  std::string text_;
  Colour background_ = kWhite;
};

class FakeLabel : public Label {
 public:
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }

 private:
  std::string text_;
};

class FakeButton : public Button {
 public:
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Available() const override { return available_; }
  void SetAvailable(bool available) override { available_ = available; }

  std::function<void()> on_click;

 private:
  bool enabled_ = true;
  bool available_ = true;
};

class FakeCheckBox : public CheckBox {
 public:
  bool Checked() const override { return checked; }
  bool checked = false;
};

// A list whose selection changes raise on_select, as a real list's do.
class FakeList : public StringList {
 public:
  void Clear() override;
  void SetSelectedIndex(int index) override;
  std::function<void()> on_select;
};

class FakeMainWindow : public MainWindow {
 public:
  explicit FakeMainWindow(FakeLog* log) : log_(log) {}

  ListControl& lb1() override { return lb1_; }
  ListControl& lb2() override { return lb2_; }
  TextField& ed1() override { return ed1_; }
  TextField& ed2() override { return ed2_; }
  TextField& scaleby() override { return scaleby_; }
  Button& cmd1() override { return cmd1_; }
  Button& cmd2() override { return cmd2_; }
  Button& brs_jk() override { return brs_jk_; }
  Button& brs_mots() override { return brs_mots_; }
  CheckBox& chk1() override { return chk1_; }
  Label& lbl3() override { return lbl3_; }
  void SetEvents(MainWindowEvents* events) override;
  void Show() override;
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override;

  // What a user can do. Each does nothing while the window or the control
  // is disabled, as with real windows.
  // Types `text` at the end of the field, one change event per character.
  void Type(FakeTextField& field, const std::string& text);
  // Clicks the button: its handler runs when it is enabled and available.
  void Click(FakeButton& button);
  // Selects item `index` of the list with a click (-1 clears the selection).
  void Select(FakeList& list, int index);
  // Double-clicks lb1 at item `index`: the click selects it first.
  void DoubleClick(int index);

  FakeList lb1_, lb2_;
  FakeTextField ed1_, ed2_, scaleby_;
  FakeButton cmd1_, cmd2_, brs_jk_, brs_mots_;
  FakeCheckBox chk1_;
  FakeLabel lbl3_;
  bool shown_ = false;

 private:
  FakeLog* log_;
  MainWindowEvents* events_ = nullptr;
  bool enabled_ = true;
};

// frm2. Its surface records every drawing call as a line:
// "box X0,Y0-X1,Y1 #RRGGBB", "text X,Y #RRGGBB TEXT", "pump".
class FakeProgressForm : public ProgressForm, public DrawingSurface {
 public:
  explicit FakeProgressForm(FakeLog* log) : log_(log) {}

  void Show() override;
  void Close() override;
  bool Visible() const override { return visible_; }
  DrawingSurface& Surface() override { return *this; }

  void FillBox(double x0, double y0, double x1, double y1, Colour colour) override;
  void DrawText(double x, double y, const std::string& text, Colour colour) override;
  void PumpEvents() override;

  // The drawing calls since the last Show().
  std::vector<std::string> drawing;
  // Called on every pump, to look at the state while a run goes on.
  std::function<void()> on_pump;

 private:
  FakeLog* log_;
  bool visible_ = false;
};

// The dialogs answer from a script: each OpenFile takes the next answer
// ("" for a cancelled dialog, also when the script has run out).
class FakeDialogs : public Dialogs {
 public:
  explicit FakeDialogs(FakeLog* log) : log_(log) {}
  std::string OpenFile(const std::string& title, const std::string& folder,
                       const std::string& proposed_name) override;
  void Message(const std::string& text) override;

  std::deque<std::string> answers;
  std::vector<std::string> messages;

 private:
  FakeLog* log_;
};

class FakeWindowSystem : public WindowSystem {
 public:
  FakeWindowSystem() : frm1_(&log), frm2_(&log), dialogs_(&log) {}

  MainWindow& frm1() override { return frm1_; }
  ProgressForm& frm2() override { return frm2_; }
  Dialogs& dialogs() override { return dialogs_; }
  // Runs `session` (what the user does), then closes frm1.
  void RunUntilClosed() override;
  void PumpEvents() override { ++pumps; }
  void Log(const std::string& line) override { log_lines.push_back(line); }

  FakeLog log;
  FakeMainWindow frm1_;
  FakeProgressForm frm2_;
  FakeDialogs dialogs_;
  std::function<void()> session;
  int pumps = 0;
  std::vector<std::string> log_lines;
};

// Runs nothing: records each program it is asked to run, answers
// RunAndCapture from `captures` (keyed by the program and its arguments
// joined with blanks), and finds the programs listed in `on_path`.
class FakeProcessRunner : public ProcessRunner {
 public:
  explicit FakeProcessRunner(FakeLog* log) : log_(log) {}

  Status RunAndWait(const ProgramStart& start,
                    const std::function<void()>& while_waiting) override;
  Status RunAndCapture(const ProgramStart& start, std::string* output) override;
  std::string FindProgram(const std::string& name) override;

  // The programs started with RunAndWait.
  std::vector<ProgramStart> runs;
  // Called while the "program" runs; its Status is RunAndWait's.
  std::function<Status(const ProgramStart&)> on_run;
  std::map<std::string, std::string> captures;
  std::map<std::string, std::string> on_path;

 private:
  FakeLog* log_;
};

// "PROGRAM ARG ARG..." for a start.
std::string DescribeRun(const ProgramStart& start);

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_FAKE_UI_H_
