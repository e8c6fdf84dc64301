#include "scaling/text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace jk {

namespace {

// The field separators by byte (space, tab, CR, LF, VT, FF and the
// comma): one look-up per character in the loops that split every line.
struct SeparatorTable {
  bool is[256] = {};
  constexpr SeparatorTable() {
    for (unsigned char c : {' ', '\t', '\r', '\n', '\v', '\f', ','}) is[c] = true;
  }
};
constexpr SeparatorTable kSeparator;

}  // namespace

bool IsFieldSeparator(char c) { return kSeparator.is[static_cast<unsigned char>(c)]; }

void SplitOnSingleSeparator(std::string_view text, Fields* fields) {
  fields->clear();
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsFieldSeparator(text[i])) {
      fields->push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  fields->push_back(text.substr(start));
}

Fields SplitOnSingleSeparator(std::string_view text) {
  Fields fields;
  SplitOnSingleSeparator(text, &fields);
  return fields;
}

namespace {

// Bit i set when p[i] ends a field (white space, and with `kCommas` the
// comma), for the `count` (at most 64) bytes from p; the bits past them are
// set too. Built without a branch per byte: the field boundaries of a line
// then come from the bits, and the processor does not have to guess where
// each field ends.
template <bool kCommas>
uint64_t SeparatorBits(const char* p, size_t count) {
#if defined(__SSE2__)
  // Sixteen bytes at a time, from a copy padded with blanks (the bytes
  // after the text may not be there to read). White space is the blank
  // and the five bytes from tab (9) to CR (13).
  alignas(16) char block[64];
  std::memset(block, ' ', sizeof block);
  std::memcpy(block, p, count);
  const __m128i blank = _mm_set1_epi8(' '), comma = _mm_set1_epi8(','), tab = _mm_set1_epi8('\t'),
                four = _mm_set1_epi8(4);
  uint64_t bits = 0;
  for (int i = 0; i < 4; ++i) {
    const __m128i bytes = _mm_load_si128(reinterpret_cast<const __m128i*>(block) + i);
    const __m128i from_tab = _mm_sub_epi8(bytes, tab);  // 0 to 4 for tab to CR
    const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(from_tab, four), from_tab);
    __m128i space = _mm_or_si128(control, _mm_cmpeq_epi8(bytes, blank));
    if constexpr (kCommas) space = _mm_or_si128(space, _mm_cmpeq_epi8(bytes, comma));
    bits |= uint64_t(uint16_t(_mm_movemask_epi8(space))) << (16 * i);
  }
  return bits;
#else
  uint64_t bits = count < 64 ? ~uint64_t(0) << count : 0;
  for (size_t i = 0; i < count; ++i) {
    const char c = p[i];
    bits |= uint64_t(kCommas ? IsFieldSeparator(c) : IsWhiteSpace(c)) << i;
  }
  return bits;
#endif
}

// The fields of `text` between runs of separators (see SeparatorBits).
template <bool kCommas>
void SplitOnRuns(std::string_view text, Fields* fields) {
  auto is_separator = [](char c) { return kCommas ? IsFieldSeparator(c) : IsWhiteSpace(c); };
  fields->clear();
  if (text.empty()) {
    fields->push_back({});
    return;
  }
  // A leading run makes an empty first field, as a split on a pattern does.
  if (is_separator(text.front())) fields->push_back({});
  // The fields are the runs of other characters, found 64 bytes at a time:
  // a field starts at a byte that is no separator after one that is, and
  // ends at a separator after a byte that is not.
  bool in_field = false;
  size_t field_start = 0;
  for (size_t base = 0; base < text.size(); base += 64) {
    const uint64_t space =
        SeparatorBits<kCommas>(text.data() + base, std::min<size_t>(64, text.size() - base));
    const uint64_t space_before = (space << 1) | (in_field ? 0 : 1);
    const uint64_t starts = ~space & space_before;
    for (uint64_t events = starts | (space & ~space_before); events != 0; events &= events - 1) {
      const size_t i = size_t(std::countr_zero(events));
      if ((starts >> i) & 1) {
        field_start = base + i;
      } else {
        fields->push_back(text.substr(field_start, base + i - field_start));
      }
    }
    in_field = !(space >> 63);
  }
  if (in_field) fields->push_back(text.substr(field_start));
  // A trailing run ends one last, empty field.
  if (is_separator(text.back())) fields->push_back({});
}

}  // namespace

void SplitFields(std::string_view text, Fields* fields) { SplitOnRuns<true>(text, fields); }

Fields SplitFields(std::string_view text) {
  Fields fields;
  SplitFields(text, &fields);
  return fields;
}

void SplitOnWhiteSpace(std::string_view text, Fields* fields) { SplitOnRuns<false>(text, fields); }

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
  size_t digits = 0;  // 0: the text begins with no number
  size_t fraction_digits = 0;
  bool has_exponent = false;
  // Where the number's digits begin (after the sign) and where it ends.
  size_t begin = 0, end = 0;

  // Whether mantissa / 10^fraction_digits is the number: no exponent, and
  // few enough digits that the integer holds them all and a double holds
  // the integer exactly.
  bool IsShort() const {
    return !has_exponent && digits <= 19 && mantissa <= (uint64_t(1) << 53) &&
           fraction_digits < std::size(kExactPowersOfTen);
  }
};

