// The main window's events: browsing, typing in the path fields, opening an
// archive and going back.
#include <gmock/gmock.h>

#include "shell_fixture.h"
#include "test_util.h"

namespace jk {
namespace {

using ::testing::ElementsAre;

class ShellEventsTest : public ShellTest {
 protected:
  void SetUp() override {
    jk_ = MakeGame();
    WriteSettingsFile(jk_ + "\r\n");
    StartShell();
  }
  std::string jk_;
};

// The browse dialog starts in the game folder; a picked file becomes the
// game path and refreshes the lists.
TEST_F(ShellEventsTest, BrowseForTheGame) {
  std::string other = temp_.WriteFile("other/Game.bin", "x");
  temp_.WriteArchive("other/Episode/ep9.gob", EpisodeArchive());
  ui_.dialogs_.answers = {other};
  frm1().Click(frm1().brs_jk_);
  EXPECT_EQ(ui_.log.back(), "open dialog: Find JK.EXE | " + game_folder_ + " | JK.EXE");
  EXPECT_EQ(frm1().ed1_.Text(), other);
  EXPECT_EQ(shell_->game_folder(), temp_.Path("other/"));
  EXPECT_THAT(Items(frm1().lb1_), ElementsAre("ep9.gob"));
}

// The expansion's dialog starts in the expansion folder.
TEST_F(ShellEventsTest, BrowseForTheExpansion) {
  ui_.dialogs_.answers = {jk_};
  frm1().Click(frm1().brs_mots_);
  EXPECT_EQ(ui_.log.back(), "open dialog: Find JKM.EXE | " + work_ + "/ | JKM.EXE");
  EXPECT_EQ(frm1().ed2_.Text(), jk_);
  EXPECT_EQ(frm1().ed2_.Background(), kWhite);
}

// A cancelled dialog, or a name that does not exist, changes nothing.
TEST_F(ShellEventsTest, CancelledOrMissingBrowseChangesNothing) {
  frm1().DoubleClick(0);
  ui_.dialogs_.answers = {"", temp_.Path("game/JK2.EXE")};
  frm1().Click(frm1().brs_jk_);
  frm1().Click(frm1().brs_jk_);
  EXPECT_EQ(frm1().ed1_.Text(), jk_);
  EXPECT_EQ(shell_->selected_archive(), 0);
  EXPECT_THAT(Items(frm1().lb1_), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
}

// A double-click opens the archive: lb1 shows its levels, cmd2 becomes
// available, the caption names the archive.
TEST_F(ShellEventsTest, DoubleClickOpensTheArchive) {
  EXPECT_FALSE(frm1().cmd2_.Available());
  frm1().DoubleClick(0);
  EXPECT_EQ(shell_->selected_archive(), 0);
  EXPECT_THAT(Items(frm1().lb1_), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
  EXPECT_EQ(frm1().lb1_.SelectedIndex(), -1);
  EXPECT_TRUE(frm1().cmd2_.Available());
  EXPECT_EQ(frm1().lbl3_.Text(), "Levels in ep1.gob (pick one):");
}

// In the level view, or with nothing selected, a double-click does nothing.
TEST_F(ShellEventsTest, DoubleClickElsewhereDoesNothing) {
  frm1().lb1_.SetSelectedIndex(-1);
  shell_->lb1_DblClick();
  EXPECT_EQ(shell_->selected_archive(), -1);
  EXPECT_THAT(Items(frm1().lb1_), ElementsAre("ep1.gob"));

  frm1().DoubleClick(0);
  frm1().DoubleClick(1);
  EXPECT_EQ(shell_->selected_archive(), 0);
  EXPECT_THAT(Items(frm1().lb1_), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
}

// An archive that has gone since the scan: a message, the archive view stays.
TEST_F(ShellEventsTest, DoubleClickOnAVanishedArchive) {
  std::filesystem::remove(FsPath(NativeJoin(game_folder_, "Episode/ep1.gob")));
  frm1().DoubleClick(0);
  EXPECT_THAT(ui_.dialogs_.messages,
              ElementsAre("'" + NativeJoin(game_folder_, "Episode/ep1.gob") +
                          "': cannot open: No such file or directory"));
  EXPECT_EQ(shell_->selected_archive(), -1);
  EXPECT_THAT(Items(frm1().lb1_), ElementsAre("ep1.gob"));
  EXPECT_FALSE(frm1().cmd2_.Available());
}

// cmd2 goes back to the archive view, lb2 to "NONE", and is unavailable.
TEST_F(ShellEventsTest, BackToTheArchiveView) {
  frm1().Select(frm1().lb2_, 1);
  OpenLevel(0, 1);
  frm1().Click(frm1().cmd2_);
  EXPECT_EQ(shell_->selected_archive(), -1);
  EXPECT_THAT(Items(frm1().lb1_), ElementsAre("ep1.gob"));
  EXPECT_EQ(frm1().lb2_.SelectedIndex(), 0);
  EXPECT_FALSE(frm1().cmd2_.Available());
  EXPECT_EQ(frm1().lbl3_.Text(), kArchiveViewCaption);
}

// Typing in ed1 in the level view returns to the archive view at the
// first keystroke; cmd2 stays available until clicked.
TEST_F(ShellEventsTest, TypingReturnsToTheArchiveView) {
  OpenLevel(0, 0);
  frm1().Type(frm1().ed1_, "x");
  EXPECT_EQ(shell_->game_path(), jk_ + "x");
  EXPECT_EQ(frm1().ed1_.Background(), kLightRed);
  EXPECT_EQ(shell_->selected_archive(), -1);
  EXPECT_THAT(Items(frm1().lb1_), ElementsAre("ep1.gob"));
  EXPECT_TRUE(frm1().cmd2_.Available());
  EXPECT_FALSE(frm1().cmd1_.Enabled());
  frm1().Click(frm1().cmd2_);
  EXPECT_FALSE(frm1().cmd2_.Available());
}

// Each keystroke in ed2 rebuilds the lists from both paths.
TEST_F(ShellEventsTest, TypingInTheExpansionField) {
  frm1().ed2_.SetText("");
  frm1().Type(frm1().ed2_, game_folder_);
  EXPECT_THAT(Items(frm1().lb1_), ElementsAre("ep1.gob", "ep1.gob"));
  frm1().Type(frm1().ed2_, "JK");
  EXPECT_EQ(frm1().ed2_.Background(), kWhite);
}

// A disabled window takes no clicks.
TEST_F(ShellEventsTest, DisabledWindowIgnoresInput) {
  frm1().SetEnabled(false);
  frm1().DoubleClick(0);
  EXPECT_EQ(shell_->selected_archive(), -1);
}

}  // namespace
}  // namespace jk
