// ASCII text helpers that do not depend on the locale: white space,
// letters, letter case, trimming and keyword tests. The files the program
// reads (levels, models, settings, the game's output) are ASCII where it
// looks at them; any other byte is just a byte.
#ifndef JKRESCALE_PLATFORM_ASCII_H_
#define JKRESCALE_PLATFORM_ASCII_H_

#include <string>
#include <string_view>

namespace jk {

// A set of bytes, one look-up per byte: the loops that trim and split
// every line test each of its characters.
struct ByteSet {
  bool has[256] = {};
  constexpr explicit ByteSet(std::string_view bytes) {
    for (char c : bytes) has[static_cast<unsigned char>(c)] = true;
  }
  constexpr bool Has(char c) const { return has[static_cast<unsigned char>(c)]; }
};

inline constexpr ByteSet kWhiteSpace(" \t\r\n\v\f");

// Space, tab, CR, LF, VT and FF.
inline bool IsWhiteSpace(char c) { return kWhiteSpace.Has(c); }

// Whether `c` is an ASCII letter.
inline bool IsAsciiLetter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// `c` in lower case when it is an ASCII capital; any other byte as it is.
inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c; }

// `text` with its ASCII capitals in lower case.
std::string ToLowerAscii(std::string_view text);

// `text` without its leading and trailing white space.
std::string_view Trim(std::string_view text);

// Whether `text` starts with `keyword`, ASCII letter case ignored.
bool BeginsWith(std::string_view text, std::string_view keyword);

// Whether `a` and `b` are the same text, ASCII letter case ignored.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_ASCII_H_
