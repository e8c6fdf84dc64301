// A scale run: the one sequence of phases that turns the selected level of
// an opened archive into a scaled level, its models, its cogs and a test
// episode in the work folder. The desktop program's scale command and the
// command line both call RunScale; starting the game and cleaning up
// afterwards are the desktop program's own last step.
#ifndef JKRESCALE_SCALING_SCALE_RUN_H_
#define JKRESCALE_SCALING_SCALE_RUN_H_

#include <string>
#include <vector>

#include "archives/archive_tables.h"
#include "platform/file_system.h"
#include "scaling/progress.h"

namespace jk {

struct ScaleRequest {
  // Where everything is written; created when missing.
  std::string work_folder;
  // The opened level archive (its path and tables).
  const LevelArchiveTables* archive = nullptr;
  // The selected level: its index in the level table and its item text.
  int level_index = -1;
  std::string level_item;
  std::string resource_archive_path;
  // The extra archive to copy into the work folder; empty for none.
  std::string extra_archive_path;
  // The scale factor as the user typed it.
  std::string scale_text;
  // Divide the world gravity by the scale factor.
  bool divide_gravity = false;
};

// The model list and the cog list. They last as long as the opened archive:
// a second run on the same archive adds to them, and the clean-up after the
// level pass merges the rows.
struct ReferenceLists {
  std::vector<ModelRow> models;
  std::vector<EntryRow> cogs;
};

struct ScaleReport {
  // The scaled level file.
  std::string level_output;
  // The copy of the extra archive; empty when the run made none.
  std::string extra_copy;
  // Entries that were not written because their data lies outside their
  // archive or their name is unsafe, each described in one phrase.
  std::vector<std::string> skipped;
};

// Refuses, before anything is written, a factor that is not a finite number
// greater than 0, a level that is not in the table, whose name is unsafe, or
// whose data lies outside its archive. Then runs the phases in order:
// prepare extraction, level pass, reference list clean-up, model pass, cog
// copies, test episode. The first failed file operation ends the run with
// its message; what was written so far stays (and `report` says what the
// run copied, for the clean-up). Both archives are closed on return.
Status RunScale(FileSystem& fs, ProgressWindow& progress, const ScaleRequest& request,
                ReferenceLists* lists, ScaleReport* report);

}  // namespace jk

#endif  // JKRESCALE_SCALING_SCALE_RUN_H_
