#include "shell_fixture.h"

#include <fstream>
#include <sstream>

#include "test_util.h"

namespace jk {

namespace fs = std::filesystem;

TestArchive EpisodeArchive() {
  TestArchive archive;
  archive.Add("episode.jk", "\"ep1.gob\"\r\nTYPE 1\r\nSEQ 1\r\nend\r\n")
      .Add("jkl\\one.jkl", kTestLevel)
      .Add("jkl\\two.jkl", kTestLevel);
  return archive;
}

TestArchive ExtraArchive() {
  TestArchive archive;
  archive.Add("3do\\extra.3do", "3DO 2.1\r\n");
  return archive;
}

TestArchive ArchiveLeavingOutAModel() {
  TestArchive archive;
  archive.Add("episode.jk", "e")
      .Add("jkl\\left.jkl",
           "World templates 1\r\nlamp _decor model3d=gone.3do\r\nend\r\n"
           "World things 1\r\n0: lamp l 1 2 3 0 0 0 0\r\nend\r\n");
  return archive;
}

std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(FsPath(folder), ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::string name = Utf8Text(fs::relative(it->path(), FsPath(folder)).generic_u8string());
    if (it->is_directory() && !it->is_symlink()) name += "/";
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

ShellTest::ShellTest() : game_folder_(temp_.Path("game/")), work_(temp_.Path("work")) {
  fs::create_directories(FsPath(work_));
}

std::string ShellTest::MakeGame() {
  temp_.WriteArchive("game/Episode/ep1.gob", EpisodeArchive());
  temp_.WriteArchive("game/Resource/res2.gob", ExtraArchive());
  temp_.WriteArchive("game/extras.gob", ExtraArchive());
  return temp_.WriteFile("game/JK", "not really the game");
}

void ShellTest::WriteSettingsFile(const std::string& text) {
  temp_.WriteFile("work/" + SettingsFileName(SettingsSuffix(identity_)), text);
}

void ShellTest::StartShell() {
  shell_ = std::make_unique<Shell>(
      fs_, ui_, runner_,
      ShellEnvironment{work_, identity_, kQuickCleanup, find_games_, temp_.Path("mod")});
  shell_->StartUp();
}

void ShellTest::OpenLevel(int item, int level) {
  main_window().DoubleClick(item);
  main_window().Select(main_window().archive_list_, level);
}

std::string ShellTest::BrowsedFolder() {
  ui_.main_window_.Click(ui_.main_window_.browse_game_button_);
  std::string line = ui_.record.back();  // "open dialog: TITLE | FOLDER | NAME"
  size_t start = line.find(" | ") + 3;
  return line.substr(start, line.rfind(" | ") - start);
}

std::vector<std::string> ShellTest::Items(const ListControl& list) const {
  std::vector<std::string> items;
  for (int k = 0; k < list.ItemCount(); ++k) items.push_back(list.ItemText(k));
  return items;
}

}  // namespace jk
