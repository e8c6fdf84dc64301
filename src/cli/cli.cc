#include "cli/cli.h"

#include <charconv>
#include <memory>
#include <optional>
#include <string_view>

#include "archives/archive_tables.h"
#include "cli/terminal_progress.h"
#include "launch/game_finder.h"
#include "launch/play_session.h"
#include "launch/save_mod.h"
#include "platform/version.h"
#include "scaling/layout.h"
#include "scaling/level_check.h"
#include "scaling/player_drawing.h"
#include "scaling/player_report.h"
#include "scaling/player_walk.h"
#include "scaling/scale_run.h"
#include "scaling/text.h"

namespace jk {

namespace {

constexpr const char* kUsage =
    "usage: jkrescale-cli --version\n"
    "       jkrescale-cli levels ARCHIVE\n"
    "       jkrescale-cli scale ARCHIVE LEVEL FACTOR --resource FILE --out DIR\n"
    "                           [--gravity] [--extra FILE] [--classic] [--threads N]\n"
    "       jkrescale-cli scale ARCHIVE LEVEL FACTOR --resource FILE --gob FILE\n"
    "                           [--gravity] [--classic] [--threads N]\n"
    "       jkrescale-cli play ARCHIVE LEVEL FACTOR --game EXE [--resource FILE]\n"
    "                          [--gravity] [--extra FILE] [--openjkdf2]\n"
    "                          [--no-autostart] [--data DIR]\n"
    "       jkrescale-cli check LEVEL [--factor F] [--gravity] [--svg FILE]\n"
    "       jkrescale-cli check ARCHIVE LEVEL [--factor F] [--gravity] [--resource FILE]\n"
    "                           [--svg FILE]\n"
    "       jkrescale-cli games [-v]\n"
    "\n"
    "levels  prints the level entries of an episode archive, one a line.\n"
    "scale   writes the level LEVEL of ARCHIVE (as 'levels' prints it), every\n"
    "        length multiplied by FACTOR, with the models and cogs it uses and\n"
    "        a test episode, into DIR (created when missing). FILE after\n"
    "        --resource is the game's resource archive (Resource\\res2.gob or\n"
    "        Resource\\jkmres.goo); --gravity divides the world gravity by\n"
    "        FACTOR; --extra copies an extra archive into DIR. FACTOR is a\n"
    "        number from 0.001 to 1000. Every length the game reads is\n"
    "        scaled; --classic scales the classic set only. The models are\n"
    "        scaled on N threads at once (by default one per processor); the\n"
    "        output is the same for every N.\n"
    "        With --gob instead of --out, writes all of it into the one archive\n"
    "        FILE, a mod to put into the game's Episode folder: the scaled level,\n"
    "        its models, cogs and strings, and an episode titled after the level\n"
    "        and FACTOR (\"Canyon x2\"). An extra archive is no part of a mod.\n"
    "play    does what the desktop program's Scale and play does: scales the\n"
    "        level into this program's folder, starts the game EXE on it,\n"
    "        waits until the game ends and removes what it wrote. The resource\n"
    "        archive is by default the one in the game's Resource folder.\n"
    "        An EXE named openjkdf2... (any letter case), or any EXE with\n"
    "        --openjkdf2, is OpenJKDF2: it starts directly, in the level\n"
    "        (-autostart -sp -episode NAME -map LEVEL), or at its menus with\n"
    "        --no-autostart. DIR after --data is the data folder that holds the\n"
    "        game's Episode and Resource folders, as 'games' prints it: the\n"
    "        resource archive is then by default the one in it, and OpenJKDF2\n"
    "        starts there.\n"
    "check   checks that the values of the level file LEVEL (.jkl) agree with its\n"
    "        geometry: each sector's BOUNDBOX, CENTER and RADIUS with its\n"
    "        vertices, each adjoin's dist with its sector and surface. Prints\n"
    "        one line per inconsistency and a summary; the exit status is 1\n"
    "        when there is an inconsistency. Then reports what the level, as if\n"
    "        scaled by F (1 by default; --gravity divides the gravity by F),\n"
    "        changes for the player: steps too high, openings too low or too\n"
    "        narrow, drops that hurt, and the factors that keep it as playable.\n"
    "        With ARCHIVE LEVEL, reports on a level of an archive, the player's\n"
    "        model from it or from the resource archive FILE. --svg draws the\n"
    "        level from above with the places reported into FILE.\n"
    "games   lists the installed copies of the game and of the expansion that\n"
    "        it finds (Retail, Steam, GOG, OpenJKDF2), one a line: the kind, the\n"
    "        program to start and the data folder (the one holding Episode and\n"
    "        Resource), separated by tabs. -v says where it looked and what it\n"
    "        found there.\n";

using Context = CliEnvironment;

int UsageError(const Context& c, const std::string& what) {
  std::fprintf(c.err, "jkrescale-cli: %s\n%s", what.c_str(), kUsage);
  return kExitUsage;
}

int Failed(const Context& c, const Status& status) {
  std::fprintf(c.err, "jkrescale-cli: %s\n", status.message().c_str());
  return kExitFailed;
}

int Help(const Context& c) {
  std::fputs(kUsage, c.out);
  return kExitOk;
}

void WarnSkipped(const Context& c, const std::vector<std::string>& skipped) {
  if (skipped.empty()) return;
  std::string line = "jkrescale-cli: warning: skipped ";
  for (size_t i = 0; i < skipped.size(); ++i) line += (i ? "; " : "") + skipped[i];
  std::fprintf(c.err, "%s\n", line.c_str());
}

// One line for what the scaled level passes of the game's limits.
void WarnLimits(const Context& c, const std::vector<std::string>& warnings) {
  std::string line = LimitWarningLine(warnings);
  if (!line.empty()) std::fprintf(c.err, "jkrescale-cli: warning: %s\n", line.c_str());
}

// One line for what the run left out: what no archive holds, and what the
// scenery shares with actors.
void WarnLeftOut(const Context& c, const std::vector<std::string>& missing_models,
                 const std::vector<std::string>& missing_cogs, const SharedFiles& shared) {
  std::string phrase = LeftOutPhrase(missing_models, missing_cogs, shared);
  if (!phrase.empty()) std::fprintf(c.err, "jkrescale-cli: warning: %s\n", phrase.c_str());
}

int Levels(const Context& c, const std::vector<std::string>& args) {
  if (args.size() == 1 && args[0] == "--help") return Help(c);
  if (args.size() != 1) return UsageError(c, "levels takes one archive");
  LevelArchiveTables tables;
  Status status = OpenLevelArchive(c.fs, args[0], &tables);
  if (!status.ok()) return Failed(c, status);
  for (const std::string& name : tables.level_names) std::fprintf(c.out, "%s\n", name.c_str());
  return kExitOk;
}

// The words of `scale` and `play`: ARCHIVE LEVEL FACTOR and the options.
struct RunArguments {
  std::vector<std::string> positional;
  std::optional<std::string> resource, out, gob, extra, game, data, threads;
  bool gravity = false;
  bool classic = false;
  bool openjkdf2 = false;
  bool no_autostart = false;
  bool help = false;
};

// Options are the words a command knows (`valued` with a value after them,
// and the switches in `switches`); every other word, one that begins with
// "-" included (a negative factor), is positional.
std::optional<std::string> ParseRunArguments(
    const std::vector<std::string>& args,
    const std::vector<std::pair<std::string_view, std::optional<std::string>*>>& valued,
    const std::vector<std::pair<std::string_view, bool*>>& switches, RunArguments* parsed) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    bool taken = false;
    for (const auto& [name, slot] : valued) {
      if (arg != name) continue;
      if (i + 1 == args.size()) return arg + " needs a value";
      if (slot->has_value()) return arg + " is given twice";
      *slot = args[++i];
      taken = true;
    }
    for (const auto& [name, flag] : switches) {
      if (arg != name) continue;
      *flag = true;
      taken = true;
    }
    if (taken) continue;
    if (arg == "--help") {
      parsed->help = true;
      return std::nullopt;
    } else if (arg.starts_with("--") && arg.size() > 2) {
      return "unknown option " + arg;
    } else {
      parsed->positional.push_back(arg);
    }
  }
  return std::nullopt;
}

