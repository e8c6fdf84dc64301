// The numbers of the game's text: reading them, writing them in the form
// every scaled value takes, and scaling them by a factor. Every scaling
// step reads and writes its numbers with these, so that a number is read
// and written the same way wherever it stands.
#ifndef JKRESCALE_SCALING_NUMBERS_H_
#define JKRESCALE_SCALING_NUMBERS_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "scaling/fields.h"

namespace jk {

// The number that `text` begins with, after leading blanks and tabs: an
// optional sign, digits with an optional "." and fraction (".5" and "5."
// count), and an exponent only when it is complete ("e", optional sign, at
// least one digit). 0 when the text begins with no number or the number is
// outside the range of a double. Independent of the locale.
double ValueOf(std::string_view text);

// Whether the whole of `text` is a number without exponent: an optional
// sign, digits with an optional point and fraction (".5" and "5." count).
bool IsPlainDecimal(std::string_view text);

// Reads the whole of `text` as an integer in `base`, with an optional "-":
// false, *value unspecified, when it is anything else or does not fit.
bool ParseInteger(std::string_view text, int64_t* value, int base = 10);

// The range of scale factors. The game holds its numbers in single
// precision: a factor far outside this range writes numbers it cannot hold.
inline constexpr double kSmallestFactor = 0.001;
inline constexpr double kLargestFactor = 1000;
// "a number from 0.001 to 1000", for messages.
inline constexpr const char* kFactorRangeText = "a number from 0.001 to 1000";

// Reads a scale factor: the whole text (white space around it aside) must be
// a number as ValueOf reads it, from kSmallestFactor to kLargestFactor. "2,5"
// or "2x" is refused rather than read as 2.
bool ParseScaleFactor(std::string_view text, double* factor);

// `value` rounded to 9 significant digits and written in plain decimal: no
// exponent, "." as separator, no trailing zeros or point, "-" for negatives.
// Zero, negative zero and values that are not finite give "0".
std::string TextOf(double value);

// Appends TextOf(value) to `out` (the allocation-free form for hot loops).
void AppendTextOf(double value, std::string* out);

// The same text by the slower way that AppendTextOf falls back on: the
// shortest correctly rounded digits from the standard library. For checking
// the fast way.
void AppendTextOfExactly(double value, std::string* out);

// A scale factor as the scaling steps use it. Besides its value it keeps,
// when the value is a short decimal (2, 0.5, 1.25), that decimal's digits,
// with which AppendScaled writes most products without rounding a double.
class ScaleFactor {
 public:
  explicit ScaleFactor(double value);
  double value() const { return value_; }
  // The value as digits() / 10^decimals(), when it is a short decimal;
  // decimals() < 0 when it is none.
  uint64_t digits() const { return digits_; }
  int decimals() const { return decimals_; }
  // The largest mantissa whose product with digits() a uint64_t holds.
  uint64_t largest_mantissa() const { return largest_mantissa_; }

 private:
  double value_;
  // value_ is the double nearest to digits_ / 10^decimals_; decimals_ < 0
  // when it is no short decimal.
  uint64_t digits_ = 0;
  int decimals_ = -1;
  // The largest mantissa whose product with digits_ a uint64_t holds.
  uint64_t largest_mantissa_ = 0;
};

// Appends TextOf(ValueOf(number) * factor.value()) to `out`. When the
// number and the factor are short decimals, their product is known exactly
// and the text is written from its digits: the same text as the double
// product gives, since that differs from the exact one by far less than
// the rounding to nine digits can notice, except next to a rounding
// boundary, where the double product decides.
void AppendScaled(std::string_view number, const ScaleFactor& factor, std::string* out);

// `count` fields from field `first` on (counted from 0).
struct FieldRange {
  size_t first;
  size_t count;
};

// Joins `fields` with single blanks into `out` (replacing what it held),
// each field within one of the `scaled` ranges written as its value times
// `factor`, every other field as read. Ranges beyond the last field add
// nothing: a line keeps the fields it had.
void JoinScaling(const Fields& fields, std::initializer_list<FieldRange> scaled,
                 const ScaleFactor& factor, std::string* out);

// How a row's fields are told apart: by runs of separators (SplitFields)
// or by each single one (SplitOnSingleSeparator).
enum class RowSplit { kOnRuns, kOnSingleSeparators };

// JoinScaling(fields, {scaled}) for the first `keep` fields of the split
// of `text`, in one pass over `text` that writes as it reads: for the rows
// that make up most of a level or model (vertices). False, *out
// unspecified, when `text` begins with a separator, holds fewer than
// `keep` fields or an empty one among them, or has a scaled field that is
// not a plain number written exactly in at most sixteen characters:
// JoinScaling decides those.
bool JoinScalingRow(std::string_view text, size_t keep, FieldRange scaled,
                    const ScaleFactor& factor, std::string* out,
                    RowSplit split = RowSplit::kOnRuns);

}  // namespace jk

#endif  // JKRESCALE_SCALING_NUMBERS_H_
