// The cog copies: the level's own cog scripts and its archive's cog strings
// file, copied unchanged into the work folder's "cog" and "misc" folders.
#ifndef JKRESCALE_SCALING_COG_COPIES_H_
#define JKRESCALE_SCALING_COG_COPIES_H_

#include <string>
#include <vector>

#include "archives/archive_tables.h"
#include "archives/gob_archive.h"
#include "platform/file_system.h"

namespace jk {

// Copies, as text (every line followed by CR LF), each row of `cogs` from
// the level archive to work folder + "cog" + the name without "cog\",
// replacing any file there; then, when `cogstrings` has an offset greater
// than 0, that entry to work folder + "misc\cogstrings.uni". An entry
// whose name is unsafe or whose data lies outside the archive is added to
// `skipped` instead. Fails on the first failed file operation.
Status CopyCogs(FileSystem& fs, const std::string& work_folder, GobArchive& level_archive,
                const std::vector<EntryRow>& cogs, const EntryRow& cogstrings,
                std::vector<std::string>* skipped);

}  // namespace jk

#endif  // JKRESCALE_SCALING_COG_COPIES_H_
