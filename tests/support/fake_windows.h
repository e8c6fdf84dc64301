// The window interfaces held in memory, for tests: they do what the real
// windows do to the program's state (texts, lists, colours, enabled states,
// events) and record what a user would have seen, so that the shell can be
// driven and checked without a display.
#ifndef JKRESCALE_TESTS_SUPPORT_FAKE_WINDOWS_H_
#define JKRESCALE_TESTS_SUPPORT_FAKE_WINDOWS_H_

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "shell/controls.h"
#include "shell/window_interfaces.h"

namespace jk {

// Everything the fakes record, in the order it happened: "main window
// shown", "main window disabled", "progress window shown", "progress window
// closed", "message: TEXT", "question: TEXT", "open dialog: TITLE | FOLDER |
// NAME", and from
// FakeProcessRunner "run: PROGRAM ARG ARG...".
using FakeLog = std::vector<std::string>;

// What every fake control is made with, from the table of the controls:
// its name and the text it shows (its label, with its key marked).
class FakeControl {
 public:
  explicit FakeControl(ControlId id) : name(InfoOf(id).name), label(MarkedLabel(InfoOf(id))) {}

  const std::string name;
  const std::string label;
};

class FakeTextField : public TextField, public FakeControl {
 public:
  explicit FakeTextField(ControlId id) : FakeControl(id), hint(InfoOf(id).hint) {}
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override;
  Colour Background() const override { return background_; }
  void SetBackground(Colour colour) override { background_ = colour; }
  void SetPlaceholder(const std::string& text) override { placeholder = text; }
  void SetHint(const std::string& text) override { hint = text; }

  std::function<void()> on_change;
  // Raised when the user leaves the field; none for fields without.
  std::function<void()> on_leave;
  std::string placeholder;
  std::string hint;

 private:
  std::string text_;
  Colour background_ = kWhite;
};

class FakeLabel : public Label, public FakeControl {
 public:
  explicit FakeLabel(ControlId id) : FakeControl(id), text_(label) {}
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }

 private:
  std::string text_;
};

class FakeButton : public Button, public FakeControl {
 public:
  using FakeControl::FakeControl;
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Available() const override { return available_; }
  void SetAvailable(bool available) override { available_ = available; }

  std::function<void()> on_click;

 private:
  bool enabled_ = true;
  bool available_ = true;
};

class FakeCheckBox : public CheckBox, public FakeControl {
 public:
  using FakeControl::FakeControl;
  bool Checked() const override { return checked; }
  void SetChecked(bool value) override { checked = value; }
  bool Enabled() const override { return enabled; }
  void SetEnabled(bool value) override { enabled = value; }

  bool checked = false;
  bool enabled = true;
  std::function<void()> on_click;
};

// A list whose selection changes raise on_select, as a real list's do.
class FakeList : public ListControl, public FakeControl {
 public:
  using FakeControl::FakeControl;
  void Clear() override;
  void AddItem(const std::string& text) override { AddGreyedItem(text, ""); }
  // An item with a hint is greyed. It can be selected, as in the lists
  // that allow it.
  void AddGreyedItem(const std::string& text, const std::string& hint) override {
    items_.push_back(text);
    hints_.push_back(hint);
  }
  int ItemCount() const override { return int(items_.size()); }
  std::string ItemText(int index) const override;
  int SelectedIndex() const override { return selected_; }
  void SetSelectedIndex(int index) override;
  void SetPlaceholder(const std::string& text) override { placeholder_ = text; }

  const std::vector<std::string>& items() const { return items_; }
  // The hint of each item, "" for those not greyed.
  const std::vector<std::string>& hints() const { return hints_; }
  // What the list shows: its placeholder when it has no item.
  std::string Shown() const;
  std::function<void()> on_select;

 private:
  std::vector<std::string> items_;
  std::vector<std::string> hints_;
  int selected_ = -1;
  std::string placeholder_;
};

