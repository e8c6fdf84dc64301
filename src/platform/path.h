// Native paths. The program speaks of its folders the way the game does
// ("work folder" + "\jkl\" + name); on POSIX systems the separator is "/"
// instead, and names taken from archives, which always use "\", are turned
// into native relative paths before they touch the disk.
#ifndef JKRESCALE_PLATFORM_PATH_H_
#define JKRESCALE_PLATFORM_PATH_H_

#include <string>
#include <string_view>

#include "platform/ascii.h"

namespace jk {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// True for the characters that separate folders in a native path: "\" and
// "/" on Windows, "/" elsewhere.
bool IsPathSeparator(char c);

// `folder` + separator + `name`; `name` may itself hold several segments.
// No separator is added when `folder` ends with one or is empty.
std::string JoinPath(std::string_view folder, std::string_view name);

// The path up to and including its last separator; empty when it has none.
std::string FolderOf(std::string_view path);

// The part of the path after its last separator (the whole path when none).
std::string FileNameOf(std::string_view path);

// `folder` without its final separators; a root keeps its own ("/", "C:\").
std::string WithoutFinalSeparator(std::string_view folder);

// One spelling of a path, to tell whether two name one place: "." and
// repeated separators dropped, ".." resolved, the system's separator; on
// Windows, whose file names ignore letter case, as ComparablePath has it.
std::string NormalPath(std::string_view path);

// An archive entry's relative name ("sub\name.3do") as a native relative
// path: on POSIX every "\" becomes "/".
std::string NativeRelativePath(std::string_view archive_name);

// A form of a native path in which two spellings of one file on a system
// that ignores letter case compare equal: ASCII letters in lower case, and
// on Windows every separator written as "\" ("a/B.3do" and "A\b.3do" are
// one file there).
std::string ComparablePath(std::string_view path);

// True when `text` ends with `suffix`, ASCII letter case ignored.
bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix);

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_PATH_H_
