// The player report on generated levels whose steps, drops and openings
// have known sizes, at several factors, with and without the gravity
// divided; the player's height from its template or its model. The check
// command's report is tested with the command (level_check_test.cc).
#include "scaling/player_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "scaling/player_drawing.h"
#include "scaling/player_walk.h"
#include "walk_level_generator.h"

namespace jk {
namespace {

using levelgen::Room;
using levelgen::WalkLevelOptions;

// The player of the generated levels: radius 0.065, height 0.18, jump speed
// 1.5, at gravity 4. It steps up 0.115 and jumps 0.28125 higher; a fall of
// more than (2.5 + 1/sqrt(45))^2 / 8 = 0.877197277 hurts; it passes openings
// 0.245 high standing, 0.14 crouching and 0.13 wide. The rooms and their
// passages are those of RoomsOfEveryKind (tools/walk_level_generator.h).
std::vector<Room> KnownRooms() { return levelgen::RoomsOfEveryKind(); }

struct Counts {
  int64_t steps, jumpable, openings, drops;
};

Counts CountsOf(const PlayerReport& r) { return {r.steps, r.jumpable_steps, r.openings, r.drops}; }

bool operator==(const Counts& a, const Counts& b) {
  return a.steps == b.steps && a.jumpable == b.jumpable && a.openings == b.openings &&
         a.drops == b.drops;
}

std::ostream& operator<<(std::ostream& out, const Counts& c) {
  return out << c.steps << " steps (" << c.jumpable << " jumpable), " << c.openings << " openings, "
             << c.drops << " drops";
}

class PlayerReportTest : public ::testing::Test {
 protected:
  PlayerWalk Walk(const WalkLevelOptions& options) {
    PlayerWalk walk;
    ReadPlayerWalk(levelgen::MakeWalkLevel(options).text, &walk);
    return walk;
  }
  PlayerWalk known_ = Walk({.rooms = KnownRooms()});
};

TEST_F(PlayerReportTest, ReadsThePlayerAndThePassages) {
  EXPECT_TRUE(known_.player.found);
  EXPECT_EQ(known_.player.template_name, "walkplayer");
  EXPECT_EQ(known_.player.model, "ky.3do");
  EXPECT_DOUBLE_EQ(known_.player.radius, 0.065);
  EXPECT_DOUBLE_EQ(known_.player.height, 0.18);
  EXPECT_DOUBLE_EQ(known_.player.jump_speed, 1.5);
  EXPECT_DOUBLE_EQ(known_.gravity, 4);
  ASSERT_EQ(known_.crossings.size(), 18u);     // nine passages, both ways
  const Crossing& rise = known_.crossings[0];  // room 0's side of passage 0
  EXPECT_EQ(rise.from_sector, 0);
  EXPECT_EQ(rise.to_sector, 1);
  EXPECT_TRUE(rise.has_rise);
  EXPECT_NEAR(rise.rise, 0.1, 1e-9);
  EXPECT_NEAR(rise.point.x, 2, 1e-9);
  EXPECT_NEAR(rise.point.z, 0.1, 1e-9);
  EXPECT_TRUE(rise.is_opening);
  EXPECT_NEAR(rise.opening_height, 1.9, 1e-9);
  EXPECT_NEAR(rise.opening_width, 2, 1e-9);
}

// Each place is found at the factors where it should be and at no other.
TEST_F(PlayerReportTest, CountsAtFactors) {
  const struct {
    double factor;
    bool gravity;
    Counts counts;
  } kCases[] = {
      {1, false, {4, 1, 2, 1}},
      {1.14, false, {4, 1, 2, 1}},
      {1.16, false, {5, 2, 2, 1}},  // the rise of 0.1 is now a step; a jump clears it
      {2, false, {5, 1, 0, 2}},     // 0.6 is no longer jumped; the drop of 0.5 hurts
      {2, true, {5, 2, 0, 1}},      // at gravity 2 the jump reaches 0.6, a drop of 1 is harmless
      {0.5, false, {4, 2, 4, 0}},   // the tunnel closes, the corridor is too narrow
      {0.69, false, {4, 2, 4, 0}},
      {0.71, false, {4, 2, 4, 0}},  // the tunnel is passed crouching, the corridor not yet
      {0.82, false, {4, 1, 2, 0}},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(CountsOf(ReportPlayer(known_, c.factor, c.gravity)), c.counts)
        << "x" << c.factor << (c.gravity ? " with gravity" : "");
  }
}

// The numbers of each place at x2.
TEST_F(PlayerReportTest, PlacesAtTwo) {
  PlayerReport r = ReportPlayer(known_, 2, false);
  std::vector<std::string> lines = PlayerReportLines(known_, r);
  const std::vector<std::string> kExpected = {
      "player: template walkplayer, radius 0.065, height 0.18: steps up 0.115, jumps 0.28125 "
      "higher, passes openings 0.245 high standing, 0.14 crouching, 0.13 wide; a drop of more "
      "than 0.877197277 hurts (gravity 4)",
      "At ×2: 5 steps too high to climb (1 can be jumped) and 2 drops that hurt. Every step "
      "stays climbable up to ×1.15. Every opening stays passable down to ×0.813.",
      "step: sector 0 to sector 1, surface 5 (adjoin 0) at 4 -2 0.2: rises 0.2, above the 0.115 "
      "the player steps up; a jump clears it",
  };
  ASSERT_GE(lines.size(), kExpected.size());
  for (size_t i = 0; i < kExpected.size(); ++i) EXPECT_EQ(lines[i], kExpected[i]);
  EXPECT_EQ(lines.back(),
            "This is what the geometry allows, not a proof: slopes, moving floors, the Force, "
            "teleports and openings in floors and ceilings are not judged.");
  int drops = 0;
  for (const std::string& line : lines) drops += line.starts_with("drop: ");
  EXPECT_EQ(drops, 2);
}

// The range of factors, right to far better than 1%, and what sets it.
TEST_F(PlayerReportTest, LargestAndSmallestFactors) {
  PlayerReport r = ReportPlayer(known_, 1, false);
  EXPECT_NEAR(r.largest_factor, 1.15, 1e-9);
  EXPECT_EQ(r.largest_limit, FactorLimit::kStep);
  EXPECT_NEAR(r.smallest_factor, 0.8125, 1e-9);
  // A jump over 0.3 alone: it clears up to x(0.39625 / 0.3); with the
  // gravity divided the jump grows too, up to x(0.115 / (0.3 - 0.28125)).
  PlayerWalk jump = Walk({.rooms = {{.floor = 0}, {.floor = 0.3}}});
  PlayerReport plain = ReportPlayer(jump, 1, false);
  EXPECT_NEAR(plain.largest_factor, 0.39625 / 0.3, 1e-9);
  EXPECT_EQ(plain.largest_limit, FactorLimit::kJump);
  EXPECT_NEAR(ReportPlayer(jump, 1, true).largest_factor, 0.115 / 0.01875, 1e-9);
  // A drop of 0.5 alone: harmless up to x1.754; with the gravity divided,
  // at every factor.
  PlayerWalk drop = Walk({.rooms = {{.floor = 0}, {.floor = -0.5}}});
  PlayerReport harmless = ReportPlayer(drop, 1, false);
  EXPECT_NEAR(harmless.largest_factor, 0.877197277 / 0.5, 1e-8);
  EXPECT_EQ(harmless.largest_limit, FactorLimit::kDrop);
  EXPECT_EQ(ReportPlayer(drop, 1, true).largest_limit, FactorLimit::kNone);
  EXPECT_EQ(ReportPlayer(drop, 1.75, false).drops, 0);
  EXPECT_EQ(ReportPlayer(drop, 1.76, false).drops, 1);
  EXPECT_EQ(FactorText(1.15, true), "1.15");
  EXPECT_EQ(FactorText(1.3208333, true), "1.32");
  EXPECT_EQ(FactorText(0.8125, false), "0.813");
  EXPECT_EQ(FactorText(2, true), "2");
  EXPECT_EQ(FactorText(1000, true), "1000");
}

// The height comes from the model's INSERT OFFSET when the template has
// none; the least the engine allows is r + 0.005.
TEST_F(PlayerReportTest, HeightFromTheModel) {
  PlayerWalk walk = Walk({.rooms = KnownRooms(), .height = 0});
  EXPECT_FALSE(walk.player.height_known);
  EXPECT_DOUBLE_EQ(walk.player.StandingHeight(), 0.07);
  EXPECT_TRUE(ApplyModelInsertOffset(levelgen::MakePlayerModel(0.18), &walk));
  EXPECT_TRUE(walk.player.height_known);
  EXPECT_EQ(CountsOf(ReportPlayer(walk, 2, false)), (Counts{5, 1, 0, 2}));
  PlayerWalk given = known_;
  EXPECT_TRUE(ApplyModelInsertOffset(levelgen::MakePlayerModel(0.5), &given));
  EXPECT_DOUBLE_EQ(given.player.height, 0.18);  // height= wins
}

// The expansion's surfaces, with four light values a vertex, read alike,
// and with an extra light of four values too.
TEST_F(PlayerReportTest, ExpansionLevels) {
  for (bool colour : {false, true}) {
    PlayerWalk walk =
        Walk({.rooms = KnownRooms(), .expansion = true, .colour_extra_light = colour});
    EXPECT_EQ(walk.crossings.size(), 18u);
    EXPECT_EQ(CountsOf(ReportPlayer(walk, 2, false)), (Counts{5, 1, 0, 2})) << colour;
  }
}

// Comments and trailing comments are no part of what is read.
TEST_F(PlayerReportTest, CommentsAreSkipped) {
  std::string text = levelgen::MakeWalkLevel({.rooms = KnownRooms()}).text;
  std::string commented;
  for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    commented += "; a comment line\r\n" + text.substr(start, end - start) + " # 1 2 3\r\n";
  }
  PlayerWalk walk;
  ReadPlayerWalk(commented, &walk);
  EXPECT_EQ(CountsOf(ReportPlayer(walk, 2, false)), (Counts{5, 1, 0, 2}));
}

// An adjoin without the movement flag is no passage.
TEST_F(PlayerReportTest, ClosedPassages) {
  std::vector<Room> rooms = KnownRooms();
  rooms[1].passage_flags = 0x5;  // passage 1, the rise of 0.3
  PlayerWalk walk = Walk({.rooms = rooms});
  EXPECT_EQ(walk.crossings.size(), 16u);
  EXPECT_EQ(CountsOf(ReportPlayer(walk, 1, false)), (Counts{3, 0, 2, 1}));
}

// Damaged text is read as far as it makes sense: every cut of a level and
// a level with its numbers garbled give a report.
TEST_F(PlayerReportTest, DamagedLevels) {
  const std::string text = levelgen::MakeWalkLevel({.rooms = KnownRooms()}).text;
  for (size_t cut = 0; cut < text.size(); cut += 101) {
    PlayerWalk walk;
    ReadPlayerWalk(text.substr(0, cut), &walk);
    PlayerReport r = ReportPlayer(walk, 2, true);
    EXPECT_FALSE(PlayerReportLines(walk, r).empty());
    EXPECT_FALSE(DrawPlayerReportSvg(walk, r).empty());
  }
  std::string garbled = text;
  for (size_t i = 0; i < garbled.size(); i += 7) {
    if (garbled[i] >= '0' && garbled[i] <= '9') garbled[i] = '9';
  }
  PlayerWalk walk;
  ReadPlayerWalk(garbled, &walk);
  (void)PlayerReportLines(walk, ReportPlayer(walk, 0.5, false));
}

TEST_F(PlayerReportTest, DrawingMarksEachPlace) {
  PlayerReport r = ReportPlayer(known_, 2, false);
  std::string svg = DrawPlayerReportSvg(known_, r);
  EXPECT_TRUE(svg.starts_with("<svg xmlns=\"http://www.w3.org/2000/svg\""));
  EXPECT_TRUE(svg.ends_with("</svg>\n"));
  EXPECT_NE(svg.find("6: drop that hurts, 2, sector 8 to sector 9, surface"), std::string::npos);
  size_t polygons = 0;
  for (size_t at = 0; (at = svg.find("<polygon", at)) != std::string::npos; ++at) ++polygons;
  EXPECT_EQ(polygons, 10u + 18u);  // the floors and the adjoins crossed
}

}  // namespace
}  // namespace jk
