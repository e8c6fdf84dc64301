// Scenery that moves, sounds and glows: the cog script rewrite, the
// keyframe, sound class and sprite scaling, and whole scale runs on a
// generated level whose scenery shares some of those files with an actor.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <map>
#include <sstream>

#include "level_generator.h"
#include "platform/real_file_system.h"
#include "scaling/cog_script.h"
#include "scaling/game_text.h"
#include "scaling/scale_run.h"
#include "scaling/scenery_text.h"
#include "scaling_fixture.h"
#include "test_archive.h"

namespace jk {
namespace {

using scaling_test::CrLfLines;
using scaling_test::FilesIn;
using scaling_test::ReadFile;
using scaling_test::RecordedProgress;
using scaling_test::RunCliCaptured;
using scaling_test::TempFolder;

std::string Rewritten(const std::string& text, double factor = 2) {
  return RewriteCogScript(text, ReadCogScript(text), ScaleFactor(factor));
}

// The code of a script around one line.
std::string Code(const std::string& line) { return "symbols\nend\ncode\n" + line + "\nend\n"; }

TEST(CogScriptTest, RewritesSpeedsAndSoundRangesOnly) {
  struct Case {
    std::string line, rewritten;
  } cases[] = {
      {"MoveToFrame(door, 1, speed);", "MoveToFrame(door, 1, speed*2);"},
      {"movetoframe(door,1,0.5);", "movetoframe(door,1,1);"},
      {"SKIPTOFRAME( door , 2 , ( speed + 1 ) / 2 ) ;",
       "SKIPTOFRAME( door , 2 , (( speed + 1 ) / 2)*2 ) ;"},
      {"SkipToFrame(door, 1, 0);", "SkipToFrame(door, 1, 10);"},
      {"SlideWall(s, dir, GetThingVel(a));", "SlideWall(s, dir, (GetThingVel(a))*2);"},
      {"slidesurface (s, dir, 4)", "slidesurface (s, dir, 8)"},
      {"PlaySoundThing(s, t, 1.0, -1, -1, 0);", "PlaySoundThing(s, t, 1.0, 10, 50, 0);"},
      {"PlaySoundPos(s, GetThingPos(t), 1, near, 2.5, 0x4);",
       "PlaySoundPos(s, GetThingPos(t), 1, near*2, 5, 0x4);"},
      {"MoveToFrame(door, 1, speed /* fast */);", "MoveToFrame(door, 1, (speed /* fast */)*2);"},
      {"MoveToFrame(door, 1,\n   speed);", "MoveToFrame(door, 1,\n   speed*2);"},
      // Not calls, or not these: unchanged.
      {"// MoveToFrame(door, 1, speed);", "// MoveToFrame(door, 1, speed);"},
      {"# SlideWall(s, d, 4)", "# SlideWall(s, d, 4)"},
      {"  ; SlideWall(s, d, 4)", "  ; SlideWall(s, d, 4)"},
      {"Sleep(1); # SlideWall(s, d, 4)", "Sleep(1); # SlideWall(s, d, 4)"},
      {"/* SlideWall(s, d,\n 4) */", "/* SlideWall(s, d,\n 4) */"},
      {"Print(\"MoveToFrame(a, 1, 2)\");", "Print(\"MoveToFrame(a, 1, 2)\");"},
      {"MyMoveToFrame(a, 1, 2); Sleep(2.0); PlayKey(a, k, 1, 0);",
       "MyMoveToFrame(a, 1, 2); Sleep(2.0); PlayKey(a, k, 1, 0);"},
      {"MoveToFrame(door, 1", "MoveToFrame(door, 1"},
      {"MoveToFrame(door)", "MoveToFrame(door)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Rewritten(Code(c.line)), Code(c.rewritten)) << c.line;
  }
  EXPECT_EQ(Rewritten(Code("MoveToFrame(a, 1, s);"), 0.5), Code("MoveToFrame(a, 1, s*0.5);"));
  // Before "code" nothing is a call.
  EXPECT_EQ(Rewritten("symbols\nMoveToFrame(a, 1, 2)\nend\n"),
            "symbols\nMoveToFrame(a, 1, 2)\nend\n");
}

TEST(CogScriptTest, ReadsSymbolsAndGivesThemTheCogLineValues) {
  CogScript script = ReadCogScript(
      "# comment\nflags=0x240\nSYMBOLS\nmessage startup\nThing Door0 desc=door\n"
      "flex speed=8.0 # its speed\nflex done=1,local\nkeyframe k=Open.KEY\nsound s\nend\n"
      "code\nend\n");
  ASSERT_EQ(script.symbols.size(), 6u);
  EXPECT_EQ(script.symbols[1].type, "thing");
  EXPECT_EQ(script.symbols[1].name, "door0");
  EXPECT_EQ(script.symbols[2].default_value, "8.0");
  EXPECT_TRUE(script.symbols[3].local);
  EXPECT_EQ(script.Find("K"), &script.symbols[4]);
  EXPECT_EQ(SymbolValues(script, {"12", "4.5", "X.key"}),
            (std::vector<std::string>{"", "12", "4.5", "1", "x.key", ""}));
}

TEST(SceneryTextTest, ScalesTheLengthsOfEachKind) {
  struct Case {
    SceneryFileKind kind;
    std::vector<std::string> lines, scaled;
  } cases[] = {
      {SceneryFileKind::kKeyframe,
       {"FRAMES 30", "# x y z", "ENTRIES 2", "0:  0 0x0  1.5 -2 0.25  0 90 0  # a",
        "   0.5,0.5,1 0 3 0", "; 1: 15 0x0 1 1 1", "1: 15 0x0 1 1 \\", " 1 0 0 0", "0 0 0 0 0 0",
        "2: 30 0x0 1 1 1 0 0 0"},
       {"FRAMES 30", "# x y z", "ENTRIES 2", "0:  0 0x0  3 -4 0.5  0 90 0  # a", "   1,1,2 0 3 0",
        "; 1: 15 0x0 1 1 1", "1: 15 0x0 2 2 \\", " 2 0 0 0", "0 0 0 0 0 0",
        "2: 30 0x0 1 1 1 0 0 0"}},
      {SceneryFileKind::kSoundClass,
       {"# modes", "startmove s.wav 0x0 0.5 2 1.0", "stopmove e.wav 0x0", "hum h.wav 0x1 1", "x"},
       {"# modes", "startmove s.wav 0x0 1 4 1.0", "stopmove e.wav 0x0 1 5", "hum h.wav 0x1 2 5",
        "x"}},
      {SceneryFileKind::kSprite,
       {"# sprite", ",f.mat 0 0.1 0.2 4 0 3 0 1 2 3,", "f.mat 0 0.1 0.2 4 0 3 0 1 2 3"},
       {"# sprite", ",f.mat 0 0.2 0.4 4 0 3 0 2 4 6,", "f.mat 0 0.1 0.2 4 0 3 0 1 2 3"}},
  };
  for (const Case& c : cases) {
    SceneryTextScaler scaler(c.kind, 2);
    std::vector<std::string> lines;
    GameTextRewriter rewriter([&](std::string& data) { scaler.ScaleLine(data); },
                              [&](std::string_view line) {
                                lines.emplace_back(line);
                                return Status::Ok();
                              });
    for (std::string line : c.lines) ASSERT_TRUE(rewriter.Line(line).ok());
    ASSERT_TRUE(rewriter.Finish().ok());
    EXPECT_EQ(lines, c.scaled);
  }
}

// ---- Whole runs on the generator's level ----

// Evaluates an argument of the generator's scripts: numbers, symbols,
// + - * / and parentheses.
class Evaluator {
 public:
  Evaluator(std::string_view text, const std::map<std::string, double>& values)
      : text_(text), values_(values) {}
  double Value() { return Sum(); }

 private:
  void SkipBlanks() {
    while (at_ < text_.size() && text_[at_] == ' ') ++at_;
  }
  double Sum() {
    double value = Product();
    for (SkipBlanks(); at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-');
         SkipBlanks()) {
      char op = text_[at_++];
      double next = Product();
      value = op == '+' ? value + next : value - next;
    }
    return value;
  }
  double Product() {
    double value = Factor();
    for (SkipBlanks(); at_ < text_.size() && (text_[at_] == '*' || text_[at_] == '/');
         SkipBlanks()) {
      char op = text_[at_++];
      double next = Factor();
      value = op == '*' ? value * next : value / next;
    }
    return value;
  }
  double Factor() {
    SkipBlanks();
    if (text_[at_] == '-') return ++at_, -Factor();
    if (text_[at_] == '(') {
      ++at_;
      double value = Sum();
      SkipBlanks();
      ++at_;  // ")"
      return value;
    }
    size_t start = at_;
    while (at_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[at_])) ||
                                  text_[at_] == '.' || text_[at_] == '_')) {
      ++at_;
    }
    std::string word(text_.substr(start, at_ - start));
    if (std::isdigit(static_cast<unsigned char>(word[0]))) return std::stod(word);
    return values_.at(word);
  }

