// The fields of a line of the game's text: the separators (white space and
// commas, as the game reads them) and the splits of a line into its fields.
// Every scaling step splits its lines with these and no others.
#ifndef JKRESCALE_SCALING_FIELDS_H_
#define JKRESCALE_SCALING_FIELDS_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/ascii.h"

namespace jk {

inline constexpr ByteSet kFieldSeparators(" \t\r\n\v\f,");

// Whether `c` separates the fields of a line as the game reads it: white
// space, or a comma.
inline bool IsFieldSeparator(char c) { return kFieldSeparators.Has(c); }

// The fields of a line: views into the line, field 1 at index 0.
using Fields = std::vector<std::string_view>;

// Fields of `text` split on single separators (white space or a comma, as
// the game reads them): every separator ends a field, so two neighbouring
// ones enclose an empty field. Field 1 is fields[0]. The empty text gives
// one empty field. The form that fills `fields` reuses its storage: a
// handler that keeps one allocates nothing per line.
void SplitOnSingleSeparator(std::string_view text, Fields* fields);
Fields SplitOnSingleSeparator(std::string_view text);

// The fields of a line of the game's text: `text` split on runs of
// separators (white space and commas: "1.0,2.0" is two fields). Meant for
// trimmed text, in which no field is empty; the empty text gives one empty
// field.
void SplitFields(std::string_view text, Fields* fields);
Fields SplitFields(std::string_view text);

// `text` split on runs of white space only, as SplitFields otherwise: for
// text that is not the game's, where a comma is part of a field.
void SplitOnWhiteSpace(std::string_view text, Fields* fields);
Fields SplitOnWhiteSpace(std::string_view text);

// The separators of the `count` (at most 64) bytes from `p`: bit i set
// when byte i separates fields (white space, and with `kCommas` a comma);
// the bits past `count` set too. The splits use the SSE2 way where the
// processor has it and the plain way elsewhere; both are built wherever
// they can be, so that tests hold one against the other.
template <bool kCommas>
uint64_t SeparatorBitsPlain(const char* p, size_t count);
#if defined(__SSE2__)
template <bool kCommas>
uint64_t SeparatorBitsSse2(const char* p, size_t count);
#endif

}  // namespace jk

#endif  // JKRESCALE_SCALING_FIELDS_H_
