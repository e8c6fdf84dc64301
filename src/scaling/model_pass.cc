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
constexpr FieldRange kVertexPosition{1, 3};
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
  bool placeholder = false;  // its file was created when it was planned
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
      model.placeholder = true;
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

// Whether two model lists name the same entries in the same order.
bool SameRows(const std::vector<ModelRow>& a, const std::vector<ModelRow>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const ModelRow& x, const ModelRow& y) {
                      return x.from_level_archive == y.from_level_archive &&
                             x.entry.name == y.entry.name && x.entry.offset == y.entry.offset &&
                             x.entry.length == y.entry.length && x.entry.inside == y.entry.inside;
                    });
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

// Writes planned models on threads of their own, each with archive files
// of its own. The thread that waits for them reports the progress, and
// asks whether to stop: the windows that show it may be used from it only.
// Of the models that fail, the first in the list tells why.
class ModelWriters {
 public:
  // All must outlive the writers.
  ModelWriters(FileSystem& fs, const ModelPassFiles& files, const std::vector<ModelRow>& models,
               const std::vector<PlannedModel>& planned, double factor, ScaleRules rules)
      : fs_(fs),
        files_(files),
        models_(models),
        planned_(planned),
        factor_(factor),
        rules_(rules),
        results_(planned.size()),
        traces_(planned.size()) {}
  ~ModelWriters() { Stop(); }

  // Starts the writers for `threads` threads in all: the thread that
  // waits for them (Wait) is one of them, so one thread fewer starts now,
  // but at least one.
  void Start(int threads) {
    for (int t = 0; t < std::max(1, threads - 1); ++t) workers_.emplace_back([this] { Work(); });
  }

  // Writes models with the writers until none is left, with progress
  // between them from this thread, then waits for the writers' last ones;
  // then writes again the models that start inside a vertex list.
  Status Wait(ScaleProgress& progress) {
    const size_t count = planned_.size();
    bool cancelled = Work(&progress);
    while (!cancelled && done_ < count && !stop_) {
      progress.Models(int64_t(done_), int64_t(count));
      cancelled = progress.CancelRequested();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Stop();
    if (cancelled) return Cancelled();
    for (const Status& result : results_) JK_RETURN_IF_ERROR(result);
    return WriteAgainInsideVertexLists(fs_, files_, models_, planned_, traces_, factor_, rules_);
  }

  // Stops the writers after the models they are writing, and waits for
  // them. The models begun are the first `begun()` of the plan.
  void Stop() {
    stop_ = true;
    for (std::thread& worker : workers_) worker.join();
    workers_.clear();
  }
  size_t begun() const { return std::min(next_.load(), planned_.size()); }

 private:
  // Writes the next model not taken until none is left or the writers
  // stop. `progress`, on the thread that may use it, learns before each
  // model how many are done, and may ask the writers to stop: then true.
  bool Work(ScaleProgress* progress = nullptr) {
    std::unique_ptr<InputFile> level, resource;
    Status opened = fs_.OpenRead(files_.level_archive->path(), &level);
    if (opened.ok()) opened = fs_.OpenRead(files_.resource_archive->path(), &resource);
    ModelTextScaler scaler(factor_, rules_);
    for (size_t i;;) {
      if (progress) {
        progress->Models(int64_t(done_), int64_t(planned_.size()));
        if (progress->CancelRequested()) {
          stop_ = true;
          return true;
        }
      }
      if (stop_ || (i = next_++) >= planned_.size()) return false;
      const PlannedModel& model = planned_[i];
      const ModelRow& row = models_[model.row];
      if (opened.ok()) {
        scaler.StartModel(false);
        results_[i] =
            ScaleModel(fs_, row.from_level_archive ? *level : *resource, row, model.path, scaler);
        traces_[i] = {scaler.saw_heading(), scaler.start_mattered(), scaler.in_vertex_list()};
      } else {
        results_[i] = opened;
      }
      if (!results_[i].ok()) stop_ = true;
      ++done_;
    }
  }

  FileSystem& fs_;
  const ModelPassFiles& files_;
  const std::vector<ModelRow>& models_;
  const std::vector<PlannedModel>& planned_;
  const double factor_;
  const ScaleRules rules_;
  std::vector<Status> results_;
  std::vector<StateTrace> traces_;
  std::atomic<size_t> next_{0};
  std::atomic<size_t> done_{0};
  std::atomic<bool> stop_{false};
  std::vector<std::thread> workers_;
};

// How many threads write models: `threads`, or as many as the machine has
// processors when 0 or less; no more than there are models.
int WriterCount(int threads, size_t models) {
  if (threads <= 0) threads = int(std::max(1u, std::thread::hardware_concurrency()));
  return int(std::min(size_t(threads), models));
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
  if (vertex_list_ && (saw_heading_ || start_mattered_) &&
      JoinScalingRow(trimmed, kVertexFields, kVertexPosition, factor_, &rewritten_)) {
    line.swap(rewritten_);
    return;
  }
  SplitFields(trimmed, &fields_);
  if (fields_.size() < kVertexFields || fields_[0].empty()) return;
  // A vertex line before the model's first heading is rewritten or not by
  // the state the model started with.
  if (!saw_heading_) start_mattered_ = true;
  if (!vertex_list_) return;
  fields_.resize(kVertexFields);  // the fields after the fifth are dropped
  JoinScaling(fields_, {kVertexPosition}, factor_, &rewritten_);
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
  threads = WriterCount(threads, planned.size());
  if (threads > 1 && fs.AllowsConcurrentUse()) {
    ModelWriters writers(fs, files, models, planned, factor, rules);
    writers.Start(threads);
    JK_RETURN_IF_ERROR(writers.Wait(progress));
  } else {
    JK_RETURN_IF_ERROR(WriteInTurn(fs, files, models, planned, factor, rules, progress));
  }
  progress.Models(int64_t(planned.size()), int64_t(planned.size()));
  return Status::Ok();
}

bool EarlyModelPass::Possible(FileSystem& fs, int threads) {
  return fs.AllowsConcurrentUse() &&
         (threads <= 0 ? std::thread::hardware_concurrency() > 1 : threads > 1);
}

struct EarlyModelPass::State {
  State(FileSystem& fs, const ModelPassFiles& files, double factor, ScaleRules rules, int threads)
      : fs(fs), files(files), factor(factor), rules(rules), threads(threads) {}

