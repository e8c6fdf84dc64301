#include "fake_windows.h"

#include <cmath>

namespace jk {

void FakeTextField::SetText(const std::string& text) {
  text_ = text;
  if (on_change) on_change();
}

void FakeList::Clear() {
  bool had_selection = selected_ >= 0;
  items_.clear();
  hints_.clear();
  selected_ = -1;
  if (had_selection && on_select) on_select();
}

std::string FakeList::Shown() const {
  if (items_.empty()) return placeholder_;
  std::string text;
  for (const std::string& item : items_) text += (text.empty() ? "" : "\n") + item;
  return text;
}

std::string FakeList::ItemText(int index) const {
  if (index < 0 || index >= ItemCount()) return {};
  return items_[size_t(index)];
}

void FakeList::SetSelectedIndex(int index) {
  int before = selected_;
  selected_ = (index >= 0 && index < ItemCount()) ? index : -1;
  if (selected_ != before && on_select) on_select();
}

void FakeMainWindow::SetEvents(MainWindowEvents* events) {
  events_ = events;
  browse_game_button_.on_click = [this] { events_->OnBrowseGame(); };
  browse_expansion_button_.on_click = [this] { events_->OnBrowseExpansion(); };
  scale_button_.on_click = [this] { events_->OnScaleAndPlay(); };
  save_mod_button_.on_click = [this] { events_->OnSaveAsMod(); };
  start_in_level_check_box_.on_click = [this] { events_->OnStartInLevelChanged(); };
  gravity_check_box_.on_click = [this] { events_->OnGravityChanged(); };
  back_button_.on_click = [this] { events_->OnBack(); };
  game_path_field_.on_change = [this] { events_->OnGamePathChanged(); };
  expansion_path_field_.on_change = [this] { events_->OnExpansionPathChanged(); };
  game_path_field_.on_leave = [this] { events_->OnPathFieldLeft(); };
  expansion_path_field_.on_leave = [this] { events_->OnPathFieldLeft(); };
  factor_field_.on_change = [this] { events_->OnFactorChanged(); };
  archive_list_.on_select = [this] { events_->OnArchiveSelectionChanged(); };
}

void FakeMainWindow::Refresh() {
  if (events_) events_->OnRefresh();
}

bool FakeMainWindow::RequestClose() {
  bool closes = !events_ || events_->OnCloseRequested();
  if (closes) log_->push_back("main window closed");
  return closes;
}

void FakeMainWindow::AskAbout() {
  if (events_) events_->OnAbout();
}

void FakeMainWindow::Show() {
  shown_ = true;
  log_->push_back("main window shown");
}

void FakeMainWindow::SetEnabled(bool enabled) {
  enabled_ = enabled;
  log_->push_back(enabled ? "main window enabled" : "main window disabled");
}

void FakeMainWindow::Type(FakeTextField& field, const std::string& text) {
  if (!enabled_) return;
  for (char c : text) field.SetText(field.Text() + c);
}

void FakeMainWindow::Leave(FakeTextField& field) {
  if (enabled_ && field.on_leave) field.on_leave();
}

void FakeMainWindow::Click(FakeButton& button) {
  if (!enabled_ || !button.Enabled() || !button.Available()) return;
  if (button.on_click) button.on_click();
}

void FakeMainWindow::Click(FakeCheckBox& box) {
  if (!enabled_ || !box.Enabled()) return;
  box.checked = !box.checked;
  if (box.on_click) box.on_click();
}

void FakeMainWindow::Select(FakeList& list, int index) {
  if (!enabled_) return;
  list.SetSelectedIndex(index);
}

void FakeMainWindow::DoubleClick(int index) {
  if (!enabled_) return;
  archive_list_.SetSelectedIndex(index);
  if (events_) events_->OnArchiveActivated();
}

void FakeProgressWindow::Show() {
  visible_ = true;
  cancelled_ = false;
  shown.clear();
  log_->push_back("progress window shown");
}

void FakeProgressWindow::Close() {
  visible_ = false;
  log_->push_back("progress window closed");
}

void FakeProgressWindow::Cancel() {
  if (!visible_) return;
  cancelled_ = true;
  log_->push_back("progress window cancelled");
}

void FakeProgressWindow::SetProgress(const std::string& text, double fraction) {
  shown.push_back(text + " | " + std::to_string(int(std::lround(fraction * 100))) + "%");
  if (on_progress) on_progress();
}

std::string FakeDialogs::NextAnswer() {
  if (answers.empty()) return "";
  std::string answer = answers.front();
  answers.pop_front();
  return answer;
}

std::string FakeDialogs::OpenFile(const std::string& title, const std::string& folder,
                                  const std::string& proposed_name) {
  log_->push_back("open dialog: " + title + " | " + folder + " | " + proposed_name);
  return NextAnswer();
}

std::string FakeDialogs::SaveArchive(const std::string& title, const std::string& folder,
                                     const std::string& proposed_name) {
  log_->push_back("save dialog: " + title + " | " + folder + " | " + proposed_name);
  return NextAnswer();
}

int FakeDialogs::Choose(const std::string& title, const std::string& text,
                        const std::vector<std::string>& items) {
  log_->push_back("choose: " + title + " | " + text);
  offered.push_back(items);
  if (picks.empty()) return -1;
  int pick = picks.front();
  picks.pop_front();
  return pick;
}

bool FakeDialogs::Ask(const std::string& question) {
  log_->push_back("question: " + question);
  if (replies.empty()) return false;
  bool reply = replies.front();
  replies.pop_front();
  return reply;
}

void FakeDialogs::About(const std::string& text) { log_->push_back("about: " + text); }

void FakeDialogs::Message(const std::string& text) {
  messages.push_back(text);
  log_->push_back("message: " + text);
}

void FakeDialogs::Notice(const std::string& text) {
  notices.push_back(text);
  log_->push_back("notice: " + text);
}

void FakeWindowSystem::FinishBackgroundWork() {
  while (!background.empty()) {
    auto job = std::move(background.front());
    background.erase(background.begin());
    job.first();
    job.second();
  }
}

void FakeWindowSystem::RunUntilClosed() {
  if (user_actions) user_actions();
  record.push_back("main window closed");
}

}  // namespace jk
