// Where a scale run puts things, and where it finds the game's own files:
// the fixed names of the work folder and of the game folders, and the rule
// that turns an archive entry's name into the file written for it.
//
// The work folder during a run:
//   episode.jk            the one-level test episode
//   jkrescale-run.txt     the run record of a play session (launch/work_folder.h)
//   NAME.gob / NAME.goo   the copy of the extra archive, when one was picked
//   jkl\  3do\  cog\  misc\   the scaled level, its models, its cogs and
//                         misc\cogstrings.uni
#ifndef JKRESCALE_SCALING_LAYOUT_H_
#define JKRESCALE_SCALING_LAYOUT_H_

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace jk {

// The work subfolders, in the order they are created and cleaned up.
inline constexpr std::string_view kWorkSubfolders[] = {"jkl", "3do", "cog", "misc"};
inline constexpr std::string_view kEpisodeFileName = "episode.jk";
// The game's folders of episode archives and of resources, and the base
// resource archives in the latter, of the game and of the expansion.
inline constexpr std::string_view kEpisodeFolderName = "Episode";
inline constexpr std::string_view kResourceFolderName = "Resource";
inline constexpr std::string_view kGameResourceFileName = "res2.gob";
inline constexpr std::string_view kExpansionResourceFileName = "jkmres.goo";
// The level archive's "misc\cogstrings.uni" is written to "misc" under
// this name.
inline constexpr std::string_view kCogStringsFileName = "cogstrings.uni";

// An entry's name inside its folder: the name without its four-character
// folder prefix ("jkl\", "3do\", "cog\").
std::string_view NameInFolder(std::string_view entry_name);

// Whether an entry's name inside its folder is a plain relative path that
// stays inside that folder: not empty, not absolute, no ":" anywhere, and
// no empty, "." or ".." segment ("\" and "/" both separate segments).
// Entries from downloaded archives may hold anything; a name that fails
// this test is never written.
bool IsSafeEntryName(std::string_view entry_name);

// The file written for an entry: work folder + `kind_folder` ("jkl",
// "3do", "cog", "misc") + the entry's name inside its folder, as a native
// path. Fails, naming the entry, when that name is not safe. Creates the
// folders between the kind folder and the file.
Status EntryOutputPath(FileSystem& fs, const std::string& work_folder, std::string_view kind_folder,
                       std::string_view entry_name, std::string* path);

// The file name of an entry name or a path, after its last "\" or "/",
// without its extension: "canyon" for "jkl\canyon.jkl".
std::string EntryStem(std::string_view name);

// Whether a level archive belongs to the expansion (its name ends in
// ".goo", any letter case) rather than to the game.
bool IsExpansionArchive(std::string_view archive_path);

// The game's base resource archive for a level archive, relative to the
// game's folder or the expansion's and written as the game writes it:
// "Resource\jkmres.goo" for an expansion archive, "Resource\res2.gob"
// otherwise.
std::string_view ResourceArchiveName(std::string_view level_archive_path);

// The game's base resource archive for a level archive: the expansion
// folder's "Resource\jkmres.goo" for an expansion archive, the game
// folder's "Resource\res2.gob" otherwise, found whatever the letter case.
std::string ResourceArchivePath(FileSystem& fs, std::string_view level_archive_path,
                                const std::string& game_folder,
                                const std::string& expansion_folder);

}  // namespace jk

#endif  // JKRESCALE_SCALING_LAYOUT_H_
