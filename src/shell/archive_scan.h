// The archive scan behind the level list: walks a game folder and sorts the
// archives it finds into episode archives (those with an "episode.jk"
// entry) and extra archives (all others).
#ifndef JKRESCALE_SHELL_ARCHIVE_SCAN_H_
#define JKRESCALE_SHELL_ARCHIVE_SCAN_H_

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace jk {

struct ScannedArchives {
  std::vector<std::string> episodes;
  std::vector<std::string> extras;
};

// Appends the full paths of the archives below `folder` to `found`. Each
// folder's names are taken in name order with letter case ignored, so the
// lists are the same on every system; subfolders are scanned where they
// stand in that order. Folders named "resource" (any letter case) and links
// to folders are not entered. A file whose name ends in ".gob" or ".goo"
// (any letter case) counts when it opens as an archive whose directory lies
// at byte 12; it is an episode archive when an entry name begins with
// "episode.jk". Archives and folders that cannot be read are skipped.
void ScanArchives(FileSystem& fs, const std::string& folder, ScannedArchives* found);

// Whether `a` sorts before `b` in the scan: letter case ignored, ties broken
// by the bytes themselves.
bool ScanOrderLess(const std::string& a, const std::string& b);

}  // namespace jk

#endif  // JKRESCALE_SHELL_ARCHIVE_SCAN_H_
