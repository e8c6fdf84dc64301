#include "scaling/scale_run.h"

#include <memory>

#include "archives/extraction.h"
#include "launch/episode.h"
#include "scaling/cog_copies.h"
#include "scaling/header_step.h"
#include "scaling/level_pass.h"
#include "scaling/model_pass.h"
#include "scaling/references.h"
#include "scaling/template_handler.h"
#include "scaling/text.h"
#include "scaling/thing_handler.h"
#include "scaling/vertex_handler.h"

namespace jk {

namespace {

Status CheckRequest(const ScaleRequest& request, double* factor) {
  if (!ParseScaleFactor(request.scale_text, factor)) {
    return Status::Error("scale factor '" + request.scale_text +
                         "': not a number greater than 0");
  }
  const LevelArchiveTables& tables = *request.archive;
  if (request.level_index < 0 || size_t(request.level_index) >= tables.levels.size()) {
    return Status::FileError(tables.path, "no level is selected");
  }
  const EntryRow& level = tables.levels[size_t(request.level_index)];
  if (!IsSafeEntryPath(std::string_view(request.level_item).substr(
          std::min<size_t>(4, request.level_item.size())))) {
    return Status::FileError(tables.path, "level '" + request.level_item +
                                              "': unsafe name, it would be written "
                                              "outside the work folder");
  }
  if (!level.inside) {
    return Status::FileError(tables.path, "level '" + request.level_item +
                                              "': damaged archive, its data lies "
                                              "outside the file");
  }
  return Status::Ok();
}

// Detaches the progress window from the run's files when they close.
class ProgressSources {
 public:
  explicit ProgressSources(ProgressWindow& progress) : progress_(progress) {}
  ~ProgressSources() {
    progress_.SetLevelArchive(nullptr);
    progress_.SetResourceArchive(nullptr);
    progress_.SetLevelOutput(nullptr);
  }

 private:
  ProgressWindow& progress_;
};

// The level pass with every section handler. The model list and the cog
// list receive the level's references; the scaled template list lives for
// this pass only.
Status ScaleLevelText(FileSystem& fs, ProgressWindow& progress, const ScaleRequest& request,
                      double factor, OpenArchives& archives, ReferenceLists* lists,
                      ScaleReport* report) {
  const LevelArchiveTables& tables = *request.archive;
  JK_RETURN_IF_ERROR(EntryOutputPath(fs, request.work_folder, "jkl", request.level_item,
                                     &report->level_output));
  std::unique_ptr<OutputFile> output;
  JK_RETURN_IF_ERROR(fs.OpenWrite(report->level_output, &output));
  progress.SetLevelOutput(output.get());

  ModelTable model_table(tables.models, archives.resource_models);
  ScaledTemplates templates(&model_table);
  ModelLookup model_lookup(&templates, &progress, &lists->models);
  VertexHandler vertices(factor, &progress);
  TemplateHandler template_handler(factor, &progress, &templates);
  ThingHandler things(factor, &progress, &model_lookup);
  CogReferenceHandler cogs(&tables.cogs, &progress, &lists->cogs);
  SectionHandlers handlers;
  handlers.vertices = &vertices;
  handlers.templates = &template_handler;
  handlers.things = &things;
  handlers.cogs = &cogs;

  HeaderStep header(factor, request.divide_gravity);
  JK_RETURN_IF_ERROR(RunLevelPass(archives.level->file(),
                                  tables.levels[size_t(request.level_index)], handlers,
                                  header, *output));
  progress.SetLevelOutput(nullptr);
  return output->Close();
}

}  // namespace

Status RunScale(FileSystem& fs, ProgressWindow& progress, const ScaleRequest& request,
                ReferenceLists* lists, ScaleReport* report) {
  *report = ScaleReport{};
  double factor = 0;
  JK_RETURN_IF_ERROR(CheckRequest(request, &factor));
  const LevelArchiveTables& tables = *request.archive;

  JK_RETURN_IF_ERROR(fs.CreateFolder(request.work_folder));
  OpenArchives archives;
  ProgressSources detach_on_return(progress);
  Status prepared = PrepareExtraction(fs, request.work_folder, request.extra_archive_path,
                                      request.resource_archive_path, tables.path,
                                      &archives);
  report->extra_copy = archives.extra_copy;
  JK_RETURN_IF_ERROR(prepared);
  progress.SetLevelArchive(&archives.level->file());
  progress.SetResourceArchive(&archives.resource->file());

  JK_RETURN_IF_ERROR(
      ScaleLevelText(fs, progress, request, factor, archives, lists, report));
  RemoveRepeatedRows(&lists->models);
  RemoveRepeatedRows(&lists->cogs);
  ModelPassFiles model_files{request.work_folder, archives.level.get(),
                             archives.resource.get()};
  JK_RETURN_IF_ERROR(
      RunModelPass(fs, model_files, lists->models, factor, &progress, &report->skipped));
  JK_RETURN_IF_ERROR(CopyCogs(fs, request.work_folder, *archives.level, lists->cogs,
                              tables.cogstrings, &report->skipped));
  return WriteTestEpisode(fs, request.work_folder, tables.path, request.level_item);
}

}  // namespace jk
