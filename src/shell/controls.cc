#include "shell/controls.h"

#include "platform/path.h"

namespace jk {

namespace {

// The table is indexed by ControlId.
constexpr bool InIdOrder() {
  for (size_t k = 0; k < kControlCount; ++k) {
    if (size_t(kControls[k].id) != k) return false;
  }
  return true;
}
static_assert(InIdOrder(), "kControls must list the controls in the order of ControlId");

}  // namespace

const ControlInfo* FindControlInfo(std::string_view name) {
  for (const ControlInfo& control : kControls) {
    if (name == control.name) return &control;
  }
  return nullptr;
}

std::string MarkedText(std::string_view text, char key) {
  size_t key_at = key == 0 ? std::string::npos : ToLowerAscii(text).find(key);
  std::string marked;
  for (size_t k = 0; k < text.size(); ++k) {
    if (k == key_at || text[k] == '&') marked += '&';
    marked += text[k];
  }
  return marked;
}

std::string MarkedLabel(const ControlInfo& control) {
  return MarkedText(control.label, control.key);
}

}  // namespace jk
