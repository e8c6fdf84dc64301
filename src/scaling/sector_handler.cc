#include "scaling/sector_handler.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "scaling/text.h"

namespace jk {

namespace {

struct SectorValue {
  std::string_view keyword;
  size_t count;
};
constexpr SectorValue kSectorValues[] = {
    {"boundbox", 6},
    {"collidebox", 6},
    {"center", 3},
    {"radius", 1},
};

constexpr size_t kDistField = 3;  // field 4 of "num: flags mirror dist"

bool IsKeyword(std::string_view field, std::string_view keyword) {
  return field.size() == keyword.size() && BeginsWith(field, keyword);
}

}  // namespace

void SectorHandler::HandleLine(std::string& line) {
  Fields& fields = fields_;
  SplitFields(Trim(line), &fields);
  for (const SectorValue& value : kSectorValues) {
    if (!IsKeyword(fields[0], value.keyword)) continue;
    JoinScaling(fields, {{1, value.count}}, factor_, &rewritten_);
    line.swap(rewritten_);
    return;
  }
}

void AdjoinHandler::HandleLine(std::string& line) {
  std::string_view trimmed = Trim(line);
  if (trimmed.empty()) return;
  Fields& fields = fields_;
  if (BeginsWith(trimmed, "world adjoins")) {
    SplitFields(trimmed, &fields);
    double count = fields.size() > 2 ? ValueOf(fields[2]) : 0;
    adjoins_left_ = count > 0 ? int64_t(std::min(count, 1e15)) : 0;
    return;
  }
  // "World surfaces N": whatever follows is not an adjoin. The surfaces,
  // the largest part of a level, are not split at all.
  if (BeginsWith(trimmed, "world")) adjoins_left_ = 0;
  if (adjoins_left_ == 0) return;
  --adjoins_left_;
  SplitFields(trimmed, &fields);
  if (fields.size() <= kDistField) return;
  JoinScaling(fields, {{kDistField, 1}}, factor_, &rewritten_);
  line.swap(rewritten_);
}

}  // namespace jk
