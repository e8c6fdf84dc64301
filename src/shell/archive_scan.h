// The archive scan behind the level list: walks a game folder and sorts the
// archives it finds into episode archives (those with an "episode.jk"
// entry) and extra archives (all others).
#ifndef JKRESCALE_SHELL_ARCHIVE_SCAN_H_
#define JKRESCALE_SHELL_ARCHIVE_SCAN_H_

#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace jk {

struct ScannedArchives {
  // The episode archives, and the archives that cannot be read, in the
  // order of the scan.
  std::vector<std::string> episodes;
  std::vector<std::string> extras;
  // Of `episodes`, those that cannot be read: why, in one phrase ("damaged
  // archive: ...", without the path).
  std::map<std::string, std::string> damaged;
};

// Appends the full paths of the archives below `folder` to `found`. Each
// folder's names are taken in name order with letter case ignored, so the
// lists are the same on every system; subfolders are scanned where they
// stand in that order. Folders named "resource" (any letter case) and links
// to folders are not entered. A file whose name ends in ".gob" or ".goo"
// (any letter case) is an archive: an episode archive when an entry name
// begins with "episode.jk", else an extra archive. One that cannot be read
// (it cannot be opened, its directory does not lie at byte 12 or not wholly
// inside the file) is listed among the episodes as damaged, never as an
// extra archive that a run would copy. Folders that cannot be read are
// skipped.
void ScanArchives(FileSystem& fs, const std::string& folder, ScannedArchives* found);

// Whether `a` sorts before `b` in the scan: letter case ignored, ties broken
// by the bytes themselves.
bool ScanOrderLess(const std::string& a, const std::string& b);

}  // namespace jk

#endif  // JKRESCALE_SHELL_ARCHIVE_SCAN_H_
