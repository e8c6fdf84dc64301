#include "scaling/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>

namespace jk {

namespace {

// Space, tab, CR, LF, VT and FF, by byte: one look-up per character in the
// loops that split every line.
struct WhiteSpaceTable {
  bool is[256] = {};
  constexpr WhiteSpaceTable() {
    for (unsigned char c : {' ', '\t', '\r', '\n', '\v', '\f'}) is[c] = true;
  }
};
constexpr WhiteSpaceTable kWhiteSpace;

}  // namespace

bool IsWhiteSpace(char c) { return kWhiteSpace.is[static_cast<unsigned char>(c)]; }

std::string_view Trim(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsWhiteSpace(text[begin])) ++begin;
  while (end > begin && IsWhiteSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

static char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

bool BeginsWith(std::string_view text, std::string_view keyword) {
  if (text.size() < keyword.size()) return false;
  for (size_t i = 0; i < keyword.size(); ++i) {
    if (LowerAscii(text[i]) != LowerAscii(keyword[i])) return false;
  }
  return true;
}

void SplitOnSingleWhiteSpace(std::string_view text, Fields* fields) {
  fields->clear();
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsWhiteSpace(text[i])) {
      fields->push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  fields->push_back(text.substr(start));
}

Fields SplitOnSingleWhiteSpace(std::string_view text) {
  Fields fields;
  SplitOnSingleWhiteSpace(text, &fields);
  return fields;
}

void SplitOnWhiteSpace(std::string_view text, Fields* fields) {
  fields->clear();
  size_t i = 0;
  // A leading run makes an empty first field, as a split on a pattern does.
  if (i < text.size() && IsWhiteSpace(text[0])) {
    fields->push_back({});
    while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  }
  while (true) {
    size_t start = i;
    while (i < text.size() && !IsWhiteSpace(text[i])) ++i;
    fields->push_back(text.substr(start, i - start));
    if (i == text.size()) break;
    while (i < text.size() && IsWhiteSpace(text[i])) ++i;
    if (i == text.size()) {
      fields->push_back({});  // a trailing run ends one last, empty field
      break;
    }
  }
}

Fields SplitOnWhiteSpace(std::string_view text) {
  Fields fields;
  SplitOnWhiteSpace(text, &fields);
  return fields;
}

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Powers of ten that a double holds exactly.
static constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The number at the start of a text, as read: its sign, its digits as one
// integer and how many of them follow the point. Enough to know its value
// exactly when it has no exponent.
struct DecimalText {
  bool negative = false;
  uint64_t mantissa = 0;
  size_t digits = 0;
  size_t fraction_digits = 0;
  bool has_exponent = false;

  // Whether mantissa / 10^fraction_digits is the number: no exponent, and
  // few enough digits that the integer holds them all and a double holds
  // the integer exactly.
  bool IsShort() const {
    return !has_exponent && digits <= 19 && mantissa <= (uint64_t(1) << 53) &&
           fraction_digits < std::size(kExactPowersOfTen);
  }
};

// Reads the number at the start of `text` (after blanks and tabs) into
// *value (and its parts into *parts) and returns the number of characters
// it took, or 0 when the text begins with no number or the number is
// outside the range of a double.
static size_t ScanNumber(std::string_view text, double* value, DecimalText* parts) {
  *value = 0;
  *parts = DecimalText{};
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  size_t number_start = i;
  // The digits as one integer, for the common short number.
  uint64_t mantissa = 0;
  size_t digits = 0, fraction_digits = 0;
  while (i < text.size() && IsDigit(text[i])) {
    mantissa = mantissa * 10 + uint64_t(text[i] - '0');
    ++i, ++digits;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      mantissa = mantissa * 10 + uint64_t(text[i] - '0');
      ++i, ++digits, ++fraction_digits;
    }
  }
  if (digits == 0) return 0;
  size_t end = i;
  bool has_exponent = false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    size_t exponent_start = j;
    while (j < text.size() && IsDigit(text[j])) ++j;
    if (j > exponent_start) {  // an exponent counts only when complete
      end = j;
      has_exponent = true;
    }
  }
  *parts = DecimalText{negative, mantissa, digits, fraction_digits, has_exponent};
  // A short number is its integer divided by an exact power of ten: one
  // correctly rounded division gives the correctly rounded value, as
  // from_chars would, much faster. The numbers of levels and models are
  // nearly all short.
  if (parts->IsShort()) {
    double parsed = double(mantissa) / kExactPowersOfTen[fraction_digits];
    *value = negative ? -parsed : parsed;
    return end;
  }
  // from_chars is correctly rounded and ignores the locale; the sign was
  // taken above because it accepts no "+".
  double parsed = 0;
  auto result = std::from_chars(text.data() + number_start, text.data() + end, parsed,
                                std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(parsed)) return 0;
  *value = negative ? -parsed : parsed;
  return end;
}

