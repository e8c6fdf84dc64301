#include "scaling/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace jk {

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

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

std::vector<std::string_view> SplitOnSingleWhiteSpace(std::string_view text) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsWhiteSpace(text[i])) {
      fields.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  fields.push_back(text.substr(start));
  return fields;
}

std::vector<std::string_view> SplitOnWhiteSpace(std::string_view text) {
  std::vector<std::string_view> fields;
  size_t i = 0;
  // A leading run makes an empty first field, as a split on a pattern does.
  if (i < text.size() && IsWhiteSpace(text[0])) {
    fields.push_back({});
    while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  }
  while (true) {
    size_t start = i;
    while (i < text.size() && !IsWhiteSpace(text[i])) ++i;
    fields.push_back(text.substr(start, i - start));
    if (i == text.size()) break;
    while (i < text.size() && IsWhiteSpace(text[i])) ++i;
    if (i == text.size()) {
      fields.push_back({});  // a trailing run ends one last, empty field
      break;
    }
  }
  return fields;
}

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the number at the start of `text` (after blanks and tabs) into
// *value and returns the number of characters it took, or 0 when the text
// begins with no number or the number is outside the range of a double.
static size_t ScanNumber(std::string_view text, double* value) {
  *value = 0;
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  size_t number_start = i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  size_t end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    size_t exponent_start = j;
    while (j < text.size() && IsDigit(text[j])) ++j;
    if (j > exponent_start) end = j;  // an exponent counts only when complete
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

void AppendTextOf(double value, std::string* out) {
  if (!std::isfinite(value) || value == 0) {
    out->push_back('0');
    return;
  }
  // The nine significant digits, correctly rounded, as "d.dddddddde±x".
  char buf[64];
  char* end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 8).ptr;
  const char* p = buf;
  if (*p == '-') {
    out->push_back('-');
    ++p;
  }
  const char* e = std::find(p, static_cast<const char*>(end), 'e');
  int exponent = 0;
  std::from_chars(e + 1 + (e[1] == '+'), end, exponent);
  char digits[16];
  size_t count = 0;
  digits[count++] = p[0];
  for (const char* d = p + 2; d < e; ++d) digits[count++] = *d;
  while (count > 1 && digits[count - 1] == '0') --count;

  int point = exponent + 1;  // digits before the decimal point
  if (point <= 0) {
    out->append("0.");
    out->append(size_t(-point), '0');
    out->append(digits, count);
  } else if (size_t(point) >= count) {
    out->append(digits, count);
    out->append(size_t(point) - count, '0');
  } else {
    out->append(digits, size_t(point));
    out->push_back('.');
    out->append(digits + point, count - size_t(point));
  }
}

bool IsComment(std::string_view trimmed) { return trimmed.starts_with('#'); }

void JoinScaling(const std::vector<std::string_view>& fields,
                 std::initializer_list<FieldRange> scaled, double factor, std::string* out) {
  out->clear();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out->push_back(' ');
    bool scale = false;
    for (const FieldRange& range : scaled) {
      scale = scale || (i >= range.first && i < range.first + range.count);
    }
    if (scale) {
      AppendTextOf(ValueOf(fields[i]) * factor, out);
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
