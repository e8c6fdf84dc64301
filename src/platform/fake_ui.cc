#include "platform/fake_ui.h"

#include <cstdio>

namespace jk {

namespace {

std::string Hex(Colour colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", unsigned(colour & 0xff),
                unsigned(colour >> 8 & 0xff), unsigned(colour >> 16 & 0xff));
  return text;
}

// Coordinates as short as they can be written: 66.6666667 stays readable.
std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

}  // namespace

void FakeTextField::SetText(const std::string& text) {
  text_ = text;
  if (on_change) on_change();
}

void FakeList::Clear() {
  bool had_selection = SelectedIndex() >= 0;
  StringList::Clear();
  if (had_selection && on_select) on_select();
}

void FakeList::SetSelectedIndex(int index) {
  int before = SelectedIndex();
  StringList::SetSelectedIndex(index);
  if (SelectedIndex() != before && on_select) on_select();
}

void FakeMainWindow::SetEvents(MainWindowEvents* events) {
  events_ = events;
  brs_jk_.on_click = [this] { events_->brs_jk_Click(); };
  brs_mots_.on_click = [this] { events_->brs_mots_Click(); };
  cmd1_.on_click = [this] { events_->cmd1_Click(); };
  cmd2_.on_click = [this] { events_->cmd2_Click(); };
  ed1_.on_change = [this] { events_->ed1_Change(); };
  ed2_.on_change = [this] { events_->ed2_Change(); };
  scaleby_.on_change = [this] { events_->scaleby_Change(); };
  lb1_.on_select = [this] { events_->lb1_Click(); };
}

void FakeMainWindow::Show() {
  shown_ = true;
  log_->push_back("frm1 shown");
}

void FakeMainWindow::SetEnabled(bool enabled) {
  enabled_ = enabled;
  log_->push_back(enabled ? "frm1 enabled" : "frm1 disabled");
}

void FakeMainWindow::Type(FakeTextField& field, const std::string& text) {
  if (!enabled_) return;
  for (char c : text) field.SetText(field.Text() + c);
}

void FakeMainWindow::Click(FakeButton& button) {
  if (!enabled_ || !button.Enabled() || !button.Available()) return;
  if (button.on_click) button.on_click();
}

void FakeMainWindow::Select(FakeList& list, int index) {
  if (!enabled_) return;
  list.SetSelectedIndex(index);
}

void FakeMainWindow::DoubleClick(int index) {
  if (!enabled_) return;
  lb1_.SetSelectedIndex(index);
  if (events_) events_->lb1_DblClick();
}

void FakeProgressForm::Show() {
  visible_ = true;
  drawing.clear();
  log_->push_back("frm2 shown");
}

void FakeProgressForm::Close() {
  visible_ = false;
  log_->push_back("frm2 closed");
}

void FakeProgressForm::FillBox(double x0, double y0, double x1, double y1, Colour colour) {
  drawing.push_back("box " + Number(x0) + "," + Number(y0) + "-" + Number(x1) + "," +
                    Number(y1) + " " + Hex(colour));
}

void FakeProgressForm::DrawText(double x, double y, const std::string& text,
                                Colour colour) {
  drawing.push_back("text " + Number(x) + "," + Number(y) + " " + Hex(colour) + " " + text);
}

void FakeProgressForm::PumpEvents() {
  drawing.push_back("pump");
  if (on_pump) on_pump();
}

std::string FakeDialogs::OpenFile(const std::string& title, const std::string& folder,
                                  const std::string& proposed_name) {
  log_->push_back("open dialog: " + title + " | " + folder + " | " + proposed_name);
  if (answers.empty()) return "";
  std::string answer = answers.front();
  answers.pop_front();
  return answer;
}

void FakeDialogs::Message(const std::string& text) {
  messages.push_back(text);
  log_->push_back("message: " + text);
}

void FakeWindowSystem::RunUntilClosed() {
  if (session) session();
  log.push_back("frm1 closed");
}

std::string DescribeRun(const ProgramStart& start) {
  std::string text = start.program;
  for (const std::string& arg : start.arguments) text += " " + arg;
  return text;
}

Status FakeProcessRunner::RunAndWait(const ProgramStart& start,
                                     const std::function<void()>& while_waiting) {
  runs.push_back(start);
  log_->push_back("run: " + DescribeRun(start));
  if (while_waiting) while_waiting();
  return on_run ? on_run(start) : Status::Ok();
}

Status FakeProcessRunner::RunAndCapture(const ProgramStart& start, std::string* output) {
  auto it = captures.find(DescribeRun(start));
  if (it == captures.end()) return Status::FileError(start.program, "ended with a failure");
  *output = it->second;
  return Status::Ok();
}

std::string FakeProcessRunner::FindProgram(const std::string& name) {
  auto it = on_path.find(name);
  return it == on_path.end() ? "" : it->second;
}

}  // namespace jk
