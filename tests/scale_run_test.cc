// Whole scale runs on synthetic archives: through jkrescale-cli, and through
// RunScale where the progress calls and the reference lists are watched.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/real_file_system.h"
#include "scaling/scale_run.h"
#include "scaling_fixture.h"
#include "test_archive.h"
#include "workload.h"

namespace jk {
namespace {

using scaling_test::CrLfLines;
using scaling_test::FilesIn;
using scaling_test::ReadFile;
using scaling_test::RecordedProgress;
using scaling_test::RunCliCaptured;
using scaling_test::TempFolder;

const std::vector<std::string> kLevel = {
    "SECTION: HEADER",
    "MipMap Distances 1 2 3 4",
    "SECTION: GEORESOURCE",
    "World vertices 2",
    "0:\t-0.5\t1.25\t2",
    "1:\t1\t1\t1",
    "World texture vertices 1",
    "0:\t0.5\t0.5",
    "SECTION: TEMPLATES",
    "World templates 3",
    "crate _structure size=0.05 movesize=0.05 height=0.1 model3d=crate.3do",
    "lamp  _decor     model3d=lamp.3do model3d=nowhere.3do",
    "walker _actor model3d=walker.3do",
    "end",
    "SECTION: THINGS",
    "World things 4",
    "0: crate c1 1 2 3 0 90 0 1 frame=(1/2/3:0/90/0)",
    "1: lamp l1 1 1 1 0 0 0 1",
    "2: crate c2 0 0 0 0 0 0 1 frame=(1/1/1)",
    "3: walker w 1 1 1 0 0 0 1",
    "end",
    "SECTION: COGS",
    "World cogs 2",
    "0:\tdoor.cog",
    "1:\trules.cog",
    "end",
};

// kLevel at factor 2: the lines that change, by index.
std::vector<std::string> ScaledLevel() {
  std::vector<std::string> lines = kLevel;
  lines[1] = "MipMap Distances 2 4 6 8";
  lines[4] = "0: -1 2.5 4";
  lines[5] = "1: 2 2 2";
  lines[10] = "crate _structure size=0.1 movesize=0.1 height=0.2 model3d=crate.3do";
  lines[11] = "lamp _decor model3d=lamp.3do model3d=nowhere.3do";
  lines[16] = "0: crate c1 2 4 6 0 90 0 1 frame=(2/4/6:0/90/0)";
  lines[17] = "1: lamp l1 2 2 2 0 0 0 1";
  lines[18] = "2: crate c2 0 0 0 0 0 0 1 frame=(2/2/2)";
  lines[19] = "3: walker w 2 2 2 0 0 0 1";
  return lines;
}

// A level archive and a resource archive that both hold crate.3do.
class ScaleRunTest : public ::testing::Test {
 protected:
  void WriteArchives() {
    TestArchive level;
    level.Add("jkl\\test.jkl", CrLfLines(kLevel))
        .Add("jkl\\empty.jkl", "World things 0\r\n")
        .Add("3do\\crate.3do", "VERTICES 1\n0: 1 1 1 0\nTEXTURE\n")
        .Add("3do\\walker.3do", "VERTICES 1\n0: 1 1 1 0\n")
        .Add("cog\\door.cog", "# door\nend")
        .Add("misc\\cogstrings.uni", "MSGS 0\r\nEND\r\n");
    ASSERT_TRUE(level.WriteTo(level_path_));
    ASSERT_TRUE(
        TestArchive()
            .Add("3do\\crate.3do", "VERTICES 1\n0: 9 9 9 0\n")
            .Add("3do\\lamp.3do", "  Vertices 1\n  0: 1 2 3 0\n  TEXTURE VERTICES\n  0: 1 1 0 0\n")
            .Add("cog\\rules.cog", "# rules\n")
            .WriteTo(resource_path_));
  }

  std::vector<std::string> ScaleArgs() {
    return {"scale",      level_path_,    "jkl\\test.jkl", "2",
            "--resource", resource_path_, "--out",         out_};
  }

