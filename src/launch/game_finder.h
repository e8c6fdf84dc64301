// Finding the installed copies of the game (Jedi Knight) and of its
// expansion (Mysteries of the Sith), for the desktop program to offer on
// its first start and for `jkrescale-cli games`.
//
// Where it looks:
//   On Windows, in the registry: the retail installs' keys (LucasArts
//   Entertainment Company\JediKnight\v1.0 and \Mysteries of the Sith\v1.0,
//   each also under WOW6432Node, value "Install Path", "InstallPath" or
//   "Install Dir"); Steam's own folder (HKCU\Software\Valve\Steam,
//   SteamPath) and every library its steamapps\libraryfolders.vdf lists;
//   GOG's games (HKLM\SOFTWARE\WOW6432Node\GOG.com\Games\<id>, value
//   "path").
//   Elsewhere: Steam's folders ~/.steam/steam, ~/.steam/root,
//   ~/.local/share/Steam (or $XDG_DATA_HOME/Steam) and Flatpak's
//   ~/.var/app/com.valvesoftware.Steam/.steam/steam, with their libraries
//   (the games there are Windows programs, started through Wine); and
//   OpenJKDF2, an `openjkdf2` program on the PATH with its data folder
//   $OPENJKDF2_ROOT, $XDG_DATA_HOME/OpenJKDF2/openjkdf2 or
//   ~/.local/share/OpenJKDF2/openjkdf2.
//   In a Steam library each game lies in the folder of steamapps/common
//   that the "installdir" of its steamapps/appmanifest_ID.acf names (the
//   game's ID is 32380, the expansion's 32390); without a manifest to read,
//   in steamapps/common/"Star Wars Jedi Knight" and "Jedi Knight Mysteries
//   of the Sith".
//   A folder read from the registry is spelt as the system spells it, in
//   whatever letter case the registry holds it.
//
// The search never holds up the program for long: it reads only the
// registry values and the small files named above, never walks a folder
// tree, reads a bounded number of libraries and registry keys, and stops
// when its time is up.
#ifndef JKRESCALE_LAUNCH_GAME_FINDER_H_
#define JKRESCALE_LAUNCH_GAME_FINDER_H_

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/registry.h"

namespace jk {

enum class GameTitle { kJediKnight, kMysteriesOfTheSith };

// How the copy was installed, in the order the finds are listed.
enum class InstallKind { kRetail, kSteam, kGog, kOpenJkdf2 };

// "Jedi Knight", "Mysteries of the Sith".
std::string_view GameTitleName(GameTitle game);
// "Retail", "Steam", "GOG", "OpenJKDF2".
std::string_view InstallKindName(InstallKind kind);

struct GameInstall {
  InstallKind kind = InstallKind::kRetail;
  GameTitle game = GameTitle::kJediKnight;
  // The program to start: JK.EXE or JKM.EXE (JediKnight.exe and
  // JediKnightM.exe in Steam's copies), or openjkdf2.
  std::string executable;
  // The folder that holds the game's Episode and Resource folders, without
  // a final separator: the executable's own folder, or OpenJKDF2's data
  // folder.
  std::string data_folder;

  bool operator==(const GameInstall&) const = default;
};

// The bounds of a search (and kMostSteamLibraries, steam_libraries.h).
inline constexpr size_t kMostRegistrySubkeys = 256;
inline constexpr std::chrono::milliseconds kSearchTime{2000};

// What the search sees of the system. The front-ends give it the system's
// own (SystemSearchView); tests give it fakes.
struct SearchSystem {
  FileSystem& fs;
  Registry& registry;
  // An environment variable's value; "" when it is not set.
  std::function<std::string(const std::string&)> variable;
  // The full path of a program found on the PATH; "" when there is none.
  std::function<std::string(const std::string&)> find_program;
  // The clock that the search's time is measured with.
  std::function<std::chrono::steady_clock::time_point()> now;
  // Whether to look where the games are installed on Windows (the
  // registry), or where they are found on other systems.
  bool on_windows = false;
};

struct GameSearch {
  // The installs found, each once: Jedi Knight's before the expansion's,
  // each game's by kind, then in the order they were found. Two finds are
  // one install when they are of the same game and name the same
  // executable and data folder (compared in a normal form: "." and ".."
  // resolved, repeated separators as one, and on Windows letter case
  // ignored; or found to be the same file, as through a link).
  std::vector<GameInstall> installs;
  // The time ran out before every place was looked at.
  bool out_of_time = false;
  // Each place looked at and what was found there, one a line, in order:
  // "PLACE: WHAT" (a registry value and the folder it names, a folder and
  // the games' programs in it, a Steam file and what it says).
  std::vector<std::string> looked;
};

// Looks in the places above for the installs, for at most `time`.
GameSearch FindGames(const SearchSystem& system, std::chrono::milliseconds time = kSearchTime);

// The system's own view: `fs`, `registry`, the process's environment, the
// PATH as `runner` searches it, the steady clock, and Windows' places on
// Windows.
SearchSystem SystemSearchView(FileSystem& fs, Registry& registry, ProcessRunner& runner);

// FindGames on this system, with its registry.
GameSearch FindInstalledGames(FileSystem& fs, ProcessRunner& runner);

}  // namespace jk

#endif  // JKRESCALE_LAUNCH_GAME_FINDER_H_