// Reads the parts of the number at the start of `text`, after blanks and
// tabs.
static DecimalText ScanDecimal(std::string_view text) {
  DecimalText parts;
  const char* const first = text.data();
  const char* const last = first + text.size();
  const char* p = first;
  while (p < last && (*p == ' ' || *p == '\t')) ++p;
  if (p < last && (*p == '+' || *p == '-')) parts.negative = *p++ == '-';
  parts.begin = size_t(p - first);
  // The digits as one integer, for the common short number.
  uint64_t mantissa = 0;
  const char* digits_start = p;
  for (unsigned d; p < last && (d = unsigned(*p - '0')) <= 9; ++p) mantissa = mantissa * 10 + d;
  size_t fraction_digits = 0;
  if (p < last && *p == '.') {
    const char* fraction_start = ++p;
    for (unsigned d; p < last && (d = unsigned(*p - '0')) <= 9; ++p) mantissa = mantissa * 10 + d;
    fraction_digits = size_t(p - fraction_start);
    parts.digits = size_t(p - digits_start) - 1;
  } else {
    parts.digits = size_t(p - digits_start);
  }
  if (parts.digits == 0) return DecimalText{};
  parts.mantissa = mantissa;
  parts.fraction_digits = fraction_digits;
  parts.end = size_t(p - first);
  if (p < last && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    if (q < last && (*q == '+' || *q == '-')) ++q;
    const char* exponent_start = q;
    while (q < last && IsDigit(*q)) ++q;
    if (q > exponent_start) {  // an exponent counts only when complete
      parts.end = size_t(q - first);
      parts.has_exponent = true;
    }
  }
  return parts;
}

// The value of a number read by ScanDecimal from `text`; false when it is
// outside the range of a double.
static bool ValueOfDecimal(std::string_view text, const DecimalText& parts, double* value) {
  double parsed = 0;
  if (parts.IsShort()) {
    // A short number is its integer divided by an exact power of ten: one
    // correctly rounded division gives the correctly rounded value, as
    // from_chars would, much faster. The numbers of levels and models are
    // nearly all short.
    parsed = double(parts.mantissa) / kExactPowersOfTen[parts.fraction_digits];
  } else {
    // from_chars is correctly rounded and ignores the locale; the sign was
    // taken apart because it accepts no "+".
    auto result = std::from_chars(text.data() + parts.begin, text.data() + parts.end, parsed,
                                  std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(parsed)) {
      *value = 0;
      return false;
    }
  }
  *value = parts.negative ? -parsed : parsed;
  return true;
}

// Reads the number at the start of `text` (after blanks and tabs) into
// *value and returns the number of characters it took, or 0 (and *value 0)
// when the text begins with no number or the number is outside the range
// of a double.
static size_t ScanNumber(std::string_view text, double* value) {
  DecimalText parts = ScanDecimal(text);
  *value = 0;
  if (parts.digits == 0 || !ValueOfDecimal(text, parts, value)) return 0;
  return parts.end;
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

// Fills `p` with the plain decimal AppendPlainDecimal writes.
void FillPlainDecimal(const char* digits, int count, int point, bool negative, char* p) {
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

// Writes the significant digits `digits` (`count` of them, the last not
// 0), of which `point` stand before the decimal point, in plain decimal:
// "0.00ddd" when point <= 0, "ddd00" when point >= count.
void AppendPlainDecimal(const char* digits, int count, int point, bool negative, std::string* out) {
  const int length = int(negative) + (point <= 0       ? 2 - point + count
                                      : point >= count ? point
                                                       : count + 1);
  // The usual short text is made on the stack and appended at once.
  char text[48];
  if (length <= int(sizeof text)) {
    FillPlainDecimal(digits, count, point, negative, text);
    out->append(text, size_t(length));
    return;
  }
  const size_t start = out->size();
  out->resize(start + size_t(length));
  FillPlainDecimal(digits, count, point, negative, out->data() + start);
}

// Writes the number q / 10^k (q > 0) in plain decimal.
void AppendDigits(uint64_t q, int k, bool negative, std::string* out) {
  while (q % 10 == 0) q /= 10, --k;
  // Two digits at a time, from the right.
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  char digits[20];
  char* first = digits + sizeof digits;
  while (q >= 100) {
    first -= 2;
    std::memcpy(first, kPairs + 2 * (q % 100), 2);
    q /= 100;
  }
  if (q >= 10) {
    first -= 2;
    std::memcpy(first, kPairs + 2 * q, 2);
  } else {
    *--first = char('0' + q);
  }
  const int count = int(digits + sizeof digits - first);
  AppendPlainDecimal(first, count, count - k, negative, out);
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
      largest_mantissa_ = std::numeric_limits<uint64_t>::max() / digits;
      return;
    }
  }
}

void AppendScaled(std::string_view number, const ScaleFactor& factor, std::string* out) {
  const DecimalText parts = ScanDecimal(number);
  // The double product, for what the exact one cannot decide.
  auto by_double = [&] {
    double value = 0;
    ValueOfDecimal(number, parts, &value);
    AppendTextOf(value * factor.value(), out);
  };
  if (parts.digits == 0) {
    out->push_back('0');
    return;
  }
  if (factor.decimals_ < 0 || !parts.IsShort() || parts.mantissa > factor.largest_mantissa_) {
    return by_double();
  }
  // The exact product: digits / 10^decimals.
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
  if (digits >= 1'000'000'000) {
    int dropped = 0;
    uint64_t power = 1;
    while (digits / power >= 1'000'000'000) ++dropped, power *= 10;
    const uint64_t rest = digits % power, half = power / 2;
    const uint64_t margin = (digits >> 40) + 1;  // 2^-40 of it, well above 3.4e-16
    if ((rest > half ? rest - half : half - rest) <= margin) return by_double();
    digits = digits / power + (rest > half ? 1 : 0);
    decimals -= dropped;
  }
  AppendDigits(digits, decimals, parts.negative, out);
}

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
