// Choosing and starting the game, its limits, and the clean-up of the work
// folder.
#include <gmock/gmock.h>

#include <algorithm>
#include <map>

#include "launch/game_launch.h"
#include "launch/play_session.h"
#include "launch/work_folder.h"
#include "platform/path.h"
#include "platform/short_path.h"
#include "scaling/layout.h"
#include "shell_fixture.h"
#include "test_util.h"

namespace jk {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The expansion for a ".goo" archive in any letter case, else the game.
TEST(LaunchTest, ChoosesTheExecutable) {
  struct Case {
    const char* archive;
    const char* executable;
    const char* folder;
  } cases[] = {
      {"/g/Episode/a.goo", "/m/JKM.EXE", "/m/"},
      {"/g/Episode/a.GOO", "/m/JKM.EXE", "/m/"},
      {"/g/Episode/a.gob", "/g/JK.EXE", "/g/"},
      {"/g/Episode/a.goo.gob", "/g/JK.EXE", "/g/"},
  };
  for (const Case& c : cases) {
    GameChoice game = ChooseGame(c.archive, "/g/JK.EXE", "/m/JKM.EXE");
    EXPECT_EQ(game.executable, c.executable) << c.archive;
    EXPECT_EQ(game.folder, c.folder) << c.archive;
  }
}

// The command line quotes the executable, blanks and all, and not the path.
TEST(LaunchTest, CommandLine) {
  EXPECT_EQ(GameCommandLine("C:\\Program Files\\JK\\JK.EXE", "C:\\PROGRA~1\\RESCALE"),
            "\"C:\\Program Files\\JK\\JK.EXE\" -debug con -verbose 2 -devmode -windowgui "
            "-path C:\\PROGRA~1\\RESCALE");
  EXPECT_THAT(GameArguments("/a b"), ElementsAre("-debug", "con", "-verbose", "2", "-devmode",
                                                 "-windowgui", "-path", "/a b"));
  EXPECT_TRUE(IsWindowsProgram("/g/jk.Exe"));
  EXPECT_FALSE(IsWindowsProgram("/g/jk"));
}

// On Windows every game starts natively; elsewhere a Windows program goes
// through Wine and any other starts directly.
TEST(LaunchTest, HowGameStarts) {
  EXPECT_EQ(HowGameStarts("C:\\JK\\JK.EXE", true), GameStart::kWindows);
  EXPECT_EQ(HowGameStarts("C:\\JK\\jk", true), GameStart::kWindows);
  EXPECT_EQ(HowGameStarts("/g/JK.EXE", false), GameStart::kThroughWine);
  EXPECT_EQ(HowGameStarts("/g/jkm.exe", false), GameStart::kThroughWine);
  EXPECT_EQ(HowGameStarts("/g/jk", false), GameStart::kDirect);
}

// No blank or tab in the -path value, and at most 127 characters with the
// longest name.
TEST(LaunchTest, GameLimits) {
  EXPECT_TRUE(CheckGameLimits("C:\\W", "jkl\\a.jkl").ok());
  std::string path(127 - 10, 'p');  // + "\" + 9 characters = 127
  EXPECT_TRUE(CheckGameLimits(path, "jkl\\a.jkl").ok());
  EXPECT_EQ(CheckGameLimits(path + "p", "jkl\\a.jkl").message(),
            "'" + path +
                "p\\jkl\\a.jkl': is 128 characters long, more than the 127 the game "
                "can open; move jkrescale to a shorter folder");
  for (const char* value : {"C:\\a b", "C:\\a\tb"}) {
    EXPECT_EQ(CheckGameLimits(value, "x").message(),
              std::string("'") + value +
                  "': the game cannot take a work folder whose path "
                  "holds a blank or a tab; move jkrescale to a folder whose path has none");
  }
}

class LaunchPlanTest : public ShellTest {
 protected:
  LaunchPlanTest() {
    runner_.on_path = {{"wine", "/usr/bin/wine"}, {"winepath", "/usr/bin/winepath"}};
    temp_.WriteFile("work/jkl/level.jkl", "x");
    temp_.WriteFile("work/3do/sub/a-long-model-name.3do", "x");
    temp_.WriteFile("work/episode.jk", "x");
  }
  void Winepath(const std::string& windows_form, const std::string& short_form) {
    runner_.captures = {{"/usr/bin/winepath -w " + work_, windows_form + "\n"},
                        {"/usr/bin/winepath -s " + windows_form, short_form + "\n"}};
  }
  GameChoice game_{temp_.WriteFile("g/JK.EXE", "x"), temp_.Path("g"), GameStart::kThroughWine};
  ProgramStart spec_;
};

// The longest name is taken from what lies in the work folder, with "\".
TEST_F(LaunchPlanTest, LongestWrittenName) {
  std::string longest;
  ASSERT_TRUE(LongestWrittenName(fs_, work_, "", &longest).ok());
  EXPECT_EQ(longest, "3do\\sub\\a-long-model-name.3do");
  ASSERT_TRUE(LongestWrittenName(fs_, work_, "an-extra-archive-name-longer.gob", &longest).ok());
  EXPECT_EQ(longest, "an-extra-archive-name-longer.gob");
}

// A native executable is started directly with the native work folder.
TEST_F(LaunchPlanTest, NativeGameStartsDirectly) {
  ASSERT_TRUE(PlanGameStart(fs_, runner_, {"/g/jk", "/g/"}, work_, "", &spec_).ok());
  EXPECT_EQ(DescribeRun(spec_), "/g/jk -debug con -verbose 2 -devmode -windowgui -path " + work_);
  EXPECT_EQ(spec_.working_folder, "/g/");
  EXPECT_THAT(spec_.environment, IsEmpty());
}

// On Windows: the game itself, with the short form of the work folder.
TEST_F(LaunchPlanTest, WindowsGameStartsNatively) {
  std::string short_form;
  ASSERT_TRUE(ShortPath(work_, &short_form).ok());
  GameChoice game{"C:\\Games\\Jedi Knight\\JK.EXE", "C:\\Games\\Jedi Knight\\",
                  GameStart::kWindows};
  ASSERT_TRUE(PlanGameStart(fs_, runner_, game, work_, "", &spec_).ok());
  EXPECT_EQ(spec_.command_line,
            "\"C:\\Games\\Jedi Knight\\JK.EXE\" -debug con -verbose 2 "
            "-devmode -windowgui -path " +
                short_form);
  EXPECT_EQ(DescribeRun(spec_),
            "C:\\Games\\Jedi Knight\\JK.EXE -debug con -verbose 2 "
            "-devmode -windowgui -path " +
                short_form);
  EXPECT_EQ(spec_.working_folder, "C:\\Games\\Jedi Knight\\");
  EXPECT_THAT(spec_.environment, IsEmpty());
}

// On Windows too, a -path value that would be too long starts nothing.
TEST_F(LaunchPlanTest, WindowsLimitsAreChecked) {
  std::string short_form;
  ASSERT_TRUE(ShortPath(work_, &short_form).ok());
  std::string name(127 - short_form.size(), 'n');  // with "\" one too many
  GameChoice game{"C:\\JK\\JK.EXE", "C:\\JK\\", GameStart::kWindows};
  EXPECT_EQ(PlanAndRunGame(fs_, runner_, game, work_, name, nullptr).message(),
            "'" + short_form + "\\" + name +
                "': is 128 characters long, more than the 127 "
                "the game can open; move jkrescale to a shorter folder");
  EXPECT_THAT(runner_.runs, IsEmpty());
}

// Through Wine: the short form of the Windows form, and the game's line.
TEST_F(LaunchPlanTest, WindowsGameThroughWine) {
  Winepath("Z:\\tmp\\a b", "Z:\\tmp\\AB~1");
  ASSERT_TRUE(PlanGameStart(fs_, runner_, game_, work_, "", &spec_).ok());
  EXPECT_EQ(DescribeRun(spec_), "/usr/bin/wine " + game_.executable +
                                    " -debug con -verbose 2 -devmode "
                                    "-windowgui -path Z:\\tmp\\AB~1");
  EXPECT_EQ(spec_.command_line, "\"" + game_.executable +
                                    "\" -debug con -verbose 2 -devmode -windowgui "
                                    "-path Z:\\tmp\\AB~1");
  EXPECT_THAT(spec_.environment, ElementsAre("WINEDEBUG=-all"));
}

// A short form that still holds a blank, or is too long, starts nothing.
TEST_F(LaunchPlanTest, WineLimitsAreChecked) {
  Winepath("Z:\\a b", "Z:\\a b");
  EXPECT_EQ(PlanAndRunGame(fs_, runner_, game_, work_, "", nullptr).message(),
            "'Z:\\a b': the game cannot take a work folder whose path holds a blank or a "
            "tab; move jkrescale to a folder whose path has none");
  std::string long_form = "Z:\\" + std::string(95, 'x');
  Winepath(long_form, long_form);
  EXPECT_EQ(PlanAndRunGame(fs_, runner_, game_, work_, "", nullptr).message(),
            "'" + long_form +
                "\\3do\\sub\\a-long-model-name.3do': is 128 characters long, "
                "more than the 127 the game can open; move jkrescale to a shorter folder");
  EXPECT_THAT(runner_.runs, IsEmpty());
}

// Missing wine or winepath, or a winepath that fails, is reported.
TEST_F(LaunchPlanTest, WineProblems) {
  runner_.on_path.erase("winepath");
  EXPECT_EQ(PlanGameStart(fs_, runner_, game_, work_, "", &spec_).message(),
            "'" + game_.executable +
                "': is a Windows program, started through Wine, but 'winepath' is not on the "
                "PATH; install Wine (able to run 32-bit programs) to start the game");
  runner_.on_path["winepath"] = "/usr/bin/winepath";
  EXPECT_EQ(PlanGameStart(fs_, runner_, game_, work_, "", &spec_).message(),
            "'" + work_ +
                "': cannot convert to a Windows path with winepath: "
                "'/usr/bin/winepath': ended with a failure");
}

// Wine says nothing to the program when the game it was given is missing:
// that is found out before anything starts.
TEST_F(LaunchPlanTest, MissingGameThroughWine) {
  for (const std::string& missing : {temp_.Path("g/none.exe"), temp_.Path("g")}) {
    GameChoice game{missing, temp_.Path("g"), GameStart::kThroughWine};
    EXPECT_EQ(PlanAndRunGame(fs_, runner_, game, work_, "", nullptr).message(),
              "'" + missing + "': cannot start the game: there is no such file");
  }
  EXPECT_THAT(runner_.runs, IsEmpty());
}

// A file system that records removals, by their path in the work folder
// written with "/", and refuses those it is told to.
class RecordingFileSystem : public RealFileSystem {
 public:
  Status DeleteFile(const std::string& path) override { return Record("delete", path); }
  Status RemoveFolder(const std::string& path) override { return Record("rmdir", path); }
  std::vector<std::string> calls;
  std::map<std::string, int> refuse;  // path -> refusals left

