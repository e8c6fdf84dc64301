#include "scaling/scale_run.h"

#include <memory>

#include "platform/path.h"
#include "scaling/cog_copies.h"
#include "scaling/episode.h"
#include "scaling/game_limits.h"
#include "scaling/header_step.h"
#include "scaling/layout.h"
#include "scaling/level_pass.h"
#include "scaling/model_pass.h"
#include "scaling/references.h"
#include "scaling/scenery_pass.h"
#include "scaling/scenery_uses.h"
#include "scaling/sector_handler.h"
#include "scaling/template_handler.h"
#include "scaling/text.h"
#include "scaling/thing_handler.h"
#include "scaling/vertex_handler.h"

namespace jk {

namespace {

// Whether the level can be written: a safe name and data inside the file.
Status CheckLevel(const LevelArchiveTables& tables, const std::string& level_name,
                  const EntryRow& level) {
  if (!IsSafeEntryName(level_name)) {
    return Status::Damaged(tables.path, "level '" + level_name +
                                            "': unsafe name, it would be written outside "
                                            "the work folder");
  }
  if (!level.inside) {
    return Status::Damaged(tables.path, "level '" + level_name +
                                            "': damaged archive, its data lies outside "
                                            "the file");
  }
  return Status::Ok();
}

// The work folder and its subfolders that are not there yet, in the order
// a run creates them.
std::vector<std::string> FoldersNotThereYet(FileSystem& fs, const std::string& work_folder) {
  std::vector<std::string> folders;
  if (!fs.Exists(work_folder)) folders.push_back(work_folder);
  for (std::string_view sub : kWorkSubfolders) {
    std::string folder = JoinPath(work_folder, sub);
    if (!fs.Exists(folder)) folders.push_back(folder);
  }
  return folders;
}

// Takes back what a run prepared before its level pass: the copy of the
// extra archive and the folders it made, deepest first. A folder that holds
// anything stays.
void UndoPreparation(FileSystem& fs, const std::vector<std::string>& made, ScaleReport* report) {
  if (!report->extra_copy.empty()) static_cast<void>(fs.DeleteFile(report->extra_copy));
  report->extra_copy.clear();
  for (auto folder = made.rbegin(); folder != made.rend(); ++folder) {
    static_cast<void>(fs.RemoveFolder(*folder));
  }
}

// The archives a run reads from, open for its whole length.
struct OpenArchives {
  std::unique_ptr<GobArchive> level;
  std::unique_ptr<GobArchive> resource;
  // The resource archive's model rows; they follow the level archive's own
  // rows in every lookup.
  std::vector<ModelRow> resource_models;
  // The resource archive's cogs: the game has them, so a level's cog line
  // that names one is not missing.
  std::vector<EntryRow> resource_cogs;
};

// The first phase: copies the extra archive (when one was picked) into the
// work folder under its own file name, creates the work subfolders, opens
// the resource archive and collects its models and cogs, and opens the
// level archive again.
Status PrepareExtraction(FileSystem& fs, const ScaleRequest& request, OpenArchives* open,
                         ScaleReport* report) {
  if (!request.extra_archive_path.empty()) {
    std::string copy = JoinPath(request.work_folder, FileNameOf(request.extra_archive_path));
    // An extra archive that already lies in the work folder is the user's
    // own file: it is neither copied onto itself nor cleaned up afterwards.
    if (!fs.SameFile(request.extra_archive_path, copy)) {
      JK_RETURN_IF_ERROR(fs.CopyFile(request.extra_archive_path, copy));
      report->extra_copy = copy;
    }
  }
  for (std::string_view sub : kWorkSubfolders) {
    JK_RETURN_IF_ERROR(fs.CreateFolder(JoinPath(request.work_folder, sub)));
  }
  JK_RETURN_IF_ERROR(GobArchive::Open(fs, request.resource_archive_path, &open->resource));
  JK_RETURN_IF_ERROR(
      CollectModels(*open->resource, false, &open->resource_models, &open->resource_cogs));
  return GobArchive::Open(fs, request.level_archive_path, &open->level);
}

// The handlers of the level pass that find the models the level uses: its
// templates, and its things that name them.
struct ModelFinder {
  // `models` receives the model rows in the order the things need them,
  // `missing` the names no archive holds; `missing`, `limits` and `uses`
  // may be null.
  ModelFinder(const LevelArchiveTables& tables, const OpenArchives& archives, double factor,
              ScaleRules rules, std::vector<ModelRow>* models, FirstSeenNames* missing,
              LimitWatch* limits, SceneryUses* uses)
      : model_table(tables.models, archives.resource_models),
        scaled(&model_table),
        lookup(&scaled, models, missing),
        templates(factor, &scaled, rules, uses),
        things(factor, &lookup, limits, uses) {}