constexpr int kMaxThreads = 256;

bool ParseThreadCount(const std::string& text, int* threads) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  if (value < 1 || value > kMaxThreads) return false;
  *threads = value;
  return true;
}

// Shows the progress of a run on the terminal, or nowhere.
class RunProgress {
 public:
  explicit RunProgress(const Context& c) : terminal_(c.err), show_(c.show_progress) {}
  ~RunProgress() { Finish(); }
  ScaleProgress& progress() { return show_ ? static_cast<ScaleProgress&>(terminal_) : quiet_; }
  void Finish() {
    if (show_) terminal_.Finish();
  }

 private:
  TerminalProgress terminal_;
  NoProgress quiet_;
  bool show_;
};

// The problem with the options of `scale`, if any.
std::optional<std::string> ScaleProblem(const RunArguments& parsed) {
  if (parsed.positional.size() != 3) return "scale takes ARCHIVE, LEVEL and FACTOR";
  if (!parsed.resource) return "scale needs --resource FILE";
  if (parsed.out && parsed.gob) return "scale takes --out DIR or --gob FILE, not both";
  if (!parsed.out && !parsed.gob) return "scale needs --out DIR or --gob FILE";
  if (parsed.gob && parsed.extra)
    return "--extra goes with --out: an extra archive is no part of a mod";
  return std::nullopt;
}

