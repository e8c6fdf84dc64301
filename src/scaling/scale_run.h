// A scale run: the one sequence of phases that turns a level of an episode
// archive into a scaled level, its models, its cogs and a test episode in a
// work folder. `jkrescale-cli scale` runs it alone; the play session
// (launch/play_session.h) runs it before starting the game.
#ifndef JKRESCALE_SCALING_SCALE_RUN_H_
#define JKRESCALE_SCALING_SCALE_RUN_H_

#include <string>
#include <vector>

#include "archives/archive_tables.h"
#include "platform/file_system.h"
#include "scaling/progress.h"
#include "scaling/rules.h"

namespace jk {

struct ScaleRequest {
  // Where everything is written; created when missing.
  std::string work_folder;
  // The episode archive and the level's entry name in it ("jkl\name.jkl").
  std::string level_archive_path;
  std::string level_name;
  // The game's resource archive, whose models the level may use.
  std::string resource_archive_path;
  // The extra archive to copy into the work folder; empty for none.
  std::string extra_archive_path;
  // The scale factor as the user typed it.
  std::string factor_text;
  // Divide the world gravity by the scale factor.
  bool divide_gravity = false;
  // Which lengths are rewritten.
  ScaleRules rules = ScaleRules::kGameTrue;
  // How many models are scaled at once: 0 for as many as the machine has
  // processors. The output does not depend on it.
  int threads = 0;
};

// The model list and the cog list. They last as long as the archive is open
// in the desktop program: a second run on the same archive adds to them,
// and the clean-up after the level pass merges the rows.
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
  // What the level uses that no archive holds, each name once in the order
  // met: the model3d= file names of the scenery templates its things use,
  // and the scripts of its cogs section that neither the level archive nor
  // the resource archive holds. The game shows such a model unscaled.
  std::vector<std::string> missing_models;
  std::vector<std::string> missing_cogs;
  // What the scaled level passes of the game's limits (the sky height, the
  // coordinates), each in one sentence (LimitWatch). The game still runs
  // it, not as it should.
  std::vector<std::string> limit_warnings;
};

// The warnings of a run in one line: "Ceiling Sky Z would be 1500, above
// the 1000 the game draws; a coordinate would be ..."; "" when there are
// none.
std::string LimitWarningLine(const std::vector<std::string>& warnings);

// What a run left out because no archive holds it, as one phrase: "not
// found in any archive, so not scaled: models a.3do, b.3do; cogs c.cog"
// (either part alone when the other has no names); "" when both are empty.
std::string LeftOutPhrase(const std::vector<std::string>& missing_models,
                          const std::vector<std::string>& missing_cogs);

// Reads the level archive's directory, then refuses, before anything is
// written, a factor that is not a finite number greater than 0 and a level
// that the archive does not hold, whose name is unsafe, or whose data lies
// outside the archive. Then runs the phases in order: copy the extra
// archive and create the work subfolders, open the resource archive and
// collect its models and cogs, the level pass, the clean-up of the reference lists,
// the model pass, the cog copies and the test episode. The first failed file
// operation ends the run with its message; what was written so far stays
// (and `report` says what the run copied, for the clean-up). A level line
// that would pass the game's limits ends the run too, and the level file
// begun is deleted.
Status RunScale(FileSystem& fs, const ScaleRequest& request, ScaleProgress& progress,
                ReferenceLists* lists, ScaleReport* report);

}  // namespace jk

#endif  // JKRESCALE_SCALING_SCALE_RUN_H_
