// The line under the factor field: the level picked is read once in the
// background, and each factor typed or gravity choice made is then shown
// at once; a level picked in between wins.
#include "shell_fixture.h"
#include "walk_level_generator.h"

namespace jk {
namespace {

class PlayerLineTest : public ShellTest {
 protected:
  void SetUp() override {
    jk_ = MakeGame();
    // The walk level's player has no height=: its model in the resource
    // archive gives it.
    TestArchive episode = EpisodeArchive();
    episode.Add("jkl\\walk.jkl",
                levelgen::MakeWalkLevel({.rooms = levelgen::RoomsOfEveryKind(), .height = 0}).text);
    temp_.WriteArchive("game/Episode/ep1.gob", episode);
    temp_.WriteArchive("game/Resource/res2.gob",
                       TestArchive().Add("3do\\ky.3do", levelgen::MakePlayerModel(0.18)));
    WriteSettingsFile(jk_ + "\r\n");
    StartShell();
  }
  std::string Line() { return main_window().player_line_.Text(); }
  void TypeFactor(const std::string& text) {
    main_window().factor_field_.SetText("");
    main_window().Type(main_window().factor_field_, text);
  }

  std::string jk_;
  const int kWalk = 2;  // after one.jkl and two.jkl
};

TEST_F(PlayerLineTest, FollowsTheLevelTheFactorAndTheGravity) {
  TypeFactor("2");
  OpenLevel(0, kWalk);
  EXPECT_EQ(Line(), "");  // being read
  ui_.FinishBackgroundWork();
  EXPECT_EQ(Line(),
            "At ×2: 5 steps too high to climb (1 can be jumped) and 2 drops that hurt. Every "
            "step stays climbable up to ×1.15. Every opening stays passable down to ×0.813.");
  TypeFactor("0.5");
  EXPECT_TRUE(ui_.background.empty());  // read once
  EXPECT_TRUE(
      Line().starts_with("At ×0.5: 4 steps too high to climb (2 can be jumped) and 4 "
                         "openings too low or too narrow."))
      << Line();
  TypeFactor("0.5x");
  EXPECT_EQ(Line(), "");
  TypeFactor("2");
  main_window().Click(main_window().gravity_check_box_);
  EXPECT_TRUE(
      Line().starts_with("At ×2: 5 steps too high to climb (2 can be jumped) and 1 drop "
                         "that hurts."))
      << Line();
  main_window().Click(main_window().back_button_);
  EXPECT_EQ(Line(), "");
}

TEST_F(PlayerLineTest, TheLastLevelPickedWins) {
  TypeFactor("2");
  OpenLevel(0, kWalk);
  main_window().Select(main_window().archive_list_, 0);  // one.jkl, without geometry
  ui_.FinishBackgroundWork();
  EXPECT_EQ(Line(), "At ×2: no step too high to climb, no opening too small, no drop that hurts.");
}

}  // namespace
}  // namespace jk
