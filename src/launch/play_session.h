// A play session: what "Scale and play" does in the desktop program and
// `jkrescale-cli play` does on the command line. It scales the level into
// the work folder, starts the game on it, waits until the game has ended
// and removes what it wrote.
#ifndef JKRESCALE_LAUNCH_PLAY_SESSION_H_
#define JKRESCALE_LAUNCH_PLAY_SESSION_H_

#include <string>
#include <vector>

#include "launch/game_launch.h"
#include "launch/work_folder.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "scaling/progress.h"
#include "scaling/scale_run.h"

namespace jk {

// What the user chose, in the words of the desktop program's window.
struct PlayChoices {
  // The paths of the game's and the expansion's executables.
  std::string game_path;
  std::string expansion_path;
  // The episode archive and the level's entry name in it ("jkl\x.jkl").
  std::string level_archive_path;
  std::string level_name;
  std::string factor_text;
  bool divide_gravity = false;
  // The extra archive to copy along; "" for none.
  std::string extra_archive_path;
  // The game's resource archive; "" for the one in the game's folder (its
  // data folder, or else the executable's), or in the expansion's for an
  // expansion archive.
  std::string resource_archive_path;
  // Start the executables as OpenJKDF2 whatever their names, and, for
  // OpenJKDF2, in the level rather than at its menus (see GameOptions).
  bool openjkdf2 = false;
  bool start_in_level = true;
  // The folders that hold the game's and the expansion's Episode and
  // Resource folders (OpenJKDF2's data folders); "" when they lie beside
  // the executable (see GameOptions).
  std::string game_data_folder;
  std::string expansion_data_folder;
};

struct PlayRequest {
  ScaleRequest scale;
  GameChoice game;
  // The game's folder, or the expansion's, in which the resource archive
  // was looked for; "" when the user named it.
  std::string resource_folder;
};

// The request for a play session in `work_folder`: the scale run and the
// game to start, the game or the expansion as the archive's kind says,
// started as the choices' OpenJKDF2 options say, and the resource archive
// chosen, or else found in that game's folder.
PlayRequest MakePlayRequest(FileSystem& fs, const std::string& work_folder,
                            const PlayChoices& choices);

// The scale run would fail on a missing resource archive only once it has
// written the copy and the folders, naming a path the user never typed:
// this says it first, in the words of the game's own folders ("The game's
// resource archive Resource\res2.gob was not found in FOLDER").
Status CheckResourceArchive(FileSystem& fs, const PlayRequest& request);

// What the scale run of a session left out or warns of, known once it is
// over and said before the game starts.
struct PlayReport {
  // Entries the scale run left out (see ScaleReport).
  std::vector<std::string> skipped;
  // What the level uses that no archive holds (see ScaleReport).
  std::vector<std::string> missing_models;
  std::vector<std::string> missing_cogs;
  // What the scenery shares with actors (see ScaleReport).
  SharedFiles shared;
  // What the scaled level passes of the game's limits (see ScaleReport).
  std::vector<std::string> limit_warnings;
};

// What a front-end learns while a session runs, and when.
class PlayObserver {
 public:
  virtual ~PlayObserver() = default;
  // Where the scale run reports its progress.
  virtual ScaleProgress& progress() = 0;
  // The scale run is over, whether or not it went well. `report` says what
  // it left out and what its result passes of the game's limits, to be
  // shown before the game starts; the session's report is the same.
  virtual void ScaleFinished(const PlayReport& report) = 0;
  // The game is starting with this command line.
  virtual void GameStarting(const std::string& command_line) = 0;
  // Called every few milliseconds while the game runs.
  virtual void WhileGameRuns() = 0;
};

// A one-line note for the main window on what the run left out: "Not found
// in any archive, so not scaled: models a.3do, b.3do; cogs c.cog", then
// what the scenery shares with actors (LeftOutPhrase); "" when nothing was
// left out.
std::string LeftOutNote(const std::vector<std::string>& missing_models,
                        const std::vector<std::string>& missing_cogs,
                        const SharedFiles& shared = {});

// The session, in this order:
// - make sure the resource archive is there, failing with "The game's
//   resource archive Resource\res2.gob was not found in FOLDER"
//   (Resource\jkmres.goo for an expansion archive; the archive's path,
//   without " in FOLDER", when the user named it);
// - note in the run record what the run will write (the test episode, the
//   extra archive's copy, the work subfolders), refusing, with one message
//   that names them all and says what to do, anything of those names in
//   the work folder that the record does not name, an empty folder too: it
//   is the user's, and nothing is done;
// - the scale run; the game started and waited for, only when the scale
//   run went well and was not cancelled;
// - the clean-up of what the record names (or was to name, when writing it
//   failed), whenever the checks above passed.
// Nothing is written before the record. The failure of the run or of the
// game and that of the clean-up are joined in one message. `lists` keeps
// the model and cog lists of the opened archive from one session to the
// next; `report` receives what the scale run left out.
Status RunPlaySession(FileSystem& fs, ProcessRunner& runner, const PlayRequest& request,
                      PlayObserver& observer, ReferenceLists* lists, PlayReport* report,
                      const CleanupPacing& pacing = {});

}  // namespace jk

#endif  // JKRESCALE_LAUNCH_PLAY_SESSION_H_