static size_t ScanNumber(std::string_view text, double* value) {
  DecimalText parts;
  return ScanNumber(text, value, &parts);
}

double ValueOf(std::string_view text) {
  double value;
  ScanNumber(text, &value);
  return value;
}

bool ParseScaleFactor(std::string_view text, double* factor) {
  std::string_view trimmed = Trim(text);
  size_t used = ScanNumber(trimmed, factor);
  return used > 0 && used == trimmed.size() && *factor >= kSmallestFactor &&
         *factor <= kLargestFactor;
}

namespace {

// Writes the significant digits `digits` (`count` of them, the last not
// 0), of which `point` stand before the decimal point, in plain decimal:
// "0.00ddd" when point <= 0, "ddd00" when point >= count.
void AppendPlainDecimal(const char* digits, int count, int point, bool negative, std::string* out) {
  const int length = int(negative) + (point <= 0       ? 2 - point + count
                                      : point >= count ? point
                                                       : count + 1);
  const size_t start = out->size();
  out->resize(start + size_t(length));
  char* p = out->data() + start;
  if (negative) *p++ = '-';
  if (point <= 0) {
    *p++ = '0';
    *p++ = '.';
    p = std::fill_n(p, -point, '0');
    std::copy_n(digits, count, p);
  } else if (point >= count) {
    p = std::copy_n(digits, count, p);
    std::fill_n(p, point - count, '0');
  } else {
    p = std::copy_n(digits, point, p);
    *p++ = '.';
    std::copy_n(digits + point, count - point, p);
  }
}

// Writes the number q / 10^k (q > 0) in plain decimal.
void AppendDigits(uint64_t q, int k, bool negative, std::string* out) {
  while (q % 10 == 0) q /= 10, --k;
  char digits[20];
  int count = 0;
  for (uint64_t rest = q; rest > 0; rest /= 10) digits[19 - count++] = char('0' + rest % 10);
  AppendPlainDecimal(digits + 20 - count, count, count - k, negative, out);
}

// The fast way for the common magnitudes: the nine digits from one product
// in extended precision, whose error (below 2^-63 of it) can only matter
// when the product lies next to a rounding boundary; then it gives up and
// the exact way decides. False when it gave up.
bool AppendTextOfFast(double value, std::string* out) {
  if constexpr (std::numeric_limits<long double>::digits < 64) return false;
  const long double a = std::fabs(value);
  if (!(a >= 1e-7L && a < 1e9L)) return false;
  // k such that a * 10^k lies from 10^8 to 10^9: first a guess from the
  // binary exponent (a is normal here), then a step or two.
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  int binary_exponent = int((bits >> 52) & 0x7ff) - 1023;  // a = 1.f * 2^binary_exponent
  int k = 8 - (binary_exponent * 1233 >> 12);              // 1233 / 4096: just below log10(2)
  long double x = 0;
  for (int step = 0; step < 3; ++step) {
    if (k < 0 || k >= int(std::size(kExactPowersOfTen))) return false;
    x = a * static_cast<long double>(kExactPowersOfTen[k]);
    if (x < 1e8L) {
      ++k;
    } else if (x >= 1e9L) {
      --k;
    } else {
      break;
    }
  }
  if (!(x >= 1e8L && x < 1e9L)) return false;
  const long double error = x * 0x1p-62L;
  const uint32_t whole = uint32_t(x);  // x is positive: this is its floor
  const long double fraction = x - whole;
  // Too near a half (the rounding could go either way), or too near a
  // power of ten (the product may belong to the next k).
  if (std::fabs(fraction - 0.5L) <= error) return false;
  if (x - 1e8L <= error || 1e9L - x <= error) return false;
  uint32_t m = whole + (fraction > 0.5L ? 1 : 0);
  if (m == 1000000000) {
    m = 100000000;
    --k;
  }
  AppendDigits(m, k, value < 0, out);
  return true;
}

}  // namespace

