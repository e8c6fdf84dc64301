#include "scaling/numbers.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>

namespace jk {

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

bool IsPlainDecimal(std::string_view text) {
  if (text.empty() || text[0] == ' ' || text[0] == '\t') return false;
  DecimalText parts = ScanDecimal(text);
  return parts.digits > 0 && !parts.has_exponent && parts.end == text.size();
}

bool ParseInteger(std::string_view text, int64_t* value, int base) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value, base);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool ParseScaleFactor(std::string_view text, double* factor) {
  std::string_view trimmed = Trim(text);
  size_t used = ScanNumber(trimmed, factor);
  return used > 0 && used == trimmed.size() && *factor >= kSmallestFactor &&
         *factor <= kLargestFactor;
}

namespace {

// The most characters a padded FillPlainDecimal copies at once.
constexpr int kPadding = 16;

// Fills `p` with the plain decimal AppendPlainDecimal writes. `kPadded`
// (for a text of at most kPadding characters): every copy moves kPadding
// characters, whatever it needs, since a copy of a length known only now
// would be a call; the digits must then be readable, and `p` writable,
// that far past each copy's start.
template <bool kPadded = false>
void FillPlainDecimal(const char* digits, int count, int point, bool negative, char* p) {
  static constexpr char kZeros[] = "0000000000000000";
  auto copy = [](const char* from, int n, char* to) {
    if constexpr (kPadded) {
      std::memcpy(to, from, kPadding);
      return to + n;
    } else {
      return std::copy_n(from, n, to);
    }
  };
  auto zeros = [](int n, char* to) {
    if constexpr (kPadded) {
      std::memcpy(to, kZeros, kPadding);
      return to + n;
    } else {
      return std::fill_n(to, n, '0');
    }
  };
  if (negative) *p++ = '-';
  if (point <= 0) {
    *p++ = '0';
    *p++ = '.';
    p = zeros(-point, p);
    copy(digits, count, p);
  } else if (point >= count) {
    p = copy(digits, count, p);
    zeros(point - count, p);
  } else {
    p = copy(digits, point, p);
    *p++ = '.';
    copy(digits + point, count - point, p);
  }
}

// The length of the plain decimal FillPlainDecimal writes.
int PlainDecimalLength(int count, int point, bool negative) {
  return int(negative) + (point <= 0 ? 2 - point + count : point >= count ? point : count + 1);
}

// Writes the significant digits `digits` (`count` of them, the last not
// 0), of which `point` stand before the decimal point, in plain decimal:
// "0.00ddd" when point <= 0, "ddd00" when point >= count.
void AppendPlainDecimal(const char* digits, int count, int point, bool negative, std::string* out) {
  const int length = PlainDecimalLength(count, point, negative);
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

// Powers of ten as integers, 10^0 to 10^19.
constexpr uint64_t kPowersOfTen[] = {1,
                                     10,
                                     100,
                                     1000,
                                     10000,
                                     100000,
                                     1000000,
                                     10000000,
                                     100000000,
                                     1000000000,
                                     10000000000,
                                     100000000000,
                                     1000000000000,
                                     10000000000000,
                                     100000000000000,
                                     1000000000000000,
                                     10000000000000000,
                                     100000000000000000,
                                     1000000000000000000,
                                     10000000000000000000u};

// The significant digits of q / 10^k (q > 0), without the zeros q ends
// with, written to end at `end` (twenty characters at most): where they
// begin, how many there are and how many stand before the decimal point.
struct Significant {
  const char* first;
  int count;
  int point;
};
Significant SignificantDigits(uint64_t q, int k, char* end) {
  while (q % 10 == 0) q /= 10, --k;
  // Two digits at a time, from the right.
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  char* first = end;
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
  const int count = int(end - first);
  return {first, count, count - k};
}

// The longest text WriteShortDigits writes, and the room it needs for it:
// it copies in blocks of kPadding characters, past the text's end.
constexpr int kShortText = kPadding;
constexpr int kShortRoom = 40;

// The eight decimal digits of n (below 10^8), with its leading zeros, one
// to a byte as values 0 to 9, the first digit in the lowest byte: the
// halves, quarters and digits are split in all lanes at once, so that no
// digit waits for the one before it.
uint64_t EightDigits(uint32_t n) {
  const uint64_t halves = uint64_t(n / 10000) | (uint64_t(n % 10000) << 32);
  // x * 10486 >> 20 is x / 100 for every x below 10^4, and x * 103 >> 10
  // is x / 10 for every x below 100.
  const uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007FULL;
  const uint64_t pairs = hundreds | ((halves - hundreds * 100) << 16);
  const uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000FULL;
  return tens | ((pairs - tens * 10) << 8);
}

// Stores the eight bytes of `word` at `p`, its lowest byte first (the
// compiler makes one store of it where the processor is little-endian).
void StoreBytes(uint64_t word, char* p) {
  for (int i = 0; i < 8; ++i) p[i] = char(word >> (8 * i));
}

// WriteShortDigits for q below 10^8 and k from 0 to 8, the common case:
// the digits are made in a register and stored whole, not a pair at a
// time into a buffer that is read again at once (which stalls the
// processor until the stores are done).
int WriteEightDigits(uint32_t q, int k, bool negative, char* out) {
  const uint64_t digits = EightDigits(q);
  const int leading = std::countr_zero(digits) / 8;  // q > 0: some digit is not 0
  const int trailing = std::countl_zero(digits) / 8;
  const uint64_t text = digits | 0x3030303030303030ULL;
  const int whole = 8 - k;  // digits before the point
  char* p = out;
  *p = '-';
  p += negative;
  if (whole > 0) {
    // From the first significant digit, or the "0" before the point.
    const int first = std::min(leading, whole - 1);
    StoreBytes(text >> (8 * first), p);
    p += whole - first;
  } else {
    *p++ = '0';
  }
  if (const int fraction = k - trailing; fraction > 0) {
    *p = '.';
    StoreBytes(text >> (8 * whole), p + 1);
    p += 1 + fraction;
  }
  return int(p - out);
}

// Writes the number q / 10^k (q > 0) in plain decimal at `out`, which has
// room for kShortRoom characters, when its text is at most kShortText
// long, and returns its length; 0, writing nothing, otherwise.
int WriteShortDigits(uint64_t q, int k, bool negative, char* out) {
  if (q < 100'000'000 && k >= 0 && k <= 8) return WriteEightDigits(uint32_t(q), k, negative, out);
  char digits[20 + kPadding];  // the digits end at 20; the copies read on past them
  const Significant s = SignificantDigits(q, k, digits + 20);
  const int length = PlainDecimalLength(s.count, s.point, negative);
  if (length > kShortText) return 0;
  FillPlainDecimal<true>(s.first, s.count, s.point, negative, out);
  return length;
}

// Writes the number q / 10^k (q > 0) in plain decimal.
void AppendDigits(uint64_t q, int k, bool negative, std::string* out) {
  char text[kShortRoom];
  if (const int length = WriteShortDigits(q, k, negative, text)) {
    out->append(text, size_t(length));
    return;
  }
  char digits[20];
  const Significant s = SignificantDigits(q, k, digits + sizeof digits);
  AppendPlainDecimal(s.first, s.count, s.point, negative, out);
}

// The fast way for the common magnitudes, in integers only, so that no
// setting of the floating-point unit can change it: the value is its
// mantissa m over 2^s, and m times 10^k (in 128 bits) over 2^s is the
// number scaled to nine digits before the point, its whole part and the
// rest exact. An exact tie (a rest of one half) is left to the exact way,
// which decides ties as the standard library does. False when it gave
// the value to the exact way.
bool AppendTextOfFast(double value, std::string* out) {
#if defined(__SIZEOF_INT128__)
  __extension__ typedef unsigned __int128 Wide;
  const double a = std::fabs(value);
  if (!(a >= 1e-7 && a < 1e9)) return false;
  const uint64_t bits = std::bit_cast<uint64_t>(a);
  const int exponent = int(bits >> 52) - 1023;  // a = 1.f * 2^exponent: a is normal here
  const uint64_t mantissa = (bits & ((uint64_t(1) << 52) - 1)) | (uint64_t(1) << 52);
  const int shift = 52 - exponent;  // a = mantissa / 2^shift, shift from 23 to 76
  // k such that a * 10^k lies from 10^8 to 10^9: first a guess from the
  // binary exponent, then a step or two.
  int k = 8 - (exponent * 1233 >> 12);  // 1233 / 4096: just below log10(2)
  for (int step = 0; step < 3; ++step) {
    if (k < 0 || k >= int(std::size(kPowersOfTen))) return false;
    const Wide product = Wide(mantissa) * kPowersOfTen[k];  // below 2^117
    const Wide whole = product >> shift;
    if (whole < 100000000) {
      ++k;
    } else if (whole >= 1000000000) {
      --k;
    } else {
      const Wide rest = product - (whole << shift);
      const Wide half = Wide(1) << (shift - 1);
      if (rest == half) return false;
      uint64_t m = uint64_t(whole) + (rest > half ? 1 : 0);
      if (m == 1000000000) {
        m = 100000000;
        --k;
      }
      AppendDigits(m, k, value < 0, out);
      return true;
    }
  }
  return false;
#else
  // Without 128-bit integers the exact way writes every number.
  static_cast<void>(value);
  static_cast<void>(out);
  return false;
#endif
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

namespace {

// A number times a factor, as AppendScaled writes it: 0, or digits /
// 10^decimals rounded to nine significant digits, or (when the exact
// product cannot decide) the double product.
struct ScaledNumber {
  enum class Kind { kZero, kDigits, kByDouble } kind = Kind::kZero;
  uint64_t digits = 0;
  int decimals = 0;
  bool negative = false;
};

ScaledNumber ScaleExactly(const DecimalText& parts, const ScaleFactor& factor) {
  using Kind = ScaledNumber::Kind;
  ScaledNumber scaled;
  if (parts.digits == 0) return scaled;
  if (factor.decimals() < 0 || !parts.IsShort() || parts.mantissa > factor.largest_mantissa()) {
    scaled.kind = Kind::kByDouble;
    return scaled;
  }
  // The exact product: digits / 10^decimals.
  uint64_t digits = parts.mantissa * factor.digits();
  int decimals = int(parts.fraction_digits) + factor.decimals();
  if (digits == 0) return scaled;
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
    if ((rest > half ? rest - half : half - rest) <= margin) {
      scaled.kind = Kind::kByDouble;
      return scaled;
    }
    digits = digits / power + (rest > half ? 1 : 0);
    decimals -= dropped;
  }
  scaled.kind = Kind::kDigits;
  scaled.digits = digits;
  scaled.decimals = decimals;
  scaled.negative = parts.negative;
  return scaled;
}

// Writes at `out` (room for kShortRoom characters) what AppendScaled
// would append for the number read as `parts`, and returns its length; 0
// when it would be longer or needs the double product.
size_t WriteScaledShort(const DecimalText& parts, const ScaleFactor& factor, char* out) {
  const ScaledNumber scaled = ScaleExactly(parts, factor);
  switch (scaled.kind) {
    case ScaledNumber::Kind::kZero:
      *out = '0';
      return 1;
    case ScaledNumber::Kind::kDigits:
      return size_t(WriteShortDigits(scaled.digits, scaled.decimals, scaled.negative, out));
    case ScaledNumber::Kind::kByDouble:
      return 0;
  }
  return 0;
}

}  // namespace

void AppendScaled(std::string_view number, const ScaleFactor& factor, std::string* out) {
  const DecimalText parts = ScanDecimal(number);
  const ScaledNumber scaled = ScaleExactly(parts, factor);
  switch (scaled.kind) {
    case ScaledNumber::Kind::kZero:
      out->push_back('0');
      return;
    case ScaledNumber::Kind::kDigits:
      AppendDigits(scaled.digits, scaled.decimals, scaled.negative, out);
      return;
    case ScaledNumber::Kind::kByDouble: {
      double value = 0;
      ValueOfDecimal(number, parts, &value);
      AppendTextOf(value * factor.value(), out);
      return;
    }
  }
}

bool JoinScalingRow(std::string_view text, size_t keep, FieldRange scaled,
                    const ScaleFactor& factor, std::string* out, RowSplit split) {
  const char* p = text.data();
  const char* const end = p + text.size();
  if (p == end || IsFieldSeparator(*p)) return false;
  out->resize(text.size() + keep + scaled.count * kShortRoom);
  char* const begin = out->data();
  char* o = begin;
  for (size_t i = 0; i < keep; ++i) {
    if (i > 0) {
      if (split == RowSplit::kOnRuns) {
        while (p < end && IsFieldSeparator(*p)) ++p;
      } else if (p < end && ++p < end && IsFieldSeparator(*p)) {
        return false;  // an empty field
      }
      *o++ = ' ';
    }
    if (p == end) return false;  // fewer fields than kept
    const char* const start = p;
    if (i >= scaled.first && i < scaled.first + scaled.count) {
      const DecimalText parts = ScanDecimal(std::string_view(start, size_t(end - start)));
      p = start + parts.end;
      // Only a field that is a number and nothing more, scaled exactly.
      if (parts.digits == 0 || (p < end && !IsFieldSeparator(*p))) return false;
      const size_t length = WriteScaledShort(parts, factor, o);
      if (length == 0) return false;
      o += length;
    } else {
      while (p < end && !IsFieldSeparator(*p)) *o++ = *p++;
    }
  }
  out->resize(size_t(o - begin));
  return true;
}

void JoinScaling(const Fields& fields, std::initializer_list<FieldRange> scaled,
                 const ScaleFactor& factor, std::string* out) {
  auto is_scaled = [&](size_t i) {
    for (const FieldRange& range : scaled) {
      if (i >= range.first && i < range.first + range.count) return true;
    }
    return false;
  };
  // Written in place, each scaled number with room for its longest short
  // text; a number whose text is longer has the line joined again below.
  size_t room = fields.size();
  for (size_t i = 0; i < fields.size(); ++i) {
    room += is_scaled(i) ? kShortRoom : fields[i].size();
  }
  out->resize(room);
  char* const begin = out->data();
  char* p = begin;
  bool all_short = true;
  for (size_t i = 0; i < fields.size() && all_short; ++i) {
    if (i > 0) *p++ = ' ';
    if (is_scaled(i)) {
      const size_t length = WriteScaledShort(ScanDecimal(fields[i]), factor, p);
      all_short = length > 0;
      p += length;
    } else {
      // An empty field may have no characters at all to copy from.
      if (!fields[i].empty()) std::memcpy(p, fields[i].data(), fields[i].size());
      p += fields[i].size();
    }
  }
  if (all_short) {
    out->resize(size_t(p - begin));
    return;
  }
  out->clear();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out->push_back(' ');
    if (is_scaled(i)) {
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
