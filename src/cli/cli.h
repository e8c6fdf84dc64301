// jkrescale-cli: the scale run and the play session without a window.
//
//   jkrescale-cli levels ARCHIVE
//   jkrescale-cli scale ARCHIVE LEVEL FACTOR --resource FILE --out DIR
//                       [--gravity] [--extra FILE] [--classic]
//   jkrescale-cli scale ARCHIVE LEVEL FACTOR --resource FILE --gob FILE
//                       [--gravity] [--classic]
//   jkrescale-cli play ARCHIVE LEVEL FACTOR --game EXE [--resource FILE]
//                      [--gravity] [--extra FILE] [--openjkdf2]
//                      [--no-autostart] [--data DIR]
//   jkrescale-cli check LEVEL
//   jkrescale-cli games
//
// Exit status: 0 on success, 1 when the run fails (one line on standard
// error names the file and the reason) or the checked level is not
// consistent, 2 for a usage error. `games` exits 0 also when it finds
// nothing, and then says so on standard error.
#ifndef JKRESCALE_CLI_CLI_H_
#define JKRESCALE_CLI_CLI_H_

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "launch/game_finder.h"
#include "launch/work_folder.h"
#include "platform/file_system.h"
#include "platform/process.h"

namespace jk {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// What the commands work with.
struct CliEnvironment {
  FileSystem& fs;
  // Starts the game for `play`.
  ProcessRunner& runner;
  // The work folder of `play`, as the desktop program's (FindWorkFolder);
  // "" when there is none, and then why.
  std::string work_folder;
  Status work_folder_problem;
  // Listings go to `out`, messages to `err`.
  std::FILE* out;
  std::FILE* err;
  // Whether to show the progress on `err` (a terminal).
  bool show_progress = false;
  CleanupPacing cleanup_pacing = {};
  // The search of `games`; when empty, the search of this system
  // (FindInstalledGames).
  std::function<GameSearch()> find_games = {};
};

// Runs the command line `args` (without the program name); the exit status.
int RunCli(const std::vector<std::string>& args, const CliEnvironment& env);

}  // namespace jk

#endif  // JKRESCALE_CLI_CLI_H_
