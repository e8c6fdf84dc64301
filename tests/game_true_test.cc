// Game-true scaling end to end: a generated level and its models go through
// `jkrescale-cli scale`, and every line that comes out is held against the
// generator's own account of where the lengths are: each scaled value is
// the original times the factor, every other value is as it was, and every
// untouched line is byte for byte what it was. Then the consistency check
// judges the scaled level.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "fake_process_runner.h"
#include "level_generator.h"
#include "platform/real_file_system.h"
#include "scaling/game_text.h"
#include "scaling/level_check.h"
#include "scaling/text.h"
#include "test_archive.h"
#include "test_util.h"

namespace jk {
namespace {

using levelgen::GeneratedLevel;
using levelgen::GeneratedModel;

// What a line of the output must be, compared with the line of the input.
struct Expectation {
  enum Kind {
    kSame,       // byte for byte the same
    kFields,     // the fields `scaled` (counted from 0) scaled, the others as read
    kThing,      // fields 4 to 6 and the frames' positions scaled
    kThingRest,  // a line that continues a thing line after its position
    kTemplate,   // the values of size=, movesize= and height= scaled
  } kind = kSame;
  std::vector<size_t> scaled;
};
using Expectations = std::map<int, Expectation>;  // by line number, from 1

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Whether `out` is `in` times `factor`, as the program writes numbers.
bool IsScaled(std::string_view in, std::string_view out, double factor) {
  return out == TextOf(ValueOf(in) * factor);
}

class LineComparer {
 public:
  LineComparer(double factor, std::string where) : factor_(factor), where_(std::move(where)) {}

  void Compare(const std::vector<std::string>& in, const std::vector<std::string>& out,
               const Expectations& expectations) {
    ASSERT_EQ(in.size(), out.size()) << where_ << ": every line keeps its place";
    for (size_t i = 0; i < in.size(); ++i) {
      auto it = expectations.find(int(i) + 1);
      Expectation expected = it == expectations.end() ? Expectation{} : it->second;
      CompareLine(in[i], out[i], expected, int(i) + 1);
    }
  }

 private:
  void CompareLine(const std::string& in, const std::string& out, const Expectation& e,
                   int number) {
    std::string at = where_ + ":" + std::to_string(number) + ": " + in + " -> " + out;
    if (e.kind == Expectation::kSame) {
      EXPECT_EQ(out, in) << at;
      return;
    }
    // The game's reading of both: the comments as they were, the fields of
    // the data compared.
    GameLine read_in = ReadGameLine(in), read_out = ReadGameLine(out);
    EXPECT_EQ(read_out.comment, read_in.comment) << at;
    EXPECT_EQ(read_out.continues(), read_in.continues()) << at;
    std::vector<std::string_view> a = SplitFields(Trim(read_in.data));
    std::vector<std::string_view> b = SplitFields(Trim(read_out.data));
    ASSERT_EQ(a.size(), b.size()) << at;
    for (size_t f = 0; f < a.size(); ++f) {
      if (e.kind == Expectation::kFields) {
        bool scaled = std::find(e.scaled.begin(), e.scaled.end(), f) != e.scaled.end();
        EXPECT_TRUE(scaled ? IsScaled(a[f], b[f], factor_) : a[f] == b[f]) << at << " field " << f;
      } else if (e.kind == Expectation::kThing) {
        CompareThingField(a[f], b[f], f, at);
      } else if (e.kind == Expectation::kThingRest) {
        CompareThingField(a[f], b[f], f + 6, at);
      } else {
        CompareTemplateField(a[f], b[f], at);
      }
    }
  }

