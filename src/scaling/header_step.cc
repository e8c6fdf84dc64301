#include "scaling/header_step.h"

#include "scaling/text.h"

namespace jk {

namespace {

constexpr std::string_view kGravityKeyword = "world gravity";
constexpr std::string_view kMipMapKeyword = "mipmap distances";
// The mipmap line holds four distances after its two keyword words.
constexpr size_t kFirstDistanceField = 2;
constexpr size_t kDistanceCount = 4;

}  // namespace

const std::string& HeaderStep::Apply(const std::string& line) {
  std::string_view trimmed = Trim(line);
  if (BeginsWith(trimmed, kGravityKeyword)) {
    if (!divide_gravity_) return line;
    rewritten_ = "World Gravity ";
    AppendTextOf(ValueOf(trimmed.substr(kGravityKeyword.size())) / factor_, &rewritten_);
    return rewritten_;
  }
  if (BeginsWith(trimmed, kMipMapKeyword)) {
    std::vector<std::string_view> fields = SplitOnWhiteSpace(trimmed);
    rewritten_ = "MipMap Distances";
    // Only the distances present are written; fields after the fourth
    // distance are dropped.
    for (size_t i = kFirstDistanceField;
         i < fields.size() && i < kFirstDistanceField + kDistanceCount; ++i) {
      rewritten_ += ' ';
      AppendTextOf(ValueOf(fields[i]) * factor_, &rewritten_);
    }
    return rewritten_;
  }
  return line;
}

}  // namespace jk
