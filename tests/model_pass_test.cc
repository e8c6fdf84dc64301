// The scaling of 3DO model text and the model pass over synthetic archives.
#include <gtest/gtest.h>

#include <map>

#include "archives/archive_tables.h"
#include "platform/path.h"
#include "platform/real_file_system.h"
#include "scaling/game_text.h"
#include "scaling/model_pass.h"
#include "scaling_fixture.h"
#include "test_archive.h"

namespace jk {
namespace {

using scaling_test::CrLfLines;
using scaling_test::ReadFile;
using scaling_test::RecordedProgress;
using scaling_test::TempFolder;

// The lines of a model as the model pass writes them: read as the game
// reads them, scaled by `scaler`.
std::vector<std::string> Scaled(ModelTextScaler& scaler, std::vector<std::string> lines,
                                bool from_level_archive) {
  std::vector<std::string> written;
  GameTextRewriter rewriter([&](std::string& data) { scaler.ScaleLine(data, from_level_archive); },
                            [&](std::string_view line) {
                              written.emplace_back(line);
                              return Status::Ok();
                            });
  for (std::string& line : lines) EXPECT_TRUE(rewriter.Line(line).ok());
  EXPECT_TRUE(rewriter.Finish().ok());
  return written;
}

// Vertex lists and radius lines are scaled; every other line stays, and so
// does every comment.
TEST(ModelTextScalerTest, ScalesVertexListsAndRadii) {
  ModelTextScaler scaler(2);
  EXPECT_EQ(Scaled(scaler,
                   {"3DO 2.1", "0: 1 1 1 0", "  Radius 0.5", "RADIUSX 2", "Vertices 3",
                    "#num: x y z intensity", "  0:\t1  2 3\t0.5 extra", "1: 1 2 3", "; 2: 1 1 1 0",
                    "2: 1,1,1 0 # radius 1", "RADIUS 1.5 # x", "TEXTURE VERTICES 1", "0: 1 1 1 1"},
                   true),
            (std::vector<std::string>{"3DO 2.1", "0: 1 1 1 0", "RADIUS 1", "RADIUS 0", "Vertices 3",
                                      "#num: x y z intensity", "0: 2 4 6 0.5", "1: 1 2 3",
                                      "; 2: 1 1 1 0", "2: 2 2 2 0 # radius 1", "RADIUS 3 # x",
                                      "TEXTURE VERTICES 1", "0: 1 1 1 1"}));
  EXPECT_FALSE(scaler.in_vertex_list());
}

// Game-true rules also scale the insert offset and the hierarchy's
// positions and pivots, and only the N node lines after their heading;
// the classic rules leave them, and neither rewrites a comment.
TEST(ModelTextScalerTest, GameTrueRulesScaleInsertOffsetAndHierarchy) {
  const std::vector<std::string> model = {
      "INSERT OFFSET 0.1 -0.2 0.3",
      "HIERARCHY NODES 2",
      "#  num:   flags:   type:    mesh:  parent:  child:  sibling:  numChildren:        x:   "
      "      y:         z:     pitch:       yaw:      roll:    pivotx:    pivoty:    pivotz:  "
      "hnodename:",
      "  0:  0x0000 0x00001  0  -1  1  -1  1   0.5 0.25 -1   10 20 30   0.1 0.2 0.3  body",
      "",
      "  1:  0x0000 0x00001  1   0 -1  -1  0   1 2 3   45 0 0   -0.5 0 0.5  lid",
      "  2:  0x0000 0x00001  1   0 -1  -1  0   1 2 3   45 0 0   -0.5 0 0.5  extra",
      "# insert offset 1 1 1"};
  ModelTextScaler game_true(2, ScaleRules::kGameTrue), classic(2, ScaleRules::kClassic);
  std::vector<std::string> expected = model;
  expected[0] = "INSERT OFFSET 0.2 -0.4 0.6";
  expected[3] = "0: 0x0000 0x00001 0 -1 1 -1 1 1 0.5 -2 10 20 30 0.2 0.4 0.6 body";
  expected[5] = "1: 0x0000 0x00001 1 0 -1 -1 0 2 4 6 45 0 0 -1 0 1 lid";
  EXPECT_EQ(Scaled(game_true, model, true), expected);
  EXPECT_EQ(Scaled(classic, model, true), model);
}

// Indented headings count in the resource archive's models only.
TEST(ModelTextScalerTest, IndentedHeadingsByArchive) {
  const std::vector<std::string> model = {"  VERTICES 1", "0: 1 1 1 0", "\tTEXTURE", "1: 1 1 1 0"};
  ModelTextScaler level(2), resource(2);
  EXPECT_EQ(Scaled(level, model, true), model);
  EXPECT_EQ(Scaled(resource, model, false),
            (std::vector<std::string>{"  VERTICES 1", "0: 2 2 2 0", "\tTEXTURE", "1: 1 1 1 0"}));
}

// Skipped rows (unsafe, outside, a file this pass wrote already) read
// nothing; a file left by an earlier run is replaced; the vertex list that
// a.3do leaves open goes on into b.3do.
TEST(ModelPassTest, SkipsRowsAndReportsProgress) {
  TempFolder dir;
  std::string level_bytes = TestArchive()
                                .Add("3do\\a.3do", "VERTICES 1\r\n0: 1 1 1 0\r\n")
                                .Add("3do\\far.3do", "TEXTURE\r\n")
                                .Add("3do\\..\\up.3do", "TEXTURE\r\n")
                                .Build();
  PutInt32(&level_bytes, 16 + 136 * 1, 1 << 20);  // far.3do's offset: past the end
  ASSERT_TRUE(TestArchive()
                  .Add("3do\\b.3do", "0: 1 1 1 0")
                  .Add("3do\\old.3do", "TEXTURE\r\n")
                  .WriteTo(dir / "res.gob"));
  ASSERT_TRUE(scaling_test::WriteFile(dir / "lvl.gob", level_bytes));
  RealFileSystem fs;
  std::unique_ptr<GobArchive> level, resource;
  ASSERT_TRUE(GobArchive::Open(fs, dir / "lvl.gob", &level).ok());
  ASSERT_TRUE(GobArchive::Open(fs, dir / "res.gob", &resource).ok());
  std::vector<ModelRow> rows;
  ASSERT_TRUE(CollectModels(*level, true, &rows).ok());
  ASSERT_TRUE(CollectModels(*resource, false, &rows).ok());
  ModelRow again = rows.back();  // old.3do's data under a.3do's name
  again.entry.name = "3do\\a.3do";
  rows.push_back(again);
  ASSERT_TRUE(fs.CreateFolder(dir / "out/3do").ok());
  std::unique_ptr<OutputFile> old;
  ASSERT_TRUE(fs.OpenWrite(dir / "out/3do/old.3do", &old).ok());
  ASSERT_TRUE(old->WriteLine("kept").ok() && old->Close().ok());

  RecordedProgress progress;
  std::vector<std::string> skipped;
  ASSERT_TRUE(RunModelPass(fs, {dir / "out", level.get(), resource.get()}, rows, 2,
                           ScaleRules::kGameTrue, 1, progress, &skipped)
                  .ok());

  EXPECT_EQ(skipped, (std::vector<std::string>{
                         "model '3do\\far.3do': its data lies outside '" + (dir / "lvl.gob") + "'",
                         "model '3do\\..\\up.3do': unsafe name"}));
  EXPECT_EQ(scaling_test::FilesIn(dir / "out/3do"),
            (std::vector<std::string>{"a.3do", "b.3do", "old.3do"}));
  EXPECT_EQ(ReadFile(dir / "out/3do/a.3do"), CrLfLines({"VERTICES 1", "0: 2 2 2 0"}));
  EXPECT_EQ(ReadFile(dir / "out/3do/old.3do"), CrLfLines({"TEXTURE"}));
  EXPECT_EQ(ReadFile(dir / "out/3do/b.3do"), CrLfLines({"0: 2 2 2 0"}));
  // The progress counts the models written.
  EXPECT_EQ(progress.models, (std::vector<std::string>{"0 of 3", "1 of 3", "2 of 3", "3 of 3"}));
}

// A level archive of models, written to a temporary folder and open, as
// its tables and as an archive.
class ModelArchiveTest : public ::testing::Test {
 protected:
  void Open(const TestArchive& archive) {
    ASSERT_TRUE(archive.WriteTo(dir / "lvl.gob"));
    ASSERT_TRUE(OpenLevelArchive(fs, dir / "lvl.gob", &tables).ok());
    ASSERT_TRUE(GobArchive::Open(fs, dir / "lvl.gob", &level).ok());
  }