void AppendTextOf(double value, std::string* out) {
  if (!std::isfinite(value) || value == 0) {
    out->push_back('0');
    return;
  }
  if (AppendTextOfFast(value, out)) return;
  AppendTextOfExactly(value, out);
}

void AppendTextOfExactly(double value, std::string* out) {
  if (!std::isfinite(value) || value == 0) {
    out->push_back('0');
    return;
  }
  // The nine significant digits, correctly rounded, as "d.dddddddde±x".
  char buf[64];
  char* end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 8).ptr;
  const bool negative = buf[0] == '-';
  const char* p = buf + int(negative);
  const char* e = std::find(p, static_cast<const char*>(end), 'e');
  int exponent = 0;
  std::from_chars(e + 1 + (e[1] == '+'), end, exponent);
  char digits[16];
  size_t count = 0;
  digits[count++] = p[0];
  for (const char* d = p + 2; d < e; ++d) digits[count++] = *d;
  while (count > 1 && digits[count - 1] == '0') --count;
  AppendPlainDecimal(digits, int(count), exponent + 1, negative, out);
}

ScaleFactor::ScaleFactor(double value) : value_(value) {
  if (!(value > 0 && value <= 1e9)) return;
  // The fewest decimals that give the value back.
  for (int decimals = 0; decimals <= 9; ++decimals) {
    const double scaled = value * kExactPowersOfTen[decimals];
    if (scaled >= 1e9) return;
    const uint64_t digits = uint64_t(std::llround(scaled));
    if (digits > 0 && double(digits) / kExactPowersOfTen[decimals] == value) {
      digits_ = digits;
      decimals_ = decimals;
      return;
    }
  }
}

void AppendScaled(std::string_view number, const ScaleFactor& factor, std::string* out) {
  double value;
  DecimalText parts;
  ScanNumber(number, &value, &parts);
  // The exact product: digits / 10^decimals.
  if (factor.decimals_ < 0 || !parts.IsShort() ||
      parts.mantissa > std::numeric_limits<uint64_t>::max() / factor.digits_) {
    return AppendTextOf(value * factor.value(), out);
  }
  uint64_t digits = parts.mantissa * factor.digits_;
  int decimals = int(parts.fraction_digits) + factor.decimals_;
  if (digits == 0) {
    out->push_back('0');
    return;
  }
  // Rounded to nine significant digits. Both numbers were rounded to
  // doubles and so was their product: the double product lies within
  // 3.4e-16 of the exact one, relatively. Far from a half at the tenth
  // digit, both round alike; next to one, the double product decides.
  int dropped = 0;
  uint64_t power = 1;
  while (digits / power >= 1'000'000'000) ++dropped, power *= 10;
  if (dropped > 0) {
    const uint64_t rest = digits % power, half = power / 2;
    const uint64_t margin = (digits >> 40) + 1;  // 2^-40 of it, well above 3.4e-16
    if ((rest > half ? rest - half : half - rest) <= margin) {
      return AppendTextOf(value * factor.value(), out);
    }
    digits = digits / power + (rest > half ? 1 : 0);
    decimals -= dropped;
  }
  AppendDigits(digits, decimals, parts.negative, out);
}

bool IsComment(std::string_view trimmed) { return trimmed.starts_with('#'); }

void JoinScaling(const Fields& fields, std::initializer_list<FieldRange> scaled,
                 const ScaleFactor& factor, std::string* out) {
  out->clear();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out->push_back(' ');
    bool scale = false;
    for (const FieldRange& range : scaled) {
      scale = scale || (i >= range.first && i < range.first + range.count);
    }
    if (scale) {
      AppendScaled(fields[i], factor, out);
    } else {
      out->append(fields[i]);
    }
  }
}

std::string TextOf(double value) {
  std::string text;
  AppendTextOf(value, &text);
  return text;
}

}  // namespace jk
