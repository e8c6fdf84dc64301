// Fuzzes the archive reader on arbitrary bytes: open, header, directory walk,
// entry names, entry text, and the listing of a level archive.
#include <cstddef>
#include <cstdint>
#include <string>

#include "archives/archive_tables.h"
#include "archives/gob_archive.h"
#include "memory_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  jk::MemoryFileSystem fs;
  fs.SetFile("a.gob", std::string(reinterpret_cast<const char*>(data), size));

  std::unique_ptr<jk::GobArchive> archive;
  if (jk::GobArchive::Open(fs, "a.gob", &archive).ok()) {
    std::vector<jk::GobEntry> entries;
    (void)archive->Walk([&](const jk::GobEntry& e) {
      if (e.name.size() > 128) __builtin_trap();
      entries.push_back(e);
      return true;
    });
    for (const jk::GobEntry& e : entries) {
      if (!e.inside) continue;
      int64_t bytes = 0;
      (void)jk::ReadEntryText(archive->file(), e.offset, e.length, [&](std::string& line) {
        bytes += int64_t(line.size());
        if (bytes > e.length) __builtin_trap();  // never more than the entry holds
        return jk::Status::Ok();
      });
    }
  }

  jk::LevelArchiveTables tables;
  (void)jk::OpenLevelArchive(fs, "a.gob", &tables);
  // Every listed level has its row, and no row lacks a listed name.
  for (const std::string& name : tables.level_names) {
    if (!tables.FindLevel(name)) __builtin_trap();
  }
  if (tables.levels.size() > tables.level_names.size()) __builtin_trap();
  return 0;
}
