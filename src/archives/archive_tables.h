// What the program knows about the archive the user has opened: its levels,
// models and cogs and where their data lies, collected in one directory walk
// when the archive is opened, and the models of the game's resource archive,
// collected at the start of every scale run.
#ifndef JKRESCALE_ARCHIVES_ARCHIVE_TABLES_H_
#define JKRESCALE_ARCHIVES_ARCHIVE_TABLES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archives/gob_archive.h"
#include "platform/file_system.h"
#include "platform/list_control.h"

namespace jk {

// One entry of an archive: its full name (folder prefix included), where its
// data lies, and whether that lies inside the archive file.
struct EntryRow {
  std::string name;
  int64_t offset = 0;
  int64_t length = 0;
  bool inside = true;
};

// A model entry and the archive it comes from.
struct ModelRow {
  EntryRow entry;
  // True for the level archive, false for the resource archive.
  bool from_level_archive = true;
};

// The tables of one opened level archive.
struct LevelArchiveTables {
  std::string path;
  // Row k describes lb1's level-view item k.
  std::vector<EntryRow> levels;
  // The archive's "3do\" entries outside "3do\mat\" and "3do\key\".
  std::vector<ModelRow> models;
  // The archive's "cog\" entries.
  std::vector<EntryRow> cogs;
  // The entry "misc\cogstrings.uni"; offset and length -1 when absent.
  EntryRow cogstrings{"", -1, -1, false};
};

inline constexpr std::string_view kLevelPrefix = "jkl\\";
inline constexpr std::string_view kModelPrefix = "3do\\";
inline constexpr std::string_view kCogPrefix = "cog\\";
inline constexpr std::string_view kCogStringsName = "misc\\cogstrings.uni";

// Whether an entry name (compared exactly) belongs to the model table.
bool IsModelEntryName(std::string_view name);

// Opens the archive at `path` and lists it: every "jkl\" entry goes into
// `levels` (lb1's level view) in directory order, and `tables` receives the
// level table for those items, the models, the cogs and the cog strings
// entry. A second walk fills the level table by name, so items of the same
// name all get the values of the last entry that bears it. The archive is
// closed again on return.
Status OpenLevelArchive(FileSystem& fs, const std::string& path,
                        ListControl* levels, LevelArchiveTables* tables);

// Appends the model entries of an opened archive to `models`, with the
// given origin, in directory order.
Status CollectModels(GobArchive& archive, bool from_level_archive,
                     std::vector<ModelRow>* models);

}  // namespace jk

#endif  // JKRESCALE_ARCHIVES_ARCHIVE_TABLES_H_