  std::string_view text_;
  const std::map<std::string, double>& values_;
  size_t at_ = 0;
};

// The spans of the arguments of the call of `function` in `line`.
std::vector<std::pair<size_t, size_t>> ArgumentSpans(const std::string& line,
                                                     const std::string& function) {
  std::vector<std::pair<size_t, size_t>> spans;
  size_t open = line.find(function + "(") + function.size();
  int depth = 0;
  size_t start = open + 1;
  for (size_t i = open; i < line.size(); ++i) {
    if (line[i] == '(') ++depth;
    if ((line[i] == ')' && --depth == 0) || (line[i] == ',' && depth == 1)) {
      size_t b = start, e = i;
      while (line[b] == ' ') ++b;
      while (e > b && line[e - 1] == ' ') --e;
      spans.push_back({b, e});
      start = i + 1;
      if (depth == 0) break;
    }
  }
  return spans;
}

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Each scaled argument of `script` in `written` evaluates to the
// original's value times `factor` (a negative sound range as the default
// 0.5 or 2.5 units, 5 or 25); every other byte is the original's.
void ExpectScaledScript(const levelgen::GeneratedScript& script, const std::string& written,
                        double factor) {
  std::map<std::string, double> values(script.values.begin(), script.values.end());
  std::vector<std::string> original = LinesOf(script.text), lines = LinesOf(written);
  ASSERT_EQ(lines.size(), original.size());
  std::vector<std::string> restored = lines;
  std::map<int, std::vector<std::pair<size_t, size_t>>> spans_of;
  for (const levelgen::ScaledArgument& scaled : script.scaled) {
    const std::string& before = original[scaled.line - 1];
    const std::string& after = lines[scaled.line - 1];
    auto old_span = ArgumentSpans(before, scaled.function)[scaled.argument];
    auto new_span = ArgumentSpans(after, scaled.function)[scaled.argument];
    std::string old_text = before.substr(old_span.first, old_span.second - old_span.first);
    std::string new_text = after.substr(new_span.first, new_span.second - new_span.first);
    double old_value = Evaluator(old_text, values).Value();
    if (old_value < 0) old_value = scaled.argument == 3 ? 5 : 25;
    EXPECT_NEAR(Evaluator(new_text, values).Value(), old_value * factor, 1e-9)
        << before << " -> " << after;
    spans_of[scaled.line - 1].push_back(new_span);
  }
  // Every other byte: the scaled arguments put back, from the right.
  for (auto& [line, spans] : spans_of) {
    std::sort(spans.rbegin(), spans.rend());
    for (auto [b, e] : spans) {
      for (const levelgen::ScaledArgument& scaled : script.scaled) {
        if (scaled.line - 1 != line) continue;
        auto old_span = ArgumentSpans(original[line], scaled.function)[scaled.argument];
        auto new_span = ArgumentSpans(lines[line], scaled.function)[scaled.argument];
        if (new_span.first != b) continue;
        restored[line].replace(
            b, e - b, original[line].substr(old_span.first, old_span.second - old_span.first));
      }
    }
  }
  EXPECT_EQ(restored, original);
}

