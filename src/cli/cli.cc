#include "cli/cli.h"

#include <functional>
#include <optional>
#include <string_view>

#include "archives/archive_tables.h"
#include "platform/console.h"
#include "platform/list_control.h"
#include "scaling/scale_run.h"

namespace jk {

namespace {

constexpr const char* kUsage =
    "usage: jkrescale-cli levels ARCHIVE\n"
    "       jkrescale-cli scale ARCHIVE LEVEL FACTOR --resource FILE --out DIR\n"
    "                           [--gravity] [--extra FILE]\n"
    "\n"
    "levels  prints the level entries of an episode archive, one a line.\n"
    "scale   writes the level LEVEL of ARCHIVE (as 'levels' prints it), every\n"
    "        length multiplied by FACTOR, with the models and cogs it uses and\n"
    "        a test episode, into DIR (created when missing). FILE after\n"
    "        --resource is the game's resource archive (Resource\\res2.gob or\n"
    "        Resource\\jkmres.goo); --gravity divides the world gravity by\n"
    "        FACTOR; --extra copies an extra archive into DIR.\n";

struct Context {
  FileSystem& fs;
  std::FILE* out;
  std::FILE* err;
  bool show_progress;
};

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

int Levels(const Context& c, const std::vector<std::string>& args) {
  if (args.size() == 1 && args[0] == "--help") return Help(c);
  if (args.size() != 1) return UsageError(c, "levels takes one archive");
  StringList levels;
  LevelArchiveTables tables;
  Status status = OpenLevelArchive(c.fs, args[0], &levels, &tables);
  if (!status.ok()) return Failed(c, status);
  for (const std::string& item : levels.items()) std::fprintf(c.out, "%s\n", item.c_str());
  return kExitOk;
}

struct ScaleArguments {
  std::vector<std::string> positional;  // ARCHIVE LEVEL FACTOR
  std::optional<std::string> resource, out, extra;
  bool gravity = false;
  bool help = false;
};

// Options are the words this command knows; every other word, one that
// begins with "-" included (a negative factor), is positional.
std::optional<std::string> ParseScaleArguments(const std::vector<std::string>& args,
                                               ScaleArguments* parsed) {
  const std::pair<std::string_view, std::optional<std::string>*> valued[] = {
      {"--resource", &parsed->resource}, {"--out", &parsed->out}, {"--extra", &parsed->extra}};
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
    if (taken) continue;
    if (arg == "--help") {
      parsed->help = true;
      return std::nullopt;
    } else if (arg == "--gravity") {
      parsed->gravity = true;
    } else if (arg.starts_with("--") && arg.size() > 2) {
      return "unknown option " + arg;
    } else {
      parsed->positional.push_back(arg);
    }
  }
  if (parsed->positional.size() != 3) return "scale takes ARCHIVE, LEVEL and FACTOR";
  if (!parsed->resource) return "scale needs --resource FILE";
  if (!parsed->out) return "scale needs --out DIR";
  return std::nullopt;
}

void WarnSkipped(const Context& c, const std::vector<std::string>& skipped) {
  if (skipped.empty()) return;
  std::string line = "jkrescale-cli: warning: skipped ";
  for (size_t i = 0; i < skipped.size(); ++i) line += (i ? "; " : "") + skipped[i];
  std::fprintf(c.err, "%s\n", line.c_str());
}

int Scale(const Context& c, const std::vector<std::string>& args) {
  ScaleArguments parsed;
  if (auto problem = ParseScaleArguments(args, &parsed)) return UsageError(c, *problem);
  if (parsed.help) return Help(c);

  StringList levels;
  LevelArchiveTables tables;
  Status status = OpenLevelArchive(c.fs, parsed.positional[0], &levels, &tables);
  if (!status.ok()) return Failed(c, status);
  const std::string& level = parsed.positional[1];
  int index = -1;
  for (int k = 0; k < levels.ItemCount() && index < 0; ++k) {
    if (levels.ItemText(k) == level) index = k;
  }
  if (index < 0) {
    return Failed(c, Status::FileError(tables.path, "holds no level '" + level + "'"));
  }

  ScaleRequest request;
  request.work_folder = *parsed.out;
  request.archive = &tables;
  request.level_index = index;
  request.level_item = level;
  request.resource_archive_path = *parsed.resource;
  request.extra_archive_path = parsed.extra.value_or("");
  request.scale_text = parsed.positional[2];
  request.divide_gravity = parsed.gravity;

  NullSurface quiet;
  TerminalProgress terminal(c.err);
  ProgressWindow progress(c.show_progress ? static_cast<DrawingSurface*>(&terminal) : &quiet);
  progress.Show();
  ReferenceLists lists;
  ScaleReport report;
  status = RunScale(c.fs, progress, request, &lists, &report);
  if (c.show_progress) terminal.Finish();
  WarnSkipped(c, report.skipped);
  return status.ok() ? kExitOk : Failed(c, status);
}

struct Command {
  std::string_view name;
  int (*run)(const Context&, const std::vector<std::string>&);
};

constexpr Command kCommands[] = {
    {"levels", Levels},
    {"scale", Scale},
};

}  // namespace

int RunCli(const std::vector<std::string>& args, FileSystem& fs, std::FILE* out,
           std::FILE* err, bool show_progress) {
  Context c{fs, out, err, show_progress};
  if (args.empty()) return UsageError(c, "no command");
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") return Help(c);
  for (const Command& command : kCommands) {
    if (args[0] != command.name) continue;
    return command.run(c, std::vector<std::string>(args.begin() + 1, args.end()));
  }
  return UsageError(c, "unknown command '" + args[0] + "'");
}

}  // namespace jk
