#include "shell/archive_scan.h"

#include <algorithm>
#include <memory>

#include "archives/gob_archive.h"
#include "platform/path.h"
#include "scaling/layout.h"

namespace jk {

namespace {

enum class ArchiveKind { kEpisode, kExtra, kDamaged };

// What the archive at `path` is, read from its header and its directory;
// for a damaged one, why in `damage`.
ArchiveKind KindOfArchive(FileSystem& fs, const std::string& path, std::string* damage) {
  std::unique_ptr<GobArchive> archive;
  Status status = GobArchive::Open(fs, path, &archive);
  // An episode archive's directory follows its header.
  if (status.ok() && archive->directory_position() != kGobHeaderSize) {
    status = Status::Damaged(path,
                             "not an archive of the game: its directory does not follow "
                             "its header");
  }
  if (status.ok()) status = archive->CheckDirectoryInside();
  bool episode = false;
  if (status.ok()) {
    status = archive->Walk([&](const GobEntry& entry) {
      episode = entry.name.compare(0, kEpisodeFileName.size(), kEpisodeFileName) == 0;
      return !episode;
    });
  }
  if (!status.ok()) {
    // The message without the path it begins with: the list shows the name.
    std::string prefix = "'" + path + "': ";
    *damage = status.message().starts_with(prefix) ? status.message().substr(prefix.size())
                                                   : status.message();
    return ArchiveKind::kDamaged;
  }
  return episode ? ArchiveKind::kEpisode : ArchiveKind::kExtra;
}

}  // namespace

bool ScanOrderLess(const std::string& a, const std::string& b) {
  std::string lower_a = ToLowerAscii(a), lower_b = ToLowerAscii(b);
  return lower_a != lower_b ? lower_a < lower_b : a < b;
}

void ScanArchives(FileSystem& fs, const std::string& folder, ScannedArchives* found) {
  std::vector<FolderEntry> entries;
  if (!fs.ListFolder(folder, &entries).ok()) return;
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
    return ScanOrderLess(a.name, b.name);
  });
  for (const FolderEntry& entry : entries) {
    std::string path = JoinPath(folder, entry.name);
    if (entry.is_folder) {
      if (!entry.is_link && !EqualsIgnoringCase(entry.name, kResourceFolderName)) {
        ScanArchives(fs, path, found);
      }
      continue;
    }
    if (!EndsWithIgnoringCase(entry.name, ".gob") && !EndsWithIgnoringCase(entry.name, ".goo")) {
      continue;
    }
    std::string damage;
    switch (KindOfArchive(fs, path, &damage)) {
      case ArchiveKind::kEpisode:
        found->episodes.push_back(path);
        break;
      case ArchiveKind::kExtra:
        found->extras.push_back(path);
        break;
      case ArchiveKind::kDamaged:
        found->episodes.push_back(path);
        found->damaged[path] = damage;
        break;
    }
  }
}

}  // namespace jk
