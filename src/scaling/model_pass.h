// The model pass: a copy of every model of the model list, out of its
// archive into the work folder's "3do" folder, with the coordinates of its
// vertex lists and its radius values scaled.
#ifndef JKRESCALE_SCALING_MODEL_PASS_H_
#define JKRESCALE_SCALING_MODEL_PASS_H_

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "archives/archive_tables.h"
#include "archives/gob_archive.h"
#include "platform/file_system.h"
#include "scaling/progress.h"
#include "scaling/rules.h"
#include "scaling/text.h"

namespace jk {

// Scales 3DO model text line by line. The vertex-list state belongs to the
// whole pass, not to one model: a model that ends inside a vertex list
// leaves the next model's lines before its own first heading in the list.
class ModelTextScaler {
 public:
  explicit ModelTextScaler(double factor, ScaleRules rules = ScaleRules::kGameTrue)
      : factor_(factor), rules_(rules) {}

  // Called before the first line of each model, with the vertex-list state
  // that the models before it left (or a guess at it: see start_mattered).
  void StartModel(bool in_vertex_list);

  // Rewrites one line of a model of the level archive (`from_level_archive`)
  // or of the resource archive. In this order, the first that holds: a line
  // that begins with "vertices" (any case) turns the vertex list on; one
  // that begins with "texture" turns it off; a trimmed line that begins
  // with "radius" becomes "RADIUS " and the scaled number that follows the
  // six letters. The first two tests look at the line as read for the level
  // archive's models and at the trimmed line for the resource archive's.
  // Then, inside a vertex list, a trimmed line that splits (SplitFields)
  // into at least five fields with a non-empty field 1 becomes field
  // 1, fields 2 to 4 scaled and field 5, joined by single blanks.
  //
  // Under game-true rules, besides: "INSERT OFFSET x y z", where the model
  // stands relative to its position, has x y z scaled; and "HIERARCHY NODES
  // N" is followed by N node lines whose x y z (fields 9 to 11) and pivot
  // (fields 15 to 17) are scaled, which place each part of a model made of
  // several.
  //
  // `line` is the data of a line as the game reads it (GameTextRewriter
  // hands it over without its comment; comment lines never come).
  void ScaleLine(std::string& line, bool from_level_archive);

  // Where the vertex list stands after the lines so far.
  bool in_vertex_list() const { return vertex_list_; }
  // Whether the model so far has had a heading: then the state it leaves
  // does not depend on the state it started with.
  bool saw_heading() const { return saw_heading_; }
  // Whether a line before the model's first heading was written as it
  // was only because of the state the model started with: with the vertex
  // list in the other state, it would have been written otherwise.
  bool start_mattered() const { return start_mattered_; }

 private:
  // The game-true rules' own lines; true when `line` was one of them.
  // `keyword`: whether the trimmed line begins with a letter, as every
  // keyword does.
  bool ScaleGameTrueLine(std::string& line, std::string_view trimmed, bool keyword);

  ScaleFactor factor_;
  ScaleRules rules_;
  bool vertex_list_ = false;
  bool saw_heading_ = false;
  bool start_mattered_ = false;
  int64_t nodes_left_ = 0;
  Fields fields_;
  std::string rewritten_;
};

// What the model pass reads from and writes to.
struct ModelPassFiles {
  std::string work_folder;
  GobArchive* level_archive = nullptr;
  GobArchive* resource_archive = nullptr;
};

// For each row of `models`, after telling `progress` how many are done (and
// stopping, cancelled, when it asks to): a
// row whose name is unsafe or whose data lies outside its archive is added
// to `skipped` and left; a row whose model file (work folder + "3do" + the
// name without "3do\") this pass has written already, under a spelling that
// names the same file, is left silently; any other is read from its archive
// and written, scaled, to its model file. Fails on the first failed file
// operation.
//
// The models are scaled on `threads` threads at once (0: as many as the
// machine has processors) when the file system allows it; what they write
// is what one thread writes. Each model is scaled as if it started outside
// a vertex list, as nearly every model does; the few that start inside one
// (the model before them left it open) and whose lines before their first
// heading depend on it are written again afterwards.
Status RunModelPass(FileSystem& fs, const ModelPassFiles& files,
                    const std::vector<ModelRow>& models, double factor, ScaleRules rules,
                    int threads, ScaleProgress& progress, std::vector<std::string>* skipped);

// The model pass begun while the level pass still runs, so that the two
// share the machine's processors: the models a level uses are known only
// from its things, which come at the end of its text. On a thread of its
// own it lists the models with `list` (a reading of the level text of its
// own, which must give the list the level pass will give), then writes them
// on `threads` threads as RunModelPass does, without progress. Finish then
// waits for it with progress, or Abandon takes it back.
class EarlyModelPass {
 public:
  // Receives the model list, in the order the level pass would make it.
  using ListModels = std::function<Status(std::vector<ModelRow>* models)>;

  // Whether a pass on `threads` threads (0: one per processor) can begin
  // early on `fs`: it writes on threads of its own.
  static bool Possible(FileSystem& fs, int threads);

  // `files` must outlive the pass.
  EarlyModelPass(FileSystem& fs, const ModelPassFiles& files, double factor, ScaleRules rules,
                 int threads, ListModels list);
  // Abandons the pass when it was not finished.
  ~EarlyModelPass();

  // Ends the pass as RunModelPass(`models`) would: when `models` (the level
  // pass's list) is the list it began with, by waiting for its writers, with
  // progress and cancelling as RunModelPass has them; otherwise (its own
  // reading failed) by abandoning it and running RunModelPass.
  Status Finish(const std::vector<ModelRow>& models, ScaleProgress& progress,
                std::vector<std::string>* skipped);

  // Stops the pass after the models it is writing and deletes every model
  // file it began (or created to decide between spellings), as if it had
  // never started: for a level pass that failed.
  void Abandon();

 private:
  struct State;
  void WaitUntilStarted();

  std::unique_ptr<State> state_;
  std::thread starter_;
  bool finished_ = false;
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_MODEL_PASS_H_
