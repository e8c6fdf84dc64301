#include "archives/archive_tables.h"

#include <memory>

namespace jk {

namespace {

EntryRow RowOf(const GobEntry& e) { return EntryRow{e.name, e.offset, e.length, e.inside}; }

}  // namespace

const EntryRow* LevelArchiveTables::FindLevel(std::string_view name) const {
  auto it = levels.find(std::string(name));
  return it == levels.end() ? nullptr : &it->second;
}

bool IsModelEntryName(std::string_view name) {
  return name.starts_with(kModelPrefix) && !name.starts_with("3do\\mat\\") &&
         !name.starts_with("3do\\key\\");
}

Status CollectModels(GobArchive& archive, bool from_level_archive, std::vector<ModelRow>* models,
                     std::vector<EntryRow>* cogs) {
  return archive.Walk([&](const GobEntry& e) {
    if (IsModelEntryName(e.name)) {
      models->push_back({RowOf(e), from_level_archive});
    } else if (cogs && e.name.starts_with(kCogPrefix)) {
      cogs->push_back(RowOf(e));
    }
    return true;
  });
}

Status OpenLevelArchive(FileSystem& fs, const std::string& path, LevelArchiveTables* tables) {
  *tables = LevelArchiveTables{};
  tables->path = path;
  std::unique_ptr<GobArchive> archive;
  JK_RETURN_IF_ERROR(GobArchive::Open(fs, path, &archive));
  return archive->Walk([&](const GobEntry& e) {
    if (e.name.starts_with(kLevelPrefix)) {
      tables->level_names.push_back(e.name);
      // A later entry of the same name replaces the row: the last one wins.
      tables->levels[e.name] = RowOf(e);
    } else if (e.name.starts_with(kModelPrefix)) {
      if (IsModelEntryName(e.name)) tables->models.push_back({RowOf(e), true});
    } else if (e.name.starts_with(kCogPrefix)) {
      tables->cogs.push_back(RowOf(e));
    } else if (e.name == kCogStringsName) {
      tables->cogstrings = RowOf(e);
    }
    return true;
  });
}

}  // namespace jk
