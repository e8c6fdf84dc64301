// What the program knows about an episode archive: its levels, models and
// cogs and where their data lies, collected in one directory walk; and the
// models of the game's resource archive, collected at the start of every
// scale run.
#ifndef JKRESCALE_ARCHIVES_ARCHIVE_TABLES_H_
#define JKRESCALE_ARCHIVES_ARCHIVE_TABLES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "archives/gob_archive.h"
#include "platform/file_system.h"

namespace jk {

// The folder prefixes of entry names, and the one entry with a fixed name.
// Names compare exactly, letter case included.
inline constexpr std::string_view kLevelPrefix = "jkl\\";
inline constexpr std::string_view kModelPrefix = "3do\\";
inline constexpr std::string_view kCogPrefix = "cog\\";
inline constexpr std::string_view kCogStringsName = "misc\\cogstrings.uni";

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

// The tables of one episode archive.
struct LevelArchiveTables {
  std::string path;
  // The names of the "jkl\" entries in directory order, as the level list
  // shows them; a name that two entries bear is listed twice.
  std::vector<std::string> level_names;
  // The archive's "3do\" entries outside "3do\mat\" and "3do\key\".
  std::vector<ModelRow> models;
  // The archive's "cog\" entries.
  std::vector<EntryRow> cogs;
  // The entry "misc\cogstrings.uni"; offset and length -1 when absent.
  EntryRow cogstrings{"", -1, -1, false};
  // The row of each level name: of several entries of one name, the last
  // in the directory.
  std::unordered_map<std::string, EntryRow> levels;

  // The row of level `name`; null when the archive holds no such level.
  const EntryRow* FindLevel(std::string_view name) const;
};

// Whether an entry name belongs to the model table.
bool IsModelEntryName(std::string_view name);

// Opens the archive at `path`, reads its directory into `tables` and closes
// it again. Fails, naming the file, when it cannot be opened as an archive.
Status OpenLevelArchive(FileSystem& fs, const std::string& path, LevelArchiveTables* tables);

// Appends the model entries of an opened archive to `models`, with the
// given origin, in directory order; and, when `cogs` is not null, its
// "cog\" entries to `cogs`, in the same walk of its directory.
Status CollectModels(GobArchive& archive, bool from_level_archive, std::vector<ModelRow>* models,
                     std::vector<EntryRow>* cogs = nullptr);

}  // namespace jk

#endif  // JKRESCALE_ARCHIVES_ARCHIVE_TABLES_H_
