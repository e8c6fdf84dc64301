// The test episode: "episode.jk" in the work folder, a five-line episode
// that names the scaled level as its single level, so that the game started
// on the work folder goes straight to it. A mod's episode is the same with
// a title of its own, the name under which the game lists it.
#ifndef JKRESCALE_SCALING_EPISODE_H_
#define JKRESCALE_SCALING_EPISODE_H_

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace jk {

// The episode's text, one element per line: the level archive's file name
// in quotes, "TYPE 1", "SEQ 1", the level line, "end". `level_name` is the
// level's entry name ("jkl\name.jkl").
std::vector<std::string> TestEpisodeLines(const std::string& level_archive_path,
                                          const std::string& level_name);

// The title of a mod's episode: the level's file name without its folder
// and extension, its first letter in upper case, " x" and the factor as the
// user typed it, trimmed ("jkl\canyon.jkl" at " 2 " gives "Canyon x2").
// Double quotes, which would end the title, are left out.
std::string ModEpisodeTitle(const std::string& level_name, const std::string& factor_text);

// A mod's episode: TestEpisodeLines with the title, in quotes, as its first
// line.
std::vector<std::string> ModEpisodeLines(const std::string& level_name,
                                         const std::string& factor_text);

// Writes the test episode into `work_folder`, replacing an earlier one.
Status WriteTestEpisode(FileSystem& fs, const std::string& work_folder,
                        const std::string& level_archive_path, const std::string& level_name);

}  // namespace jk

#endif  // JKRESCALE_SCALING_EPISODE_H_
