// jkrescale-cli, run in-process on archives written to a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "fake_process_runner.h"
#include "platform/path.h"
#include "test_util.h"

namespace jk {
namespace {

using Names = std::vector<std::string>;

// A level with every kind of line break and a last line without one; no
// line in it belongs to a section that has a handler.
constexpr const char* kLevel =
    "# synthetic level\r\n"
    "SECTION: HEADER\r\n"
    "World Gravity 4.000000\r\n"
    "MipMap Distances 1.0 2.0 3.0 4.0\r\n"
    "\r\n"
    "  \tindented  text \n"
    "SECTION: GEORESOURCE\r"
    "World texture vertices 1\r\n"
    "0:\t0.5\t0.5\r\n"
    "end";
// Every line but the two world values, as written.
constexpr const char* kHead = "# synthetic level\r\nSECTION: HEADER\r\n";
constexpr const char* kTail =
    "\r\n  \tindented  text \r\nSECTION: GEORESOURCE\r\n"
    "World texture vertices 1\r\n0:\t0.5\t0.5\r\nend\r\n";

std::string Contents(std::FILE* file) {
  std::string bytes(size_t(std::ftell(file)), '\0');
  std::rewind(file);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  return bytes;
}

class CliTest : public TempFolderTest {
 protected:
  std::vector<std::string> log_;
  FakeProcessRunner runner_{&log_};
  struct Result {
    int code;
    std::string out, err;
  };

  void SetUp() override {
    TempFolderTest::SetUp();
    archive_ = WriteArchive("Episode/ep.gob", TestArchive()
                                                  .Add("jkl\\demo.jkl", kLevel)
                                                  .Add("3do\\after.3do", "NOT THE LEVEL\r\n")
                                                  .Add("cog\\c.cog", "cog\r\n")
                                                  .Add("jkl\\sub\\deep.jkl", "x\n"));
    resource_ = WriteArchive("Resource/res2.gob", TestArchive().Add("3do\\r.3do", "r\r\n"));
    out_ = Path("out/work");
  }

  // Runs the command line with `work_folder` as the program's folder.
  Result Run(const std::vector<std::string>& args, const std::string& work_folder = "") {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    int code = RunCli(args, {fs_, runner_, work_folder, {}, out, err});
    return {code, Contents(out), Contents(err)};
  }
  // Runs `args` with `search` as what the search for games finds.
  Result RunWithGames(const std::vector<std::string>& args, const GameSearch& search) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    CliEnvironment env{fs_, runner_, "", {}, out, err};
    env.find_games = [&] { return search; };
    int code = RunCli(args, env);
    return {code, Contents(out), Contents(err)};
  }
  // "scale ARCHIVE LEVEL FACTOR --resource R --out DIR" and `more`.
  Result Scale(const std::string& level, const std::string& factor, Names more = {}) {
    Names args = {"scale", archive_, level, factor, "--resource", resource_, "--out", out_};
    args.insert(args.end(), more.begin(), more.end());
    return Run(args);
  }
  // Expects a failed run with exactly this message, and DIR not created.
  void ExpectRefused(const Result& result, const std::string& message) {
    EXPECT_EQ(result.code, kExitFailed);
    EXPECT_EQ(result.err, "jkrescale-cli: " + message + "\n");
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(fs_.Exists(Path("out")));
  }

  std::string archive_, resource_, out_;
};

// "levels" prints the level entries in directory order.
TEST_F(CliTest, LevelsInDirectoryOrder) {
  Result result = Run({"levels", archive_});
  EXPECT_EQ(result.code, kExitOk);
  EXPECT_EQ(result.out, "jkl\\demo.jkl\njkl\\sub\\deep.jkl\n");
  EXPECT_EQ(result.err, "");
}

// "scale" leaves the work folder as the game would find it: the level with
// the two world values rewritten and every other line as read plus CR LF.
TEST_F(CliTest, ScaleWritesTheWorkFolder) {
  WriteBytes("mods/extra.gob", "EXTRA");
  Result result = Scale("jkl\\demo.jkl", "2", {"--gravity", "--extra", Path("mods/extra.gob")});
  EXPECT_EQ(result.code, kExitOk) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(FolderNames(out_), (Names{"3do/", "cog/", "episode.jk", "extra.gob", "jkl/", "misc/"}));
  EXPECT_EQ(FolderNames(out_ + "/jkl"), (Names{"demo.jkl"}));
  for (const char* empty : {"/3do", "/cog", "/misc"}) {
    EXPECT_EQ(FolderNames(out_ + empty), Names{});
  }
  EXPECT_EQ(ReadFile(out_ + "/jkl/demo.jkl"), std::string(kHead) +
                                                  "World Gravity 2\r\n"
                                                  "MipMap Distances 2 4 6 8\r\n" +
                                                  kTail);
  EXPECT_EQ(ReadFile(out_ + "/episode.jk"),
            "\"ep.gob\"\r\nTYPE 1\r\nSEQ 1\r\n10: 0 1 LEVEL demo.jkl 0 0 -1 -1\r\nend\r\n");
  EXPECT_EQ(ReadFile(out_ + "/extra.gob"), "EXTRA");
}

// Points the system's folder for temporary files at `folder` while it lives.
class TemporaryFilesIn {
 public:
  explicit TemporaryFilesIn(const std::string& folder) {
    std::filesystem::create_directories(FsPath(folder));
    Set(folder + (kPathSeparator == '\\' ? "\\" : ""));
  }
  ~TemporaryFilesIn() { Set(""); }

