// The level list refresh and the archive scan.
#include <gmock/gmock.h>

#include "shell/archive_scan.h"
#include "shell_fixture.h"
#include "test_util.h"

namespace jk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Scan order: letter case ignored, ties broken by the bytes.
TEST(ScanOrderTest, IgnoresCaseThenBytes) {
  struct Case {
    const char* a;
    const char* b;
    bool less;
  } cases[] = {
      {"A.gob", "b.gob", true},  {"b.gob", "A.gob", false}, {"B.gob", "b.gob", true},
      {"b.gob", "B.gob", false}, {"ab", "abc", true},       {"ABC", "ab", false},
      {"_x", "a", true},         {"same", "same", false},
  };
  for (const Case& c : cases) EXPECT_EQ(ScanOrderLess(c.a, c.b), c.less) << c.a << " " << c.b;
}

class LevelListTest : public ShellTest {
 protected:
  // Starts the shell on game/JK.EXE after the archives are in place.
  void Start() {
    std::string jk = temp_.WriteFile("game/JK.EXE", "x");
    WriteSettingsFile(jk + "\n");
    StartShell();
  }
};

// Archives of every folder in name order, upper-case extensions included;
// "resource" folders skipped at any depth; other files ignored.
TEST_F(LevelListTest, ScanSortsAndSkipsResourceFolders) {
  temp_.WriteArchive("game/Episode/b.gob", EpisodeArchive());
  temp_.WriteArchive("game/Episode/A.GOB", EpisodeArchive());
  temp_.WriteArchive("game/Episode/c.goo", EpisodeArchive());
  temp_.WriteArchive("game/Episode/Resource/hidden.gob", EpisodeArchive());
  temp_.WriteArchive("game/RESOURCE/res2.gob", ExtraArchive());
  temp_.WriteArchive("game/aa/x.gob", ExtraArchive());
  temp_.WriteArchive("game/Z.gob", ExtraArchive());
  temp_.WriteArchive("game/notes.txt", ExtraArchive());
  Start();
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("A.GOB", "b.gob", "c.goo"));
  // Extra archives show with their folder below the game's.
  EXPECT_THAT(Items(main_window().extra_list_), ElementsAre("NONE", Native("aa/x.gob"), "Z.gob"));
  // The scan behind the lists: the full paths, in the lists' order.
  ScannedArchives found;
  ScanArchives(fs_, game_folder_, &found);
  EXPECT_THAT(found.episodes, ElementsAre(NativeJoin(game_folder_, "Episode/A.GOB"),
                                          NativeJoin(game_folder_, "Episode/b.gob"),
                                          NativeJoin(game_folder_, "Episode/c.goo")));
  EXPECT_THAT(found.extras,
              ElementsAre(NativeJoin(game_folder_, "aa/x.gob"), game_folder_ + "Z.gob"));
}

// An "episode.jk" prefix makes an episode archive, even without levels;
// any other archive is an extra archive. One that cannot be read (too
// short, cut off in its directory, its count outside it or its directory
// not after its header) is listed among the episodes, greyed with the
// reason as its hint, never as an extra archive; opening it says why and
// shows no levels.
TEST_F(LevelListTest, WhatCountsAsAnArchive) {
  temp_.WriteArchive("game/Episode/e1.gob", TestArchive().Add("episode.jkx", "x"));
  temp_.WriteArchive("game/Episode/e2.gob", TestArchive().Add("Episode.jk", "x"));
  temp_.WriteFile("game/Episode/short.gob", "GOB");
  std::string moved = EpisodeArchive().Build();
  temp_.WriteFile("game/Episode/cut.gob", moved.substr(0, 30));
  PutInt32(&moved, 8, 16);  // directory position
  temp_.WriteFile("game/Episode/moved.gob", moved);
  std::string damaged = EpisodeArchive().Build();
  PutInt32(&damaged, 8, 1 << 30);
  temp_.WriteFile("game/Episode/damaged.gob", damaged);
  Start();
  FakeList& archives = main_window().archive_list_;
  EXPECT_THAT(Items(archives),
              ElementsAre("cut.gob", "damaged.gob", "e1.gob", "moved.gob", "short.gob"));
  std::string cannot = "This archive cannot be read, so it can be neither opened nor copied: ";
  EXPECT_THAT(
      archives.hints(),
      ElementsAre(
          cannot + "damaged archive: its directory of 3 entries does not lie inside its 30 bytes",
          cannot + "damaged archive: its entry count at byte 1073741824 lies outside the file", "",
          cannot + "not an archive of the game: its directory does not follow its header",
          cannot + "not an archive: shorter than its 12-byte header"));
  EXPECT_THAT(Items(main_window().extra_list_), ElementsAre("NONE", Native("Episode/e2.gob")));
  main_window().DoubleClick(0);
  EXPECT_THAT(ui_.dialogs_.messages,
              ElementsAre("'" + NativeJoin(game_folder_, "Episode/cut.gob") + "': " + cannot +
                          "damaged archive: its directory of 3 entries does not lie inside its "
                          "30 bytes"));
  EXPECT_THAT(Items(archives),
              ElementsAre("cut.gob", "damaged.gob", "e1.gob", "moved.gob", "short.gob"));
  EXPECT_FALSE(main_window().back_button_.Available());
}