 private:
  Status Record(const std::string& what, const std::string& path) {
    std::string marker = std::string("work") + kPathSeparator;
    std::string relative = path.substr(path.rfind(marker) + marker.size());
    std::replace(relative.begin(), relative.end(), kPathSeparator, '/');
    calls.push_back(what + " " + relative);
    if (refuse[path] > 0) {
      --refuse[path];
      return Status::IoError(path, "cannot delete: Device or resource busy");
    }
    return what == "delete" ? RealFileSystem::DeleteFile(path) : RealFileSystem::RemoveFolder(path);
  }
};

class CleanupTest : public ShellTest {
 protected:
  CleanupTest() {
    for (const char* name : {"misc/cogstrings.uni", "cog/door.cog", "3do/a.3do", "jkl/l.jkl",
                             "episode.jk", "copy.gob", "NONE", "mine.gob"}) {
      temp_.WriteFile(std::string("work/") + name, "x");
    }
    std::filesystem::create_directory(FsPath(NativeJoin(work_, "3do/empty")));
  }
  RecordingFileSystem recording_;
  CleanupPacing quick_{3, std::chrono::milliseconds(0)};
  // What a run that copied "copy.gob" wrote, in the order of its record.
  const std::vector<std::string> written_ = {"episode.jk", "copy.gob", "jkl", "3do", "cog", "misc"};
};

// The order of the record: episode, copy, then jkl, 3do, cog, misc with
// contents.
TEST_F(CleanupTest, RemovesInOrderAndLeavesTheRest) {
  ASSERT_TRUE(CleanWorkFolder(recording_, work_, written_, quick_).ok());
  EXPECT_THAT(recording_.calls,
              ElementsAre("delete episode.jk", "delete copy.gob", "delete jkl/l.jkl", "rmdir jkl",
                          "delete 3do/a.3do", "rmdir 3do/empty", "rmdir 3do", "delete cog/door.cog",
                          "rmdir cog", "delete misc/cogstrings.uni", "rmdir misc"));
  EXPECT_THAT(Listing(work_), ElementsAre("NONE", "mine.gob"));
}

// A target that stays busy is tried a few times and reported once, with
// everything else still removed; the record keeps what is left.
TEST_F(CleanupTest, GivesUpAndReportsInOneMessage) {
  recording_.refuse[NativeJoin(work_, "episode.jk")] = 99;
  recording_.refuse[NativeJoin(work_, "cog/door.cog")] = 99;
  recording_.refuse[NativeJoin(work_, "jkl/l.jkl")] = 1;  // free on the second try
  Status status = CleanWorkFolder(recording_, work_, written_, quick_);
  EXPECT_EQ(status.message(), "could not clean the work folder '" + work_ + "': '" +
                                  NativeJoin(work_, "episode.jk") +
                                  "': cannot delete: Device or resource "
                                  "busy; '" +
                                  NativeJoin(work_, "cog/door.cog") +
                                  "': cannot delete: Device or "
                                  "resource busy");
  EXPECT_EQ(std::count(recording_.calls.begin(), recording_.calls.end(), "delete episode.jk"), 3);
  EXPECT_THAT(Listing(work_), ElementsAre("NONE", "cog/", "cog/door.cog", "episode.jk",
                                          std::string(kRunRecordName), "mine.gob"));
  std::vector<std::string> recorded;
  ASSERT_TRUE(ReadRunRecord(fs_, work_, &recorded).ok());
  EXPECT_THAT(recorded, ElementsAre("episode.jk", "cog"));
}

// A link inside a work subfolder is removed, not followed.
TEST_F(CleanupTest, LinksAreRemovedNotFollowed) {
#ifdef _WIN32
  GTEST_SKIP() << "making symbolic links on Windows takes a privilege the tests lack";
#endif
  temp_.WriteFile("outside/keep.txt", "x");
  std::filesystem::create_directory_symlink(temp_.Path("outside"), work_ + "/jkl/link");
  std::filesystem::create_directory_symlink(temp_.Path("outside"), work_ + "/cog2");
  std::filesystem::rename(work_ + "/cog2", work_ + "/misc/cog2");
  ASSERT_TRUE(CleanWorkFolder(fs_, work_, {"jkl", "misc"}, quick_).ok());
  EXPECT_THAT(Listing(temp_.Path("outside")), ElementsAre("keep.txt"));
  EXPECT_THAT(Listing(work_), ElementsAre("3do/", "3do/a.3do", "3do/empty/", "NONE", "cog/",
                                          "cog/door.cog", "copy.gob", "episode.jk", "mine.gob"));
}

// The run record names what a run wrote; names that are not plain file
// names are never used.
TEST_F(CleanupTest, RunRecord) {
  ASSERT_TRUE(AddToRunRecord(fs_, work_, {"episode.jk", "jkl"}).ok());
  std::vector<std::string> recorded;
  ASSERT_TRUE(AddToRunRecord(fs_, work_, {"jkl", "copy.gob"}, &recorded).ok());
  EXPECT_THAT(recorded, ElementsAre("episode.jk", "jkl", "copy.gob"));
  EXPECT_EQ(ReadFile(JoinPath(work_, kRunRecordName)), "episode.jk\r\njkl\r\ncopy.gob\r\n");
  temp_.WriteFile(std::string("work/") + std::string(kRunRecordName),
                  ReadFile(JoinPath(work_, kRunRecordName)) + "../x.gob\r\nsub/y.gob\r\n..\r\n");
  ASSERT_TRUE(ReadRunRecord(fs_, work_, &recorded).ok());
  EXPECT_THAT(recorded, ElementsAre("episode.jk", "jkl", "copy.gob"));
  ASSERT_TRUE(CleanWorkFolderAtStartUp(fs_, work_, quick_).ok());
  EXPECT_THAT(Listing(work_),
              ElementsAre("3do/", "3do/a.3do", "3do/empty/", "NONE", "cog/", "cog/door.cog",
                          "mine.gob", "misc/", "misc/cogstrings.uni"));
}

// A record of an earlier version names the archive copies only: the
// start-up removes those and leaves the rest, which it cannot tell from
// the user's own files.
TEST_F(CleanupTest, RecordOfAnEarlierVersion) {
  temp_.WriteFile(std::string("work/") + std::string(kRunRecordName), "copy.gob\r\n");
  ASSERT_TRUE(CleanWorkFolderAtStartUp(fs_, work_, quick_).ok());
  EXPECT_THAT(Listing(work_), ElementsAre("3do/", "3do/a.3do", "3do/empty/", "NONE", "cog/",
                                          "cog/door.cog", "episode.jk", "jkl/", "jkl/l.jkl",
                                          "mine.gob", "misc/", "misc/cogstrings.uni"));
}

// Without a record the start-up removes nothing at all.
TEST_F(CleanupTest, NoRecordNothingRemoved) {
  std::vector<std::string> before = Listing(work_);
  ASSERT_TRUE(CleanWorkFolderAtStartUp(recording_, work_, quick_).ok());
  EXPECT_THAT(recording_.calls, IsEmpty());
  EXPECT_EQ(Listing(work_), before);
}

// A recorded name whose thing is there as the other kind (a file where the
// run made a folder, a folder where it wrote a file) is not the run's: it
// stays, and leaves the record.
TEST_F(CleanupTest, OtherKindIsLeftAlone) {
  std::filesystem::remove(FsPath(NativeJoin(work_, "episode.jk")));
  temp_.WriteFile("work/episode.jk/mine.txt", "the user's");
  std::filesystem::remove_all(FsPath(NativeJoin(work_, "3do")));
  temp_.WriteFile("work/3do", "a file of the user's");
  temp_.WriteFile(std::string("work/") + std::string(kRunRecordName), "episode.jk\r\n3do\r\n");
  ASSERT_TRUE(CleanWorkFolderAtStartUp(recording_, work_, quick_).ok());
  EXPECT_THAT(recording_.calls, ElementsAre("delete jkrescale-run.txt"));
  EXPECT_EQ(ReadFile(NativeJoin(work_, "episode.jk/mine.txt")), "the user's");
  EXPECT_EQ(ReadFile(NativeJoin(work_, "3do")), "a file of the user's");
}

// A file system on which reading or listing one path fails as with a
// permission denied.
class RefusingFileSystem : public RealFileSystem {
 public:
  explicit RefusingFileSystem(std::string refused) : refused_(std::move(refused)) {}
  Status OpenRead(const std::string& path, std::unique_ptr<InputFile>* file) override {
    if (path == refused_) return Status::IoError(path, "cannot open: Permission denied");
    return RealFileSystem::OpenRead(path, file);
  }
  Status ListFolder(const std::string& path, std::vector<FolderEntry>* entries) override {
    if (path == refused_) return Status::IoError(path, "cannot list the folder: Permission denied");
    return RealFileSystem::ListFolder(path, entries);
  }