  void CompareThingField(std::string_view a, std::string_view b, size_t f, const std::string& at) {
    if (f >= 3 && f <= 5) {
      EXPECT_TRUE(IsScaled(a, b, factor_)) << at;
    } else if (BeginsWith(a, "frame=(")) {
      // "frame=(x/y/z:pitch/yaw/roll)": the position scaled, the angles as read.
      std::string_view pa = a.substr(7, a.find(':') - 7), pb = b.substr(7, b.find(':') - 7);
      EXPECT_EQ(a.substr(a.find(':')), b.substr(b.find(':'))) << at;
      for (int k = 0; k < 3; ++k) {
        size_t ea = pa.find('/'), eb = pb.find('/');
        EXPECT_TRUE(IsScaled(pa.substr(0, ea), pb.substr(0, eb), factor_)) << at;
        pa = ea == std::string_view::npos ? "" : pa.substr(ea + 1);
        pb = eb == std::string_view::npos ? "" : pb.substr(eb + 1);
      }
    } else {
      EXPECT_EQ(a, b) << at;
    }
  }

  void CompareTemplateField(std::string_view a, std::string_view b, const std::string& at) {
    for (std::string_view key : {"size=", "movesize=", "height="}) {
      if (!BeginsWith(a, key)) continue;
      EXPECT_TRUE(b.substr(0, key.size()) == key &&
                  IsScaled(a.substr(key.size()), b.substr(key.size()), factor_))
          << at;
      return;
    }
    EXPECT_EQ(a, b) << at;
  }

  double factor_;
  std::string where_;
};

// Where the generated level holds lengths, from the generator's account of
// its lines; the header lines are found by their keywords.
Expectations LevelLengths(const GeneratedLevel& level) {
  Expectations e;
  auto fields = [&](int line, std::vector<size_t> scaled) {
    e[line] = {Expectation::kFields, std::move(scaled)};
  };
  for (int line : level.vertex_lines) fields(line, {1, 2, 3});
  for (int line : level.adjoin_lines) fields(line, {3});
  for (const levelgen::SectorFacts& s : level.sectors) {
    fields(s.boundbox_line, {1, 2, 3, 4, 5, 6});
    if (s.collidebox_line) fields(s.collidebox_line, {1, 2, 3, 4, 5, 6});
    fields(s.center_line, {1, 2, 3});
    fields(s.radius_line, {1});
  }
  std::vector<std::string> lines = Lines(level.text);
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view t = Trim(lines[i]);
    int line = int(i) + 1;
    if (BeginsWith(t, "Ceiling Sky Z")) fields(line, {3});
    if (BeginsWith(t, "MipMap Distances") || BeginsWith(t, "LOD Distances")) {
      fields(line, {2, 3, 4, 5});
    }
    if (BeginsWith(t, "Perspective distance") || BeginsWith(t, "Gouraud distance")) {
      fields(line, {2});
    }
  }
  for (const levelgen::ThingFacts& thing : level.things) {
    e[thing.line] = {Expectation::kThing, {}};
    if (thing.continued_line) e[thing.continued_line] = {Expectation::kThingRest, {}};
  }
  // Scenery: based on a scenery base, or on a scenery template before it.
  std::vector<std::string> scenery = {"_decor", "_structure", "_walkstruct"};
  for (size_t i = 0; i < lines.size(); ++i) {
    std::vector<std::string_view> f = SplitFields(Trim(lines[i]));
    for (const levelgen::TemplateFacts& t : level.templates) {
      if (f.size() < 2 || f[0] != t.name || f[1] != t.base) continue;
      if (std::find(scenery.begin(), scenery.end(), t.base) == scenery.end()) continue;
      scenery.push_back(t.name);
      e[int(i) + 1] = {Expectation::kTemplate, {}};
    }
  }
  return e;
}

// The models the scenery templates show; the actors' are never scaled.
std::vector<std::string> SceneryModels(const GeneratedLevel& level) {
  std::vector<std::string> scenery = {"_decor", "_structure", "_walkstruct"}, models;
  for (const levelgen::TemplateFacts& t : level.templates) {
    if (std::find(scenery.begin(), scenery.end(), t.base) == scenery.end()) continue;
    scenery.push_back(t.name);
    if (!t.model.empty()) models.push_back(t.model);
  }
  return models;
}

Expectations ModelLengths(const GeneratedModel& model) {
  Expectations e;
  for (int line : model.vertex_lines) e[line] = {Expectation::kFields, {1, 2, 3}};
  e[model.radius_line] = {Expectation::kFields, {1}};
  for (int line : model.mesh_radius_lines) e[line] = {Expectation::kFields, {1}};
  e[model.insert_offset_line] = {Expectation::kFields, {2, 3, 4}};
  for (int line : model.node_lines) e[line] = {Expectation::kFields, {8, 9, 10, 14, 15, 16}};
  return e;
}

class GameTrueTest : public TempFolderTest {
 protected:
  void SetUp() override {
    Make({.sectors = 4, .collide_box_every = 2, .sound_every = 3, .door_chain = 4});
  }