  TempFolder dir;
  RealFileSystem fs;
  LevelArchiveTables tables;
  std::unique_ptr<GobArchive> level;
};

// An archive that names one model once with "\\" and once with "/": on
// Windows, where both separate folders, that is one file, and on every
// system it is written once.
TEST_F(ModelArchiveTest, OneFileUnderTwoSpellingsIsWrittenOnce) {
  Open(TestArchive()
           .Add("3do\\sub\\dup.3do", "VERTICES 1\n0: 1 1 1 0\n")
           .Add("3do\\sub/dup.3do", "VERTICES 1\n0: 5 5 5 0\n"));
  ASSERT_TRUE(fs.CreateFolder(dir / "out/3do").ok());
  NoProgress progress;
  std::vector<std::string> skipped;
  ASSERT_TRUE(RunModelPass(fs, {dir / "out", level.get(), level.get()}, tables.models, 2,
                           ScaleRules::kGameTrue, 1, progress, &skipped)
                  .ok());
  // The first spelling's model is the one written, and the file is alone.
  EXPECT_EQ(scaling_test::FilesIn(dir / "out/3do/sub"), std::vector<std::string>{"dup.3do"});
  EXPECT_EQ(ReadFile(dir / "out/3do/sub/dup.3do"), CrLfLines({"VERTICES 1", "0: 2 2 2 0"}));
}

// The model pass begun beside the level pass writes what RunModelPass
// writes when its list is the level pass's; with another list it writes the
// level pass's instead and deletes what it began; abandoned, it leaves none
// of its files and nothing of the user's goes.
TEST_F(ModelArchiveTest, EarlyPassFinishesAsTheModelPassOrLeavesNothing) {
  Open(TestArchive()
           .Add("3do\\a.3do", "VERTICES 1\r\n0: 1 1 1 0\r\n")
           .Add("3do\\b.3do", "VERTICES 1\r\n0: 3 3 3 0\r\n"));
  ASSERT_EQ(tables.models.size(), 2u);
  const std::vector<ModelRow> both = tables.models;
  const std::vector<ModelRow> only_b = {tables.models[1]};
  auto run = [&](const std::string& out, const std::vector<ModelRow>& listed,
                 const std::vector<ModelRow>& level_pass_list) {
    EXPECT_TRUE(fs.CreateFolder(out + "/3do").ok());
    ModelPassFiles files{out, level.get(), level.get()};
    EarlyModelPass early(fs, files, 2, ScaleRules::kGameTrue, 2,
                         [&](std::vector<ModelRow>* models) {
                           *models = listed;
                           return Status::Ok();
                         });
    RecordedProgress progress;
    std::vector<std::string> skipped;
    EXPECT_TRUE(early.Finish(level_pass_list, progress, &skipped).ok());
    EXPECT_EQ(progress.models.back(), std::to_string(level_pass_list.size()) + " of " +
                                          std::to_string(level_pass_list.size()));
  };
  run(dir / "same", both, both);
  EXPECT_EQ(ReadFile(dir / "same/3do/a.3do"), CrLfLines({"VERTICES 1", "0: 2 2 2 0"}));
  EXPECT_EQ(ReadFile(dir / "same/3do/b.3do"), CrLfLines({"VERTICES 1", "0: 6 6 6 0"}));
  run(dir / "other", both, only_b);
  EXPECT_EQ(scaling_test::FilesIn(dir / "other/3do"), std::vector<std::string>{"b.3do"});

  ASSERT_TRUE(fs.CreateFolder(dir / "gone/3do").ok());
  ASSERT_TRUE(scaling_test::WriteFile(dir / "gone/3do/mine.txt", "mine"));
  {
    ModelPassFiles files{dir / "gone", level.get(), level.get()};
    EarlyModelPass early(fs, files, 2, ScaleRules::kGameTrue, 2,
                         [&](std::vector<ModelRow>* models) {
                           *models = both;
                           return Status::Ok();
                         });
    early.Abandon();
  }
  EXPECT_EQ(scaling_test::FilesIn(dir / "gone/3do"), std::vector<std::string>{"mine.txt"});

  // Asked to stop, the pass stops, cancelled.
  struct Stopping : NoProgress {
    bool CancelRequested() const override { return true; }
  } stopping;
  ModelPassFiles files{dir / "same", level.get(), level.get()};
  EarlyModelPass early(fs, files, 2, ScaleRules::kGameTrue, 2, [&](std::vector<ModelRow>* models) {
    *models = both;
    return Status::Ok();
  });
  std::vector<std::string> skipped;
  EXPECT_TRUE(early.Finish(both, stopping, &skipped).IsCancelled());
}

}  // namespace
}  // namespace jk