 private:
  std::string refused_;
};

// A run record that is there but cannot be read is not taken for "no
// record": everything stays, the record too, and the message says why.
TEST_F(CleanupTest, UnreadableRunRecordKeepsTheCopies) {
  std::string record = JoinPath(work_, kRunRecordName);
  temp_.WriteFile(std::string("work/") + std::string(kRunRecordName), "copy.gob\r\n");
  RefusingFileSystem refusing(record);
  Status status = CleanWorkFolderAtStartUp(refusing, work_, quick_);
  EXPECT_EQ(status.kind(), Status::Kind::kIoError);
  EXPECT_EQ(status.message(), "'" + record +
                                  "': cannot open: Permission denied; what an earlier run "
                                  "left in the work folder was not removed");
  EXPECT_THAT(Listing(work_), Contains("episode.jk"));
  EXPECT_THAT(Listing(work_), Contains(std::string(kRunRecordName)));
  EXPECT_THAT(Listing(work_), Contains("copy.gob"));
  std::vector<std::string> recorded;
  EXPECT_FALSE(ReadRunRecord(refusing, work_, &recorded).ok());
  EXPECT_FALSE(AddToRunRecord(refusing, work_, {"other.gob"}).ok());
}

// A work subfolder that cannot be listed fails the check of the game's
// limits, rather than passing it unchecked.
TEST_F(LaunchPlanTest, UnlistableFolderFailsTheLimitCheck) {
  RefusingFileSystem refusing(NativeJoin(work_, "3do"));
  std::string longest;
  Status status = LongestWrittenName(refusing, work_, "", &longest);
  EXPECT_EQ(status.message(),
            "'" + NativeJoin(work_, "3do") + "': cannot list the folder: Permission denied");
  GameChoice game{"C:\\JK\\JK.EXE", "C:\\JK\\", GameStart::kWindows};
  EXPECT_EQ(PlanGameStart(refusing, runner_, game, work_, "", &spec_).message(), status.message());
}

// A play session run directly on a game folder of synthetic archives, with
// a game that only records.
class PlaySessionTest : public ShellTest {
 protected:
  // What the session tells its front-end.
  class Observer : public PlayObserver {
   public:
    ScaleProgress& progress() override { return none_; }
    void ScaleFinished(const PlayReport& report) override {
      std::string said = LimitWarningLine(report.limit_warnings);
      std::string left_out = LeftOutNote(report.missing_models, report.missing_cogs, report.shared);
      if (!left_out.empty()) said += (said.empty() ? "" : "; ") + left_out;
      events.push_back("scale finished" + std::string(said.empty() ? "" : ": ") + said);
    }
    void GameStarting(const std::string&) override { events.push_back("game starting"); }
    void WhileGameRuns() override {}
    std::vector<std::string> events;