  TempFolder dir_;
  std::string level_path_ = dir_ / "level.gob";
  std::string resource_path_ = dir_ / "res2.gob";
  std::string out_ = dir_ / "work";
};

// The level, the models of both archives, the level's own cog and the
// strings file; the level archive's crate.3do wins. The model no archive
// holds is named in one warning line (rules.cog is the resource archive's).
TEST_F(ScaleRunTest, CliWritesLevelModelsAndCogs) {
  WriteArchives();
  scaling_test::CliRun run = RunCliCaptured(ScaleArgs());
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.err,
            "jkrescale-cli: warning: not found in any archive, so not scaled: models "
            "nowhere.3do\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ReadFile(out_ + "/jkl/test.jkl"), CrLfLines(ScaledLevel()));
  EXPECT_EQ(FilesIn(out_ + "/3do"), (std::vector<std::string>{"crate.3do", "lamp.3do"}));
  EXPECT_EQ(ReadFile(out_ + "/3do/crate.3do"), CrLfLines({"VERTICES 1", "0: 2 2 2 0", "TEXTURE"}));
  EXPECT_EQ(ReadFile(out_ + "/3do/lamp.3do"),
            CrLfLines({"  Vertices 1", "0: 2 4 6 0", "  TEXTURE VERTICES", "  0: 1 1 0 0"}));
  EXPECT_EQ(FilesIn(out_ + "/cog"), (std::vector<std::string>{"door.cog"}));
  EXPECT_EQ(ReadFile(out_ + "/cog/door.cog"), CrLfLines({"# door", "end"}));
  EXPECT_EQ(ReadFile(out_ + "/misc/cogstrings.uni"), CrLfLines({"MSGS 0", "END"}));
  EXPECT_EQ(FilesIn(out_), (std::vector<std::string>{"3do", "cog", "episode.jk", "jkl", "misc"}));
}

// A second run into the same folder at another factor replaces the models
// of the first: none stays at the old scale.
TEST_F(ScaleRunTest, CliRunAgainReplacesModels) {
  WriteArchives();
  ASSERT_EQ(RunCliCaptured(ScaleArgs()).exit_code, 0);
  std::vector<std::string> args = ScaleArgs();
  args[3] = "3";
  ASSERT_EQ(RunCliCaptured(args).exit_code, 0);
  EXPECT_EQ(ReadFile(out_ + "/3do/crate.3do"), CrLfLines({"VERTICES 1", "0: 3 3 3 0", "TEXTURE"}));
}

// Damaged and unsafe entries are left out, named in one warning line, and
// what no archive holds in another; the run still succeeds.
TEST_F(ScaleRunTest, CliSkipsDamagedEntriesWithAWarning) {
  std::vector<std::string> level = kLevel;
  level[12] = "walker _walkstruct model3d=..\\up.3do";  // an unsafe model name
  TestArchive archive;
  archive.Add("jkl\\test.jkl", CrLfLines(level))
      .Add("3do\\..\\up.3do", "VERTICES 1\n")
      .Add("cog\\door.cog", "# door\n")
      .Add("misc\\cogstrings.uni", "MSGS 0\r\n");
  std::string bytes = archive.Build();
  PutInt32(&bytes, 16 + 136 * 2, 1 << 20);  // door.cog past the end
  PutInt32(&bytes, 20 + 136 * 3, 1 << 20);  // the strings file far too long
  ASSERT_TRUE(scaling_test::WriteFile(level_path_, bytes));
  ASSERT_TRUE(TestArchive().Add("3do\\lamp.3do", "x\n").WriteTo(resource_path_));

  scaling_test::CliRun run = RunCliCaptured(ScaleArgs());
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.err,
            "jkrescale-cli: warning: skipped model '3do\\..\\up.3do': unsafe name; "
            "cog 'cog\\door.cog': its data lies outside '" +
                level_path_ + "'; cog strings 'misc\\cogstrings.uni': its data lies outside '" +
                level_path_ +
                "'\njkrescale-cli: warning: not found in any archive, so not scaled: models "
                "crate.3do, nowhere.3do; cogs rules.cog\n");
  EXPECT_EQ(FilesIn(out_ + "/3do"), (std::vector<std::string>{"lamp.3do"}));
  EXPECT_EQ(FilesIn(out_ + "/cog"), std::vector<std::string>{});
  EXPECT_EQ(FilesIn(out_ + "/misc"), std::vector<std::string>{});
}

// Runs RunScale on level `level` of the archive with the lists given.
Status ScaleLevel(const std::string& archive, const std::string& level, const std::string& resource,
                  const std::string& work, ScaleProgress& progress, ReferenceLists* lists,
                  ScaleReport* report = nullptr) {
  RealFileSystem fs;
  ScaleRequest request;
  request.work_folder = work;
  request.level_archive_path = archive;
  request.level_name = level;
  request.resource_archive_path = resource;
  request.factor_text = "2";
  ScaleReport ignored;
  return RunScale(fs, request, progress, lists, report ? report : &ignored);
}

// The models and cogs no archive holds, each once in the order met: only
// models of templates that things use (a derived template's through its
// base), only numbered cog lines, none that the resource archive holds.
TEST_F(ScaleRunTest, ReportsWhatNoArchiveHolds) {
  std::vector<std::string> level = {
      "World templates 5",
      "unused _decor model3d=unused.3do",
      "lamp _decor model3d=lamp.3do model3d=nowhere.3do",
      "post _structure model3d=post.3do model3d=crate.3do",
      "bigpost post size=2",
      "gone _decor model3d=nowhere.3do model3d=gone.3do",
      "end",
      "World things 5",
      "0: bigpost p1 1 1 1 0 0 0 1",
      "1: lamp l1 1 1 1 0 0 0 1",
      "2: gone g1 1 1 1 0 0 0 1",
      "3: post p2 1 1 1 0 0 0 1",
      "4: lamp l2 1 1 1 0 0 0 1",
      "end",
      "World cogs 6",
      "#num: script",
      "0:\tlost.cog",
      "1:\tdoor.cog",
      "2:\trules.cog",
      "3:\tlost.cog",
      "4:\tother.cog\t0x10",
      "end",
  };
  WriteArchives();
  ASSERT_TRUE(TestArchive()
                  .Add("jkl\\missing.jkl", CrLfLines(level))
                  .Add("3do\\crate.3do", "VERTICES 0\n")
                  .Add("cog\\door.cog", "# door\n")
                  .WriteTo(dir_ / "missing.gob"));
  RecordedProgress progress;
  ReferenceLists lists;
  ScaleReport report;
  ASSERT_TRUE(ScaleLevel(dir_ / "missing.gob", "jkl\\missing.jkl", resource_path_, dir_ / "work",
                         progress, &lists, &report)
                  .ok());
  EXPECT_EQ(report.missing_models,
            (std::vector<std::string>{"post.3do", "nowhere.3do", "gone.3do"}));
  EXPECT_EQ(report.missing_cogs, (std::vector<std::string>{"lost.cog", "other.cog"}));
  EXPECT_EQ(FilesIn(dir_ / "work/3do"), (std::vector<std::string>{"crate.3do", "lamp.3do"}));
  EXPECT_EQ(LeftOutPhrase(report.missing_models, report.missing_cogs),
            "not found in any archive, so not scaled: models post.3do, nowhere.3do, gone.3do; "
            "cogs lost.cog, other.cog");
}

// A level that passes the game's sky and coordinate limits once scaled is
// scaled all the same, and the command line says so in one warning line.
TEST_F(ScaleRunTest, CliWarnsOfTheGamesLimits) {
  WriteArchives();
  ASSERT_TRUE(TestArchive()
                  .Add("jkl\\far.jkl", CrLfLines({"Ceiling Sky Z 600.000000", "World vertices 1",
                                                  "0:\t-6000\t1\t1"}))
                  .WriteTo(dir_ / "far.gob"));
  std::vector<std::string> args = ScaleArgs();
  args[1] = dir_ / "far.gob";
  args[2] = "jkl\\far.jkl";
  scaling_test::CliRun run = RunCliCaptured(args);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.err,
            "jkrescale-cli: warning: Ceiling Sky Z would be 1200, above the 1000 the game draws; "
            "a coordinate would be -12000, more than 10000 from the origin, where the game's "
            "motion turns jerky\n");
  EXPECT_EQ(ReadFile(out_ + "/jkl/far.jkl"),
            CrLfLines({"Ceiling Sky Z 1200", "World vertices 1", "0: -12000 2 2"}));
}

