// Text at the edge of the Windows API. Inside the program every path and
// message is UTF-8; the wide (UTF-16) Windows functions are the only ones
// that reach every file name, whatever the user's code page, so each call
// into them converts on the way in and on the way out. Windows only.
#ifndef JKRESCALE_PLATFORM_WIDE_TEXT_H_
#define JKRESCALE_PLATFORM_WIDE_TEXT_H_

#ifdef _WIN32

#include <string>
#include <string_view>

namespace jk {

// UTF-8 to UTF-16. Bytes that are not UTF-8 become U+FFFD.
std::wstring WideOf(std::string_view utf8);

// UTF-16 to UTF-8. Unpaired surrogates become U+FFFD.
std::string Utf8Of(std::wstring_view wide);

// The system's text for an error code of GetLastError(), in UTF-8, without
// the final period and line break; "error N" when the system has none.
std::string SystemErrorText(unsigned long code);

}  // namespace jk

#endif  // _WIN32

#endif  // JKRESCALE_PLATFORM_WIDE_TEXT_H_