   private:
    NoProgress none_;
  };

  PlaySessionTest() : jk_(MakeGame()), extras_(game_folder_ + "extras.gob") {
    choices_.game_path = jk_;
    choices_.expansion_path = jk_;
    choices_.level_archive_path = NativeJoin(game_folder_, "Episode/ep1.gob");
    choices_.level_name = "jkl\\one.jkl";
    choices_.factor_text = "2";
    choices_.extra_archive_path = extras_;
    // What the work folder and its run record hold while the game runs.
    runner_.on_run = [this](const ProgramStart&) {
      during_game_ = Listing(work_);
      record_during_game_ = ReadFile(NativeJoin(work_, std::string(kRunRecordName)));
      copy_during_game_ = ReadFile(NativeJoin(work_, "extras.gob"));
      return Status::Ok();
    };
  }
  Status Play() {
    return RunPlaySession(fs_, runner_, MakePlayRequest(fs_, work_, choices_), observer_, &lists_,
                          &report_, kQuickCleanup);
  }
  // The message of a run refused because of `name` in the work folder.
  std::string InTheWay(const std::string& name) {
    return "'" + NativeJoin(work_, name) +
           "': is in the work folder already and was not left by an earlier run of jkrescale; "
           "it would be replaced, so nothing was done; move them elsewhere, or delete them if "
           "they are not yours";
  }
  void WriteRecord(const std::string& text) {
    temp_.WriteFile("work/" + std::string(kRunRecordName), text);
  }