  FileSystem& fs;
  const ModelPassFiles files;
  const double factor;
  const ScaleRules rules;
  const int threads;
  // What the starting thread made: whether it could list and plan the
  // models, and the writers it started.
  Status started;
  std::vector<ModelRow> models;
  std::vector<PlannedModel> planned;
  std::vector<std::string> skipped;
  std::unique_ptr<ModelWriters> writers;
};

EarlyModelPass::EarlyModelPass(FileSystem& fs, const ModelPassFiles& files, double factor,
                               ScaleRules rules, int threads, ListModels list)
    : state_(std::make_unique<State>(fs, files, factor, rules, threads)) {
  starter_ = std::thread([state = state_.get(), list = std::move(list)] {
    state->started = list(&state->models);
    if (state->started.ok()) {
      state->started =
          PlanModels(state->fs, state->files, state->models, &state->skipped, &state->planned);
    }
    if (!state->started.ok() || state->planned.empty()) return;
    state->writers = std::make_unique<ModelWriters>(state->fs, state->files, state->models,
                                                    state->planned, state->factor, state->rules);
    // The level pass's thread joins them once it is done.
    state->writers->Start(WriterCount(state->threads, state->planned.size()));
  });
}

EarlyModelPass::~EarlyModelPass() {
  if (!finished_) Abandon();
}

void EarlyModelPass::WaitUntilStarted() {
  if (starter_.joinable()) starter_.join();
}

Status EarlyModelPass::Finish(const std::vector<ModelRow>& models, ScaleProgress& progress,
                              std::vector<std::string>* skipped) {
  WaitUntilStarted();
  State& state = *state_;
  if (!state.started.ok() || !SameRows(models, state.models)) {
    // It began with another list than the level pass's (its own reading
    // of the level failed): the level pass's list is written anew.
    Abandon();
    return RunModelPass(state.fs, state.files, models, state.factor, state.rules, state.threads,
                        progress, skipped);
  }
  finished_ = true;
  skipped->insert(skipped->end(), state.skipped.begin(), state.skipped.end());
  if (state.writers) JK_RETURN_IF_ERROR(state.writers->Wait(progress));
  progress.Models(int64_t(state.planned.size()), int64_t(state.planned.size()));
  return Status::Ok();
}

void EarlyModelPass::Abandon() {
  WaitUntilStarted();
  finished_ = true;
  State& state = *state_;
  size_t begun = 0;
  if (state.writers) {
    state.writers->Stop();
    begun = state.writers->begun();
  }
  for (size_t i = 0; i < state.planned.size(); ++i) {
    if (i < begun || state.planned[i].placeholder) {
      static_cast<void>(state.fs.DeleteFile(state.planned[i].path));
    }
  }
}

}  // namespace jk
