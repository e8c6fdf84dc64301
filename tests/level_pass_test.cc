// The level pass: section states, handlers by state, and the header step.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "scaling/header_step.h"
#include "scaling/level_pass.h"
#include "test_util.h"

namespace jk {
namespace {

using S = SectionState;

// Header lines open sections, "SECTION: SECTORS" among them; any other
// "section" line (trimmed) and "end" (as read) close them.
TEST(NextSectionStateTest, HeadersOpenAndCloseSections) {
  const struct {
    S before;
    const char* line;
    S after;
  } kCases[] = {
      {S::kNone, "World vertices 8", S::kVertices},
      {S::kNone, "  WORLD VERTICES 8", S::kVertices},
      {S::kVertices, "World texture vertices 3", S::kTextureVertices},
      {S::kVertices, "World adjoins 40", S::kAdjoins},
      {S::kNone, "\tworld templates 2", S::kTemplates},
      {S::kNone, "World things 2", S::kThings},
      {S::kNone, "World cogs 1", S::kCogs},
      {S::kAdjoins, "World surfaces 12", S::kAdjoins},
      {S::kVertices, "0: 1.0 2.0 3.0", S::kVertices},
      {S::kThings, "SECTION: GEORESOURCE", S::kNone},
      {S::kThings, "  section: things", S::kNone},
      {S::kThings, "end", S::kNone},
      {S::kCogs, "End", S::kNone},
      {S::kCogs, "endgame", S::kNone},
      {S::kThings, "  end", S::kThings},
      {S::kThings, "\tend", S::kThings},
      {S::kCogs, "# the end", S::kCogs},
      {S::kNone, "World", S::kNone},
      {S::kNone, "SECTION: SECTORS", S::kSectors},
      {S::kThings, "  section :\tsectors", S::kSectors},
      {S::kSectors, "SECTION: SECTORSX", S::kSectors},
      {S::kSectors, "World sectors 2", S::kSectors},
      {S::kSectors, "SECTION: TEMPLATES", S::kNone},
      {S::kSectors, "sectors", S::kSectors},
  };
  for (const auto& c : kCases) EXPECT_EQ(NextSectionState(c.before, c.line), c.after) << c.line;
}

// Records each line it is given, tagged, and can rewrite it.
class RecordingHandler : public SectionHandler {
 public:
  RecordingHandler(std::string tag, std::vector<std::string>* calls, bool rewrite = false)
      : tag_(std::move(tag)), calls_(calls), rewrite_(rewrite) {}
  void HandleLine(std::string& line) override {
    calls_->push_back(tag_ + ":" + line);
    if (rewrite_) line = "<" + line + ">";
  }

 private:
  std::string tag_;
  std::vector<std::string>* calls_;
  bool rewrite_;
};

// Records the shares it is told, and asks to stop at the report `stop_at`
// (counted from 1; 0: never).
class RecordingProgress : public ScaleProgress {
 public:
  void LevelText(double share) override { shares.push_back(share); }
  void Models(int64_t, int64_t) override {}
  bool CancelRequested() const override { return stop_at > 0 && shares.size() >= stop_at; }

