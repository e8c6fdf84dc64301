// Starting the game on the work folder after a scale run: which executable,
// its command line, how it is started on this system, and the limits of the
// game that are checked first.
//
// On Windows the game is started natively with its command line, the work
// folder passed in its short form. Elsewhere, an executable whose name ends
// in ".exe" (JK.EXE, JKM.EXE) is a Windows program and is started through
// Wine, with the work folder passed as the blank-free Windows path that
// winepath gives; any other executable (a native build of the engine, or a
// stand-in) is started directly with the native path of the work folder.
//
// OpenJKDF2, the open reimplementation of the engine, is a native program
// on every system (Linux, macOS, Windows): it is started directly, never
// through Wine, with the game's switches and the absolute native path of
// the work folder. It can also load the level at once, without its menus:
// files in the -path folder take precedence over the episode archive, so
// the scaled level and models are the ones it loads.
#ifndef JKRESCALE_LAUNCH_GAME_LAUNCH_H_
#define JKRESCALE_LAUNCH_GAME_LAUNCH_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/process.h"

namespace jk {

// The switches between the quoted executable and the work folder.
inline constexpr std::string_view kGameSwitches =
    " -debug con -verbose 2 -devmode -windowgui -path ";

// The longest path the game opens: its -path value, "\" and a file name.
// OpenJKDF2 has no such limit.
inline constexpr size_t kGamePathLimit = 127;

// The switches that make OpenJKDF2 load a level at once, each followed by
// its value where it takes one: -autostart -sp -episode NAME -map LEVEL.
inline constexpr std::string_view kAutostartSwitches[] = {"-autostart", "-sp", "-episode", "-map"};

// How the game is started.
enum class GameStart {
  // A native program, started directly: its arguments as a list, the
  // work folder's own path.
  kDirect,
  // A Windows program on Windows: its command line, the short form of the
  // work folder, the game's limits checked.
  kWindows,
  // A Windows program elsewhere: through wine, the blank-free Windows form
  // of the work folder that winepath gives, the game's limits checked.
  kThroughWine,
  // OpenJKDF2 on any system: directly, its arguments as a list, the
  // absolute work folder, which must hold no blank or tab.
  kOpenJkdf2,
};

struct GameChoice {
  // The executable's full path, and its folder (the working folder).
  std::string executable;
  std::string folder;
  GameStart start = GameStart::kDirect;
  // OpenJKDF2 only: the values of -episode and -map that load the level
  // at once (AutostartEpisode, AutostartMap); empty to start at the menus.
  std::string autostart_episode = {};
  std::string autostart_map = {};
  // OpenJKDF2 only: its data folder (Episode, Resource) when that is not
  // the executable's folder; it then starts there, with OPENJKDF2_ROOT set
  // to it. Empty otherwise.
  std::string data_folder = {};
};

// How the user wants the game started, beyond which executable.
struct GameOptions {
  // Start the executable as OpenJKDF2 whatever its name.
  bool openjkdf2 = false;
  // For OpenJKDF2: load the level at once rather than show the menus. The
  // original game has no such switches; for it this means nothing.
  bool start_in_level = true;
  // For OpenJKDF2: the data folders of the game and of the expansion, as
  // the search for installed games gives them (GameInstall::data_folder);
  // "" when the data lies in the executable's folder.
  std::string game_data_folder = {};
  std::string expansion_data_folder = {};
};

// The expansion when the level archive's name ends in ".goo" (letter case
// ignored), the game otherwise; started as HowGameStarts says for this
// system.
GameChoice ChooseGame(const std::string& level_archive_path, const std::string& game_path,
                      const std::string& expansion_path);

// ChooseGame, then as `options` say: OpenJKDF2 (an executable that
// IsOpenJkdf2, or any with `options.openjkdf2`) starts as such, from the
// data folder of the game or the expansion (whichever is chosen) when one
// is given, and, with `options.start_in_level`, in the level `level_name`
// of the archive.
GameChoice ChooseGame(const std::string& level_archive_path, const std::string& level_name,
                      const std::string& game_path, const std::string& expansion_path,
                      const GameOptions& options);

// How `executable` is started: OpenJKDF2 (`openjkdf2`, or IsOpenJkdf2) as
// such on every system; another on a system where Windows programs run
// natively as one of them, and elsewhere through Wine when it is a Windows
// program, directly when not.
GameStart HowGameStarts(const std::string& executable, bool windows_programs_run_natively,
                        bool openjkdf2 = false);

// Whether the executable is OpenJKDF2 by its file name: "openjkdf2"
// followed by anything, letter case ignored ("openjkdf2",
// "openjkdf2-64.exe", "OpenJKDF2.exe").
bool IsOpenJkdf2(const std::string& executable);

// The folder that holds a game's Episode and Resource folders: its data
// folder when it has one (OpenJKDF2's), else its executable's folder.
std::string GameFolder(const std::string& executable, const std::string& data_folder);

// The value of OpenJKDF2's -episode for a level archive: its file name
// without the extension ("ep1" for ".../Episode/ep1.gob").
std::string AutostartEpisode(const std::string& level_archive_path);

// The value of -map for a level: its file name without folder and
// extension ("canyon" for "jkl\canyon.jkl"); the engine adds ".jkl".
std::string AutostartMap(const std::string& level_name);

// The switches that load the level: kAutostartSwitches with the values.
std::vector<std::string> AutostartArguments(const std::string& episode, const std::string& map);

// The game's command line: the executable in double quotes, the switches,
// and the -path value, unquoted.
std::string GameCommandLine(const std::string& executable, const std::string& path_value);

// The same switches and value as a list of arguments.
std::vector<std::string> GameArguments(const std::string& path_value);

// Whether the executable is a Windows program (its name ends in ".exe").
bool IsWindowsProgram(const std::string& executable);

// The longest name, relative to the work folder and written with "\" the
// way the game joins it to its -path value ("jkl\name.jkl"), of the files
// in the work folder's "jkl", "3do", "cog" and "misc" folders, of the test
// episode and of the extra archive's copy (`extra_copy_name`, "" for none),
// into `longest`; "" when there are none. Fails when a folder among them
// cannot be listed.
Status LongestWrittenName(FileSystem& fs, const std::string& work_folder,
                          const std::string& extra_copy_name, std::string* longest);

// The game splits its command line on blanks and tabs without quoting, and
// opens no path longer than kGamePathLimit: fails, saying which limit, when
// `path_value` holds a blank or a tab or when `path_value` + "\" +
// `longest_name` is too long.
Status CheckGameLimits(const std::string& path_value, const std::string& longest_name);

// How the game is started, as `game.start` says: the program (the game
// itself, or wine), its arguments, the game's folder as working folder, and
// the command line of the game. On Windows the work folder becomes its
// short form (platform/short_path.h). Through Wine, wine must be on the
// PATH and the work folder becomes what `winepath -s` gives for its
// `winepath -w` form. Both check the game's limits on that -path value.
// OpenJKDF2 gets the absolute form of the work folder, refused when it
// holds a blank or a tab, and after it the autostart switches when the
// choice names an episode and a map; its command line quotes their values
// when they hold a blank. With a data folder, that is its working folder
// and OPENJKDF2_ROOT names it.
Status PlanGameStart(FileSystem& fs, ProcessRunner& runner, const GameChoice& game,
                     const std::string& work_folder, const std::string& extra_copy_name,
                     ProgramStart* start);

// Plans the start, starts the game and waits until it has ended, calling
// `while_waiting` meanwhile.
Status StartGameAndWait(FileSystem& fs, ProcessRunner& runner, const GameChoice& game,
                        const std::string& work_folder, const std::string& extra_copy_name,
                        const std::function<void()>& while_waiting);

}  // namespace jk

#endif  // JKRESCALE_LAUNCH_GAME_LAUNCH_H_
