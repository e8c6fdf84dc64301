#include "scaling/template_handler.h"

#include <iterator>
#include <span>
#include <vector>

#include "scaling/text.h"

namespace jk {

namespace {

// The parameters that hold lengths. Each is tested at the start of the
// field only, so "movesize=" never passes for "size=". The classic set
// ends before "treesize=".
constexpr std::string_view kSizeKeys[] = {"size=", "movesize=", "height=", "treesize="};
constexpr size_t kClassicSizeKeys = 3;

}  // namespace

bool IsStructureBase(std::string_view base) {
  return EqualsIgnoringCase(base, "_decor") || EqualsIgnoringCase(base, "_structure") ||
         EqualsIgnoringCase(base, "_walkstruct");
}

void TemplateHandler::HandleLine(std::string& line) {
  std::string_view trimmed = Trim(line);
  Fields& fields = fields_;
  SplitFields(trimmed, &fields);
  if (fields.size() < 2) return;
  const bool game_true = rules_ == ScaleRules::kGameTrue;
  const bool* base_is_scenery = scenery_.Find(fields[1]);
  bool derived = game_true && base_is_scenery && *base_is_scenery;
  bool scenery = fields.size() >= 3 && (IsStructureBase(fields[1]) || derived);
  if (game_true) scenery_.Add(fields[0], fields[1]) = scenery;
  if (uses_) uses_->AddTemplate(fields, scenery);
  if (!scenery) return;
  templates_->Append(trimmed, derived ? fields[1] : std::string_view());
  rewritten_.assign(fields[0]);
  rewritten_ += ' ';
  rewritten_ += fields[1];
  for (size_t i = 2; i < fields.size(); ++i) {
    rewritten_ += ' ';
    std::string_view field = fields[i];
    bool scaled = false;
    size_t keys = rules_ == ScaleRules::kGameTrue ? std::size(kSizeKeys) : kClassicSizeKeys;
    for (std::string_view key : std::span(kSizeKeys, keys)) {
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
