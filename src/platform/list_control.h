// A list of text items with at most one selected item: what the windows'
// list controls (lb1, lb2) offer the rest of the program. The desktop program
// backs it with real widgets; the command line and the tests use StringList.
#ifndef JKRESCALE_PLATFORM_LIST_CONTROL_H_
#define JKRESCALE_PLATFORM_LIST_CONTROL_H_

#include <string>
#include <vector>

namespace jk {

class ListControl {
 public:
  virtual ~ListControl() = default;

  virtual void Clear() = 0;
  virtual void AddItem(const std::string& text) = 0;
  virtual void InsertItem(int index, const std::string& text) = 0;
  virtual void RemoveItem(int index) = 0;
  virtual int ItemCount() const = 0;
  virtual std::string ItemText(int index) const = 0;
  // -1 when no item is selected.
  virtual int SelectedIndex() const = 0;
  virtual void SetSelectedIndex(int index) = 0;
};

// A ListControl held in memory.
class StringList : public ListControl {
 public:
  void Clear() override;
  void AddItem(const std::string& text) override;
  void InsertItem(int index, const std::string& text) override;
  void RemoveItem(int index) override;
  int ItemCount() const override;
  std::string ItemText(int index) const override;
  int SelectedIndex() const override;
  void SetSelectedIndex(int index) override;

  const std::vector<std::string>& items() const { return items_; }

 private:
  std::vector<std::string> items_;
  int selected_ = -1;
};

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_LIST_CONTROL_H_
