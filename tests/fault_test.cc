// Damaged and hostile input, and a disk that fails under the program: no
// crash, no hang, nothing written outside the work folder, nothing of the
// user's deleted, and a message that names the file.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "fake_process_runner.h"
#include "launch/play_session.h"
#include "launch/work_folder.h"
#include "memory_file_system.h"
#include "test_archive.h"
#include "test_util.h"

namespace jk {
namespace {

using Names = std::vector<std::string>;

class FaultTest : public ::testing::Test {
 protected:
  struct Result {
    int code;
    std::string out, err;
  };

  void SetUp() override {
    fs_.SetFile("game/Resource/res2.gob", TestArchive().Add("3do\\r.3do", "r\r\n").Build());
    fs_.SetFile("user/notes.txt", "mine");
  }

  void PutLevelArchive(const TestArchive& writer) { fs_.SetFile(kArchive, writer.Build()); }

  Result Run(const Names& args) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Names log;
    FakeProcessRunner runner(&log);
    int code = RunCli(args, {fs_, runner, "", {}, out, err});
    return {code, Contents(out), Contents(err)};
  }

  Result Scale(const std::string& level, const std::string& work = "work") {
    return Run(
        {"scale", kArchive, level, "2", "--resource", "game/Resource/res2.gob", "--out", work});
  }

  // Every file of the file system outside `work` is one the test put there.
  void ExpectNothingWrittenOutside(const std::string& work) {
    for (const std::string& path : fs_.FilePaths()) {
      if (path.starts_with(Native(work + "/")) || path.starts_with(Native("whole/"))) {
        continue;
      }
      EXPECT_TRUE(path == Native(kArchive) || path == Native("game/Resource/res2.gob") ||
                  path == Native("user/notes.txt"))
          << path;
    }
    std::string notes;
    EXPECT_TRUE(fs_.GetFile("user/notes.txt", &notes));
  }

  std::string File(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(fs_.GetFile(path, &bytes)) << path;
    return bytes;
  }

  static std::string Contents(std::FILE* file) {
    std::string bytes(size_t(std::ftell(file)), '\0');
    std::rewind(file);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    return bytes;
  }

