// Getting entries out of the archives and into the work folder: where each
// kind of entry lands, which names are safe to write, the preparation of a
// scale run, and the plain copy of an entry as text.
#ifndef JKRESCALE_ARCHIVES_EXTRACTION_H_
#define JKRESCALE_ARCHIVES_EXTRACTION_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archives/archive_tables.h"
#include "archives/gob_archive.h"
#include "platform/file_system.h"

namespace jk {

// The work subfolders, in the order they are created and cleaned up.
inline constexpr std::string_view kWorkSubfolders[] = {"jkl", "3do", "cog", "misc"};

// Whether the part of an entry name after its four-character folder prefix
// is a plain relative path that stays inside its folder: not empty, not
// absolute, no ":" anywhere, and no empty, "." or ".." segment ("\" and "/"
// both separate segments). Entries from downloaded archives may hold
// anything; a name that fails this test is never written.
bool IsSafeEntryPath(std::string_view relative);

// The output path of an entry: work folder + kind folder ("jkl", "3do",
// "cog") + the entry name without its first four characters, as a native
// path. Fails, naming the entry, when that part is not safe. Creates the
// folders between the kind folder and the file.
Status EntryOutputPath(FileSystem& fs, const std::string& work_folder,
                       std::string_view kind_folder, const std::string& entry_name,
                       std::string* path);

// Copies an entry as text: creates (or replaces) `output_path` and writes
// each line of the entry text followed by CR LF.
Status ExtractEntryAsText(FileSystem& fs, InputFile& archive, const EntryRow& entry,
                          const std::string& output_path);

// The game's base resource archive for a level archive: for a ".goo" archive
// (the expansion) the expansion folder's "Resource\jkmres.goo", otherwise the
// game folder's "Resource\res2.gob". The fixed names are found whatever their
// letter case.
std::string ResourceArchivePath(FileSystem& fs, const std::string& level_archive_path,
                                const std::string& game_folder,
                                const std::string& expansion_folder);

// What a scale run needs from the archives, open for its whole length.
struct OpenArchives {
  std::unique_ptr<GobArchive> level;
  std::unique_ptr<GobArchive> resource;
  // The resource archive's model rows, rebuilt at every run; they follow
  // the level archive's own rows in every lookup.
  std::vector<ModelRow> resource_models;
  // The copy of the extra archive in the work folder; empty when none.
  std::string extra_copy;
};

// The first phase of a scale run, in a work folder that exists: copies the extra archive (when
// `extra_archive_path` is not empty) into the work folder under its own file
// name, creates the work subfolders, opens the resource archive and collects
// its models, and opens the level archive again.
Status PrepareExtraction(FileSystem& fs, const std::string& work_folder,
                         const std::string& extra_archive_path,
                         const std::string& resource_archive_path,
                         const std::string& level_archive_path, OpenArchives* open);

}  // namespace jk

#endif  // JKRESCALE_ARCHIVES_EXTRACTION_H_