// No extra archive: extra_list is empty, without "NONE".
TEST_F(LevelListTest, NoExtraArchives) {
  temp_.WriteArchive("game/Episode/e1.gob", EpisodeArchive());
  Start();
  EXPECT_THAT(Items(main_window().extra_list_), IsEmpty());
  EXPECT_EQ(main_window().extra_list_.SelectedIndex(), -1);
}

// The extra archives of both games are listed, and opening an archive of
// either leaves the list and its pick as they are.
TEST_F(LevelListTest, ExtrasOfBothGames) {
  temp_.WriteArchive("game/Episode/e1.gob", EpisodeArchive());
  temp_.WriteArchive("game/jk.gob", ExtraArchive());
  temp_.WriteArchive("mots/Episode/m1.goo", EpisodeArchive());
  temp_.WriteArchive("mots/mots.goo", ExtraArchive());
  Start();
  main_window().expansion_path_field_.SetText(temp_.WriteFile("mots/JKM.EXE", "x"));
  FakeList& extras = main_window().extra_list_;
  EXPECT_THAT(Items(extras), ElementsAre("NONE", "jk.gob", "mots.goo"));
  main_window().Select(extras, 2);
  main_window().DoubleClick(1);
  EXPECT_THAT(Items(extras), ElementsAre("NONE", "jk.gob", "mots.goo"));
  EXPECT_EQ(extras.SelectedIndex(), 2);
}

// Without an "Episode" folder nothing is scanned; a path without any
// separator has an empty folder and scans nothing either.
TEST_F(LevelListTest, NoEpisodeFolderOrNoFolder) {
  temp_.WriteArchive("game/e1.gob", EpisodeArchive());
  Start();
  EXPECT_THAT(Items(main_window().archive_list_), IsEmpty());
  main_window().game_path_field_.SetText("JK.EXE");
  EXPECT_EQ(BrowsedFolder(), "");
  EXPECT_THAT(Items(main_window().archive_list_), IsEmpty());
}

// The "Episode" folder is found whatever its letter case.
TEST_F(LevelListTest, EpisodeFolderInAnyCase) {
  temp_.WriteArchive("game/EPISODE/e1.gob", EpisodeArchive());
  Start();
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("e1.gob"));
}

// A link to a folder is not followed, so a loop ends; a link to an archive
// is examined like the archive.
TEST_F(LevelListTest, LinksToFoldersAreNotFollowed) {
#ifdef _WIN32
  GTEST_SKIP() << "making symbolic links on Windows takes a privilege the tests lack";
#endif
  temp_.WriteArchive("game/Episode/e1.gob", EpisodeArchive());
  std::filesystem::create_directory_symlink(game_folder_, game_folder_ + "Episode/loop");
  std::filesystem::create_symlink(game_folder_ + "Episode/e1.gob", game_folder_ + "e2.gob");
  Start();
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("e2.gob", "e1.gob"));
}

}  // namespace
}  // namespace jk
