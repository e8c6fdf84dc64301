// The main window's events: browsing, typing in the path fields, opening an
// archive and going back.
#include <gmock/gmock.h>

#include "platform/version.h"
#include "shell_fixture.h"
#include "test_util.h"

namespace jk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

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
  main_window().Click(main_window().browse_game_button_);
  EXPECT_EQ(ui_.record.back(), "open dialog: Find JK.EXE | " + game_folder_ + " | JK.EXE");
  EXPECT_EQ(main_window().game_path_field_.Text(), other);
  EXPECT_EQ(BrowsedFolder(), temp_.Path("other/"));
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("ep9.gob"));
}

// The expansion's dialog starts in the expansion folder.
TEST_F(ShellEventsTest, BrowseForTheExpansion) {
  ui_.dialogs_.answers = {jk_};
  main_window().Click(main_window().browse_expansion_button_);
  // No expansion path yet: the dialog starts where the system chooses.
  EXPECT_EQ(ui_.record.back(), "open dialog: Find JKM.EXE |  | JKM.EXE");
  EXPECT_EQ(main_window().expansion_path_field_.Text(), jk_);
  EXPECT_EQ(main_window().expansion_path_field_.Background(), kWhite);
}

// A cancelled dialog, or a name that does not exist, changes nothing.
TEST_F(ShellEventsTest, CancelledOrMissingBrowseChangesNothing) {
  main_window().DoubleClick(0);
  ui_.dialogs_.answers = {"", temp_.Path("game/JK2.EXE")};
  main_window().Click(main_window().browse_game_button_);
  main_window().Click(main_window().browse_game_button_);
  EXPECT_EQ(main_window().game_path_field_.Text(), jk_);
  EXPECT_EQ(main_window().list_caption_.Text(), "&Levels in ep1.gob (pick one):");
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
}

// A double-click opens the archive: the archive list shows its levels, the back button becomes
// available, the caption names the archive.
TEST_F(ShellEventsTest, DoubleClickOpensTheArchive) {
  EXPECT_FALSE(main_window().back_button_.Available());
  main_window().DoubleClick(0);
  EXPECT_EQ(main_window().list_caption_.Text(), "&Levels in ep1.gob (pick one):");
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
  EXPECT_EQ(main_window().archive_list_.SelectedIndex(), -1);
  EXPECT_TRUE(main_window().back_button_.Available());
  EXPECT_EQ(main_window().list_caption_.Text(), "&Levels in ep1.gob (pick one):");
}

// In the level view, or with nothing selected, a double-click does nothing.
TEST_F(ShellEventsTest, DoubleClickElsewhereDoesNothing) {
  main_window().archive_list_.SetSelectedIndex(-1);
  shell_->OnArchiveActivated();
  EXPECT_EQ(main_window().list_caption_.Text(), kEpisodesCaption);
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("ep1.gob"));

  main_window().DoubleClick(0);
  main_window().DoubleClick(1);
  EXPECT_EQ(main_window().list_caption_.Text(), "&Levels in ep1.gob (pick one):");
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
}

// An archive that has gone since the scan: a message, the archive view stays.
TEST_F(ShellEventsTest, DoubleClickOnAVanishedArchive) {
  std::filesystem::remove(FsPath(NativeJoin(game_folder_, "Episode/ep1.gob")));
  main_window().DoubleClick(0);
  EXPECT_THAT(ui_.dialogs_.messages, ElementsAre("'" + NativeJoin(game_folder_, "Episode/ep1.gob") +
                                                 "': cannot open: No such file or directory"));
  EXPECT_EQ(main_window().list_caption_.Text(), kEpisodesCaption);
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("ep1.gob"));
  EXPECT_FALSE(main_window().back_button_.Available());
}

// back_button goes back to the archive view, extra_list to "NONE", and is unavailable.
TEST_F(ShellEventsTest, BackToTheArchiveView) {
  main_window().Select(main_window().extra_list_, 1);
  OpenLevel(0, 1);
  main_window().Click(main_window().back_button_);
  EXPECT_EQ(main_window().list_caption_.Text(), kEpisodesCaption);
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("ep1.gob"));
  EXPECT_EQ(main_window().extra_list_.SelectedIndex(), 0);
  EXPECT_FALSE(main_window().back_button_.Available());
  EXPECT_EQ(main_window().list_caption_.Text(), kEpisodesCaption);
}

// Typing in the game path field in the level view returns to the archive view at the
// first keystroke; the back button stays available until clicked.
TEST_F(ShellEventsTest, TypingReturnsToTheArchiveView) {
  OpenLevel(0, 0);
  main_window().Type(main_window().game_path_field_, "x");
  EXPECT_EQ(main_window().game_path_field_.Text(), jk_ + "x");
  EXPECT_EQ(main_window().game_path_field_.Background(), kLightRed);
  EXPECT_EQ(main_window().list_caption_.Text(), kEpisodesCaption);
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("ep1.gob"));
  EXPECT_TRUE(main_window().back_button_.Available());
  EXPECT_FALSE(main_window().scale_button_.Enabled());
  main_window().Click(main_window().back_button_);
  EXPECT_FALSE(main_window().back_button_.Available());
}

// Each keystroke in the expansion path field rebuilds the lists from both paths.
TEST_F(ShellEventsTest, TypingInTheExpansionField) {
  main_window().expansion_path_field_.SetText("");
  main_window().Type(main_window().expansion_path_field_, game_folder_);
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("ep1.gob", "ep1.gob"));
  main_window().Type(main_window().expansion_path_field_, "JK");
  EXPECT_EQ(main_window().expansion_path_field_.Background(), kWhite);
}

