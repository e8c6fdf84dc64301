// The test episode: "episode.jk" in the work folder, a five-line episode
// that names the scaled level as its single level, so that the game started
// on the work folder goes straight to it.
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

// Writes the test episode into `work_folder`, replacing an earlier one.
Status WriteTestEpisode(FileSystem& fs, const std::string& work_folder,
                        const std::string& level_archive_path, const std::string& level_name);

}  // namespace jk

#endif  // JKRESCALE_SCALING_EPISODE_H_
