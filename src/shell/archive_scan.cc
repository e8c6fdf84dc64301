#include "shell/archive_scan.h"

#include <algorithm>
#include <memory>

#include "archives/gob_archive.h"
#include "platform/path.h"
#include "scaling/layout.h"

namespace jk {

namespace {

enum class ArchiveKind { kNone, kEpisode, kExtra };

// What the archive at `path` is, read from its header and its directory.
ArchiveKind KindOfArchive(FileSystem& fs, const std::string& path) {
  std::unique_ptr<GobArchive> archive;
  if (!GobArchive::Open(fs, path, &archive).ok()) return ArchiveKind::kNone;
  // An episode archive's directory follows its header.
  if (archive->directory_position() != kGobHeaderSize) return ArchiveKind::kNone;
  bool episode = false;
  Status walked = archive->Walk([&](const GobEntry& entry) {
    episode = entry.name.compare(0, kEpisodeFileName.size(), kEpisodeFileName) == 0;
    return !episode;
  });
  if (!walked.ok()) return ArchiveKind::kNone;
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
    switch (KindOfArchive(fs, path)) {
      case ArchiveKind::kEpisode:
        found->episodes.push_back(path);
        break;
      case ArchiveKind::kExtra:
        found->extras.push_back(path);
        break;
      case ArchiveKind::kNone:
        break;
    }
  }
}

}  // namespace jk
