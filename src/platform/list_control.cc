#include "platform/list_control.h"

namespace jk {

void StringList::Clear() {
  items_.clear();
  selected_ = -1;
}

void StringList::AddItem(const std::string& text) { items_.push_back(text); }

void StringList::InsertItem(int index, const std::string& text) {
  if (index < 0 || index > ItemCount()) index = ItemCount();
  items_.insert(items_.begin() + index, text);
  if (selected_ >= index) ++selected_;
}

void StringList::RemoveItem(int index) {
  if (index < 0 || index >= ItemCount()) return;
  items_.erase(items_.begin() + index);
  if (selected_ == index) selected_ = -1;
  else if (selected_ > index) --selected_;
}

int StringList::ItemCount() const { return static_cast<int>(items_.size()); }

std::string StringList::ItemText(int index) const {
  if (index < 0 || index >= ItemCount()) return {};
  return items_[size_t(index)];
}

int StringList::SelectedIndex() const { return selected_; }

void StringList::SetSelectedIndex(int index) {
  selected_ = (index >= 0 && index < ItemCount()) ? index : -1;
}

}  // namespace jk
