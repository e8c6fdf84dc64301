// Sharing a scaled level as a mod: one GOB archive that holds the scaled
// level, its models, its cogs and its strings, and a one-level episode
// titled after the level and the factor ("Canyon x2"). Put into the game's
// Episode folder, it is played like any other episode. What "Save as mod"
// does in the desktop program and `jkrescale-cli scale --gob` on the
// command line; no game is started.
#ifndef JKRESCALE_LAUNCH_SAVE_MOD_H_
#define JKRESCALE_LAUNCH_SAVE_MOD_H_

#include <string>
#include <vector>

#include "launch/work_folder.h"
#include "platform/file_system.h"
#include "scaling/progress.h"
#include "scaling/scale_run.h"

namespace jk {

struct ModRequest {
  // The scale run. Its work folder is a folder of the mod's own, new or
  // empty (any other is refused), created when missing and removed
  // afterwards; when it is "", a new temporary
  // folder (CreateTemporaryFolder in platform/system.h, on the system's own
  // disk whatever the FileSystem). Its extra archive is left out: it is no
  // part of a mod.
  ScaleRequest scale;
  // The archive to write, created or replaced.
  std::string archive_path;
};

// The file name a mod is offered under: the level's file name without its
// folder and extension, "-x" and the factor as typed, trimmed, with the
// level archive's extension (".goo" for the expansion, ".gob" otherwise):
// "canyon-x2.gob" for "jkl\canyon.jkl" of "ep.gob" at 2.
std::string ModArchiveName(const std::string& level_archive_path, const std::string& level_name,
                           const std::string& factor_text);

// The archive's entries for what a scale run wrote into `folder`, in this
// order: "episode.jk" with ModEpisodeLines (scaling/episode.h), then the
// files below the folders "jkl", "3do", "cog" and "misc", each folder's in
// name order, named as in the game's archives ("jkl\name.jkl",
// "3do\sub\name.3do", "misc\cogstrings.uni"). Links are not followed.
// Writes the archive at `archive_path`; fails, naming the file, when a
// folder cannot be listed or the archive cannot be written (see
// GobArchiveWriter).
Status PackMod(FileSystem& fs, const std::string& folder, const std::string& level_name,
               const std::string& factor_text, const std::string& archive_path);

// Refuses an archive path that names the level or the resource archive
// (the same file by another name too), naming it; else Ok.
Status CheckModArchivePath(FileSystem& fs, const ModRequest& request);

// Refuses an archive path as CheckModArchivePath does; then runs the scale
// run in the request's work folder with reference lists of its own, packs
// what it wrote into the archive (unless it failed or `progress` asks to
// cancel, and then no archive is written), and removes the work folder
// with what the run wrote there, whatever happened. A failure and that of
// the removal are joined in one message. `report` receives the scale run's
// report.
Status SaveMod(FileSystem& fs, const ModRequest& request, ScaleProgress& progress,
               ScaleReport* report, const CleanupPacing& pacing = {});

}  // namespace jk

#endif  // JKRESCALE_LAUNCH_SAVE_MOD_H_
