// Steam's list of its libraries: the folders, beside Steam's own, where
// it installs games. Each Steam folder lists them in
// steamapps/libraryfolders.vdf, in Valve's KeyValues text; each library
// describes each game it holds in steamapps/appmanifest_ID.acf, whose
// "installdir" names the game's folder in steamapps/common.
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
// A libraryfolders.vdf or an app manifest is a few kilobytes; no more
// than this is read of one.
inline constexpr int64_t kMostLibraryListBytes = 1 << 20;

// The library folders listed in the text of a Steam libraryfolders.vdf
// (Valve's KeyValues: quoted keys and values, "\\" for "\" in them, blocks
// in braces, "//" comments): the "path" of each library block in today's
// layout, or the numbered values of the older one. No more than `limit`.
std::vector<std::string> SteamLibraryPaths(std::string_view text, size_t limit);

// The "installdir" of the "AppState" block in the text of a Steam
// appmanifest_ID.acf (keys in any letter case and order, "\\" for "\");
// "" when there is none, or when it is no plain folder name (a separator,
// "." or "..").
std::string SteamInstallDir(std::string_view text);

// The app manifest of the game `app_id` in the Steam library `library`
// (steamapps/appmanifest_ID.acf, found whatever its letter case).
std::string SteamAppManifestPath(FileSystem& fs, const std::string& library,
                                 std::string_view app_id);

// The installdir of the manifest at `manifest` (no more than its first
// kMostLibraryListBytes read); "" when it cannot be read or names none.
std::string ReadSteamInstallDir(FileSystem& fs, const std::string& manifest);

// The libraries listed in the libraryfolders.vdf of the Steam folder
// `root`, as written there (no more than kMostSteamLibraries); none when it
// cannot be read.
std::vector<std::string> ReadSteamLibraryList(FileSystem& fs, const std::string& root);

}  // namespace jk

#endif  // JKRESCALE_LAUNCH_STEAM_LIBRARIES_H_