  static constexpr const char* kArchive = "game/Episode/ep.gob";
  MemoryFileSystem fs_;
};

// A count of 2^31 - 1 in a 100-byte file lists what fits and stops.
TEST_F(FaultTest, HugeEntryCountInSmallFile) {
  std::string bytes = TestArchive().Build();
  PutInt32(&bytes, 12, INT_MAX);
  bytes.resize(100, '\0');
  fs_.SetFile(kArchive, bytes);
  Result result = Run({"levels", kArchive});
  EXPECT_EQ(result.code, kExitOk);
  EXPECT_EQ(result.out, "");
}

// A level of one 50 MB line comes out as that line and CR LF.
TEST_F(FaultTest, LevelOfOneHugeLine) {
  std::string line(50 << 20, 'x');
  line.replace(0, 16, "World vertices 1");
  PutLevelArchive(TestArchive().Add("jkl\\big.jkl", line));
  ASSERT_EQ(Scale("jkl\\big.jkl").code, kExitOk);
  EXPECT_EQ(File("work/jkl/big.jkl"), line + "\r\n");
}

// NUL bytes and bytes above 127 pass through every unrewritten line.
TEST_F(FaultTest, BinaryBytesInLines) {
  std::string odd("a\0b\xff\xe9\x80 z", 8);
  PutLevelArchive(TestArchive().Add("jkl\\odd.jkl", odd + "\r\n" + odd + "\n" + odd));
  ASSERT_EQ(Scale("jkl\\odd.jkl").code, kExitOk);
  EXPECT_EQ(File("work/jkl/odd.jkl"), odd + "\r\n" + odd + "\r\n" + odd + "\r\n");
}

// A work folder in which nothing can be created fails the run, naming the
// path, and leaves everything else alone.
TEST_F(FaultTest, ReadOnlyWorkFolder) {
  PutLevelArchive(TestArchive().Add("jkl\\a.jkl", "x\r\n"));
  ASSERT_TRUE(fs_.CreateFolder("work").ok());
  fs_.MakeReadOnly("work");
  Result result = Scale("jkl\\a.jkl");
  EXPECT_EQ(result.code, kExitFailed);
  EXPECT_EQ(result.err,
            "jkrescale-cli: '" + Native("work/jkl") + "': permission denied (read-only folder)\n");
  ExpectNothingWrittenOutside("work");
}

// A disk that fills up at any point of the run fails it with the file's
// name and the reason; the run never reports success.
TEST_F(FaultTest, DiskFullAtAnyPoint) {
  std::string level = "SECTION: HEADER\r\nMipMap Distances 1 2 3 4\r\n";
  for (int i = 0; i < 3000; ++i) level += "# filler line " + std::to_string(i) + "\r\n";
  PutLevelArchive(TestArchive().Add("jkl\\a.jkl", level));
  ASSERT_EQ(Scale("jkl\\a.jkl", "whole").code, kExitOk);
  int64_t total = 0;
  for (const std::string& path : fs_.FilePaths()) {
    if (path.starts_with(Native("whole/"))) total += int64_t(File(path).size());
  }
  for (int64_t budget : {int64_t(0), int64_t(1), int64_t(100), total / 2, total - 1}) {
    SCOPED_TRACE(budget);
    fs_.FailWritesAfter(budget);
    Result result = Scale("jkl\\a.jkl");
    EXPECT_EQ(result.code, kExitFailed);
    EXPECT_TRUE(result.err.starts_with("jkrescale-cli: '" + Native("work/"))) << result.err;
    EXPECT_TRUE(result.err.ends_with("': cannot write: no space left on device\n")) << result.err;
    ExpectNothingWrittenOutside("work");
  }
}

// Level names that would leave the work folder are refused before anything
// is written.
TEST_F(FaultTest, UnsafeLevelNames) {
  for (std::string name : {"jkl\\..\\..\\user\\notes.txt", "jkl\\/etc/passwd", "jkl\\C:\\x.jkl",
                           "jkl\\a\\..\\b.jkl", "jkl\\a/../../b"}) {
    SCOPED_TRACE(name);
    PutLevelArchive(TestArchive().Add(name, "x\r\n"));
    Result result = Scale(name);
    EXPECT_EQ(result.code, kExitFailed);
    EXPECT_NE(result.err.find("unsafe name"), std::string::npos) << result.err;
    EXPECT_FALSE(fs_.Exists("work"));
    ExpectNothingWrittenOutside("work");
  }
}

// Model and cog entries whose names would leave their folder are skipped
// and named; nothing lands outside the work folder.
TEST_F(FaultTest, UnsafeModelAndCogNames) {
  std::string level =
      "World templates 1\r\n"
      "t _structure model3d=..\\..\\user\\notes.txt model3d=C:\\x.3do "
      "model3d=/abs.3do model3d=a/..\\..\\b.3do\r\n"
      "World things 1\r\n0: t a 1 2 3 0 0 0 0\r\n"
      "World cogs 2\r\n0: ..\\..\\user\\notes.txt\r\n1: C:\\c.cog\r\n";
  PutLevelArchive(TestArchive()
                      .Add("jkl\\a.jkl", level)
                      .Add("3do\\..\\..\\user\\notes.txt", "VERTICES 1\r\n")
                      .Add("3do\\C:\\x.3do", "x\r\n")
                      .Add("3do\\/abs.3do", "x\r\n")
                      .Add("3do\\a/..\\..\\b.3do", "x\r\n")
                      .Add("cog\\..\\..\\user\\notes.txt", "x\r\n")
                      .Add("cog\\C:\\c.cog", "x\r\n"));
  Result result = Scale("jkl\\a.jkl");
  EXPECT_EQ(result.code, kExitOk);
  EXPECT_EQ(result.err,
            "jkrescale-cli: warning: skipped model '3do\\..\\..\\user\\notes.txt': unsafe "
            "name; model '3do\\C:\\x.3do': unsafe name; model '3do\\/abs.3do': unsafe name; "
            "model '3do\\a/..\\..\\b.3do': unsafe name; cog "
            "'cog\\..\\..\\user\\notes.txt': unsafe name; cog 'cog\\C:\\c.cog': unsafe "
            "name\n");
  EXPECT_EQ(File("user/notes.txt"), "mine");
  ExpectNothingWrittenOutside("work");
}

// A model of a million vertex lines is scaled line by line.
TEST_F(FaultTest, ModelOfAMillionVertices) {
  std::string model = "VERTICES 1000000\r\n";
  for (int i = 0; i < 1000000; ++i) model += std::to_string(i) + ": 1 2 3 0\r\n";
  PutLevelArchive(TestArchive()
                      .Add("jkl\\a.jkl",
                           "World templates 1\r\nt _decor model3d=m.3do\r\n"
                           "World things 1\r\n0: t a 0 0 0 0 0 0 0\r\n")
                      .Add("3do\\m.3do", model));
  ASSERT_EQ(Scale("jkl\\a.jkl").code, kExitOk);
  std::string scaled = File("work/3do/m.3do");
  EXPECT_TRUE(scaled.starts_with("VERTICES 1000000\r\n0: 2 4 6 0\r\n1: 2 4 6 0\r\n"));
  EXPECT_TRUE(scaled.ends_with("\r\n999999: 2 4 6 0\r\n"));
}

// An extra archive's copy that cannot be deleted is reported by name and
// stays in the run record for the next clean-up; the rest of the clean-up
// goes on, and nothing else is touched.
TEST_F(FaultTest, CopyThatCannotBeDeleted) {
  fs_.SetFile("work/extra.gob", "copy");
  fs_.SetFile("work/mine.gob", "the user's");
  fs_.SetFile("work/episode.jk", "e");
  fs_.SetFile("work/jkl/a.jkl", "l");
  fs_.SetFile("work/jkrescale-run.txt", "other.gob\r\nepisode.jk\r\nextra.gob\r\njkl\r\n");
  fs_.MakeUndeletable("work/extra.gob");
  Status status = CleanWorkFolder(fs_, "work", {"other.gob", "episode.jk", "extra.gob", "jkl"},
                                  {2, std::chrono::milliseconds(0)});
  EXPECT_EQ(status.message(), "could not clean the work folder 'work': '" +
                                  Native("work/extra.gob") + "': cannot delete: in use");
  EXPECT_EQ(fs_.FilePaths(), (Names{Native("game/Resource/res2.gob"), Native("user/notes.txt"),
                                    Native("work/extra.gob"), Native("work/jkrescale-run.txt"),
                                    Native("work/mine.gob")}));
  Names recorded;
  ASSERT_TRUE(ReadRunRecord(fs_, "work", &recorded).ok());
  EXPECT_EQ(recorded, Names{"extra.gob"});
}

// A play session on a disk too full for its run record writes nothing
// else, and its clean-up still removes what an earlier run recorded.
TEST_F(FaultTest, RunRecordThatCannotBeWritten) {
  PutLevelArchive(TestArchive().Add("jkl\\a.jkl", "x\r\n"));
  fs_.SetFile("game/JK", "x");
  fs_.SetFile("work/old.gob", "an earlier copy");
  fs_.SetFile("work/jkrescale-run.txt", "old.gob\r\n");
  fs_.FailWritesAfter(0);
  PlayChoices choices;
  choices.game_path = choices.expansion_path = "game/JK";
  choices.level_archive_path = kArchive;
  choices.level_name = "jkl\\a.jkl";
  choices.factor_text = "2";
  struct : PlayObserver {
    ScaleProgress& progress() override { return none; }
    void ScaleFinished(const PlayReport&) override {}
    void GameStarting(const std::string&) override { ADD_FAILURE() << "the game started"; }
    void WhileGameRuns() override {}
    NoProgress none;
  } observer;
  Names log;
  FakeProcessRunner runner(&log);
  ReferenceLists lists;
  PlayReport report;
  Status status = RunPlaySession(fs_, runner, MakePlayRequest(fs_, "work", choices), observer,
                                 &lists, &report, {2, std::chrono::milliseconds(0)});
  EXPECT_EQ(status.message(),
            "'" + Native("work/jkrescale-run.txt") + "': cannot write: no space left on device");
  EXPECT_EQ(fs_.FilePaths(), (Names{Native("game/Episode/ep.gob"), Native("game/JK"),
                                    Native("game/Resource/res2.gob"), Native("user/notes.txt")}));
}

// A portable copy works in its own folder; an installed program, whose
// folder it cannot write, in the user's data folder, made when missing; and
// a program that can write in neither says so, naming both.
TEST(WorkFolderChoiceTest, ProgramFolderElseTheUsersDataFolder) {
  MemoryFileSystem fs;
  ASSERT_TRUE(fs.CreateFolder("portable").ok());
  ASSERT_TRUE(fs.CreateFolder("usr/bin").ok());
  ASSERT_TRUE(fs.CreateFolder("home/ann").ok());
  std::string data = Native("home/ann/.local/share/jkrescale");
  std::string chosen;
  ASSERT_TRUE(ChooseWorkFolder(fs, "portable", data, &chosen).ok());
  EXPECT_EQ(chosen, "portable");
  EXPECT_FALSE(fs.Exists(data));

  fs.MakeReadOnly(Native("usr/bin"));
  ASSERT_TRUE(ChooseWorkFolder(fs, Native("usr/bin"), data, &chosen).ok());
  EXPECT_EQ(chosen, data);
  EXPECT_TRUE(fs.IsFolder(data));
  EXPECT_EQ(fs.FilePaths(), Names{});  // the probes are gone

  fs.MakeReadOnly(Native("home/ann/.local/share"));
  fs.MakeReadOnly(data);
  Status status = ChooseWorkFolder(fs, Native("usr/bin"), data, &chosen);
  EXPECT_EQ(status.message(), "'" + data + "': cannot write there, nor in the program's folder '" +
                                  Native("usr/bin") + "'");
  EXPECT_EQ(ChooseWorkFolder(fs, Native("usr/bin"), "", &chosen).message(),
            "'" + Native("usr/bin") +
                "': cannot write in the program's folder, and there is no folder for the "
                "user's data");
}

}  // namespace
}  // namespace jk
