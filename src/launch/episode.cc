#include "launch/episode.h"

#include <memory>
#include <vector>

#include "platform/path.h"

namespace jk {

std::vector<std::string> TestEpisodeLines(const std::string& level_archive_path,
                                          const std::string& level_item) {
  // The level file name is the item without its "jkl\" folder: the name the
  // level pass wrote the scaled level under. It stays as it is, blanks and
  // all; the game reads it from the episode as the level's name.
  std::string level_file = level_item.size() > 4 ? level_item.substr(4) : std::string();
  return {
      "\"" + FileNameOf(level_archive_path) + "\"",
      "TYPE 1",
      "SEQ 1",
      "10: 0 1 LEVEL " + level_file + " 0 0 -1 -1",
      "end",
  };
}

Status WriteTestEpisode(FileSystem& fs, const std::string& work_folder,
                        const std::string& level_archive_path,
                        const std::string& level_item) {
  std::unique_ptr<OutputFile> out;
  JK_RETURN_IF_ERROR(fs.OpenWrite(JoinPath(work_folder, kEpisodeFileName), &out));
  for (const std::string& line : TestEpisodeLines(level_archive_path, level_item)) {
    JK_RETURN_IF_ERROR(out->WriteLine(line));
  }
  return out->Close();
}

}  // namespace jk