int Scale(const Context& c, const std::vector<std::string>& args) {
  RunArguments parsed;
  auto problem =
      ParseRunArguments(args,
                        {{"--resource", &parsed.resource},
                         {"--out", &parsed.out},
                         {"--gob", &parsed.gob},
                         {"--extra", &parsed.extra},
                         {"--threads", &parsed.threads}},
                        {{"--gravity", &parsed.gravity}, {"--classic", &parsed.classic}}, &parsed);
  if (problem) return UsageError(c, *problem);
  if (parsed.help) return Help(c);
  if (auto scale_problem = ScaleProblem(parsed)) return UsageError(c, *scale_problem);
  int threads = 0;
  if (parsed.threads && !ParseThreadCount(*parsed.threads, &threads)) {
    return UsageError(c, "--threads takes a whole number from 1 to " + std::to_string(kMaxThreads));
  }

  ScaleRequest request;
  request.work_folder = parsed.out.value_or("");
  request.level_archive_path = parsed.positional[0];
  request.level_name = parsed.positional[1];
  request.factor_text = parsed.positional[2];
  request.resource_archive_path = *parsed.resource;
  request.extra_archive_path = parsed.extra.value_or("");
  request.divide_gravity = parsed.gravity;
  request.rules = parsed.classic ? ScaleRules::kClassic : ScaleRules::kGameTrue;
  request.threads = threads;

  RunProgress shown(c);
  ReferenceLists lists;
  ScaleReport report;
  // A mod is made in a temporary folder of its own (an empty work folder).
  Status status = parsed.gob ? SaveMod(c.fs, {request, *parsed.gob}, shown.progress(), &report,
                                       c.cleanup_pacing)
                             : RunScale(c.fs, request, shown.progress(), &lists, &report);
  shown.Finish();
  WarnLimits(c, report.limit_warnings);
  WarnSkipped(c, report.skipped);
  WarnLeftOut(c, report.missing_models, report.missing_cogs, report.shared);
  return status.ok() ? kExitOk : Failed(c, status);
}

