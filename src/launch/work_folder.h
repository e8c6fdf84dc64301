// The work folder: where it is, and cleaning it after a game run, and at
// start-up after a run that never got to its clean-up. Only what a run writes is removed: the
// test episode, the four work subfolders with everything in them, and the
// copy of the extra archive that the run itself made. The user's own files
// in the folder (the settings, archives of their own) are never touched.
#ifndef JKRESCALE_LAUNCH_WORK_FOLDER_H_
#define JKRESCALE_LAUNCH_WORK_FOLDER_H_

#include <chrono>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace jk {

// Where a program keeps its runs and its settings: its own folder when it
// may write there (a portable copy), else, for a program installed where
// users cannot write (/usr/bin, C:\Program Files), `user_data_folder`,
// created when missing. Fails when neither can be written.
Status ChooseWorkFolder(FileSystem& fs, const std::string& program_folder,
                        const std::string& user_data_folder, std::string* work_folder);

// ChooseWorkFolder for this program on this system: the folder of the
// running executable, else the user's data folder for "jkrescale".
Status FindWorkFolder(FileSystem& fs, std::string* work_folder);

// How hard a clean-up tries: a file another program still holds may become
// free a moment later, but the program must never hang on one.
struct CleanupPacing {
  int attempts = 3;
  std::chrono::milliseconds pause{100};
};

// Notes in the run record (scaling/layout.h) that the run is about to copy
// `file_name` into the work folder.
Status RecordCopy(FileSystem& fs, const std::string& work_folder, const std::string& file_name);

// Reads the file names the run record holds into `names`; none when there
// is no record. Names that are not plain file names (a separator, "." or
// "..") are left out. Fails when the record is there but cannot be read.
Status ReadRecordedCopies(FileSystem& fs, const std::string& work_folder,
                          std::vector<std::string>* names);

enum class RemoveKind { kFile, kFolder };

// Removes `path` when it is of the given kind (a link counts as a file);
// a folder goes with everything in it, links inside removed, never
// followed. Tries up to `pacing.attempts` times, pausing in between, and
// appends the last failure to `failures` when `path` is still there.
void RemoveWithRetries(FileSystem& fs, const std::string& path, RemoveKind kind,
                       const CleanupPacing& pacing, std::vector<std::string>* failures);

// The clean-up after a run, in this order: "episode.jk", the copies named in
// `copies` (plain file names in the work folder), the folders "jkl", "3do",
// "cog" and "misc" with their contents, and the run record. Fails with one
// message that names everything that could not be removed.
Status CleanWorkFolder(FileSystem& fs, const std::string& work_folder,
                       const std::vector<std::string>& copies, const CleanupPacing& pacing = {});

// The clean-up at start-up: CleanWorkFolder with the copies of the run
// record. A record that cannot be read is kept, with the copies it names,
// and named in the failure.
Status CleanWorkFolderAtStartUp(FileSystem& fs, const std::string& work_folder,
                                const CleanupPacing& pacing = {});

}  // namespace jk

#endif  // JKRESCALE_LAUNCH_WORK_FOLDER_H_
