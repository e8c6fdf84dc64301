#include "scaling/episode.h"

#include <memory>

#include "platform/ascii.h"
#include "platform/path.h"
#include "scaling/layout.h"

namespace jk {

namespace {

// The episode's title line: the text between double quotes.
std::string Quoted(const std::string& text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  quoted += text;
  quoted += '"';
  return quoted;
}

}  // namespace

std::vector<std::string> TestEpisodeLines(const std::string& level_archive_path,
                                          const std::string& level_name) {
  // The level file is named as the level pass wrote the scaled level: the
  // entry's name inside "jkl\", blanks and all. The game reads it from the
  // episode as the level's name.
  std::string level_file(NameInFolder(level_name));
  return {
      Quoted(FileNameOf(level_archive_path)),       "TYPE 1", "SEQ 1",
      "10: 0 1 LEVEL " + level_file + " 0 0 -1 -1", "end",
  };
}

std::string ModEpisodeTitle(const std::string& level_name, const std::string& factor_text) {
  std::string name = EntryStem(level_name);
  if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = char(name[0] - 'a' + 'A');
  std::string title = name + " x" + std::string(Trim(factor_text));
  std::erase(title, '"');
  return title;
}

std::vector<std::string> ModEpisodeLines(const std::string& level_name,
                                         const std::string& factor_text) {
  std::vector<std::string> lines = TestEpisodeLines("", level_name);
  lines[0] = Quoted(ModEpisodeTitle(level_name, factor_text));
  return lines;
}

Status WriteTestEpisode(FileSystem& fs, const std::string& work_folder,
                        const std::string& level_archive_path, const std::string& level_name) {
  std::unique_ptr<OutputFile> out;
  JK_RETURN_IF_ERROR(fs.OpenWrite(JoinPath(work_folder, kEpisodeFileName), &out));
  for (const std::string& line : TestEpisodeLines(level_archive_path, level_name)) {
    JK_RETURN_IF_ERROR(out->WriteLine(line));
  }
  return out->Close();
}

}  // namespace jk