// A line that would pass the game's 1,023 characters once scaled stops the
// run with a message naming the line; the level file begun is deleted and
// no model is written.
TEST_F(ScaleRunTest, StopsBeforeALineOverTheGamesLimit) {
  WriteArchives();
  std::string crate = "crate _structure model3d=crate.3do";
  for (int i = 0; i < 100; ++i) crate += " size=1";
  ASSERT_TRUE(
      TestArchive()
          .Add("jkl\\long.jkl", CrLfLines({"World templates 1", crate, "end", "World things 1",
                                           "0: crate c 1 1 1 0 0 0 1", "end"}))
          .WriteTo(dir_ / "long.gob"));
  RealFileSystem fs;
  ScaleRequest request{.work_folder = dir_ / "work",
                       .level_archive_path = dir_ / "long.gob",
                       .level_name = "jkl\\long.jkl",
                       .resource_archive_path = resource_path_,
                       .extra_archive_path = resource_path_,
                       .factor_text = "0.333333333"};
  RecordedProgress progress;
  ReferenceLists lists;
  ScaleReport report;
  Status status = RunScale(fs, request, progress, &lists, &report);
  EXPECT_EQ(status.message(),
            "'jkl\\long.jkl': line 2 (crate) would be 1734 characters long, more than the 1023 "
            "the game reads");
  // Neither the work folder nor the extra archive's copy is left.
  EXPECT_FALSE(std::filesystem::exists(dir_ / "work"));
  EXPECT_EQ(report.level_output, "");
  EXPECT_EQ(report.extra_copy, "");

  // In a work folder that was there, with a file of the user's, that file
  // stays and nothing is added.
  ASSERT_TRUE(WriteFile(dir_ / "work/jkl/mine.txt", "mine"));
  ASSERT_FALSE(RunScale(fs, request, progress, &lists, &report).ok());
  EXPECT_EQ(FilesIn(dir_ / "work"), std::vector<std::string>{"jkl"});
  EXPECT_EQ(FilesIn(dir_ / "work/jkl"), std::vector<std::string>{"mine.txt"});

  // A line over the limits after the things: the models were begun beside
  // the level pass, and none of them is left either.
  const std::string vertex = std::string(1010, '0') + ": 1 1 1";
  ASSERT_TRUE(TestArchive()
                  .Add("jkl\\late.jkl",
                       CrLfLines({"World templates 1", "crate _structure model3d=crate.3do", "end",
                                  "World things 1", "0: crate c 1 1 1 0 0 0 1", "end",
                                  "World vertices 1", vertex}))
                  .WriteTo(dir_ / "late.gob"));
  request.level_archive_path = dir_ / "late.gob";
  request.level_name = "jkl\\late.jkl";
  request.threads = 2;
  status = RunScale(fs, request, progress, &lists, &report);
  EXPECT_NE(status.message().find("': line 8 ("), std::string::npos) << status.message();
  EXPECT_EQ(FilesIn(dir_ / "work"), std::vector<std::string>{"jkl"});

  // A line of a scenery file that scaling would take over the limits: it
  // is written last, and the run still stops before writing anything.
  const std::string sound = "on a.wav 0 1 1 1 # " + std::string(1000, 'x');
  ASSERT_TRUE(TestArchive()
                  .Add("jkl\\loud.jkl",
                       CrLfLines({"World templates 2", "crate _structure model3d=crate.3do",
                                  "lamp _decor soundclass=loud.snd", "end", "World things 2",
                                  "0: crate c 1 1 1 0 0 0 1", "1: lamp l 1 1 1 0 0 0 1", "end"}))
                  .Add("misc\\snd\\loud.snd", sound + "\n")
                  .WriteTo(dir_ / "loud.gob"));
  request.level_archive_path = dir_ / "loud.gob";
  request.level_name = "jkl\\loud.jkl";
  status = RunScale(fs, request, progress, &lists, &report);
  EXPECT_EQ(status.message(),
            "'misc\\snd\\loud.snd': line 1 (on) would be 1039 characters long, more than the "
            "1023 the game reads");
  EXPECT_EQ(FilesIn(dir_ / "work"), std::vector<std::string>{"jkl"});
  EXPECT_EQ(FilesIn(dir_ / "work/jkl"), std::vector<std::string>{"mine.txt"});
}

