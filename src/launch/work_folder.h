// The work folder: where it is, and cleaning it after a game run, and at
// start-up after a run that never got to its clean-up. Only what a run wrote is removed, and a
// run notes everything it writes in the run record (kRunRecordName)
// before writing it: the test episode, the four work subfolders and the
// copy of the extra archive. Anything else in the folder (the settings, the
// user's own archives, files and folders of those names that were there
// before the run) is never touched.
//
// The run record holds one name a line, each a plain file name in the work
// folder. A work subfolder's name ("jkl", "3do", "cog", "misc") stands for
// that folder with everything in it, any other name for a file. A record
// written by an earlier version names archive copies only, and is read the
// same way.
#ifndef JKRESCALE_LAUNCH_WORK_FOLDER_H_
#define JKRESCALE_LAUNCH_WORK_FOLDER_H_

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace jk {

// The run record, in the work folder.
inline constexpr std::string_view kRunRecordName = "jkrescale-run.txt";

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

// Reads the names the run record holds into `names`, in their order; none
// when there is no record. Names that are not plain file names (a
// separator, ":", "." or "..") are left out. Fails when the record is there
// but cannot be read.
Status ReadRunRecord(FileSystem& fs, const std::string& work_folder,
                     std::vector<std::string>* names);

// Adds to the end of the run record each of `names` it does not hold yet,
// creating the record when there is none. `recorded`, when not null,
// receives every name of the record as it is to be written, also when the
// writing fails (not when the reading does).
Status AddToRunRecord(FileSystem& fs, const std::string& work_folder,
                      const std::vector<std::string>& names,
                      std::vector<std::string>* recorded = nullptr);

enum class RemoveKind { kFile, kFolder };

// What a name of the run record stands for: a folder for the name of a work
// subfolder, a file for any other.
RemoveKind RecordedKind(std::string_view name);

// Removes `path` when it is of the given kind (a link counts as a file);
// a folder goes with everything in it, links inside removed, never
// followed. Tries up to `pacing.attempts` times, pausing in between, and
// appends the last failure to `failures` when `path` is still there.
void RemoveWithRetries(FileSystem& fs, const std::string& path, RemoveKind kind,
                       const CleanupPacing& pacing, std::vector<std::string>* failures);

// The clean-up: removes each name of `recorded` (names of the run record)
// from the work folder, in that order and as RecordedKind says; a name
// whose file or folder is not there, or is there as the other kind (it is
// then not what the run wrote), is left alone. Then the run record goes when
// everything is gone, or keeps the names of what could not be removed, so
// that the next start tries again. Fails with one message that names
// everything that could not be removed.
Status CleanWorkFolder(FileSystem& fs, const std::string& work_folder,
                       const std::vector<std::string>& recorded, const CleanupPacing& pacing = {});

// The clean-up at start-up: CleanWorkFolder with the names of the run
// record; without a record nothing is removed. A record that cannot be read
// is kept, with everything it names, and named in the failure.
Status CleanWorkFolderAtStartUp(FileSystem& fs, const std::string& work_folder,
                                const CleanupPacing& pacing = {});

}  // namespace jk

#endif  // JKRESCALE_LAUNCH_WORK_FOLDER_H_