class FakeMainWindow
    : public MainWindowWith<FakeList, FakeTextField, FakeButton, FakeCheckBox, FakeLabel> {
 public:
  explicit FakeMainWindow(FakeLog* log) : log_(log) {}

  void SetEvents(MainWindowEvents* events) override;
  void Show() override;
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override;
  void FocusControl(ControlId id) override { focused = InfoOf(id).name; }

  // What a user can do. Each does nothing while the window or the control
  // is disabled, as with real windows.
  // Types `text` at the end of the field, one change event per character.
  void Type(FakeTextField& field, const std::string& text);
  // Leaves the field for another control.
  void Leave(FakeTextField& field);
  // Clicks the button: its handler runs when it is enabled and available.
  void Click(FakeButton& button);
  // Clicks the check box: when it is enabled, it changes and raises its
  // event.
  void Click(FakeCheckBox& box);
  // Selects item `index` of the list with a click (-1 clears the selection).
  void Select(FakeList& list, int index);
  // Double-clicks the archive list at item `index`: the click selects it
  // first.
  void DoubleClick(int index);
  // Presses F5, or activates the window: both refresh the lists.
  void Refresh();
  // Tries to close the window; whether it closed.
  bool RequestClose();
  // Presses F1.
  void AskAbout();

  bool shown_ = false;
  // The name of the control the program last put the focus on; "" for
  // none.
  std::string focused;

 private:
  FakeLog* log_;
  MainWindowEvents* events_ = nullptr;
  bool enabled_ = true;
};

// The progress window records every state it showed: "TEXT | PERCENT%".
class FakeProgressWindow : public ProgressWindow {
 public:
  explicit FakeProgressWindow(FakeLog* log) : log_(log) {}

  void Show() override;
  void Close() override;
  bool Visible() const override { return visible_; }
  void SetProgress(const std::string& text, double fraction) override;
  bool CancelRequested() const override { return cancelled_; }

  // Clicks Cancel, as a user would while the window shows.
  void Cancel();

  // The states shown since the last Show().
  std::vector<std::string> shown;
  // Called on every change of state, to look at the program while a run
  // goes on.
  std::function<void()> on_progress;

 private:
  FakeLog* log_;
  bool visible_ = false;
  bool cancelled_ = false;
};

// The dialogs answer from scripts: each OpenFile and SaveArchive takes the
// next of `answers` ("" for a cancelled dialog, also when the script has
// run out), each Choose the next of `picks` (-1 for Cancel, also when the
// script has run out), each Ask the next of `replies` (No, the default,
// when the script has run out).
class FakeDialogs : public Dialogs {
 public:
  explicit FakeDialogs(FakeLog* log) : log_(log) {}
  std::string OpenFile(const std::string& title, const std::string& folder,
                       const std::string& proposed_name) override;
  std::string SaveArchive(const std::string& title, const std::string& folder,
                          const std::string& proposed_name) override;
  int Choose(const std::string& title, const std::string& text,
             const std::vector<std::string>& items) override;
  bool Ask(const std::string& question) override;
  void Message(const std::string& text) override;
  void Notice(const std::string& text) override;
  void About(const std::string& text) override;

  std::deque<std::string> answers;
  std::deque<int> picks;
  std::deque<bool> replies;
  std::vector<std::string> messages;
  std::vector<std::string> notices;
  // The items of each Choose, in turn.
  std::vector<std::vector<std::string>> offered;

 private:
  std::string NextAnswer();

  FakeLog* log_;
};

class FakeWindowSystem : public WindowSystem {
 public:
  FakeWindowSystem() : main_window_(&record), progress_window_(&record), dialogs_(&record) {}

  MainWindow& main_window() override { return main_window_; }
  ProgressWindow& progress_window() override { return progress_window_; }
  Dialogs& dialogs() override { return dialogs_; }
  // Runs `user_actions`, then closes the main window.
  void RunUntilClosed() override;
  void PumpEvents() override { ++pumps; }
  void Log(const std::string& line) override { program_log.push_back(line); }
  // Keeps the job until FinishBackgroundWork, as if it took a while.
  void RunInBackground(std::function<void()> work, std::function<void()> done) override {
    background.emplace_back(std::move(work), std::move(done));
  }
  // Runs the jobs kept, and their follow-ups, in order.
  void FinishBackgroundWork();

  // What the windows showed and what was run, in order (see FakeLog).
  FakeLog record;
  FakeMainWindow main_window_;
  FakeProgressWindow progress_window_;
  FakeDialogs dialogs_;
  // What the user does while the window system runs.
  std::function<void()> user_actions;
  int pumps = 0;
  // The lines of the program's log.
  std::vector<std::string> program_log;
  // The jobs given to RunInBackground and not yet finished.
  std::vector<std::pair<std::function<void()>, std::function<void()>>> background;
};

}  // namespace jk

#endif  // JKRESCALE_TESTS_SUPPORT_FAKE_WINDOWS_H_