 private:
#ifdef _WIN32
  static void Set(const std::string& folder) { _putenv_s("TMP", folder.c_str()); }
#else
  static void Set(const std::string& folder) {
    if (folder.empty())
      unsetenv("TMPDIR");
    else
      setenv("TMPDIR", folder.c_str(), 1);
  }
#endif
};

// "scale --gob" writes one archive, a mod: the titled episode and the scaled
// level, made in a temporary folder that is gone afterwards.
TEST_F(CliTest, ScaleIntoAMod) {
  TemporaryFilesIn temporary(Path("tmp"));
  ASSERT_TRUE(fs_.CreateFolder(Path("mods")).ok());
  Result result = Run({"scale", archive_, "jkl\\demo.jkl", " 2 ", "--resource", resource_, "--gob",
                       Path("mods/demo.gob"), "--gravity"});
  EXPECT_EQ(result.code, kExitOk) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(ReadArchiveEntries(fs_, Path("mods/demo.gob")),
            (std::vector<ArchiveEntry>{
                {"episode.jk",
                 "\"Demo x2\"\r\nTYPE 1\r\nSEQ 1\r\n10: 0 1 LEVEL demo.jkl 0 0 -1 -1\r\nend\r\n"},
                {"jkl\\demo.jkl", std::string(kHead) +
                                      "World Gravity 2\r\n"
                                      "MipMap Distances 2 4 6 8\r\n" +
                                      kTail}}));
  EXPECT_EQ(FolderNames(Path("tmp")), Names{});
  EXPECT_FALSE(fs_.Exists(out_));
}

// A mod that cannot be written is reported by name.
TEST_F(CliTest, ModThatCannotBeWritten) {
  TemporaryFilesIn temporary(Path("tmp"));
  Result result = Run({"scale", archive_, "jkl\\demo.jkl", "2", "--resource", resource_, "--gob",
                       Path("none/demo.gob")});
  EXPECT_EQ(result.code, kExitFailed);
  EXPECT_EQ(result.err, "jkrescale-cli: '" + Path("none/demo.gob") +
                            "': cannot create: No such file or directory\n");
  EXPECT_EQ(FolderNames(Path("tmp")), Names{});
}

// Without --gravity the gravity line stays as read; options may come first.
TEST_F(CliTest, ScaleWithoutGravitySwitch) {
  Result result =
      Run({"scale", "--out", out_, "--resource", resource_, archive_, "jkl\\demo.jkl", "0.5"});
  EXPECT_EQ(result.code, kExitOk) << result.err;
  EXPECT_EQ(ReadFile(out_ + "/jkl/demo.jkl"), std::string(kHead) +
                                                  "World Gravity 4.000000\r\n"
                                                  "MipMap Distances 0.5 1 1.5 2\r\n" +
                                                  kTail);
}

// A level in a subfolder lands in the same subfolder of jkl/.
TEST_F(CliTest, LevelInASubfolder) {
  ASSERT_EQ(Scale("jkl\\sub\\deep.jkl", "2").code, kExitOk);
  EXPECT_EQ(ReadFile(out_ + "/jkl/sub/deep.jkl"), "x\r\n");
  EXPECT_EQ(ReadFile(out_ + "/episode.jk"),
            "\"ep.gob\"\r\nTYPE 1\r\nSEQ 1\r\n10: 0 1 LEVEL sub\\deep.jkl 0 0 -1 -1\r\nend\r\n");
}

// A factor outside 0.001 to 1000, or no number at all, "-2" included, is
// refused with the range before anything is written.
TEST_F(CliTest, RefusedFactors) {
  for (const char* factor :
       {"-2", "0", "abc", "2x", "2,5", "inf", "", "1e-300", "0.0009", "1000.5", "1e4"}) {
    ExpectRefused(Scale("jkl\\demo.jkl", factor),
                  "scale factor '" + std::string(factor) + "': not a number from 0.001 to 1000");
  }
  for (const char* factor : {"0.001", "1000"})
    EXPECT_EQ(Scale("jkl\\demo.jkl", factor).code, kExitOk);
}

// A level whose name would leave jkl/ is refused before anything is written.
TEST_F(CliTest, UnsafeLevelName) {
  archive_ = WriteArchive("Episode/evil.gob", TestArchive().Add("jkl\\..\\evil.jkl", "x\r\n"));
  ExpectRefused(Scale("jkl\\..\\evil.jkl", "2"),
                "'" + archive_ +
                    "': level 'jkl\\..\\evil.jkl': unsafe name, it would be written outside "
                    "the work folder");
  EXPECT_FALSE(fs_.Exists(Path("out/evil.jkl")));
}

// A level whose data lies outside the file is refused.
TEST_F(CliTest, LevelOutsideTheFile) {
  std::string bytes = TestArchive().Add("jkl\\a.jkl", "x\r\n").Build();
  PutInt32(&bytes, 20, INT_MAX);
  archive_ = WriteBytes("Episode/bad.gob", bytes);
  ExpectRefused(Scale("jkl\\a.jkl", "2"),
                "'" + archive_ +
                    "': level 'jkl\\a.jkl': damaged archive, its data lies "
                    "outside the file");
}

// Level names are compared exactly.
TEST_F(CliTest, LevelNotInTheArchive) {
  ExpectRefused(Scale("JKL\\DEMO.JKL", "2"), "'" + archive_ + "': holds no level 'JKL\\DEMO.JKL'");
}

// A damaged level archive ends the run with a message naming it.
TEST_F(CliTest, DamagedLevelArchive) {
  archive_ = WriteBytes("short.gob", "GOB ");
  const std::string message = "'" + archive_ + "': not an archive: shorter than its 12-byte header";
  ExpectRefused(Run({"levels", archive_}), message);
  ExpectRefused(Scale("jkl\\demo.jkl", "2"), message);
}

// A missing resource archive ends the run with a message naming it.
TEST_F(CliTest, MissingResourceArchive) {
  resource_ = Path("Resource/none.gob");
  Result result = Scale("jkl\\demo.jkl", "2");
  EXPECT_EQ(result.code, kExitFailed);
  EXPECT_EQ(result.err,
            "jkrescale-cli: '" + resource_ + "': cannot open: No such file or directory\n");
}

// play: a resource archive missing beside the game is reported in the
// game's words before anything is written into the program's folder.
TEST_F(CliTest, PlayWithoutTheResourceArchive) {
  std::string game = WriteBytes("game/JK", "x");
  std::string work = Path("program");
  Result result = Run({"play", archive_, "jkl\\demo.jkl", "2", "--game", game}, work);
  EXPECT_EQ(result.code, kExitFailed);
  EXPECT_EQ(result.err,
            "jkrescale-cli: The game's resource archive Resource\\res2.gob was not "
            "found in " +
                Path("game/") + "\n");
  EXPECT_FALSE(fs_.Exists(work));
  EXPECT_EQ(log_, Names{});
}

// A level whose scenery uses models and whose cogs section names scripts
// that no archive holds.
constexpr const char* kLevelLeavingOut =
    "World templates 2\r\n"
    "post _structure model3d=post.3do model3d=r.3do\r\n"
    "lamp _decor model3d=lamp.3do\r\n"
    "end\r\n"
    "World things 2\r\n"
    "0: lamp l 0 0 0 0 0 0 0\r\n"
    "1: post p 0 0 0 0 0 0 0\r\n"
    "end\r\n"
    "World cogs 2\r\n"
    "0: gone.cog\r\n"
    "1: c.cog\r\n"
    "end\r\n";
constexpr const char* kLeftOutWarning =
    "jkrescale-cli: warning: not found in any archive, so not scaled: models lamp.3do, post.3do; "
    "cogs gone.cog\n";

// scale: what no archive holds is named in one warning line after the run,
// which still succeeds.
TEST_F(CliTest, ScaleWarnsOfWhatNoArchiveHolds) {
  archive_ = WriteArchive(
      "Episode/left.gob",
      TestArchive().Add("jkl\\left.jkl", kLevelLeavingOut).Add("cog\\c.cog", "cog\r\n"));
  Result result = Scale("jkl\\left.jkl", "2");
  EXPECT_EQ(result.code, kExitOk);
  EXPECT_EQ(result.err, kLeftOutWarning);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(FolderNames(out_ + "/3do"), (Names{"r.3do"}));
  EXPECT_EQ(FolderNames(out_ + "/cog"), (Names{"c.cog"}));
}

// play: the same warning line, before the game starts (it explains what
// the player will see), and the same exit status; the program's folder is
// clean afterwards.
TEST_F(CliTest, PlayWarnsOfWhatNoArchiveHolds) {
  archive_ = WriteArchive("Episode/left.gob", TestArchive().Add("jkl\\left.jkl", kLevelLeavingOut));
  std::string game = WriteBytes("JK", "x");
  std::string work = Path("program");
  ASSERT_TRUE(fs_.CreateFolder(work).ok());
  Result result = Run({"play", archive_, "jkl\\left.jkl", "2", "--game", game}, work);
  EXPECT_EQ(result.code, kExitOk) << result.err;
  EXPECT_TRUE(
      result.err.starts_with("jkrescale-cli: warning: not found in any archive, so not scaled: "
                             "models lamp.3do, post.3do; cogs gone.cog, c.cog\n"
                             "jkrescale-cli: starting the game: "))
      << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 2);
  EXPECT_EQ(log_.size(), 1u);
  EXPECT_EQ(FolderNames(work), Names{});
}