// A line split on runs of blanks.
std::vector<std::string> FieldsOf(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; in >> field;) fields.push_back(field);
  return fields;
}

// Lines of a text and the fields (from 0) of each that hold lengths.
struct LengthFields {
  std::vector<int> lines;
  std::vector<size_t> fields;
};

// `written` is `original` with the fields given times `factor`, and
// nothing else changed.
void ExpectScaledFields(const std::string& original, const std::string& written,
                        const std::vector<LengthFields>& lengths, double factor) {
  std::vector<std::string> before = LinesOf(original), after = LinesOf(written);
  ASSERT_EQ(before.size(), after.size());
  for (size_t i = 0; i < before.size(); ++i) {
    const std::vector<size_t>* scaled = nullptr;
    for (const LengthFields& length : lengths) {
      if (std::find(length.lines.begin(), length.lines.end(), int(i + 1)) != length.lines.end()) {
        scaled = &length.fields;
      }
    }
    if (!scaled) {
      EXPECT_EQ(after[i], before[i]);
      continue;
    }
    std::vector<std::string> old_fields = FieldsOf(before[i]), new_fields = FieldsOf(after[i]);
    ASSERT_EQ(old_fields.size(), new_fields.size()) << after[i];
    for (size_t f = 0; f < old_fields.size(); ++f) {
      if (std::find(scaled->begin(), scaled->end(), f) != scaled->end()) {
        EXPECT_NEAR(std::stod(new_fields[f]), std::stod(old_fields[f]) * factor, 1e-9);
      } else {
        EXPECT_EQ(new_fields[f], old_fields[f]);
      }
    }
  }
}

class MovingSceneryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    level_ = levelgen::MakeLevel({.moving_scenery = true});
    ASSERT_TRUE(TestArchive()
                    .Add("jkl\\moving.jkl", level_.text)
                    .Add("cog\\mover.cog", mover_.text)
                    .Add("cog\\actor.cog", actor_.text)
                    .Add("misc\\pup\\fan.pup", levelgen::MakePuppet({"fan.key", "swing.key"}))
                    .Add("misc\\pup\\trooper.pup", levelgen::MakePuppet({"swing.key", "walk.key"}))
                    .Add("3do\\key\\fan.key", fan_key_.text)
                    .Add("3do\\key\\swing.key", swing_key_.text)
                    .Add("misc\\snd\\fan.snd", sound_.text)
                    .Add("misc\\snd\\blast.snd", sound_.text)
                    .WriteTo(level_path_));
    ASSERT_TRUE(TestArchive()
                    .Add("cog\\conveyor.cog", conveyor_.text)
                    .Add("cog\\door.cog", "# door\n")
                    .Add("3do\\key\\walk.key", swing_key_.text)
                    .Add("misc\\spr\\glow.spr", sprite_.text)
                    .Add("misc\\spr\\blast.spr", sprite_.text)
                    .WriteTo(resource_path_));
  }

  std::vector<std::string> ScaleArgs(const std::string& factor) {
    return {"scale",      level_path_,    "jkl\\moving.jkl", factor,
            "--resource", resource_path_, "--out",           out_};
  }

  TempFolder dir_;
  std::string level_path_ = dir_ / "level.gob";
  std::string resource_path_ = dir_ / "res2.gob";
  std::string out_ = dir_ / "work";
  levelgen::GeneratedLevel level_;
  levelgen::GeneratedScript mover_ = levelgen::MakeMoverScript();
  levelgen::GeneratedScript conveyor_ = levelgen::MakeConveyorScript();
  levelgen::GeneratedScript actor_ = levelgen::MakeActorScript();
  levelgen::GeneratedText fan_key_ = levelgen::MakeKeyframe("fan.key");
  levelgen::GeneratedText swing_key_ = levelgen::MakeKeyframe("swing.key");
  levelgen::GeneratedText sound_ = levelgen::MakeSoundClass();
  levelgen::GeneratedText sprite_ = levelgen::MakeSprite();
};

TEST_F(MovingSceneryTest, ScalesWhatOnlyTheSceneryUsesAndNamesWhatItShares) {
  for (double factor : {2.0, 0.5}) {
    SCOPED_TRACE(factor);
    scaling_test::CliRun run = RunCliCaptured(ScaleArgs(TextOf(factor)));
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err,
              "jkrescale-cli: warning: not found in any archive, so not scaled: models "
              "lamp.3do, crate.3do, door1.3do, door2.3do; cogs lift.cog; shared with actors, so "
              "not scaled: keyframes swing.key; sound classes blast.snd; sprites blast.spr\n");
    // A script of the level archive and a stock one, rewritten; one with
    // nothing to scale copied as it is.
    EXPECT_EQ(FilesIn(out_ + "/cog"),
              (std::vector<std::string>{"actor.cog", "conveyor.cog", "mover.cog"}));
    ExpectScaledScript(mover_, ReadFile(out_ + "/cog/mover.cog"), factor);
    ExpectScaledScript(conveyor_, ReadFile(out_ + "/cog/conveyor.cog"), factor);
    EXPECT_EQ(ReadFile(out_ + "/cog/actor.cog"), actor_.text);
    // The scenery's own keyframe, sound class and sprite.
    EXPECT_EQ(FilesIn(out_ + "/3do/key"), (std::vector<std::string>{"fan.key"}));
    ExpectScaledFields(fan_key_.text, ReadFile(out_ + "/3do/key/fan.key"),
                       {{fan_key_.position_lines, {3, 4, 5}}, {fan_key_.velocity_lines, {0, 1, 2}}},
                       factor);
    EXPECT_EQ(FilesIn(out_ + "/misc/snd"), (std::vector<std::string>{"fan.snd"}));
    ExpectScaledFields(sound_.text, ReadFile(out_ + "/misc/snd/fan.snd"),
                       {{sound_.position_lines, {3, 4}}}, factor);
    EXPECT_EQ(FilesIn(out_ + "/misc/spr"), (std::vector<std::string>{"glow.spr"}));
    ExpectScaledFields(sprite_.text, ReadFile(out_ + "/misc/spr/glow.spr"),
                       {{sprite_.position_lines, {2, 3, 8, 9, 10}}}, factor);
    // The scenery template's collision tree.
    EXPECT_NE(ReadFile(out_ + "/jkl/moving.jkl").find("treesize=" + TextOf(0.25 * factor)),
              std::string::npos);
  }
}

