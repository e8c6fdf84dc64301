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
  return EqualsIgnoringCase(base, "_decor") || EqualsIgnoringCase(base, "_structure") ||
         EqualsIgnoringCase(base, "_walkstruct");
}

void TemplateHandler::HandleLine(std::string& line) {
  std::string_view trimmed = Trim(line);
  Fields& fields = fields_;
  SplitFields(trimmed, &fields);
  if (fields.size() < 3) return;
  bool derived = rules_ == ScaleRules::kGameTrue && scenery_.count(fields[1]);
  if (!IsStructureBase(fields[1]) && !derived) return;
  if (rules_ == ScaleRules::kGameTrue) scenery_.emplace(fields[0]);
  templates_->Append(trimmed, derived ? fields[1] : std::string_view());
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
      AppendScaled(field.substr(key.size()), factor_, &rewritten_);
      scaled = true;
      break;
    }
    if (!scaled) rewritten_ += field;
  }
  line.swap(rewritten_);
}

}  // namespace jk