  // The archive of a level made with `options` and of its models.
  void Make(const levelgen::LevelOptions& options) {
    level_ = levelgen::MakeLevel(options);
    models_.clear();
    TestArchive archive;
    archive.Add("episode.jk", "x").Add("jkl\\generated.jkl", level_.text);
    for (const std::string& name : level_.model_files) {
      models_[name] = levelgen::MakeModel(name, 2 + int(models_.size() % 2));
      archive.Add("3do\\" + name, models_[name].text);
    }
    archive_ = WriteArchive("generated.gob", archive);
    resource_ = WriteArchive("res2.gob", TestArchive());
  }

  // Scales the level by `factor` into a folder of its own; "" on success,
  // else what the command said.
  std::string Scale(const std::string& factor, const std::string& out, bool classic = false) {
    std::vector<std::string> log;
    FakeProcessRunner runner(&log);
    std::vector<std::string> args = {"scale", archive_,     "jkl\\generated.jkl",
                                     factor,  "--resource", resource_,
                                     "--out", Path(out)};
    if (classic) args.push_back("--classic");
    std::FILE* err = std::tmpfile();
    int code = RunCli(args, {fs_, runner, "", {}, stdout, err});
    std::rewind(err);
    std::string message(4096, '\0');
    message.resize(std::fread(message.data(), 1, message.size(), err));
    std::fclose(err);
    return code == kExitOk ? "" : message;
  }

  LevelCheckReport Check(const std::string& out) {
    LevelCheckReport report;
    EXPECT_TRUE(CheckLevel(fs_, Path(out + "/jkl/generated.jkl"), &report).ok());
    return report;
  }

