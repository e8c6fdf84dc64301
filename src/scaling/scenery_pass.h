// The scenery pass: after the level pass, the cog scripts whose calls set
// speeds and sound ranges, and the keyframes, sound classes and sprites
// that only the scenery uses, written scaled into the work folder, where
// the game finds them before the archives' own.
//
// Actors (the player, enemies, items), their shots and explosions keep
// their size, so a keyframe, sound class or sprite that one of them uses
// too is left as it is, and named.
#ifndef JKRESCALE_SCALING_SCENERY_PASS_H_
#define JKRESCALE_SCALING_SCENERY_PASS_H_

#include <string>
#include <vector>

#include "archives/archive_tables.h"
#include "archives/gob_archive.h"
#include "platform/file_system.h"
#include "scaling/scenery_text.h"
#include "scaling/scenery_uses.h"

namespace jk {

// The files that the scenery shares with actors, by file name, each once
// in the order met.
struct SharedFiles {
  std::vector<std::string> keyframes;
  std::vector<std::string> sound_classes;
  std::vector<std::string> sprites;

  bool empty() const { return keyframes.empty() && sound_classes.empty() && sprites.empty(); }
};

// What the scenery pass reads from. The cog tables are the level
// archive's and the resource archive's "cog\" entries.
struct SceneryPassFiles {
  GobArchive* level_archive = nullptr;
  GobArchive* resource_archive = nullptr;
  const std::vector<EntryRow>* level_cogs = nullptr;
  const std::vector<EntryRow>* resource_cogs = nullptr;
};

// An archive entry and the archive that holds it.
struct SceneryEntry {
  EntryRow row;
  GobArchive* archive = nullptr;
};

// What the scenery pass writes, found once after the level pass, then
// tried and written.
struct SceneryPlan {
  struct ScaledFile {
    SceneryEntry entry;
    SceneryFileKind kind;
  };
  // The scripts to write rewritten (RewriteCogScript) to "cog".
  std::vector<SceneryEntry> scripts;
  // The keyframes, sound classes and sprites to write scaled, in this
  // order, each kind in the order met.
  std::vector<ScaledFile> scaled;
  SharedFiles shared;
  std::vector<std::string> skipped;
};

// Plans the pass:
// - each script the cogs section names, from the level archive or else
//   the resource archive (names compare exactly), is read; one with a call
//   whose arguments RewriteCogScript changes is to be written (a script
//   longer than 4 MiB is named in `skipped` instead);
// - a keyframe is played by the scenery when a scenery template's puppet
//   names it, or when a cog's PlayKey plays it (a keyframe symbol) on a
//   thing symbol whose value is a scenery thing; by others when another
//   template's puppet names it or a PlayKey plays it on anything else;
// - a sound class or sprite is the scenery's when a scenery template uses
//   it, and others' when another template does;
// - each file that only the scenery uses is found in the level archive or
//   else the resource archive (names compare in lower case), to be scaled;
//   one that others use too is named in `shared`. A file no archive holds
//   is left out.
// An entry whose name is unsafe or whose data lies outside its archive is
// named in `skipped`. Fails on the first failed read.
Status PlanSceneryPass(const SceneryPassFiles& files, const SceneryUses& uses, SceneryPlan* plan);

// Scales the plan's keyframes, sound classes and sprites without writing
// them: fails where RunSceneryPass would, on a line over the game's limits
// among others, so that a run can stop before it has written anything.
// Each file is read once here and once again to be written: they are
// small, and none is held.
Status CheckSceneryPass(const SceneryPlan& plan, double factor);

// Writes the plan: its scripts rewritten to the work folder's "cog"
// folder, replacing the cog copies', then its keyframes, sound classes
// and sprites scaled (SceneryTextScaler) to "3do\key", "misc\snd" and
// "misc\spr". Fails on the first failed file operation.
Status RunSceneryPass(FileSystem& fs, const std::string& work_folder, const SceneryPlan& plan,
                      double factor);

}  // namespace jk

#endif  // JKRESCALE_SCALING_SCENERY_PASS_H_