  ModelTable model_table;
  ScaledTemplates scaled;
  ModelLookup lookup;
  TemplateHandler templates;
  ThingHandler things;
};

// The models the level uses, as the level pass lists them (before its
// repeated rows are removed), nearly always: from a reading of the level
// text of its own that starts where the templates seem to begin and only
// looks at the templates and the things. (A level whose things need
// templates before that guess, or whose text there is read otherwise as a
// whole, gives another list; the early model pass then sees that.)
Status ListLevelModels(FileSystem& fs, const EntryRow& level, const LevelArchiveTables& tables,
                       const OpenArchives& archives, double factor, ScaleRules rules,
                       std::vector<ModelRow>* models) {
  std::unique_ptr<InputFile> file;
  JK_RETURN_IF_ERROR(fs.OpenRead(archives.level->path(), &file));
  EntryRow rest = level;
  JK_RETURN_IF_ERROR(FindTemplatesStart(*file, level, &rest.offset));
  rest.length = level.offset + level.length - rest.offset;
  ModelFinder finder(tables, archives, factor, rules, models, nullptr, nullptr, nullptr);
  finder.things.OnlyListModels();
  SectionHandlers handlers;
  handlers.templates = &finder.templates;
  handlers.things = &finder.things;
  return ReadLevelSections(*file, rest, handlers);
}

// The level pass with every section handler. The model list and the cog
// list receive the level's references, and `uses` (when not null) what the
// scenery pass needs; the scaled template list lives for this pass only.
Status ScaleLevelText(FileSystem& fs, const ScaleRequest& request, const EntryRow& level,
                      const LevelArchiveTables& tables, double factor, OpenArchives& archives,
                      ScaleProgress& progress, ReferenceLists* lists, SceneryUses* uses,
                      ScaleReport* report) {
  JK_RETURN_IF_ERROR(
      EntryOutputPath(fs, request.work_folder, "jkl", request.level_name, &report->level_output));
  std::unique_ptr<OutputFile> output;
  JK_RETURN_IF_ERROR(fs.OpenWrite(report->level_output, &output));

  FirstSeenNames missing_models, missing_cogs;
  LimitWatch limits;
  ModelFinder finder(tables, archives, factor, request.rules, &lists->models, &missing_models,
                     &limits, uses);
  VertexHandler vertices(factor, &limits);
  CogReferenceHandler cogs(&tables.cogs, &lists->cogs, &archives.resource_cogs, &missing_cogs,
                           uses);
  SectorHandler sectors(factor);
  AdjoinHandler adjoins(factor);
  SectionHandlers handlers;
  handlers.vertices = &vertices;
  handlers.templates = &finder.templates;
  handlers.things = &finder.things;
  handlers.cogs = &cogs;
  if (request.rules == ScaleRules::kGameTrue) {
    handlers.sectors = &sectors;
    handlers.adjoins = &adjoins;
  }

  HeaderStep header(factor, request.divide_gravity, request.rules, &limits);
  Status passed = RunLevelPass(archives.level->file(), level, handlers, header, *output, progress);
  report->missing_models = missing_models.names();
  report->missing_cogs = missing_cogs.names();
  report->limit_warnings = limits.Warnings();
  JK_RETURN_IF_ERROR(passed);
  return output->Close();
}

// "models a.3do, b.3do" for ("models", {"a.3do", "b.3do"}).
std::string NamedList(std::string_view what, const std::vector<std::string>& names) {
  std::string list(what);
  for (size_t i = 0; i < names.size(); ++i) list += (i ? ", " : " ") + names[i];
  return list;
}

// "what: " and the lists that have names, each a NamedList, joined by "; ".
std::string ListsPhrase(
    std::string_view what,
    std::initializer_list<std::pair<std::string_view, const std::vector<std::string>*>> lists) {
  std::string phrase;
  for (const auto& [kind, names] : lists) {
    if (names->empty()) continue;
    phrase += phrase.empty() ? std::string(what) + ": " : "; ";
    phrase += NamedList(kind, *names);
  }
  return phrase;
}

}  // namespace

std::string LeftOutPhrase(const std::vector<std::string>& missing_models,
                          const std::vector<std::string>& missing_cogs, const SharedFiles& shared) {
  std::string phrase = ListsPhrase("not found in any archive, so not scaled",
                                   {{"models", &missing_models}, {"cogs", &missing_cogs}});
  std::string kept =
      ListsPhrase("shared with actors, so not scaled", {{"keyframes", &shared.keyframes},
                                                        {"sound classes", &shared.sound_classes},
                                                        {"sprites", &shared.sprites}});
  if (!phrase.empty() && !kept.empty()) phrase += "; ";
  return phrase + kept;
}

std::string LimitWarningLine(const std::vector<std::string>& warnings) {
  std::string line;
  for (size_t i = 0; i < warnings.size(); ++i) line += (i ? "; " : "") + warnings[i];
  return line;
}

Status RunScale(FileSystem& fs, const ScaleRequest& request, ScaleProgress& progress,
                ReferenceLists* lists, ScaleReport* report) {
  *report = ScaleReport{};
  LevelArchiveTables tables;
  JK_RETURN_IF_ERROR(OpenLevelArchive(fs, request.level_archive_path, &tables));
  const EntryRow* level = tables.FindLevel(request.level_name);
  if (!level) {
    return Status::Invalid("'" + tables.path + "': holds no level '" + request.level_name + "'");
  }
  double factor = 0;
  if (!ParseScaleFactor(request.factor_text, &factor)) {
    return Status::Invalid("scale factor '" + request.factor_text + "': not " + kFactorRangeText);
  }
  JK_RETURN_IF_ERROR(CheckLevel(tables, request.level_name, *level));

  const std::vector<std::string> made = FoldersNotThereYet(fs, request.work_folder);
  JK_RETURN_IF_ERROR(fs.CreateFolder(request.work_folder));
  OpenArchives archives;
  JK_RETURN_IF_ERROR(PrepareExtraction(fs, request, &archives, report));
  const bool game_true = request.rules == ScaleRules::kGameTrue;
  ModelPassFiles model_files{request.work_folder, archives.level.get(), archives.resource.get()};
  // The model pass begins at once when it can run beside the level pass.
  std::unique_ptr<EarlyModelPass> early;
  if (EarlyModelPass::Possible(fs, request.threads)) {
    early = std::make_unique<EarlyModelPass>(
        fs, model_files, factor, request.rules, request.threads,
        [&](std::vector<ModelRow>* models) {
          JK_RETURN_IF_ERROR(
              ListLevelModels(fs, *level, tables, archives, factor, request.rules, models));
          RemoveRepeatedRows(models);
          return Status::Ok();
        });
  }
  SceneryUses uses;
  Status scaled = ScaleLevelText(fs, request, *level, tables, factor, archives, progress, lists,
                                 game_true ? &uses : nullptr, report);
  // The scenery's files are written last: whether one of them stops the
  // run is known before the models are done.
  SceneryPlan scenery;
  if (scaled.ok() && game_true) {
    scaled = PlanSceneryPass(
        {archives.level.get(), archives.resource.get(), &tables.cogs, &archives.resource_cogs},
        uses, &scenery);
  }
  if (scaled.ok()) scaled = CheckSceneryPass(scenery, factor);
  if (!scaled.ok() && early) early->Abandon();
  if (scaled.kind() == Status::Kind::kInvalid) {
    // A line over the game's limits: the run leaves nothing behind, as if
    // it had stopped before writing.
    if (!report->level_output.empty()) static_cast<void>(fs.DeleteFile(report->level_output));
    report->level_output.clear();
    UndoPreparation(fs, made, report);
  }
  JK_RETURN_IF_ERROR(scaled);
  RemoveRepeatedRows(&lists->models);
  RemoveRepeatedRows(&lists->cogs);
  if (early) {
    JK_RETURN_IF_ERROR(early->Finish(lists->models, progress, &report->skipped));
  } else {
    JK_RETURN_IF_ERROR(RunModelPass(fs, model_files, lists->models, factor, request.rules,
                                    request.threads, progress, &report->skipped));
  }
  JK_RETURN_IF_ERROR(CopyCogs(fs, request.work_folder, *archives.level, lists->cogs,
                              tables.cogstrings, &report->skipped));
  report->shared = scenery.shared;
  report->skipped.insert(report->skipped.end(), scenery.skipped.begin(), scenery.skipped.end());
  JK_RETURN_IF_ERROR(RunSceneryPass(fs, request.work_folder, scenery, factor));
  return WriteTestEpisode(fs, request.work_folder, request.level_archive_path, request.level_name);
}

}  // namespace jk