  GeneratedLevel level_;
  std::map<std::string, GeneratedModel> models_;
  std::string archive_, resource_;
};

// Every length of the level and of its models is scaled by the factor, and
// nothing else changes: sectors with and without COLLIDEBOX and with SOUND,
// adjoins followed by surfaces and normals, the header, a chain of scenery
// templates, models of several nodes with pivots, comments everywhere.
TEST_F(GameTrueTest, ScalesEveryLengthAndNothingElse) {
  for (const char* factor : {"1.25", "0.5", "3"}) {
    std::string out = std::string("out") + factor;
    ASSERT_EQ(Scale(factor, out), "") << factor;
    LineComparer compare(ValueOf(factor), std::string("level at ") + factor);
    compare.Compare(Lines(level_.text), Lines(ReadFile(Path(out + "/jkl/generated.jkl"))),
                    LevelLengths(level_));
    std::vector<std::string> scenery = SceneryModels(level_);
    for (const auto& [name, model] : models_) {
      bool shown = std::find(scenery.begin(), scenery.end(), name) != scenery.end();
      ASSERT_EQ(fs_.IsFile(Path(out + "/3do/" + name)), shown) << name;
      if (!shown) continue;
      LineComparer model_compare(ValueOf(factor), name + " at " + factor);
      model_compare.Compare(Lines(model.text), Lines(ReadFile(Path(out + "/3do/" + name))),
                            ModelLengths(model));
    }
  }
}

// A level in every form the game reads (";" lines, trailing comments after
// vertex, surface, sector, template, thing and cog lines, commas between
// fields, a continued line) is scaled as the same level in the editors'
// form, and every comment comes out byte for byte; under the classic rules
// too, which rewrite fewer lines.
TEST_F(GameTrueTest, ReadsTheLevelAsTheGameReadsIt) {
  Make({.sectors = 3, .door_chain = 3, .game_reader_forms = true});
  ASSERT_EQ(Scale("2", "out"), "");
  LineComparer compare(2, "level in the game's forms");
  compare.Compare(Lines(level_.text), Lines(ReadFile(Path("out/jkl/generated.jkl"))),
                  LevelLengths(level_));

  ASSERT_EQ(Scale("2", "classic", /*classic=*/true), "");
  std::vector<std::string> in = Lines(level_.text);
  std::vector<std::string> out = Lines(ReadFile(Path("classic/jkl/generated.jkl")));
  ASSERT_EQ(in.size(), out.size());
  int comments = 0;
  for (size_t i = 0; i < in.size(); ++i) {
    GameLine read_in = ReadGameLine(in[i]), read_out = ReadGameLine(out[i]);
    EXPECT_EQ(read_out.comment, read_in.comment) << in[i] << " -> " << out[i];
    comments += !read_in.comment.empty();
  }
  EXPECT_GE(comments, 8);
  // The vertex with commas and the vertex with a comment, scaled.
  EXPECT_EQ(out[size_t(level_.vertex_lines[0]) - 1], "0: -2.75 -0.5 0.25\t# corner 0: 1.0 2.0 3.0");
  EXPECT_EQ(out[size_t(level_.vertex_lines[1]) - 1], "1: -0.75 -0.5 0.25");
}

// The models of every scenery template of the chain are written, the last
// one's through its base, as it names none of its own; the player's is not.
TEST_F(GameTrueTest, TemplatesOfAChainShowTheirBasesModels) {
  ASSERT_EQ(Scale("2", "out"), "");
  std::vector<std::string> written = FolderNames(Path("out/3do"));
  std::vector<std::string> expected = SceneryModels(level_);
  std::sort(expected.begin(), expected.end());
  expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
  EXPECT_EQ(written, expected);
}

// A consistent level stays consistent at any factor under game-true rules;
// the classic rules leave its sectors as they were, and the check says so.
TEST_F(GameTrueTest, ScaledLevelPassesTheCheckAndTheClassicOneFails) {
  for (const char* factor : {"0.5", "1.25", "2"}) {
    std::string out = std::string("true") + factor;
    ASSERT_EQ(Scale(factor, out), "");
    LevelCheckReport report = Check(out);
    EXPECT_TRUE(report.consistent()) << factor << ": " << report.findings.front().text;
    EXPECT_EQ(report.sectors, 4);
  }
  ASSERT_EQ(Scale("2", "classic", /*classic=*/true), "");
  LevelCheckReport classic = Check("classic");
  EXPECT_FALSE(classic.consistent());
  EXPECT_GE(classic.findings.size(), 4u * 3);  // each sector's BOUNDBOX, CENTER and RADIUS
}

// A level far from the origin, of small sectors whose dists the editor wrote
// 0.0049 off, passes at every factor, where numbers carry few decimals and
// the dists' errors grow with the factor; its classic output does not.
TEST_F(GameTrueTest, CheckHoldsLevelsInTheThousandsAtAnyFactor) {
  Make({.sectors = 9, .offset = 1813.123457, .sector_size = 0.3, .dist_error = 0.0049});
  for (const char* factor : {"0.001", "0.5", "1.25", "2", "3.7", "1000"}) {
    std::string out = std::string("true") + factor;
    ASSERT_EQ(Scale(factor, out), "");
    LevelCheckReport report = Check(out);
    EXPECT_TRUE(report.consistent()) << factor << ": " << report.findings.front().text;
    EXPECT_EQ(report.adjoins, 16);
  }
  for (const char* factor : {"0.5", "0.8", "1.25", "2"}) {
    std::string out = std::string("classic") + factor;
    ASSERT_EQ(Scale(factor, out, /*classic=*/true), "");
    EXPECT_GE(Check(out).findings.size(), 9u * 3) << factor;
  }
}

}  // namespace
}  // namespace jk
