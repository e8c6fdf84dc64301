#include "launch/game_launch.h"

#include "platform/ascii.h"
#include "platform/path.h"
#include "platform/short_path.h"
#include "platform/system.h"
#include "scaling/fields.h"
#include "scaling/layout.h"

namespace jk {

namespace {

constexpr const char* kWineQuiet = "WINEDEBUG=-all";

// Keeps in `longest` the longest "kind\sub\name" of the files below
// `folder`, links not followed. A folder that cannot be listed fails: the
// game's limits cannot be checked without its names.
Status CollectNames(FileSystem& fs, const std::string& folder, const std::string& relative,
                    std::string* longest) {
  std::vector<FolderEntry> entries;
  JK_RETURN_IF_ERROR(fs.ListFolder(folder, &entries));
  for (const FolderEntry& entry : entries) {
    std::string name = relative + "\\" + entry.name;
    if (entry.is_folder && !entry.is_link) {
      JK_RETURN_IF_ERROR(CollectNames(fs, JoinPath(folder, entry.name), name, longest));
    } else if (name.size() > longest->size()) {
      *longest = name;
    }
  }
  return Status::Ok();
}

// What winepath prints for `argument`: one path on one line.
Status RunWinepath(ProcessRunner& runner, const std::string& winepath, const std::string& option,
                   const std::string& argument, std::string* converted) {
  ProgramStart start;
  start.program = winepath;
  start.arguments = {option, argument};
  start.environment = {kWineQuiet};
  std::string output;
  Status status = runner.RunAndCapture(start, &output);
  *converted = std::string(Trim(output));
  if (status.ok() && converted->empty()) {
    status = Status::IoError(argument, "winepath " + option + " gave no path for it");
  }
  if (!status.ok()) {
    return Status::Failure(status.kind(), "'" + argument +
                                              "': cannot convert to a Windows path with "
                                              "winepath: " +
                                              status.message());
  }
  return Status::Ok();
}

Status FindWineProgram(ProcessRunner& runner, const std::string& name,
                       const std::string& executable, std::string* path) {
  *path = runner.FindProgram(name);
  if (!path->empty()) return Status::Ok();
  return Status::NotFound(executable, "is a Windows program, started through Wine, but '" + name +
                                          "' is not on the PATH; install Wine (able to run 32-bit "
                                          "programs) to start the game");
}

// The game itself, with the short form of the work folder: the game cuts
// its -path value at the first blank.
Status PlanWindowsStart(FileSystem& fs, const GameChoice& game, const std::string& work_folder,
                        const std::string& extra_copy_name, ProgramStart* start) {
  std::string short_form, longest;
  JK_RETURN_IF_ERROR(ShortPath(work_folder, &short_form));
  JK_RETURN_IF_ERROR(LongestWrittenName(fs, work_folder, extra_copy_name, &longest));
  JK_RETURN_IF_ERROR(CheckGameLimits(short_form, longest));
  start->program = game.executable;
  start->arguments = GameArguments(short_form);
  start->command_line = GameCommandLine(game.executable, short_form);
  return Status::Ok();
}

// wine with the game and its switches as arguments; the -path value is the
// Windows form of the work folder, in its short form.
Status PlanWineStart(FileSystem& fs, ProcessRunner& runner, const GameChoice& game,
                     const std::string& work_folder, const std::string& extra_copy_name,
                     ProgramStart* start) {
  std::string wine, winepath, windows_form, short_form, longest;
  JK_RETURN_IF_ERROR(FindWineProgram(runner, "wine", game.executable, &wine));
  JK_RETURN_IF_ERROR(FindWineProgram(runner, "winepath", game.executable, &winepath));
  // Wine starts whatever it is given and reports a missing program only on
  // its own output, so the game is looked for here.
  if (!fs.IsFile(game.executable)) {
    return Status::NotFound(game.executable, "cannot start the game: there is no such file");
  }
  JK_RETURN_IF_ERROR(RunWinepath(runner, winepath, "-w", work_folder, &windows_form));
  JK_RETURN_IF_ERROR(RunWinepath(runner, winepath, "-s", windows_form, &short_form));
  JK_RETURN_IF_ERROR(LongestWrittenName(fs, work_folder, extra_copy_name, &longest));
  JK_RETURN_IF_ERROR(CheckGameLimits(short_form, longest));
  start->program = wine;
  start->arguments = {game.executable};
  for (std::string& argument : GameArguments(short_form)) {
    start->arguments.push_back(std::move(argument));
  }
  start->command_line = GameCommandLine(game.executable, short_form);
  start->environment = {kWineQuiet};
  return Status::Ok();
}

// The game, OpenJKDF2 too, splits its command line on blanks and tabs
// without quoting.
Status CheckNoBlank(const std::string& path_value) {
  if (path_value.find_first_of(" \t") == std::string::npos) return Status::Ok();
  return Status::Invalid("'" + path_value + "': " +
                         "the game cannot take a work folder whose path holds a blank "
                         "or a tab; move jkrescale to a folder whose path has none");
}

// A value on the command line of OpenJKDF2, in double quotes when it holds
// a blank, a tab or a quote, so that the line splits as the arguments do.
std::string CommandLineValue(const std::string& value) {
  if (value.find_first_of(" \t\"") == std::string::npos) return value;
  std::string quoted = "\"";
  for (char c : value) quoted += c == '"' ? std::string("\\\"") : std::string(1, c);
  return quoted + "\"";
}

// OpenJKDF2 itself with the game's switches, the absolute work folder, and
// the autostart switches when there are values for them.
Status PlanOpenJkdf2Start(const GameChoice& game, const std::string& work_folder,
                          ProgramStart* start) {
  std::string path_value;
  JK_RETURN_IF_ERROR(AbsolutePath(work_folder, &path_value));
  // OpenJKDF2 opens paths of any length: the 127 characters of the
  // original game do not apply, only the blank and the tab, which would
  // split the -path value as they do for the game.
  JK_RETURN_IF_ERROR(CheckNoBlank(path_value));
  start->program = game.executable;
  start->arguments = GameArguments(path_value);
  start->command_line = GameCommandLine(game.executable, path_value);
  if (!game.data_folder.empty()) {
    // Its data, wherever the program lies (on the PATH, say).
    start->working_folder = game.data_folder;
    start->environment = {"OPENJKDF2_ROOT=" + game.data_folder};
  }
  if (game.autostart_episode.empty() || game.autostart_map.empty()) return Status::Ok();
  std::vector<std::string> autostart =
      AutostartArguments(game.autostart_episode, game.autostart_map);
  for (const std::string& argument : autostart) {
    start->command_line += " " + CommandLineValue(argument);
    start->arguments.push_back(argument);
  }
  return Status::Ok();
}

}  // namespace

GameChoice ChooseGame(const std::string& level_archive_path, const std::string& game_path,
                      const std::string& expansion_path) {
  const std::string& executable =
      IsExpansionArchive(level_archive_path) ? expansion_path : game_path;
  return {executable, FolderOf(executable),
          HowGameStarts(executable, WindowsProgramsRunNatively())};
}

GameChoice ChooseGame(const std::string& level_archive_path, const std::string& level_name,
                      const std::string& game_path, const std::string& expansion_path,
                      const GameOptions& options) {
  GameChoice game = ChooseGame(level_archive_path, game_path, expansion_path);
  game.start = HowGameStarts(game.executable, WindowsProgramsRunNatively(), options.openjkdf2);
  if (game.start != GameStart::kOpenJkdf2) return game;
  game.data_folder = IsExpansionArchive(level_archive_path) ? options.expansion_data_folder
                                                            : options.game_data_folder;
  if (options.start_in_level) {
    game.autostart_episode = AutostartEpisode(level_archive_path);
    game.autostart_map = AutostartMap(level_name);
  }
  return game;
}

GameStart HowGameStarts(const std::string& executable, bool windows_programs_run_natively,
                        bool openjkdf2) {
  if (openjkdf2 || IsOpenJkdf2(executable)) return GameStart::kOpenJkdf2;
  if (windows_programs_run_natively) return GameStart::kWindows;
  return IsWindowsProgram(executable) ? GameStart::kThroughWine : GameStart::kDirect;
}

bool IsOpenJkdf2(const std::string& executable) {
  constexpr std::string_view kName = "openjkdf2";
  std::string name = FileNameOf(executable);
  return name.size() >= kName.size() && EqualsIgnoringCase(name.substr(0, kName.size()), kName);
}

std::string GameFolder(const std::string& executable, const std::string& data_folder) {
  return data_folder.empty() ? FolderOf(executable) : data_folder;
}

std::string AutostartEpisode(const std::string& level_archive_path) {
  return EntryStem(level_archive_path);
}

std::string AutostartMap(const std::string& level_name) { return EntryStem(level_name); }

std::vector<std::string> AutostartArguments(const std::string& episode, const std::string& map) {
  return {std::string(kAutostartSwitches[0]), std::string(kAutostartSwitches[1]),
          std::string(kAutostartSwitches[2]), episode,
          std::string(kAutostartSwitches[3]), map};
}

std::string GameCommandLine(const std::string& executable, const std::string& path_value) {
  return "\"" + executable + "\"" + std::string(kGameSwitches) + path_value;
}

std::vector<std::string> GameArguments(const std::string& path_value) {
  std::vector<std::string> arguments;
  for (std::string_view field : SplitOnWhiteSpace(Trim(kGameSwitches))) {
    arguments.emplace_back(field);
  }
  arguments.push_back(path_value);
  return arguments;
}

bool IsWindowsProgram(const std::string& executable) {
  return EndsWithIgnoringCase(executable, ".exe");
}

Status LongestWrittenName(FileSystem& fs, const std::string& work_folder,
                          const std::string& extra_copy_name, std::string* longest) {
  longest->clear();
  if (fs.IsFile(JoinPath(work_folder, kEpisodeFileName))) *longest = kEpisodeFileName;
  if (extra_copy_name.size() > longest->size()) *longest = extra_copy_name;
  for (std::string_view sub : kWorkSubfolders) {
    std::string folder = JoinPath(work_folder, sub);
    if (!fs.IsFolder(folder)) continue;
    JK_RETURN_IF_ERROR(CollectNames(fs, folder, std::string(sub), longest));
  }
  return Status::Ok();
}

Status CheckGameLimits(const std::string& path_value, const std::string& longest_name) {
  JK_RETURN_IF_ERROR(CheckNoBlank(path_value));
  std::string longest_path = path_value + "\\" + longest_name;
  if (longest_path.size() > kGamePathLimit) {
    return Status::Invalid("'" + longest_path + "': " + "is " +
                           std::to_string(longest_path.size()) +
                           " characters long, more than the " + std::to_string(kGamePathLimit) +
                           " the game can open; move jkrescale to a shorter folder");
  }
  return Status::Ok();
}

Status PlanGameStart(FileSystem& fs, ProcessRunner& runner, const GameChoice& game,
                     const std::string& work_folder, const std::string& extra_copy_name,
                     ProgramStart* start) {
  *start = ProgramStart{};
  start->working_folder = game.folder;
  switch (game.start) {
    case GameStart::kDirect:
      start->program = game.executable;
      start->arguments = GameArguments(work_folder);
      start->command_line = GameCommandLine(game.executable, work_folder);
      return Status::Ok();
    case GameStart::kWindows:
      return PlanWindowsStart(fs, game, work_folder, extra_copy_name, start);
    case GameStart::kThroughWine:
      return PlanWineStart(fs, runner, game, work_folder, extra_copy_name, start);
    case GameStart::kOpenJkdf2:
      return PlanOpenJkdf2Start(game, work_folder, start);
  }
  return Status::Invalid("unknown way of starting '" + game.executable + "'");
}

Status StartGameAndWait(FileSystem& fs, ProcessRunner& runner, const GameChoice& game,
                        const std::string& work_folder, const std::string& extra_copy_name,
                        const std::function<void()>& while_waiting) {
  ProgramStart start;
  JK_RETURN_IF_ERROR(PlanGameStart(fs, runner, game, work_folder, extra_copy_name, &start));
  return runner.RunAndWait(start, while_waiting);
}

}  // namespace jk
