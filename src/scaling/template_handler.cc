#include "scaling/template_handler.h"

#include <vector>

#include "scaling/text.h"

namespace jk {

namespace {

// The parameters that hold lengths. Each is tested at the start of the
// field only, so "movesize=" never passes for "size=".
constexpr std::string_view kSizeKeys[] = {"size=", "movesize=", "height="};

}  // namespace

bool IsStructureBase(std::string_view base) {
  return base == "_decor" || base == "_structure" || base == "_walkstruct";
}

void TemplateHandler::HandleLine(std::string& line) {
  std::string_view trimmed = Trim(line);
  std::vector<std::string_view> fields = SplitOnWhiteSpace(trimmed);
  if (fields.size() < 3 || fields[0].starts_with('#') || !IsStructureBase(fields[1])) {
    return;
  }
  templates_->Append(trimmed);
  rewritten_.assign(fields[0]);
  rewritten_ += ' ';
  rewritten_ += fields[1];
  for (size_t i = 2; i < fields.size(); ++i) {
    rewritten_ += ' ';
    std::string_view field = fields[i];
    bool scaled = false;
    for (std::string_view key : kSizeKeys) {
      if (!BeginsWith(field, key)) continue;
      rewritten_ += key;
      AppendTextOf(ValueOf(field.substr(key.size())) * factor_, &rewritten_);
      scaled = true;
      break;
    }
    if (!scaled) rewritten_ += field;
  }
  line.swap(rewritten_);
}

}  // namespace jk
