#include "scaling/fields.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace jk {

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

template <bool kCommas>
uint64_t PlainBits(const char* p, size_t count) {
  uint64_t bits = count < 64 ? ~uint64_t(0) << count : 0;
  for (size_t i = 0; i < count; ++i) {
    const char c = p[i];
    bits |= uint64_t(kCommas ? IsFieldSeparator(c) : IsWhiteSpace(c)) << i;
  }
  return bits;
}

#if defined(__SSE2__)
// The separator bits of the sixteen bytes at `p`. White space is the blank
// and the five bytes from tab (9) to CR (13).
template <bool kCommas>
uint64_t Sse2Block(const char* p) {
  const __m128i blank = _mm_set1_epi8(' '), comma = _mm_set1_epi8(','), tab = _mm_set1_epi8('\t'),
                four = _mm_set1_epi8(4);
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i from_tab = _mm_sub_epi8(bytes, tab);  // 0 to 4 for tab to CR
  const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(from_tab, four), from_tab);
  __m128i space = _mm_or_si128(control, _mm_cmpeq_epi8(bytes, blank));
  if constexpr (kCommas) space = _mm_or_si128(space, _mm_cmpeq_epi8(bytes, comma));
  return uint16_t(_mm_movemask_epi8(space));
}

template <bool kCommas>
uint64_t Sse2Bits(const char* p, size_t count) {
  if (count < 16) {
    // From a copy padded with blanks: the bytes after the text may not be
    // there to read.
    char block[16];
    std::memset(block, ' ', sizeof block);
    std::memcpy(block, p, count);
    return Sse2Block<kCommas>(block) | ~uint64_t(0) << 16;
  }
  // Sixteen bytes at a time, the last block ending with the text: where
  // blocks overlap, a byte gives the same bit in both.
  uint64_t bits = count < 64 ? ~uint64_t(0) << count : 0;
  for (size_t at = 0; at < count; at += 16) {
    const size_t from = std::min(at, count - 16);
    bits |= Sse2Block<kCommas>(p + from) << from;
  }
  return bits;
}
#endif

// The separators of up to 64 bytes, the fastest way this processor has.
// Built without a branch per byte: the field boundaries of a line then come
// from the bits, and the processor does not have to guess where each field
// ends.
template <bool kCommas>
uint64_t SeparatorBits(const char* p, size_t count) {
#if defined(__SSE2__)
  return Sse2Bits<kCommas>(p, count);
#else
  return PlainBits<kCommas>(p, count);
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

template <bool kCommas>
uint64_t SeparatorBitsPlain(const char* p, size_t count) {
  return PlainBits<kCommas>(p, count);
}
template uint64_t SeparatorBitsPlain<true>(const char* p, size_t count);
template uint64_t SeparatorBitsPlain<false>(const char* p, size_t count);

#if defined(__SSE2__)
template <bool kCommas>
uint64_t SeparatorBitsSse2(const char* p, size_t count) {
  return Sse2Bits<kCommas>(p, count);
}
template uint64_t SeparatorBitsSse2<true>(const char* p, size_t count);
template uint64_t SeparatorBitsSse2<false>(const char* p, size_t count);
#endif

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

}  // namespace jk