// The phrase names each kind only when it has names, and is empty without.
TEST(LeftOutPhraseTest, EachKindWhenItHasNames) {
  EXPECT_EQ(LeftOutPhrase({}, {}), "");
  EXPECT_EQ(LeftOutPhrase({"a.3do"}, {}), "not found in any archive, so not scaled: models a.3do");
  EXPECT_EQ(LeftOutPhrase({}, {"c.cog", "d.cog"}),
            "not found in any archive, so not scaled: cogs c.cog, d.cog");
  EXPECT_EQ(LeftOutPhrase({}, {}, {.keyframes = {"open.key"}, .sprites = {"a.spr", "b.spr"}}),
            "shared with actors, so not scaled: keyframes open.key; sprites a.spr, b.spr");
  EXPECT_EQ(LeftOutPhrase({"a.3do"}, {}, {.sound_classes = {"door.snd"}}),
            "not found in any archive, so not scaled: models a.3do; shared with actors, so not "
            "scaled: sound classes door.snd");
}

// Two runs with the same lists: the first reports the share of the level
// read as it goes, up to 1, and the models as they are written; the
// second, of a level without things, still copies the first run's models
// and cogs.
TEST_F(ScaleRunTest, ProgressAndListsOverTwoRuns) {
  WriteArchives();
  RecordedProgress progress;
  ReferenceLists lists;
  ASSERT_TRUE(
      ScaleLevel(level_path_, "jkl\\test.jkl", resource_path_, dir_ / "one", progress, &lists)
          .ok());
  ASSERT_FALSE(progress.shares.empty());
  EXPECT_TRUE(std::is_sorted(progress.shares.begin(), progress.shares.end()));
  EXPECT_GT(progress.shares.front(), 0);
  EXPECT_EQ(progress.shares.back(), 1);
  ASSERT_FALSE(progress.models.empty());
  EXPECT_EQ(progress.models.back(), "2 of 2");

  ASSERT_TRUE(
      ScaleLevel(level_path_, "jkl\\empty.jkl", resource_path_, dir_ / "two", progress, &lists)
          .ok());
  EXPECT_EQ(FilesIn(dir_ / "two/3do"), (std::vector<std::string>{"crate.3do", "lamp.3do"}));
  EXPECT_EQ(FilesIn(dir_ / "two/cog"), (std::vector<std::string>{"door.cog"}));
  EXPECT_EQ(lists.models.size(), 2u);
  EXPECT_EQ(lists.cogs.size(), 1u);
}

