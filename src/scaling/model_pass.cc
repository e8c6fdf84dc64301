#include "scaling/model_pass.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "platform/path.h"
#include "scaling/entry_skip.h"
#include "scaling/game_text.h"
#include "scaling/layout.h"
#include "scaling/text.h"

namespace jk {

namespace {

constexpr std::string_view kVerticesKeyword = "vertices";
constexpr std::string_view kTextureKeyword = "texture";
constexpr std::string_view kRadiusKeyword = "radius";
constexpr size_t kVertexFields = 5;
constexpr std::string_view kInsertOffsetKeyword = "insert offset";
constexpr std::string_view kHierarchyKeyword = "hierarchy nodes";
// "num: flags type mesh parent child sibling numChildren x y z pitch yaw
// roll pivotx pivoty pivotz name": x y z and the pivot are lengths.
constexpr size_t kNodeFields = 17;
constexpr FieldRange kNodePosition{8, 3};
constexpr FieldRange kNodePivot{14, 3};

// The heading tests of a model line, as the model pass applies them: a
// line that begins with "vertices" (any case) turns the vertex list on, one
// that begins with "texture" turns it off.
// The models of the game's own resource archive are indented in places
// where those of the level archives never are; the headings are found on
// the trimmed line there, and in the first column only elsewhere.
// True when the line was a heading.
bool FollowHeadings(std::string_view line, std::string_view trimmed, bool from_level_archive,
                    bool* vertex_list) {
  std::string_view heading = from_level_archive ? line : trimmed;
  if (BeginsWith(heading, kVerticesKeyword)) {
    *vertex_list = true;
    return true;
  }
  if (BeginsWith(heading, kTextureKeyword)) {
    *vertex_list = false;
    return true;
  }
  return false;
}

// A model to write: its row and its file.
struct PlannedModel {
  size_t row = 0;
  std::string path;
};

GobArchive& ArchiveOf(const ModelPassFiles& files, const ModelRow& row) {
  return row.from_level_archive ? *files.level_archive : *files.resource_archive;
}

// Which rows are written to which files, in the order of the list: rows
// whose name is unsafe or whose data lies outside its archive go to
// `skipped`; of rows whose files take one another's place (names that
// differ only in letter case or separators, on a system that ignores
// them), the first is written. Rows whose names share their comparable
// form are decided at once, in order, by creating each one's file and
// seeing whether the next already exists; a file left by an earlier run is
// replaced: it may hold the model at another scale.
Status PlanModels(FileSystem& fs, const ModelPassFiles& files, const std::vector<ModelRow>& models,
                  std::vector<std::string>* skipped, std::vector<PlannedModel>* planned) {
  std::vector<PlannedModel> candidates;
  std::unordered_map<std::string, int> spellings;  // ComparablePath -> rows
  for (size_t i = 0; i < models.size(); ++i) {
    const ModelRow& row = models[i];
    if (std::string why = WhyNotCopied("model", row.entry, ArchiveOf(files, row).path());
        !why.empty()) {
      skipped->push_back(std::move(why));
      continue;
    }
    PlannedModel model{i, ""};
    JK_RETURN_IF_ERROR(EntryOutputPath(fs, files.work_folder, "3do", row.entry.name, &model.path));
    ++spellings[ComparablePath(model.path)];
    candidates.push_back(std::move(model));
  }
  std::unordered_set<std::string> created;
  for (PlannedModel& model : candidates) {
    std::string key = ComparablePath(model.path);
    if (spellings[key] > 1) {
      if (created.count(key) && fs.Exists(model.path)) continue;
      std::unique_ptr<OutputFile> placeholder;
      JK_RETURN_IF_ERROR(fs.OpenWrite(model.path, &placeholder));
      JK_RETURN_IF_ERROR(placeholder->Close());
      created.insert(key);
    }
    planned->push_back(std::move(model));
  }
  return Status::Ok();
}

Status ScaleModel(FileSystem& fs, InputFile& archive, const ModelRow& row, const std::string& path,
                  ModelTextScaler& scaler) {
  std::unique_ptr<OutputFile> out;
  JK_RETURN_IF_ERROR(fs.OpenWrite(path, &out));
  GameTextRewriter rewriter(
      [&](std::string& data) { scaler.ScaleLine(data, row.from_level_archive); },
      [&](std::string_view line) { return out->WriteLine(line); }, row.entry.name);
  JK_RETURN_IF_ERROR(ReadEntryText(archive, row.entry.offset, row.entry.length,
                                   [&](std::string& line) { return rewriter.Line(line); }));
  JK_RETURN_IF_ERROR(rewriter.Finish());
  return out->Close();
}

Status Cancelled() { return Status::Cancelled("the scale run was cancelled"); }

// The models one after another, with the pass's progress; each starts in
// the vertex-list state the one before it left.
Status WriteInTurn(FileSystem& fs, const ModelPassFiles& files, const std::vector<ModelRow>& models,
                   const std::vector<PlannedModel>& planned, double factor, ScaleRules rules,
                   ScaleProgress& progress) {
  ModelTextScaler scaler(factor, rules);
  const int64_t count = int64_t(planned.size());
  for (int64_t i = 0; i < count; ++i) {
    progress.Models(i, count);
    if (progress.CancelRequested()) return Cancelled();
    const PlannedModel& model = planned[size_t(i)];
    scaler.StartModel(scaler.in_vertex_list());
    const ModelRow& row = models[model.row];
    JK_RETURN_IF_ERROR(ScaleModel(fs, ArchiveOf(files, row).file(), row, model.path, scaler));
  }
  return Status::Ok();
}

// What scaling a model, started outside a vertex list, showed of the state.
struct StateTrace {
  bool saw_heading = false;
  bool start_mattered = false;
  bool leaves_vertex_list = false;
};

// Writes again, started inside a vertex list, the models that start in one
// (the models before them left it open) and whose lines before their first
// heading depend on it: they were written as if they started outside.
Status WriteAgainInsideVertexLists(FileSystem& fs, const ModelPassFiles& files,
                                   const std::vector<ModelRow>& models,
                                   const std::vector<PlannedModel>& planned,
                                   const std::vector<StateTrace>& traces, double factor,
                                   ScaleRules rules) {
  ModelTextScaler scaler(factor, rules);
  bool in_vertex_list = false;
  for (size_t i = 0; i < planned.size(); ++i) {
    if (in_vertex_list && traces[i].start_mattered) {
      const ModelRow& row = models[planned[i].row];
      scaler.StartModel(true);
      JK_RETURN_IF_ERROR(
          ScaleModel(fs, ArchiveOf(files, row).file(), row, planned[i].path, scaler));
    }
    if (traces[i].saw_heading) in_vertex_list = traces[i].leaves_vertex_list;
  }
  return Status::Ok();
}

// The models on `threads` threads at once, each with archive files of its
// own. This thread reports the progress, and asks whether to stop: the
// windows that show it may be used from it only. Of the models that fail,
// the first in the list tells why.
Status WriteAtOnce(FileSystem& fs, const ModelPassFiles& files, const std::vector<ModelRow>& models,
                   const std::vector<PlannedModel>& planned, double factor, ScaleRules rules,
                   int threads, ScaleProgress& progress) {
  const size_t count = planned.size();
  std::vector<Status> results(count);
  std::vector<StateTrace> traces(count);
  std::atomic<size_t> next{0};
  std::atomic<size_t> done{0};
  std::atomic<bool> stop{false};
  auto work = [&] {
    std::unique_ptr<InputFile> level, resource;
    Status opened = fs.OpenRead(files.level_archive->path(), &level);
    if (opened.ok()) opened = fs.OpenRead(files.resource_archive->path(), &resource);
    ModelTextScaler scaler(factor, rules);
    for (size_t i; !stop && (i = next++) < count;) {
      const PlannedModel& model = planned[i];
      const ModelRow& row = models[model.row];
      if (opened.ok()) {
        scaler.StartModel(false);
        results[i] =
            ScaleModel(fs, row.from_level_archive ? *level : *resource, row, model.path, scaler);
        traces[i] = {scaler.saw_heading(), scaler.start_mattered(), scaler.in_vertex_list()};
      } else {
        results[i] = opened;
      }
      if (!results[i].ok()) stop = true;
      ++done;
    }
  };
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) workers.emplace_back(work);
  // Progress from this thread, at a pace of its own, until the workers end.
  bool cancelled = false;
  while (done < count && !stop) {
    progress.Models(int64_t(done), int64_t(count));
    if (progress.CancelRequested()) {
      cancelled = true;
      stop = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  for (std::thread& worker : workers) worker.join();
  if (cancelled) return Cancelled();
  for (const Status& result : results) JK_RETURN_IF_ERROR(result);
  return WriteAgainInsideVertexLists(fs, files, models, planned, traces, factor, rules);
}

}  // namespace

void ModelTextScaler::StartModel(bool in_vertex_list) {
  vertex_list_ = in_vertex_list;
  saw_heading_ = false;
  start_mattered_ = false;
  nodes_left_ = 0;
}

void ModelTextScaler::ScaleLine(std::string& line, bool from_level_archive) {
  std::string_view trimmed = Trim(line);
  // Every keyword begins with a letter: most lines (vertices, faces, nodes)
  // are told from them at once.
  const bool keyword = !trimmed.empty() && IsAsciiLetter(trimmed[0]);
  if (keyword && FollowHeadings(line, trimmed, from_level_archive, &vertex_list_)) {
    // A heading has too few fields to be rewritten in a vertex list.
    saw_heading_ = true;
  } else if (rules_ == ScaleRules::kGameTrue && ScaleGameTrueLine(line, trimmed, keyword)) {
    return;
  } else if (keyword && BeginsWith(trimmed, kRadiusKeyword)) {
    rewritten_ = "RADIUS ";
    AppendScaled(trimmed.substr(kRadiusKeyword.size()), factor_, &rewritten_);
    line.swap(rewritten_);
    trimmed = Trim(line);
  }
  if (!vertex_list_ && (saw_heading_ || start_mattered_)) return;
  SplitFields(trimmed, &fields_);
  if (fields_.size() < kVertexFields || fields_[0].empty()) return;
  // A vertex line before the model's first heading is rewritten or not by
  // the state the model started with.
  if (!saw_heading_) start_mattered_ = true;
  if (!vertex_list_) return;
  rewritten_.assign(fields_[0]);
  for (size_t i = 1; i <= 3; ++i) {
    rewritten_ += ' ';
    AppendScaled(fields_[i], factor_, &rewritten_);
  }
  rewritten_ += ' ';
  rewritten_ += fields_[4];
  line.swap(rewritten_);
}

bool ModelTextScaler::ScaleGameTrueLine(std::string& line, std::string_view trimmed, bool keyword) {
  if (keyword && BeginsWith(trimmed, kInsertOffsetKeyword)) {
    SplitFields(trimmed, &fields_);
    JoinScaling(fields_, {{2, 3}}, factor_, &rewritten_);
    line.swap(rewritten_);
    return true;
  }
  if (keyword && BeginsWith(trimmed, kHierarchyKeyword)) {
    SplitFields(trimmed, &fields_);
    double count = fields_.size() > 2 ? ValueOf(fields_[2]) : 0;
    nodes_left_ = count > 0 ? int64_t(std::min(count, 1e15)) : 0;
    return true;
  }
  if (nodes_left_ == 0 || trimmed.empty()) return false;
  if (keyword && BeginsWith(trimmed, "section")) {
    nodes_left_ = 0;
    return false;
  }
  --nodes_left_;
  SplitFields(trimmed, &fields_);
  if (fields_.size() < kNodeFields) return true;
  JoinScaling(fields_, {kNodePosition, kNodePivot}, factor_, &rewritten_);
  line.swap(rewritten_);
  return true;
}

Status RunModelPass(FileSystem& fs, const ModelPassFiles& files,
                    const std::vector<ModelRow>& models, double factor, ScaleRules rules,
                    int threads, ScaleProgress& progress, std::vector<std::string>* skipped) {
  std::vector<PlannedModel> planned;
  JK_RETURN_IF_ERROR(PlanModels(fs, files, models, skipped, &planned));
  if (threads <= 0) threads = int(std::max(1u, std::thread::hardware_concurrency()));
  threads = int(std::min(size_t(threads), planned.size()));
  if (threads > 1 && fs.AllowsConcurrentUse()) {
    JK_RETURN_IF_ERROR(WriteAtOnce(fs, files, models, planned, factor, rules, threads, progress));
  } else {
    JK_RETURN_IF_ERROR(WriteInTurn(fs, files, models, planned, factor, rules, progress));
  }
  progress.Models(int64_t(planned.size()), int64_t(planned.size()));
  return Status::Ok();
}

}  // namespace jk