// The play session on the terminal: the progress while scaling, the game's
// command line when it starts.
class TerminalPlay : public PlayObserver {
 public:
  explicit TerminalPlay(const Context& c) : c_(c), shown_(c) {}
  ScaleProgress& progress() override { return shown_.progress(); }
  // What the run left out, before the game starts: it explains what the
  // player will see.
  void ScaleFinished(const PlayReport& report) override {
    shown_.Finish();
    WarnLimits(c_, report.limit_warnings);
    WarnSkipped(c_, report.skipped);
    WarnLeftOut(c_, report.missing_models, report.missing_cogs, report.shared);
    std::fflush(c_.err);
  }
  void GameStarting(const std::string& command_line) override {
    std::fprintf(c_.err, "jkrescale-cli: starting the game: %s\n", command_line.c_str());
    std::fflush(c_.err);
  }
  void WhileGameRuns() override {}

 private:
  const Context& c_;
  RunProgress shown_;
};

int Play(const Context& c, const std::vector<std::string>& args) {
  RunArguments parsed;
  auto problem = ParseRunArguments(args,
                                   {{"--game", &parsed.game},
                                    {"--resource", &parsed.resource},
                                    {"--extra", &parsed.extra},
                                    {"--data", &parsed.data}},
                                   {{"--gravity", &parsed.gravity},
                                    {"--openjkdf2", &parsed.openjkdf2},
                                    {"--no-autostart", &parsed.no_autostart}},
                                   &parsed);
  if (problem) return UsageError(c, *problem);
  if (parsed.help) return Help(c);
  if (parsed.positional.size() != 3) return UsageError(c, "play takes ARCHIVE, LEVEL and FACTOR");
  if (!parsed.game) return UsageError(c, "play needs --game EXE");
  if (c.work_folder.empty()) return Failed(c, c.work_folder_problem);

  // The one executable given is started whatever the archive: it stands for
  // the game and for the expansion alike.
  PlayChoices choices;
  choices.game_path = *parsed.game;
  choices.expansion_path = *parsed.game;
  choices.level_archive_path = parsed.positional[0];
  choices.level_name = parsed.positional[1];
  choices.factor_text = parsed.positional[2];
  choices.divide_gravity = parsed.gravity;
  choices.extra_archive_path = parsed.extra.value_or("");
  choices.resource_archive_path = parsed.resource.value_or("");
  choices.openjkdf2 = parsed.openjkdf2;
  choices.start_in_level = !parsed.no_autostart;
  if (parsed.data) choices.game_data_folder = choices.expansion_data_folder = *parsed.data;

  TerminalPlay play(c);
  ReferenceLists lists;
  PlayReport report;
  Status status = RunPlaySession(c.fs, c.runner, MakePlayRequest(c.fs, c.work_folder, choices),
                                 play, &lists, &report, c.cleanup_pacing);
  return status.ok() ? kExitOk : Failed(c, status);
}

// Prints the player report on `walk` at `factor`, and draws it into `svg`
// when asked for.
int PrintPlayerReport(const Context& c, const PlayerWalk& walk, double factor, bool divide_gravity,
                      const std::optional<std::string>& svg) {
  PlayerReport report = ReportPlayer(walk, factor, divide_gravity);
  for (const std::string& line : PlayerReportLines(walk, report)) {
    std::fprintf(c.out, "%s\n", line.c_str());
  }
  if (!svg) return kExitOk;
  std::unique_ptr<OutputFile> file;
  Status status = c.fs.OpenWrite(*svg, &file);
  if (status.ok()) status = file->Write(DrawPlayerReportSvg(walk, report));
  if (status.ok()) status = file->Close();
  return status.ok() ? kExitOk : Failed(c, status);
}