// play: what the scaled level passes of the game's limits, in a warning
// line before the game starts.
TEST_F(CliTest, PlayWarnsOfTheGamesLimitsBeforeTheGameStarts) {
  archive_ = WriteArchive("Episode/far.gob",
                          TestArchive().Add("jkl\\far.jkl", "Ceiling Sky Z 750.000000\r\n"));
  std::string game = WriteBytes("JK", "x");
  std::string work = Path("program");
  ASSERT_TRUE(fs_.CreateFolder(work).ok());
  Result result = Run({"play", archive_, "jkl\\far.jkl", "2", "--game", game}, work);
  EXPECT_EQ(result.code, kExitOk) << result.err;
  EXPECT_TRUE(
      result.err.starts_with("jkrescale-cli: warning: Ceiling Sky Z would be 1500, above "
                             "the 1000 the game draws\njkrescale-cli: starting the game: "))
      << result.err;
}

// A failed write, such as a full disk, fails the run with the file's name.
TEST_F(CliTest, FailedWrite) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ASSERT_TRUE(fs_.CreateFolder(out_ + "/jkl").ok());
  std::filesystem::create_symlink("/dev/full", out_ + "/jkl/demo.jkl");
  Result result = Scale("jkl\\demo.jkl", "2");
  EXPECT_EQ(result.code, kExitFailed);
  EXPECT_EQ(result.err,
            "jkrescale-cli: '" + out_ + "/jkl/demo.jkl': cannot write: No space left on device\n");
}

