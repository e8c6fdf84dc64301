// The consistency check on generated levels: as generated, with one value
// changed, scaled, rounded and damaged; and the check command, with the
// player report it adds.
#include "scaling/level_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "fake_process_runner.h"
#include "level_generator.h"
#include "memory_file_system.h"
#include "scaling/text.h"
#include "test_archive.h"
#include "walk_level_generator.h"

namespace jk {
namespace {

using levelgen::GeneratedLevel;
using levelgen::LevelOptions;
using levelgen::MakeLevel;
using levelgen::SixDecimals;
using Lines = std::vector<std::string>;

Lines SplitLines(const std::string& text) {
  Lines lines;
  for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

std::string JoinLines(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// The level with the lines numbered `line` replaced.
std::string Edited(const GeneratedLevel& level,
                   const std::vector<std::pair<int, std::string>>& edits) {
  Lines lines = SplitLines(level.text);
  for (const auto& [line, text] : edits) lines.at(size_t(line) - 1) = text;
  return JoinLines(lines);
}

// The level with fields `first` and later of the given lines multiplied by
// `factor` and written by `write`; the fields are joined by tabs.
void ScaleFields(Lines& lines, const std::vector<int>& which, size_t first, double factor,
                 const std::function<std::string(double)>& write) {
  for (int line : which) {
    auto fields = SplitOnWhiteSpace(lines.at(size_t(line) - 1));
    std::string text;
    for (size_t i = 0; i < fields.size(); ++i) {
      text += (i ? "\t" : "") +
              (i < first ? std::string(fields[i]) : write(ValueOf(fields[i]) * factor));
    }
    lines[size_t(line) - 1] = text;
  }
}

// The level with its vertices, and unless `only_vertices` its BOUNDBOX,
// CENTER, RADIUS and dist values too, multiplied by `factor`.
std::string Scaled(const GeneratedLevel& level, double factor,
                   const std::function<std::string(double)>& write, bool only_vertices = false) {
  Lines lines = SplitLines(level.text);
  ScaleFields(lines, level.vertex_lines, 1, factor, write);
  if (only_vertices) return JoinLines(lines);
  ScaleFields(lines, level.adjoin_lines, 3, factor, write);
  for (const auto& s : level.sectors) {
    ScaleFields(lines, {s.boundbox_line, s.center_line, s.radius_line}, 1, factor, write);
  }
  return JoinLines(lines);
}

class LevelCheckTest : public ::testing::Test {
 protected:
  // What the check command prints for `text` as level.jkl.
  std::string Check(const std::string& text) {
    fs_.SetFile("level.jkl", text);
    LevelCheckReport report;
    Status status = CheckLevel(fs_, "level.jkl", &report);
    EXPECT_TRUE(status.ok()) << status.message();
    std::string printed;
    for (const LevelFinding& f : report.findings) printed += FindingLine("level.jkl", f) + "\n";
    return printed + SummaryLine("level.jkl", report) + "\n";
  }
  // "level.jkl:LINE: TEXT\n".
  static std::string At(int line, const std::string& text) {
    return "level.jkl:" + std::to_string(line) + ": " + text + "\n";
  }

  MemoryFileSystem fs_;
  GeneratedLevel level_ = MakeLevel({.sectors = 3});
  const std::string kConsistent = "level.jkl: 3 sectors and 4 adjoins checked: consistent\n";
};

// Generated levels of every size and option pass.
TEST_F(LevelCheckTest, GeneratedLevelsPass) {
  EXPECT_EQ(Check(level_.text), kConsistent);
  EXPECT_EQ(Check(MakeLevel({.sectors = 0}).text),
            "level.jkl: 0 sectors and 0 adjoins checked: consistent\n");
  EXPECT_EQ(Check(MakeLevel({.sectors = 1, .collide_box_every = 0, .sound_every = 0}).text),
            "level.jkl: 1 sector and 0 adjoins checked: consistent\n");
  EXPECT_EQ(Check(MakeLevel({.sectors = 40, .collide_box_every = 1, .sound_every = 5}).text),
            "level.jkl: 40 sectors and 78 adjoins checked: consistent\n");
  EXPECT_EQ(Check(""), "level.jkl: 0 sectors and 0 adjoins checked: consistent\n");
  // Read as the game reads it: comments, commas between fields.
  EXPECT_EQ(Check(MakeLevel({.sectors = 3, .game_reader_forms = true}).text), kConsistent);
}

// Each wrong value is reported once, at its own line.
TEST_F(LevelCheckTest, WrongValuesAtTheirLines) {
  const auto& s = level_.sectors;
  EXPECT_EQ(
      Check(Edited(level_,
                   {{s[1].boundbox_line, "BOUNDBOX\t-0.375 -0.25 0.125 2.125 1.000000 0.975000"}})),
      At(s[1].boundbox_line,
         "sector 1: BOUNDBOX -0.375 -0.25 0.125 2.125 1 0.975 is not the minimum and maximum of "
         "its vertices, -0.375 -0.25 0.125 2.125 1 0.875") +
          "level.jkl: 3 sectors and 4 adjoins checked: 1 inconsistency\n");
  // The RADIUS is measured from the CENTER as written, as the engine does.
  EXPECT_EQ(Check(Edited(level_, {{s[2].center_line, "CENTER\t2.500000 0.375000 0.600000"}})),
            At(s[2].center_line,
               "sector 2: CENTER 2.5 0.375 0.6 is not the average of its vertices, 2.5 0.375 0.5") +
                At(s[2].radius_line,
                   "sector 2: RADIUS 0.81968 is not the largest distance from its CENTER to its "
                   "vertices, 0.869985632") +
                "level.jkl: 3 sectors and 4 adjoins checked: 2 inconsistencies\n");
  EXPECT_EQ(Check(Edited(level_, {{s[0].radius_line, "RADIUS\t0.9"},
                                  {level_.adjoin_lines[2], "2:\t0x7\t3\t1.300000"}})),
            At(level_.adjoin_lines[2],
               "adjoin 2: dist 1.3 is not the distance from the CENTER of sector 1 to the plane "
               "of surface 7, 1.25") +
                At(s[0].radius_line,
                   "sector 0: RADIUS 0.9 is not the largest distance from its CENTER to its "
                   "vertices, 0.883883476") +
                "level.jkl: 3 sectors and 4 adjoins checked: 2 inconsistencies\n");
}

// dist may be off by 0.025 max(R, L), L the median R: 0.0221 in sectors 0
// (R = 0.884 = L) and 2 (R = 0.820), 0.0362 in sector 1 (R = 1.447).
TEST_F(LevelCheckTest, DistTolerance) {
  auto with_dist = [&](int adjoin, const char* dist) {
    std::string mirror = std::to_string(adjoin ^ 1);
    return Check(Edited(level_, {{level_.adjoin_lines[size_t(adjoin)],
                                  std::to_string(adjoin) + "\t0x7\t" + mirror + "\t" + dist}}));
  };
  EXPECT_EQ(with_dist(0, "0.522"), kConsistent);
  EXPECT_EQ(with_dist(0, "0.478"), kConsistent);
  EXPECT_EQ(with_dist(0, "0.523"),
            At(level_.adjoin_lines[0],
               "adjoin 0: dist 0.523 is not the distance from the CENTER of sector 0 to the plane "
               "of surface 1, 0.5") +
                "level.jkl: 3 sectors and 4 adjoins checked: 1 inconsistency\n");
  EXPECT_EQ(with_dist(1, "1.286"), kConsistent);
  EXPECT_NE(with_dist(1, "1.287"), kConsistent);
  EXPECT_EQ(with_dist(3, "0.397"), kConsistent);
  EXPECT_NE(with_dist(3, "0.398"), kConsistent);
}

// Far from the origin a value may be off by one step of single precision
// at its magnitude: at 2001, 2.4e-4 (with the 5.5e-6 of the sector's size).
TEST_F(LevelCheckTest, ToleranceGrowsWithTheCoordinates) {
  GeneratedLevel far = MakeLevel({.sectors = 3, .offset = 2000});
  const int center = far.sectors[0].center_line;
  auto with_center = [&](const char* text) {
    return Check(Edited(far, {{center, std::string("CENTER\t") + text + " 2000.375 2000.5"}}));
  };
  EXPECT_EQ(with_center("1999.125"), kConsistent);
  EXPECT_EQ(with_center("1999.12524"), kConsistent);
  EXPECT_EQ(with_center("1999.12476"), kConsistent);
  EXPECT_NE(with_center("1999.12525"), kConsistent);
  EXPECT_NE(with_center("1999.12475"), kConsistent);
}

// Geometry multiplied as a whole passes, written by TextOf or rounded to
// six decimals; vertices multiplied alone do not.
TEST_F(LevelCheckTest, ScaledLevels) {
  GeneratedLevel big = MakeLevel({.sectors = 12});
  const std::string kBig = "level.jkl: 12 sectors and 22 adjoins checked: consistent\n";
  for (double factor : {2.0, 0.5, 1.25}) {
    EXPECT_EQ(Check(Scaled(big, factor, TextOf)), kBig) << factor;
  }
  // At x1000 the level reaches beyond 10,000 units: consistent still.
  const std::string far = Check(Scaled(big, 1000, TextOf));
  EXPECT_TRUE(far.ends_with("checked: consistent; 1 line beyond the game's limits\n")) << far;
  for (double factor : {1 / 3.0, 0.7, 3.7, 0.01}) {
    EXPECT_EQ(Check(Scaled(big, factor, SixDecimals)), kBig) << factor;
  }
  GeneratedLevel one = MakeLevel({.sectors = 1});
  const auto& s = one.sectors[0];
  EXPECT_EQ(Check(Scaled(one, 2, TextOf, /*only_vertices=*/true)),
            At(s.boundbox_line,
               "sector 0: BOUNDBOX -1.375 -0.25 0.125 -0.375 1 0.875 is not the minimum and "
               "maximum of its vertices, -2.75 -0.5 0.25 -0.75 2 1.75") +
                At(s.center_line,
                   "sector 0: CENTER -0.875 0.375 0.5 is not the average of its vertices, -1.75 "
                   "0.75 1") +
                At(s.radius_line,
                   "sector 0: RADIUS 0.883883 is not the largest distance from its CENTER to its "
                   "vertices, 2.77826385") +
                "level.jkl: 1 sector and 0 adjoins checked: 3 inconsistencies\n");
}

// Damaged levels give findings, never a crash.
TEST_F(LevelCheckTest, DamagedLevels) {
  const auto& s = level_.sectors;
  const auto& surface = level_.surface_lines;
  const std::string kSurface6 = "6:\t-1\t0x4\t0x0\t0\t3\t4\t-1\t0.000000\t4\t8,0\t12,1\t14,2\t10,3";
  const std::string kSurface0 = "0:\t0\t0x4\t0x4\t4\t3\t4\t5\t0.000000\t4\t0,0\t4,1\t99,2\t2,3";
  EXPECT_EQ(Check(Edited(level_, {{s[0].vertices_line, "VERTICES\t9"},
                                  {s[0].surfaces_line, "8:\t99\r\nSURFACES\t0\t6"}})),
            At(s[0].surfaces_line, "sector 0: vertex 99 is not one of the 24 world vertices") +
                "level.jkl: 3 sectors and 4 adjoins checked: 1 inconsistency\n");
  EXPECT_EQ(Check(Edited(level_, {{surface[6], kSurface6}, {surface[0], kSurface0}})),
            At(level_.adjoin_lines[1], "adjoin 1: no surface names it") +
                At(surface[0], "surface 0: adjoin 5 is not one of the 4 world adjoins") +
                At(surface[0], "surface 0: vertex 99 is not one of the 24 world vertices") +
                "level.jkl: 3 sectors and 4 adjoins checked: 3 inconsistencies\n");
  EXPECT_EQ(
      Check(Edited(level_, {{s[1].surfaces_line, "SURFACES\t16\t6"}})),
      At(level_.adjoin_lines[1], "adjoin 1: surface 6, which names it, is in no sector") +
          At(level_.adjoin_lines[2], "adjoin 2: surface 7, which names it, is in no sector") +
          At(s[1].surfaces_line, "sector 1: SURFACES 16 6 is not within the 18 world surfaces") +
          "level.jkl: 3 sectors and 4 adjoins checked: 3 inconsistencies\n");
  EXPECT_EQ(Check(Edited(level_, {{s[2].center_line, "CENTER\t2.5"}, {s[2].radius_line, "#"}})),
            At(s[2].sector_line, "sector 2: no RADIUS") +
                At(s[2].center_line, "sector 2: CENTER has 1 number, not 3") +
                "level.jkl: 3 sectors and 4 adjoins checked: 2 inconsistencies\n");
  // The level cut short after its surfaces: no sector reaches the adjoins.
  std::string cut = level_.text.substr(0, level_.text.find("SECTION: SECTORS"));
  std::string printed = Check(cut);
  EXPECT_EQ(printed.substr(printed.rfind("level.jkl: ")),
            "level.jkl: 0 sectors and 4 adjoins checked: 4 inconsistencies\n");
}

// The game's limits are reported apart from the inconsistencies: a sky too
// high, a line too long or of too many fields, the farthest vertex beyond
// each distance.
TEST_F(LevelCheckTest, GameLimits) {
  Lines lines = SplitLines(level_.text);
  const int sky = level_.gravity_line + 1;
  ASSERT_TRUE(lines[size_t(sky) - 1].starts_with("Ceiling Sky Z"));
  const auto& v = level_.vertex_lines;
  std::string many_fields = "# many fields:";
  for (int i = 0; i < 129; ++i) many_fields += " 1,2";
  Lines edited = lines;
  edited[size_t(sky) - 1] = "Ceiling Sky Z 1500.5";
  edited[size_t(v[3]) - 1] = "3:\t12000\t0\t0";
  edited[size_t(v[5]) - 1] = "5:\t0\t-10500\t0";
  edited.insert(edited.begin() + 1, "# " + std::string(1100, 'x'));
  edited.insert(edited.begin() + 1, many_fields.substr(2));
  // Two lines inserted before the others: their numbers grow by 2.
  fs_.SetFile("level.jkl", JoinLines(edited));
  LevelCheckReport report;
  ASSERT_TRUE(CheckLevel(fs_, "level.jkl", &report).ok());
  std::vector<std::string> limits;
  for (const LevelFinding& f : report.limits) limits.push_back(FindingLine("level.jkl", f));
  EXPECT_EQ(limits, (std::vector<std::string>{
                        "level.jkl:2: the line has 260 fields, more than the 128 the game reads",
                        "level.jkl:3: the line has 1102 characters, more than the 1023 the "
                        "game reads",
                        "level.jkl:" + std::to_string(sky + 2) +
                            ": Ceiling Sky Z 1500.5 is above the 1000 the game draws",
                        "level.jkl:" + std::to_string(v[3] + 2) +
                            ": vertex 3: 12000 is beyond ±10000, where the game's motion is "
                            "jerky (2 vertices are)",
                    }));
  EXPECT_TRUE(SummaryLine("level.jkl", report).ends_with("; 4 lines beyond the game's limits"));
  edited[size_t(v[5]) + 1] = "5:\t0\t-31000\t0";
  fs_.SetFile("level.jkl", JoinLines(edited));
  ASSERT_TRUE(CheckLevel(fs_, "level.jkl", &report).ok());
  EXPECT_EQ(report.limits.back().text,
            "vertex 5: 31000 is beyond ±30000, where the game's motion breaks (1 vertex is)");
}

// A file that is not there fails with a message that names it.
TEST_F(LevelCheckTest, MissingFile) {
  LevelCheckReport report;
  Status status = CheckLevel(fs_, "gone.jkl", &report);
  EXPECT_TRUE(status.IsNotFound());
  EXPECT_NE(status.message().find("'gone.jkl'"), std::string::npos) << status.message();
}

class CheckCommandTest : public LevelCheckTest {
 protected:
  struct Result {
    int code;
    std::string out, err;
  };
  Result Run(const std::vector<std::string>& args) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    int code = RunCli(args, {fs_, runner_, "", {}, out, err});
    return {code, Drain(out), Drain(err)};
  }
  static std::string Drain(std::FILE* file) {
    std::string text(size_t(std::ftell(file)), '\0');
    std::rewind(file);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    return text;
  }

  std::vector<std::string> log_;
  FakeProcessRunner runner_{&log_};
};

// 0 for a consistent level, 1 for an inconsistent or unreadable one, 2 for
// a usage error; findings and summary on standard output.
TEST_F(CheckCommandTest, ExitStatusAndOutput) {
  fs_.SetFile("good.jkl", level_.text);
  // The player report follows the summary (tests/player_report_test.cc).
  Result good = Run({"check", "good.jkl"});
  EXPECT_EQ(good.code, kExitOk);
  EXPECT_TRUE(
      good.out.starts_with("good.jkl: 3 sectors and 4 adjoins checked: consistent\n"
                           "player: "))
      << good.out;
  EXPECT_EQ(good.err, "");

  fs_.SetFile("bad.jkl", Edited(level_, {{level_.sectors[0].radius_line, "RADIUS\t1"}}));
  Result bad = Run({"check", "bad.jkl"});
  EXPECT_EQ(bad.code, kExitFailed);
  EXPECT_TRUE(bad.out.starts_with("bad.jkl:" + std::to_string(level_.sectors[0].radius_line) +
                                  ": sector 0: RADIUS 1 is not the largest distance from its "
                                  "CENTER to its vertices, 0.883883476\n"
                                  "bad.jkl: 3 sectors and 4 adjoins checked: 1 inconsistency\n"
                                  "player: "))
      << bad.out;
  EXPECT_EQ(bad.err, "");

  Result missing = Run({"check", "gone.jkl"});
  EXPECT_EQ(missing.code, kExitFailed);
  EXPECT_EQ(missing.out, "");
  EXPECT_TRUE(missing.err.starts_with("jkrescale-cli: 'gone.jkl': ")) << missing.err;
  EXPECT_EQ(missing.err.find('\n'), missing.err.size() - 1);

  const std::pair<std::vector<std::string>, std::string> kUsageErrors[] = {
      {{"check"}, "check takes one level file, or an archive and a level"},
      {{"check", "a", "b", "c"}, "check takes one level file, or an archive and a level"},
      {{"check", "-x", "good.jkl"}, "unknown option -x"},
  };
  for (const auto& [args, message] : kUsageErrors) {
    Result usage = Run(args);
    EXPECT_EQ(usage.code, kExitUsage);
    EXPECT_EQ(usage.out, "");
    EXPECT_TRUE(usage.err.starts_with("jkrescale-cli: " + message + "\nusage: ")) << usage.err;
  }
}

// check FILE.jkl adds the report after the summary; its exit status still
// says only whether the level is consistent.
TEST_F(CheckCommandTest, CheckFileAddsTheReport) {
  fs_.SetFile("out/jkl/walk.jkl",
              levelgen::MakeWalkLevel({.rooms = levelgen::RoomsOfEveryKind()}).text);
  Result r = Run({"check", "out/jkl/walk.jkl", "--factor", "2", "--svg", "walk.svg"});
  EXPECT_EQ(r.code, kExitOk) << r.out << r.err;
  EXPECT_NE(r.out.find("out/jkl/walk.jkl: 10 sectors and 18 adjoins checked: consistent\n"
                       "player: template walkplayer"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\nAt ×2: 5 steps too high to climb (1 can be jumped) and 2 drops that "
                       "hurt."),
            std::string::npos);
  EXPECT_TRUE(fs_.IsFile("walk.svg"));
}

// check ARCHIVE LEVEL reads the level from the archive and the player's
// model from the resource archive.
TEST_F(CheckCommandTest, CheckArchiveLevel) {
  TestArchive episode;
  episode.Add("jkl\\walk.jkl",
              levelgen::MakeWalkLevel({.rooms = levelgen::RoomsOfEveryKind(), .height = 0}).text);
  fs_.SetFile("walk.goo", episode.Build());
  TestArchive resource;
  resource.Add("3do\\ky.3do", levelgen::MakePlayerModel(0.18));
  fs_.SetFile("jkmres.goo", resource.Build());
  Result r = Run({"check", "walk.goo", "jkl\\walk.jkl", "--resource", "jkmres.goo", "--factor", "2",
                  "--gravity"});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_NE(r.out.find("At ×2: 5 steps too high to climb (2 can be jumped) and 1 drop that "
                       "hurts."),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("height 0.18:"), std::string::npos) << r.out;
  // Without the resource archive, the height is not known.
  Result bare = Run({"check", "walk.goo", "jkl\\walk.jkl"});
  EXPECT_EQ(bare.code, kExitOk);
  EXPECT_NE(bare.out.find("neither its template nor its model ky.3do gives its height"),
            std::string::npos);

  const std::pair<std::vector<std::string>, std::string> kUsageErrors[] = {
      {{"check", "a", "b", "c"}, "check takes one level file, or an archive and a level"},
      {{"check", "walk.jkl", "--resource", "r.gob"}, "--resource goes with ARCHIVE LEVEL"},
      {{"check", "walk.goo", "jkl\\walk.jkl", "--factor", "0"},
       "--factor takes a number from 0.001 to 1000"},
  };
  for (const auto& [args, message] : kUsageErrors) {
    Result usage = Run(args);
    EXPECT_EQ(usage.code, kExitUsage);
    EXPECT_TRUE(usage.err.starts_with("jkrescale-cli: " + message + "\n")) << usage.err;
  }
  Result missing = Run({"check", "walk.goo", "jkl\\gone.jkl"});
  EXPECT_EQ(missing.code, kExitFailed);
  EXPECT_EQ(missing.err, "jkrescale-cli: 'walk.goo': holds no level 'jkl\\gone.jkl'\n");
}

}  // namespace
}  // namespace jk
