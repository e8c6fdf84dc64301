// Steam's list of its libraries: the folders, beside Steam's own, where
// it installs games. Each Steam folder lists them in
// steamapps/libraryfolders.vdf, in Valve's KeyValues text.
#ifndef JKRESCALE_LAUNCH_STEAM_LIBRARIES_H_
#define JKRESCALE_LAUNCH_STEAM_LIBRARIES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace jk {

// The most libraries a search reads.
inline constexpr size_t kMostSteamLibraries = 32;
// A libraryfolders.vdf is a few kilobytes; no more than this is read.
inline constexpr int64_t kMostLibraryListBytes = 1 << 20;

// The library folders listed in the text of a Steam libraryfolders.vdf
// (Valve's KeyValues: quoted keys and values, "\\" for "\" in them, blocks
// in braces, "//" comments): the "path" of each library block in today's
// layout, or the numbered values of the older one. No more than `limit`.
std::vector<std::string> SteamLibraryPaths(std::string_view text, size_t limit);

// The libraries listed in the libraryfolders.vdf of the Steam folder
// `root`, as written there (no more than kMostSteamLibraries); none when it
// cannot be read.
std::vector<std::string> ReadSteamLibraryList(FileSystem& fs, const std::string& root);

}  // namespace jk

#endif  // JKRESCALE_LAUNCH_STEAM_LIBRARIES_H_