// The status line says why Scale and play cannot be clicked or why a field
// is light red, one reason at a time, the game's path first; a red field's
// hint says its own. Each goes with its reason.
TEST_F(ShellEventsTest, TheStatusLineSaysWhatIsMissing) {
  const std::string missing = "JK.EXE was not found at " + jk_ + "x";
  const struct {
    std::string game, factor, status, game_hint, factor_hint;
  } kCases[] = {
      {jk_, "1", "", "", kFactorHint},
      {jk_ + "x", "1", missing, missing, kFactorHint},
      {jk_ + "x", "0", missing, missing, kBadFactor},
      {jk_, "0", kBadFactor, "", kBadFactor},
      {"", "1001", kBadFactor, "", kBadFactor},
      {jk_, "2", "", "", kFactorHint},
  };
  FakeTextField& game = main_window().game_path_field_;
  FakeTextField& factor = main_window().factor_field_;
  for (const auto& c : kCases) {
    game.SetText(c.game);
    factor.SetText(c.factor);
    EXPECT_EQ(main_window().status_line_.Text(), c.status) << c.game << " " << c.factor;
    EXPECT_EQ(game.hint, c.game_hint) << c.game;
    EXPECT_EQ(factor.hint, c.factor_hint) << c.factor;
  }
}

// A disabled window takes no clicks.
TEST_F(ShellEventsTest, DisabledWindowIgnoresInput) {
  main_window().SetEnabled(false);
  main_window().DoubleClick(0);
  EXPECT_EQ(main_window().list_caption_.Text(), kEpisodesCaption);
}

// The factor field follows the typing: light red while the text is no
// accepted factor, white when it is.
TEST_F(ShellEventsTest, FactorFieldColourFollowsTheTyping) {
  FakeTextField& factor = main_window().factor_field_;
  factor.SetText("");
  const struct {
    char key;
    Colour colour;
  } kKeys[] = {{'2', kWhite}, {'.', kWhite}, {'5', kWhite}, {'x', kLightRed}};
  for (const auto& k : kKeys) {
    main_window().Type(factor, std::string(1, k.key));
    EXPECT_EQ(factor.Background(), k.colour) << factor.Text();
  }
  for (const char* text : {"", "0", "1001", "2,5", "0.0009"}) {
    factor.SetText(text);
    EXPECT_EQ(factor.Background(), kLightRed) << text;
  }
  factor.SetText("1000");
  EXPECT_EQ(factor.Background(), kWhite);
  EXPECT_EQ(factor.hint, "A number from 0.001 to 1000, with a dot, such as 2.5");
}

// An episode archive without levels opens to an explanation.
TEST_F(ShellEventsTest, ArchiveWithoutLevelsExplains) {
  temp_.WriteArchive("game/Episode/empty.gob", TestArchive().Add("episode.jk", "e"));
  main_window().Refresh();
  ASSERT_THAT(Items(main_window().archive_list_), ElementsAre("empty.gob", "ep1.gob"));
  main_window().DoubleClick(0);
  EXPECT_EQ(main_window().archive_list_.Shown(), kNoLevels);
  EXPECT_TRUE(main_window().back_button_.Available());
}

// A refresh (F5, or coming back to the window) follows the disk and keeps
// what was picked: a new archive shows up, a level stays picked, and an
// opened archive that has gone leaves for the episodes.
TEST_F(ShellEventsTest, RefreshFollowsTheDisk) {
  main_window().Select(main_window().archive_list_, 0);
  main_window().Select(main_window().extra_list_, 1);
  temp_.WriteArchive("game/Episode/another.gob", EpisodeArchive());
  main_window().Refresh();
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("another.gob", "ep1.gob"));
  EXPECT_EQ(main_window().archive_list_.SelectedIndex(), 1);
  EXPECT_EQ(main_window().extra_list_.SelectedIndex(), 1);

  OpenLevel(1, 1);
  main_window().Refresh();
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
  EXPECT_EQ(main_window().archive_list_.SelectedIndex(), 1);
  EXPECT_TRUE(main_window().scale_button_.Enabled());

  std::filesystem::remove(FsPath(NativeJoin(game_folder_, "Episode/ep1.gob")));
  main_window().Refresh();
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("another.gob"));
  EXPECT_EQ(main_window().list_caption_.Text(), kEpisodesCaption);
  EXPECT_FALSE(main_window().scale_button_.Enabled());
  EXPECT_THAT(ui_.dialogs_.messages, IsEmpty());
}

// F1 shows the About box, with the version the build was made with.
TEST_F(ShellEventsTest, AboutTellsTheVersion) {
  main_window().AskAbout();
  ASSERT_EQ(ui_.record.back().substr(0, 7 + 10 + std::string(kVersion).size()),
            "about: jkrescale " + std::string(kVersion));
  EXPECT_EQ(std::string(kVersion), JKRESCALE_VERSION);
}

// A "&" in an archive's name is shown as itself, not taken for a key.
TEST_F(ShellEventsTest, AmpersandInAnArchiveName) {
  temp_.WriteArchive("game/Episode/R&D.gob", EpisodeArchive());
  main_window().Refresh();
  ASSERT_THAT(Items(main_window().archive_list_), ElementsAre("ep1.gob", "R&D.gob"));
  main_window().DoubleClick(1);
  EXPECT_EQ(main_window().list_caption_.Text(), "&Levels in R&&D.gob (pick one):");
}

}  // namespace
}  // namespace jk