  std::string jk_;
  std::string extras_;
  PlayChoices choices_;
  Observer observer_;
  ReferenceLists lists_;
  PlayReport report_;
  std::vector<std::string> during_game_;
  std::string record_during_game_;
  std::string copy_during_game_;
};

// A file of the user's in each place a run writes (a work subfolder, the
// test episode, the extra archive's copy) stops the run before it writes
// anything, with a message naming that place; neither the run nor the
// start-up after it touches the user's file.
TEST_F(PlaySessionTest, UserFilesInEveryPlaceStay) {
  const struct {
    const char* file;
    std::string message;
  } kPlaces[] = {
      {"episode.jk", InTheWay("episode.jk")},
      {"extras.gob", "'" + NativeJoin(work_, "extras.gob") +
                         "': is in the work folder already and is not the chosen extra "
                         "archive; it would be replaced, so nothing was done; move them "
                         "elsewhere, or delete them if they are not yours"},
      {"jkl/one.jkl", InTheWay("jkl")},
      {"3do/mine.3do", InTheWay("3do")},
      {"cog/mine.cog", InTheWay("cog")},
      {"misc/cogstrings.uni", InTheWay("misc")},
  };
  temp_.WriteFile("work/notes.txt", "the user's notes");
  for (const auto& place : kPlaces) {
    SCOPED_TRACE(place.file);
    std::string path = temp_.WriteFile(std::string("work/") + place.file, "the user's own\r\n");
    std::vector<std::string> before = Listing(work_);
    Status status = Play();
    EXPECT_EQ(status.kind(), Status::Kind::kInvalid);
    EXPECT_EQ(status.message(), place.message);
    EXPECT_THAT(observer_.events, ElementsAre("scale finished"));
    EXPECT_THAT(runner_.runs, IsEmpty());
    EXPECT_EQ(Listing(work_), before);
    EXPECT_TRUE(CleanWorkFolderAtStartUp(fs_, work_, kQuickCleanup).ok());
    EXPECT_EQ(Listing(work_), before);
    EXPECT_EQ(ReadFile(path), "the user's own\r\n");
    std::filesystem::remove(FsPath(path));
    std::string folder = FolderOf(place.file);
    if (!folder.empty()) std::filesystem::remove(FsPath(NativeJoin(work_, folder)));
    observer_.events.clear();
  }
  EXPECT_THAT(Listing(work_), ElementsAre("notes.txt"));
}

// Everything in the way is named in one message: empty folders that no
// run recorded are the user's as much as full ones. Once the record names
// them (a run that never got to its clean-up made them), the next run uses
// them and removes them with its own files.
TEST_F(PlaySessionTest, EverythingInTheWayInOneMessage) {
  std::filesystem::create_directories(FsPath(NativeJoin(work_, "cog")));
  std::filesystem::create_directories(FsPath(NativeJoin(work_, "misc")));
  EXPECT_EQ(Play().message(), "'" + NativeJoin(work_, "cog") + "', '" + NativeJoin(work_, "misc") +
                                  "': are in the work folder already and were not left by an "
                                  "earlier run of jkrescale; they would be replaced, so nothing "
                                  "was done; move them elsewhere, or delete them if they are not "
                                  "yours");
  temp_.WriteFile("work/extras.gob", "the user's own");
  temp_.WriteFile("work/episode.jk", "the user's own");
  EXPECT_EQ(Play().message(),
            "'" + NativeJoin(work_, "episode.jk") + "', '" + NativeJoin(work_, "cog") + "', '" +
                NativeJoin(work_, "misc") +
                "': are in the work folder already and were not left by an earlier run of "
                "jkrescale; '" +
                NativeJoin(work_, "extras.gob") +
                "': is in the work folder already and is not the chosen extra archive; they "
                "would be replaced, so nothing was done; move them elsewhere, or delete them if "
                "they are not yours");
  EXPECT_THAT(runner_.runs, IsEmpty());
  EXPECT_THAT(Listing(work_), ElementsAre("cog/", "episode.jk", "extras.gob", "misc/"));

  std::filesystem::remove(FsPath(NativeJoin(work_, "extras.gob")));
  std::filesystem::remove(FsPath(NativeJoin(work_, "episode.jk")));
  WriteRecord("cog\r\nmisc\r\n");
  ASSERT_TRUE(Play().ok());
  EXPECT_THAT(Listing(work_), IsEmpty());
}

// A link of the user's in the place of the test episode is in the way even
// when it leads nowhere: writing the episode would follow it.
TEST_F(PlaySessionTest, LinkLeadingNowhereIsInTheWay) {
#ifdef _WIN32
  GTEST_SKIP() << "making symbolic links on Windows takes a privilege the tests lack";
#endif
  std::filesystem::create_symlink(FsPath(temp_.Path("nowhere")),
                                  FsPath(NativeJoin(work_, "episode.jk")));
  EXPECT_EQ(Play().message(), InTheWay("episode.jk"));
  EXPECT_FALSE(std::filesystem::exists(FsPath(temp_.Path("nowhere"))));
  EXPECT_THAT(Listing(work_), ElementsAre("episode.jk"));
}

// A run notes everything it writes before writing it, and removes all of it
// afterwards, the record last; the user's files beside it stay.
TEST_F(PlaySessionTest, NormalRunRecordsAndCleansUp) {
  temp_.WriteFile("work/notes.txt", "the user's notes");
  ASSERT_TRUE(Play().ok());
  EXPECT_THAT(observer_.events, ElementsAre("scale finished", "game starting"));
  EXPECT_EQ(record_during_game_, "episode.jk\r\nextras.gob\r\njkl\r\n3do\r\ncog\r\nmisc\r\n");
  EXPECT_THAT(during_game_,
              ElementsAre("3do/", "cog/", "episode.jk", "extras.gob", "jkl/", "jkl/one.jkl",
                          std::string(kRunRecordName), "misc/", "notes.txt"));
  EXPECT_THAT(Listing(work_), ElementsAre("notes.txt"));
}

// What an earlier run left and recorded (an old-style record naming only
// its copy, here followed by names of this version) is the program's: the
// next run writes over it and removes it with its own files.
TEST_F(PlaySessionTest, LeftoverOfAnEarlierRunIsReplaced) {
  temp_.WriteFile("work/extras.gob", "an earlier copy");
  temp_.WriteFile("work/episode.jk", "an earlier episode");
  temp_.WriteFile("work/3do/stale.3do", "an earlier model");
  temp_.WriteFile("work/old.gob", "another earlier copy");
  WriteRecord("old.gob\r\nextras.gob\r\nepisode.jk\r\n3do\r\n");
  ASSERT_TRUE(Play().ok());
  EXPECT_EQ(record_during_game_,
            "old.gob\r\nextras.gob\r\nepisode.jk\r\n3do\r\njkl\r\ncog\r\nmisc\r\n");
  EXPECT_THAT(during_game_, Contains("3do/stale.3do"));
  EXPECT_EQ(copy_during_game_, ReadFile(extras_));
  EXPECT_THAT(Listing(work_), IsEmpty());
}

// A run that fails halfway (a damaged resource archive, once the copy and
// the folders are made) removes what it recorded and nothing else.
TEST_F(PlaySessionTest, FailedRunRemovesOnlyWhatItRecorded) {
  temp_.WriteFile("work/notes.txt", "the user's notes");
  std::string resource = temp_.WriteFile("game/Resource/res2.gob", "GOB ");
  EXPECT_EQ(Play().message(),
            "'" + resource + "': not an archive: shorter than its 12-byte header");
  EXPECT_THAT(Listing(work_), ElementsAre("notes.txt"));
  EXPECT_THAT(runner_.runs, IsEmpty());
}

// A missing resource archive is reported in the words of the game's
// folders before anything is written: Resource\res2.gob beside the game for
// a ".gob" level archive, Resource\jkmres.goo beside the expansion for a
// ".goo" one (whatever the game's folder holds).
TEST_F(PlaySessionTest, MissingResourceArchive) {
  std::filesystem::remove(FsPath(NativeJoin(game_folder_, "Resource/res2.gob")));
  Status status = Play();
  EXPECT_EQ(status.kind(), Status::Kind::kNotFound);
  EXPECT_EQ(status.message(),
            "The game's resource archive Resource\\res2.gob was not found in " + game_folder_);
  EXPECT_THAT(observer_.events, ElementsAre("scale finished"));
  EXPECT_THAT(Listing(work_), IsEmpty());

  temp_.WriteArchive("game/Resource/jkmres.goo", ExtraArchive());
  temp_.WriteArchive("mots/Episode/m.goo", EpisodeArchive());
  temp_.WriteArchive("mots/Resource/res2.gob", ExtraArchive());
  choices_.expansion_path = temp_.WriteFile("mots/JKM", "x");
  choices_.level_archive_path = temp_.Path("mots/Episode/m.goo");
  EXPECT_EQ(Play().message(), "The game's resource archive Resource\\jkmres.goo was not found in " +
                                  temp_.Path("mots/"));
  EXPECT_THAT(Listing(work_), IsEmpty());
  EXPECT_THAT(runner_.runs, IsEmpty());
}

// A resource archive the user named is named as given.
TEST_F(PlaySessionTest, MissingNamedResourceArchive) {
  choices_.resource_archive_path = temp_.Path("elsewhere/res2.gob");
  EXPECT_EQ(Play().message(),
            "The game's resource archive " + temp_.Path("elsewhere/res2.gob") + " was not found");
  EXPECT_THAT(Listing(work_), IsEmpty());
}

// What the scaled level passes of the game's limits reaches the front-end
// when the scale run ends, before the game starts.
TEST_F(PlaySessionTest, TellsTheGamesLimitsBeforeTheGameStarts) {
  choices_.level_archive_path = temp_.WriteArchive(
      "game/Episode/far.gob", TestArchive().Add("jkl\\far.jkl", "Ceiling Sky Z 750\r\n"));
  choices_.level_name = "jkl\\far.jkl";
  ASSERT_TRUE(Play().ok());
  EXPECT_THAT(observer_.events,
              ElementsAre("scale finished: Ceiling Sky Z would be 1500, above the 1000 the game "
                          "draws",
                          "game starting"));
}

// What no archive holds reaches the front-end when the scale run ends,
// before the game starts, and with the session's report, as one note for
// the main window; nothing left out, no note.
TEST_F(PlaySessionTest, ReportsWhatNoArchiveHoldsBeforeTheGameStarts) {
  ASSERT_TRUE(Play().ok());
  EXPECT_EQ(LeftOutNote(report_.missing_models, report_.missing_cogs), "");
  choices_.level_archive_path = temp_.WriteArchive(
      "game/Episode/left.gob", TestArchive().Add("jkl\\left.jkl",
                                                 "World templates 1\r\n"
                                                 "lamp _decor model3d=lamp.3do\r\n"
                                                 "end\r\n"
                                                 "World things 1\r\n"
                                                 "0: lamp l 0 0 0 0 0 0 0\r\n"
                                                 "end\r\n"
                                                 "World cogs 1\r\n"
                                                 "0: gone.cog\r\n"
                                                 "end\r\n"));
  choices_.level_name = "jkl\\left.jkl";
  ASSERT_TRUE(Play().ok());
  EXPECT_THAT(report_.missing_models, ElementsAre("lamp.3do"));
  EXPECT_THAT(report_.missing_cogs, ElementsAre("gone.cog"));
  EXPECT_THAT(observer_.events,
              ElementsAre("scale finished", "game starting",
                          "scale finished: Not found in any archive, so not scaled: models "
                          "lamp.3do; cogs gone.cog",
                          "game starting"));
  EXPECT_EQ(LeftOutNote(report_.missing_models, report_.missing_cogs),
            "Not found in any archive, so not scaled: models lamp.3do; cogs gone.cog");
}

}  // namespace
}  // namespace jk