TEST_F(MovingSceneryTest, ClassicWritesNoneOfIt) {
  std::vector<std::string> args = ScaleArgs("2");
  args.push_back("--classic");
  scaling_test::CliRun run = RunCliCaptured(args);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(FilesIn(out_ + "/cog"), (std::vector<std::string>{"actor.cog", "mover.cog"}));
  EXPECT_EQ(ReadFile(out_ + "/cog/mover.cog"), mover_.text);
  EXPECT_EQ(FilesIn(out_ + "/misc"), std::vector<std::string>{});
  EXPECT_FALSE(std::filesystem::exists(FsPath(out_ + "/3do/key")));
  EXPECT_NE(ReadFile(out_ + "/jkl/moving.jkl").find("treesize=0.250000"), std::string::npos);
}

// A keyframe that a scenery puppet names and an actor's cog plays (or the
// reverse) is shared; one the scenery's cog plays on the fan thing only is
// the scenery's.
TEST(SceneryUsesTest, PlayKeyTargetsDecideWhoPlaysAKeyframe) {
  TempFolder dir;
  std::vector<std::string> level = {
      "World templates 3",
      "fan _structure size=1",
      "walker _actor size=1",
      "end",
      "World things 2",
      "0: fan f 1 1 1 0 0 0 0",
      "1: walker w 1 1 1 0 0 0 0",
      "end",
      "World cogs 3",
      "0: play.cog 0 a.key",
      "1: play.cog 1 b.key",
      "2: play.cog 0 b.key",
      "end",
  };
  std::string script =
      "symbols\nthing t\nkeyframe k\nend\ncode\nstartup:\n PlayKey(t, k, 1, 0);\nend\n";
  ASSERT_TRUE(TestArchive()
                  .Add("jkl\\k.jkl", CrLfLines(level))
                  .Add("cog\\play.cog", script)
                  .Add("3do\\key\\a.key", "ENTRIES 1\n0: 0 0 1 1 1 0 0 0\n1 1 1 0 0 0\n")
                  .Add("3do\\key\\b.key", "ENTRIES 1\n0: 0 0 1 1 1 0 0 0\n1 1 1 0 0 0\n")
                  .WriteTo(dir / "k.gob"));
  ASSERT_TRUE(TestArchive().WriteTo(dir / "res.gob"));
  RealFileSystem fs;
  ScaleRequest request;
  request.work_folder = dir / "work";
  request.level_archive_path = dir / "k.gob";
  request.level_name = "jkl\\k.jkl";
  request.resource_archive_path = dir / "res.gob";
  request.factor_text = "3";
  RecordedProgress progress;
  ReferenceLists lists;
  ScaleReport report;
  ASSERT_TRUE(RunScale(fs, request, progress, &lists, &report).ok());
  EXPECT_EQ(report.shared.keyframes, std::vector<std::string>{"b.key"});
  EXPECT_EQ(ReadFile(dir / "work/3do/key/a.key"),
            CrLfLines({"ENTRIES 1", "0: 0 0 3 3 3 0 0 0", "3 3 3 0 0 0"}));
  EXPECT_FALSE(std::filesystem::exists(FsPath(dir / "work/3do/key/b.key")));
}

}  // namespace
}  // namespace jk
