#include "scaling/header_step.h"

#include <array>
#include <string_view>
#include <vector>

#include "scaling/text.h"

namespace jk {

namespace {

constexpr std::string_view kGravityKeyword = "world gravity";
constexpr std::string_view kMipMapKeyword = "mipmap distances";
// The mipmap line holds four distances after its two keyword words.
constexpr size_t kFirstDistanceField = 2;
constexpr size_t kDistanceCount = 4;

// A header line that holds lengths: its keyword words, and how many values
// follow them.
struct HeaderValue {
  std::array<std::string_view, 3> words;  // "" after the last word
  size_t count;
  bool gravity;
};
constexpr HeaderValue kHeaderValues[] = {
    {{"world", "gravity", ""}, 1, true},         {{"mipmap", "distances", ""}, 4, false},
    {{"lod", "distances", ""}, 4, false},        {{"ceiling", "sky", "z"}, 1, false},
    {{"perspective", "distance", ""}, 1, false}, {{"gouraud", "distance", ""}, 1, false},
};

constexpr size_t kCeilingSkyZ = 3;  // in kHeaderValues

// Whether a line that begins with `c` may begin with one of the keywords.
bool MayBeginAKeyword(char c) {
  c = char(c | 0x20);  // ASCII letters in lower case
  for (const HeaderValue& value : kHeaderValues) {
    if (value.words[0][0] == c) return true;
  }
  return false;
}

// How many fields the keyword takes, or 0 when `fields` do not begin with
// its words (letter case ignored).
size_t KeywordFields(const HeaderValue& value, const std::vector<std::string_view>& fields) {
  size_t n = 0;
  for (std::string_view word : value.words) {
    if (word.empty()) break;
    if (n >= fields.size() || fields[n].size() != word.size() || !BeginsWith(fields[n], word)) {
      return 0;
    }
    ++n;
  }
  return n;
}

}  // namespace

const std::string& HeaderStep::Apply(const std::string& line) {
  const std::string& written =
      rules_ == ScaleRules::kClassic ? ApplyClassic(line) : ApplyGameTrue(line);
  if (limits_) WatchSky(written);
  return written;
}

void HeaderStep::WatchSky(const std::string& written) {
  // Every line of the level comes here: those that do not begin with a "c"
  // pass at once.
  size_t first = 0;
  while (first < written.size() && IsWhiteSpace(written[first])) ++first;
  if (first == written.size() || LowerAscii(written[first]) != 'c') return;
  SplitFields(Trim(written), &fields_);
  if (KeywordFields(kHeaderValues[kCeilingSkyZ], fields_) == 3 && fields_.size() > 3) {
    limits_->NoteSky(ValueOf(fields_[3]));
  }
}

const std::string& HeaderStep::ApplyGameTrue(const std::string& line) {
  std::string_view trimmed = Trim(line);
  // Every line of the level comes here: those that cannot begin with a
  // keyword, nearly all of them, pass at once.
  if (trimmed.empty() || !MayBeginAKeyword(trimmed[0])) return line;
  Fields& fields = fields_;
  SplitFields(trimmed, &fields);
  for (const HeaderValue& value : kHeaderValues) {
    size_t first = KeywordFields(value, fields);
    if (first == 0) continue;
    if (!value.gravity) {
      JoinScaling(fields, {{first, value.count}}, factor_, &rewritten_);
      return rewritten_;
    }
    if (!divide_gravity_ || first >= fields.size()) return line;
    // Divided, not multiplied by the inverse: the same quotient as the
    // classic rules give.
    rewritten_.clear();
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) rewritten_ += ' ';
      if (i == first) {
        AppendTextOf(ValueOf(fields[i]) / factor_.value(), &rewritten_);
      } else {
        rewritten_ += fields[i];
      }
    }
    return rewritten_;
  }
  return line;
}

const std::string& HeaderStep::ApplyClassic(const std::string& line) {
  std::string_view trimmed = Trim(line);
  if (BeginsWith(trimmed, kGravityKeyword)) {
    if (!divide_gravity_) return line;
    rewritten_ = "World Gravity ";
    AppendTextOf(ValueOf(trimmed.substr(kGravityKeyword.size())) / factor_.value(), &rewritten_);
    return rewritten_;
  }
  if (BeginsWith(trimmed, kMipMapKeyword)) {
    std::vector<std::string_view> fields = SplitFields(trimmed);
    rewritten_ = "MipMap Distances";
    // Only the distances present are written; fields after the fourth
    // distance are dropped.
    for (size_t i = kFirstDistanceField;
         i < fields.size() && i < kFirstDistanceField + kDistanceCount; ++i) {
      rewritten_ += ' ';
      AppendScaled(fields[i], factor_, &rewritten_);
    }
    return rewritten_;
  }
  return line;
}

}  // namespace jk
