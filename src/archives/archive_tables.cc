#include "archives/archive_tables.h"

#include <memory>
#include <unordered_map>

namespace jk {

static EntryRow RowOf(const GobEntry& e) {
  return EntryRow{e.name, e.offset, e.length, e.inside};
}

bool IsModelEntryName(std::string_view name) {
  return name.starts_with(kModelPrefix) && !name.starts_with("3do\\mat\\") &&
         !name.starts_with("3do\\key\\");
}

Status CollectModels(GobArchive& archive, bool from_level_archive,
                     std::vector<ModelRow>* models) {
  return archive.Walk([&](const GobEntry& e) {
    if (IsModelEntryName(e.name)) models->push_back({RowOf(e), from_level_archive});
    return true;
  });
}

Status OpenLevelArchive(FileSystem& fs, const std::string& path,
                        ListControl* levels, LevelArchiveTables* tables) {
  *tables = LevelArchiveTables{};
  tables->path = path;
  levels->Clear();
  std::unique_ptr<GobArchive> archive;
  JK_RETURN_IF_ERROR(GobArchive::Open(fs, path, &archive));

  JK_RETURN_IF_ERROR(archive->Walk([&](const GobEntry& e) {
    if (e.name.starts_with(kLevelPrefix)) {
      levels->AddItem(e.name);
    } else if (e.name.starts_with(kModelPrefix)) {
      if (IsModelEntryName(e.name)) tables->models.push_back({RowOf(e), true});
    } else if (e.name.starts_with(kCogPrefix)) {
      tables->cogs.push_back(RowOf(e));
    } else if (e.name == kCogStringsName) {
      tables->cogstrings = RowOf(e);
    }
    return true;
  }));

  // Second walk: each item gets the values of the last entry of its name.
  std::unordered_map<std::string, std::vector<int>> items_by_name;
  const int count = levels->ItemCount();
  tables->levels.assign(size_t(count), EntryRow{});
  for (int k = 0; k < count; ++k) items_by_name[levels->ItemText(k)].push_back(k);
  return archive->Walk([&](const GobEntry& e) {
    auto it = items_by_name.find(e.name);
    if (it != items_by_name.end()) {
      for (int k : it->second) tables->levels[size_t(k)] = RowOf(e);
    }
    return true;
  });
}

}  // namespace jk