// A large generated case, scaled on one thread and on four: the models are
// written by different threads in a different order, and the files must be
// the same byte for byte. Some models leave their vertex list open, so each
// model's starting state has to come from the models before it.
TEST(ScaleThreadsTest, FourThreadsWriteWhatOneThreadWrites) {
  TempFolder dir;
  bench::Workload workload = bench::Workload().Times(0.02);
  workload.odd_models = true;
  bench::Archives archives;
  ASSERT_TRUE(bench::BuildArchives(workload, dir.path(), &archives));
  auto scale = [&](const std::string& out, const char* threads) {
    scaling_test::CliRun run =
        RunCliCaptured({"scale", archives.level, "jkl\\bench.jkl", "1.7", "--resource",
                        archives.resource, "--out", out, "--threads", threads});
    EXPECT_EQ(run.exit_code, 0) << run.err;
  };
  scale(dir / "one", "1");
  scale(dir / "four", "4");
  // Every file under a folder, by its path there, with its bytes.
  auto written = [](const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
      if (!entry.is_regular_file()) continue;
      files[entry.path().lexically_relative(folder).generic_string()] =
          ReadFile(entry.path().string());
    }
    return files;
  };
  std::map<std::string, std::string> one = written(dir / "one");
  std::map<std::string, std::string> four = written(dir / "four");
  int models = 0;
  for (const auto& [name, bytes] : one) {
    models += name.starts_with("3do/");
    EXPECT_TRUE(four.count(name) && four[name] == bytes) << name;
  }
  EXPECT_EQ(one.size(), four.size());
  EXPECT_EQ(models, workload.level_models + workload.resource_models);
}

// --threads takes a whole number of threads, and nothing else.
TEST_F(ScaleRunTest, CliThreadCounts) {
  WriteArchives();
  for (const char* wrong : {"0", "-1", "two", "1.5", "257"}) {
    std::vector<std::string> args = ScaleArgs();
    args.insert(args.end(), {"--threads", wrong});
    scaling_test::CliRun run = RunCliCaptured(args);
    EXPECT_EQ(run.exit_code, 2) << wrong;
    EXPECT_NE(run.err.find("--threads takes a whole number from 1 to 256"), std::string::npos);
  }
}

}  // namespace
}  // namespace jk