// A work folder that cannot be created fails the run with its name.
TEST_F(CliTest, WorkFolderIsAFile) {
  out_ = WriteBytes("out/file", "");
  Result result = Scale("jkl\\demo.jkl", "2");
  EXPECT_EQ(result.code, kExitFailed);
  EXPECT_EQ(result.err,
            "jkrescale-cli: '" + out_ + "': cannot create the folder: Not a directory\n");
}

// "games" prints each install on a line: kind, program and data folder,
// separated by tabs.
TEST_F(CliTest, Games) {
  GameSearch search;
  search.installs = {
      {InstallKind::kSteam, GameTitle::kJediKnight, "/s/Star Wars Jedi Knight/JediKnight.exe",
       "/s/Star Wars Jedi Knight"},
      {InstallKind::kOpenJkdf2, GameTitle::kJediKnight, "/usr/bin/openjkdf2", "/d/openjkdf2"},
      {InstallKind::kGog, GameTitle::kMysteriesOfTheSith, "C:\\GOG\\JKM.EXE", "C:\\GOG"},
  };
  Result result = RunWithGames({"games"}, search);
  EXPECT_EQ(result.code, kExitOk);
  EXPECT_EQ(result.out,
            "Steam\t/s/Star Wars Jedi Knight/JediKnight.exe\t/s/Star Wars Jedi Knight\n"
            "OpenJKDF2\t/usr/bin/openjkdf2\t/d/openjkdf2\n"
            "GOG\tC:\\GOG\\JKM.EXE\tC:\\GOG\n");
  EXPECT_EQ(result.err, "");
}

