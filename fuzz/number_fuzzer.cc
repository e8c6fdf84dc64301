// Fuzzes the number conversions: the value of any text, and the round trip
// of a number through its text. The text holds 9 significant digits, so the
// value read back must be the number rounded to 9 digits (checked to 15
// digits), and writing it again must give the same text. A scaled number's
// text must be that of the double product, and a row joined in one pass
// that of the split and the join.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "scaling/numbers.h"

namespace {

void CheckRoundTrip(double x) {
  std::string text = jk::TextOf(x);
  if (text.find_first_not_of("-0123456789.") != std::string::npos) __builtin_trap();
  double y = jk::ValueOf(text);
  if (!std::isfinite(x)) {
    if (y != 0) __builtin_trap();
    return;
  }
  char nine[64];
  std::snprintf(nine, sizeof nine, "%.9g", x);
  double rounded = std::strtod(nine, nullptr);
  if (rounded == 0) {
    if (y != 0) __builtin_trap();
    return;
  }
  // A subnormal double holds fewer than nine digits: its text need not
  // come back whole (1.00000000e-315 reads back as 9.99999998e-316).
  if (std::fabs(rounded) < std::numeric_limits<double>::min()) return;
  if (std::fabs(y - rounded) > std::fabs(rounded) * 1e-15) __builtin_trap();
  if (jk::TextOf(y) != text) __builtin_trap();
  // The fast way of writing numbers gives what the exact way does.
  std::string exactly;
  jk::AppendTextOfExactly(x, &exactly);
  if (exactly != text) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  double value = jk::ValueOf(text);
  if (!std::isfinite(value)) __builtin_trap();
  CheckRoundTrip(value);
  // A scaled number is written as the double product would be.
  for (double f : {2.0, 1.25, 0.001, 0.3}) {
    std::string scaled;
    jk::AppendScaled(text, jk::ScaleFactor(f), &scaled);
    if (scaled != jk::TextOf(value * f)) __builtin_trap();
  }
  // A row joined in one pass is what the split and the join make of it.
  for (jk::RowSplit how : {jk::RowSplit::kOnRuns, jk::RowSplit::kOnSingleSeparators}) {
    std::string row;
    if (!jk::JoinScalingRow(text, 5, {1, 3}, jk::ScaleFactor(2.5), &row, how)) continue;
    jk::Fields fields =
        how == jk::RowSplit::kOnRuns ? jk::SplitFields(text) : jk::SplitOnSingleSeparator(text);
    if (fields.size() < 5) __builtin_trap();
    fields.resize(5);
    std::string joined;
    jk::JoinScaling(fields, {{1, 3}}, jk::ScaleFactor(2.5), &joined);
    if (joined != row) __builtin_trap();
  }
  double factor = 0;
  if (jk::ParseScaleFactor(text, &factor) && !(factor > 0 && std::isfinite(factor))) {
    __builtin_trap();
  }
  if (size >= sizeof(double)) {
    double x;
    std::memcpy(&x, data, sizeof x);
    CheckRoundTrip(x);
  }
  return 0;
}