  std::vector<double> shares;
  size_t stop_at = 0;
};

class LevelPassTest : public TempFolderTest {
 protected:
  RecordingProgress progress_;
  // Runs the pass over `text` stored as an entry between two others, puts
  // the level output's bytes into *out and returns the pass's status.
  Status RunPass(const std::string& text, const SectionHandlers& handlers, HeaderStep header,
                 std::string* out) {
    std::string path = WriteArchive(
        "a.gob", TestArchive().Add("x", "BEFORE\n").Add("jkl\\a.jkl", text).Add("y", "AFTER\n"));
    std::unique_ptr<InputFile> archive;
    std::unique_ptr<OutputFile> output;
    EXPECT_TRUE(fs_.OpenRead(path, &archive).ok());
    EXPECT_TRUE(fs_.OpenWrite(Path("a.jkl"), &output).ok());
    // The level's data follows the directory of three entries and "BEFORE\n".
    EntryRow level{"jkl\\a.jkl", 16 + 136 * 3 + 7, int64_t(text.size())};
    Status status = RunLevelPass(*archive, level, handlers, header, *output, progress_);
    EXPECT_TRUE(output->Close().ok());
    *out = ReadFile(Path("a.jkl"));
    return status;
  }
  // The level output of a pass that must succeed.
  std::string Pass(const std::string& text, const SectionHandlers& handlers,
                   HeaderStep header = HeaderStep(2, true)) {
    std::string out;
    Status status = RunPass(text, handlers, header, &out);
    EXPECT_TRUE(status.ok()) << status.message();
    return out;
  }
};

// Each line, header lines included, goes to the handler of its state; the
// texture vertices section has none, and the adjoins section runs on through
// the surfaces.
TEST_F(LevelPassTest, HandlersGetTheLinesOfTheirSections) {
  std::vector<std::string> calls;
  RecordingHandler vertices("V", &calls, true), adjoins("A", &calls), templates("T", &calls),
      things("H", &calls), cogs("C", &calls), sectors("S", &calls);
  SectionHandlers handlers{.vertices = &vertices,
                           .adjoins = &adjoins,
                           .templates = &templates,
                           .things = &things,
                           .cogs = &cogs,
                           .sectors = &sectors};
  std::string out = Pass(
      "SECTION: GEORESOURCE\n"
      "World vertices 1\n"
      "0: 1 2 3\n"
      "World texture vertices 1\r\n"
      "0: 0 0\r"
      "World adjoins 1\n"
      "World surfaces 1\n"
      "Section:Sectors\n"
      "RADIUS 1\n"
      "SECTION: TEMPLATES\n"
      "World templates 1\n"
      "t _base size=1\n"
      "  end\n"
      "end\n"
      "World things 1\n"
      "World cogs 1\n"
      "0: a.cog\n"
      "End\n"
      "last",
      handlers);
  EXPECT_EQ(calls,
            (std::vector<std::string>{"V:World vertices 1", "V:0: 1 2 3", "A:World adjoins 1",
                                      "A:World surfaces 1", "S:Section:Sectors", "S:RADIUS 1",
                                      "T:World templates 1", "T:t _base size=1", "T:  end",
                                      "H:World things 1", "C:World cogs 1", "C:0: a.cog"}));
  EXPECT_EQ(out,
            "SECTION: GEORESOURCE\r\n<World vertices 1>\r\n<0: 1 2 3>\r\n"
            "World texture vertices 1\r\n0: 0 0\r\nWorld adjoins 1\r\nWorld surfaces 1\r\n"
            "Section:Sectors\r\nRADIUS 1\r\nSECTION: TEMPLATES\r\nWorld templates 1\r\nt _base "
            "size=1\r\n  end\r\nend\r\n"
            "World things 1\r\nWorld cogs 1\r\n0: a.cog\r\nEnd\r\nlast\r\n");
}

// The handlers get the lines as the game reads them: comment lines go to
// none and open no section, trailing comments are kept behind the
// rewritten data, and a continued line goes once, joined.
TEST_F(LevelPassTest, HandlersGetWhatTheGameReads) {
  std::vector<std::string> calls;
  RecordingHandler vertices("V", &calls, true), things("H", &calls);
  SectionHandlers handlers{.vertices = &vertices, .things = &things};
  std::string out = Pass(
      "World vertices 2 # two\n"
      "; 1: 4.0 5.0 6.0\n"
      "# World things 1\n"
      "0: 1,2 3\t# corner\n"
      "1: 1 \\\n"
      "  2 3\n"
      "World things 1\n",
      handlers);
  EXPECT_EQ(calls, (std::vector<std::string>{"V:World vertices 2", "V:0: 1,2 3", "V:1: 1   2 3",
                                             "H:World things 1"}));
  EXPECT_EQ(out,
            "<World vertices 2> # two\r\n; 1: 4.0 5.0 6.0\r\n# World things 1\r\n"
            "<0: 1,2 3>\t# corner\r\n<1: 1 \\\r\n  2 3>\r\nWorld things 1\r\n");
}

// The templates begin, at a glance, at the first line that reads as a
// templates header; a comment line does not; without one, at the end.
TEST_F(LevelPassTest, TemplatesStartAtTheirFirstHeader) {
  auto start = [&](const std::string& text) {
    std::string path = WriteArchive("t.gob", TestArchive().Add("jkl\\a.jkl", text));
    std::unique_ptr<InputFile> archive;
    EXPECT_TRUE(fs_.OpenRead(path, &archive).ok());
    const EntryRow level{"jkl\\a.jkl", 16 + 136, int64_t(text.size())};
    int64_t position = -1;
    EXPECT_TRUE(FindTemplatesStart(*archive, level, &position).ok());
    return position - level.offset;
  };
  EXPECT_EQ(start("World vertices 1\r\n;SECTION: TEMPLATES\r\n  Section: Templates\r\n"), 39);
  EXPECT_EQ(start("0: 1 2 3\nworld TEMPLATES 2\nSECTION: TEMPLATES\n"), 9);
  EXPECT_EQ(start("World things 1\r\n"), 16);
  // A long level is searched from its end back, a quarter megabyte at a
  // time: a header is found whether its line begins at a block's first
  // byte or in the block before and ends in the next; of two far apart,
  // the one nearer the end.
  auto lines = [](size_t bytes) {
    std::string text;
    while (text.size() + 9 <= bytes) text += "0: 1 2 3\n";
    return text + std::string(bytes - text.size(), '\n');
  };
  const std::string header = "  World templates 1\n";
  const size_t block = 256 * 1024;
  for (size_t before_block : {0, 5}) {
    const std::string text = lines(100000) + header + lines(block - header.size() + before_block);
    EXPECT_EQ(start(text), 100000) << before_block;
  }
  EXPECT_EQ(start("SECTION: TEMPLATES\n" + lines(3 * block) + header + lines(1000)),
            int64_t(19 + 3 * block));
}

// The header step rewrites lines in any section; an empty entry gives an empty output.
TEST_F(LevelPassTest, HeaderStepWritesEveryLine) {
  EXPECT_EQ(Pass("World vertices 1\n World Gravity 4\n\nMipMap Distances 1 2 3 4\n", {}),
            "World vertices 1\r\nWorld Gravity 2\r\n\r\nMipMap Distances 2 4 6 8\r\n");
  EXPECT_EQ(Pass("", {}), "");
}

// The gravity is divided only with the switch; the MipMap line is always scaled.
TEST(HeaderStepTest, ClassicRulesRewriteGravityAndMipMap) {
  const struct {
    double factor;
    bool gravity;
    const char* line;
    const char* written;
  } kCases[] = {
      {2, true, "World Gravity 4", "World Gravity 2"},
      {2, true, "  world gravity\t4.0 ", "World Gravity 2"},
      {2, true, "WORLD GRAVITY 4", "World Gravity 2"},
      {2, false, " WORLD GRAVITY   4.000000 ", " WORLD GRAVITY   4.000000 "},
      {3, true, "World Gravity 1", "World Gravity 0.333333333"},
      {2, true, "World Gravity abc", "World Gravity 0"},
      {2, true, "World Gravity", "World Gravity 0"},
      {0.5, false, "MipMap Distances 1 2 3 4", "MipMap Distances 0.5 1 1.5 2"},
      {0.5, true, "MipMap Distances 1 2 3 4", "MipMap Distances 0.5 1 1.5 2"},
      {2, false, "  mipmap DISTANCES\t1.0  2.0 3.0\t4.0 ", "MipMap Distances 2 4 6 8"},
      {2, false, "MipMap Distances 1 2 3 4 5 6", "MipMap Distances 2 4 6 8"},
      {2, false, "MipMap Distances 1 2", "MipMap Distances 2 4"},
      {2, false, "MipMap Distances", "MipMap Distances"},
      {2, false, "MipMap Distances x 2 3 4", "MipMap Distances 0 4 6 8"},
      {1, false, "MipMap Distances 1.000000 2.50 3 4", "MipMap Distances 1 2.5 3 4"},
      {2, true, "# World Gravity 4", "# World Gravity 4"},
      {2, true, "", ""},
      {2, true, "\t0: 1 2 3", "\t0: 1 2 3"},
  };
  for (const auto& c : kCases) {
    HeaderStep step(c.factor, c.gravity, ScaleRules::kClassic);
    EXPECT_EQ(step.Apply(c.line), c.written) << c.line;
  }
}

// Game-true rules: every length of the header scaled, the keyword words as
// read, nothing dropped; the horizon and the sky offsets stay.
TEST(HeaderStepTest, GameTrueRulesRewriteEveryHeaderLength) {
  const struct {
    bool gravity;
    const char* line;
    const char* written;
  } kCases[] = {
      {true, "World Gravity 4.000000", "World Gravity 2"},
      {true, "  WORLD gravity\t4.0 ", "WORLD gravity 2"},
      {false, " World Gravity   4.000000 ", " World Gravity   4.000000 "},
      {true, "World Gravity", "World Gravity"},
      {false, "Ceiling Sky Z 15.000000", "Ceiling Sky Z 30"},
      {false, "ceiling sky z\t-1.5", "ceiling sky z -3"},
      {false, "Ceiling Sky Offset 0.500000 0.250000", "Ceiling Sky Offset 0.500000 0.250000"},
      {false, "Horizon Distance 200.000000", "Horizon Distance 200.000000"},
      {false, "Horizon Pixels per Rev 768.000000", "Horizon Pixels per Rev 768.000000"},
      {false, "Horizon Sky Offset 1.000000 2.000000", "Horizon Sky Offset 1.000000 2.000000"},
      {false, "MipMap Distances 1 2 3 4", "MipMap Distances 2 4 6 8"},
      {false, "mipmap distances 1 2 3 4 5 6", "mipmap distances 2 4 6 8 5 6"},
      {false, "MipMap Distances 1 2", "MipMap Distances 2 4"},
      {false, "LOD Distances 0.3 0.6 0.9 1.2", "LOD Distances 0.6 1.2 1.8 2.4"},
      {false, "Perspective distance 2.000000", "Perspective distance 4"},
      {false, "Gouraud distance 2.000000", "Gouraud distance 4"},
      {false, "Gouraud distances 2.000000", "Gouraud distances 2.000000"},
      {true, "# World Gravity 4", "# World Gravity 4"},
      {true, "#MipMap Distances 1 2 3 4", "#MipMap Distances 1 2 3 4"},
      {true, "", ""},
  };
  for (const auto& c : kCases) {
    HeaderStep step(2, c.gravity, ScaleRules::kGameTrue);
    EXPECT_EQ(step.Apply(c.line), c.written) << c.line;
  }
}

// The share read is reported after the first line, then every 64 KiB or
// so, and after the last line; when the progress asks to stop, the pass
// stops there, cancelled, before the rest is written.
TEST_F(LevelPassTest, ProgressEvery64KiBAndStopsWhenAsked) {
  std::string text;
  while (text.size() < 640 * 1024) text += "0: 1.0 2.0 3.0 and some more text to fill the line\n";
  Pass(text, {});
  ASSERT_GE(progress_.shares.size(), 11u);
  EXPECT_LE(progress_.shares.size(), 13u);
  EXPECT_TRUE(std::is_sorted(progress_.shares.begin(), progress_.shares.end()));
  EXPECT_EQ(progress_.shares.back(), 1);

  progress_ = RecordingProgress();
  progress_.stop_at = 3;
  std::string out;
  Status status = RunPass(text, {}, HeaderStep(2, true), &out);
  EXPECT_TRUE(status.IsCancelled()) << status.message();
  EXPECT_EQ(progress_.shares.size(), 3u);
  EXPECT_LT(out.size(), text.size() / 4);
}

}  // namespace
}  // namespace jk