// "games -v" first says where the search looked, on the error stream.
TEST_F(CliTest, GamesSaysWhereItLooked) {
  GameSearch search;
  search.installs = {{InstallKind::kGog, GameTitle::kJediKnight, "C:\\GOG\\JK.EXE", "C:\\GOG"}};
  search.looked = {"C:\\GOG: JK.EXE (Jedi Knight)", "C:\\Steam: no such folder"};
  Result result = RunWithGames({"games", "-v"}, search);
  EXPECT_EQ(result.code, kExitOk);
  EXPECT_EQ(result.out, "GOG\tC:\\GOG\\JK.EXE\tC:\\GOG\n");
  EXPECT_EQ(result.err,
            "jkrescale-cli: looked at C:\\GOG: JK.EXE (Jedi Knight)\n"
            "jkrescale-cli: looked at C:\\Steam: no such folder\n");
}

// Nothing found is no failure, but it is said; so is a search cut short.
TEST_F(CliTest, NoGames) {
  GameSearch search;
  search.out_of_time = true;
  Result result = RunWithGames({"games"}, search);
  EXPECT_EQ(result.code, kExitOk);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "jkrescale-cli: warning: the search took too long and stopped before it had looked "
            "everywhere\n"
            "jkrescale-cli: found no installed copy of Jedi Knight or Mysteries of the Sith\n");
  EXPECT_EQ(RunWithGames({"games", "x"}, search).code, kExitUsage);
}

// --version prints the version the build was made with.
TEST_F(CliTest, Version) {
  Result version = Run({"--version"});
  EXPECT_EQ(version.code, kExitOk);
  EXPECT_EQ(version.out, std::string("jkrescale-cli ") + JKRESCALE_VERSION + "\n");
}

// --help prints the usage on standard output, also after a command.
TEST_F(CliTest, Help) {
  Result help = Run({"--help"});
  EXPECT_EQ(help.code, kExitOk);
  EXPECT_TRUE(help.out.starts_with("usage: jkrescale-cli --version\n")) << help.out;
  EXPECT_EQ(help.err, "");
  Result scale_help = Run({"scale", "--help"});
  EXPECT_EQ(scale_help.code, kExitOk);
  EXPECT_EQ(scale_help.out, help.out);
  EXPECT_EQ(Run({"levels", "--help"}).out, help.out);
  // As the value of an option, "--help" is a file name like any other.
  Result extra = Scale("jkl\\demo.jkl", "2", {"--extra", "--help"});
  EXPECT_EQ(extra.code, kExitFailed);
  EXPECT_EQ(extra.out, "");
}

// Usage errors exit 2 with the problem and the usage on standard error.
TEST_F(CliTest, UsageErrors) {
  const std::string usage = Run({"--help"}).out;
  const std::string a = archive_, l = "jkl\\demo.jkl", r = resource_, d = out_;
  const struct {
    Names args;
    const char* problem;
  } kCases[] = {
      {{}, "no command"},
      {{"rescale"}, "unknown command 'rescale'"},
      {{"--bogus"}, "unknown command '--bogus'"},
      {{"levels"}, "levels takes one archive"},
      {{"games", "--all"}, "games takes no arguments but -v"},
      {{"scale", a, l, "2", "--resource", r, "--out", d, "--bogus"}, "unknown option --bogus"},
      {{"scale", a, l, "2", "--resource", r}, "scale needs --out DIR or --gob FILE"},
      {{"scale", a, l, "2", "--resource", r, "--out", d, "--gob", d + ".gob"},
       "scale takes --out DIR or --gob FILE, not both"},
      {{"scale", a, l, "2", "--resource", r, "--gob", d + ".gob", "--extra", a},
       "--extra goes with --out: an extra archive is no part of a mod"},
      {{"scale", a, l, "2", "--out", d}, "scale needs --resource FILE"},
      {{"scale", a, l, "--resource", r, "--out", d}, "scale takes ARCHIVE, LEVEL and FACTOR"},
      {{"scale", a, l, "2", "--resource", r, "--out"}, "--out needs a value"},
      {{"scale", a, l, "2", "--resource", r, "--resource", r, "--out", d},
       "--resource is given twice"},
  };
  for (const auto& c : kCases) {
    Result result = Run(c.args);
    EXPECT_EQ(result.code, kExitUsage) << c.problem;
    EXPECT_EQ(result.err, "jkrescale-cli: " + std::string(c.problem) + "\n" + usage);
    EXPECT_EQ(result.out, "");
  }
  EXPECT_FALSE(fs_.Exists(Path("out")));
}

}  // namespace
}  // namespace jk