// `check FILE.jkl` prints the findings, the summary and the player report;
// the exit status says whether the level is consistent. `check ARCHIVE
// LEVEL` prints the player report on a level of an archive.
int Check(const Context& c, const std::vector<std::string>& args) {
  RunArguments parsed;
  std::optional<std::string> factor_text, svg;
  auto problem = ParseRunArguments(
      args, {{"--resource", &parsed.resource}, {"--factor", &factor_text}, {"--svg", &svg}},
      {{"--gravity", &parsed.gravity}}, &parsed);
  if (parsed.help) return Help(c);
  if (problem) return UsageError(c, *problem);
  for (const std::string& arg : parsed.positional) {
    if (arg.size() > 1 && arg[0] == '-') return UsageError(c, "unknown option " + arg);
  }
  const auto& positional = parsed.positional;
  if (positional.empty() || positional.size() > 2) {
    return UsageError(c, "check takes one level file, or an archive and a level");
  }
  if (parsed.resource && positional.size() == 1) {
    return UsageError(c, "--resource goes with ARCHIVE LEVEL");
  }
  double factor = 1;
  if (factor_text && !ParseScaleFactor(*factor_text, &factor)) {
    return UsageError(c, "--factor takes " + std::string(kFactorRangeText));
  }
  PlayerWalk walk;
  if (positional.size() == 2) {
    Status status = ReadPlayerWalkFromArchive(c.fs, positional[0], positional[1],
                                              parsed.resource.value_or(""), &walk);
    if (!status.ok()) return Failed(c, status);
    return PrintPlayerReport(c, walk, factor, parsed.gravity, svg);
  }
  const std::string& path = positional[0];
  LevelCheckReport report;
  Status status = CheckLevel(c.fs, path, &report);
  if (status.ok()) status = ReadPlayerWalkFile(c.fs, path, &walk);
  if (!status.ok()) return Failed(c, status);
  for (const auto* list : {&report.findings, &report.limits}) {
    for (const LevelFinding& finding : *list) {
      std::fprintf(c.out, "%s\n", FindingLine(path, finding).c_str());
    }
  }
  std::fprintf(c.out, "%s\n", SummaryLine(path, report).c_str());
  const int reported = PrintPlayerReport(c, walk, factor, parsed.gravity, svg);
  if (reported != kExitOk) return reported;
  return report.consistent() ? kExitOk : kExitFailed;
}

// One install a line; nothing found is no failure. With -v, each place
// looked at first, one a line on the error stream.
int Games(const Context& c, const std::vector<std::string>& args) {
  if (args.size() == 1 && args[0] == "--help") return Help(c);
  bool verbose = args.size() == 1 && args[0] == "-v";
  if (!args.empty() && !verbose) return UsageError(c, "games takes no arguments but -v");
  GameSearch search = c.find_games ? c.find_games() : FindInstalledGames(c.fs, c.runner);
  if (verbose) {
    for (const std::string& looked : search.looked) {
      std::fprintf(c.err, "jkrescale-cli: looked at %s\n", looked.c_str());
    }
  }
  for (const GameInstall& install : search.installs) {
    std::fprintf(c.out, "%s\t%s\t%s\n", std::string(InstallKindName(install.kind)).c_str(),
                 install.executable.c_str(), install.data_folder.c_str());
  }
  if (search.out_of_time) {
    std::fprintf(c.err,
                 "jkrescale-cli: warning: the search took too long and stopped before it "
                 "had looked everywhere\n");
  }
  if (search.installs.empty()) {
    std::fprintf(c.err,
                 "jkrescale-cli: found no installed copy of Jedi Knight or Mysteries of the "
                 "Sith\n");
  }
  return kExitOk;
}

struct Command {
  std::string_view name;
  int (*run)(const Context&, const std::vector<std::string>&);
};

constexpr Command kCommands[] = {
    {"levels", Levels}, {"scale", Scale}, {"play", Play}, {"check", Check}, {"games", Games},
};

}  // namespace

int RunCli(const std::vector<std::string>& args, const CliEnvironment& env) {
  if (args.empty()) return UsageError(env, "no command");
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") return Help(env);
  if (args[0] == "--version") {
    std::fprintf(env.out, "jkrescale-cli %s\n", kVersion);
    return kExitOk;
  }
  for (const Command& command : kCommands) {
    if (args[0] != command.name) continue;
    return command.run(env, std::vector<std::string>(args.begin() + 1, args.end()));
  }
  return UsageError(env, "unknown command '" + args[0] + "'");
}

}  // namespace jk
