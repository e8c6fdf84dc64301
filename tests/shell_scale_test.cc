// The scale command OnScaleAndPlay: its checks, the progress window, the game
// started on the work folder, the clean-up, and runs that fail.
#include <gmock/gmock.h>

#include "launch/game_launch.h"
#include "platform/short_path.h"
#include "scaling/layout.h"
#include "shell_fixture.h"
#include "test_util.h"

namespace jk {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using ::testing::StartsWith;

class ScaleCommandTest : public ShellTest {
 protected:
  void SetUp() override {
    jk_ = MakeGame();
    WriteSettingsFile(jk_ + "\r\n");
    StartShell();
    ui_.record.clear();
  }
  // Records the work folder while the "game" runs.
  void WatchTheGame() {
    runner_.on_run = [this](const ProgramStart&) {
      during_game_ = Listing(work_);
      main_window_enabled_during_game_ = main_window().Enabled();
      return Status::Ok();
    };
  }
  // The -path value the game gets: on Windows the work folder's short form.
  std::string PathValue() const {
    std::string value;
    EXPECT_TRUE(ShortPath(work_, &value).ok());
    return value;
  }
  std::vector<std::string> WorkFolderAfterRun() const {
    std::vector<std::string> listing = Listing(work_);
    std::erase(listing, SettingsFileName(SettingsSuffix(identity_)));
    return listing;
  }

  std::string jk_;
  std::vector<std::string> during_game_;
  bool main_window_enabled_during_game_ = true;
};

// With an archive open but no level selected the command does nothing.
TEST_F(ScaleCommandTest, NoLevelSelectedDoesNothing) {
  main_window().DoubleClick(0);
  ui_.record.clear();
  shell_->OnScaleAndPlay();
  EXPECT_THAT(ui_.record, IsEmpty());
  EXPECT_FALSE(ui_.progress_window_.Visible());
}

// A factor that is not a number from 0.001 to 1000 colours the factor field,
// says so with the range and stops there, with nothing written; a valid
// text makes the field white again.
TEST_F(ScaleCommandTest, RefusesABadFactor) {
  OpenLevel(0, 0);
  for (const char* text : {"", "abc", "0", "-2", "2x", "1e999", "1e-300", "1001"}) {
    main_window().factor_field_.SetText(text);
    ui_.record.clear();
    main_window().Click(main_window().scale_button_);
    EXPECT_EQ(main_window().factor_field_.Background(), kLightRed) << text;
    EXPECT_THAT(ui_.record, ElementsAre("message: scale factor '" + std::string(text) +
                                        "': not a number from 0.001 to 1000"))
        << text;
    EXPECT_THAT(Listing(work_), ElementsAre(SettingsFileName(SettingsSuffix(identity_))));
  }
  main_window().Type(main_window().factor_field_, "0");
  EXPECT_EQ(main_window().factor_field_.Background(), kLightRed);
  main_window().factor_field_.SetText("");
  main_window().Type(main_window().factor_field_, "0.5");
  EXPECT_EQ(main_window().factor_field_.Background(), kWhite);
  EXPECT_THAT(runner_.runs, IsEmpty());
}

// A whole run: the main window disabled, the progress window shown and closed, the game started on
// the work folder with the scaled files in it, then everything removed, and the focus back on
// Scale and play.
TEST_F(ScaleCommandTest, ScalesStartsTheGameAndCleansUp) {
  OpenLevel(0, 1);
  main_window().factor_field_.SetText("2");
  main_window().gravity_check_box_.checked = true;
  WatchTheGame();
  main_window().Click(main_window().scale_button_);
  EXPECT_THAT(ui_.record,
              ElementsAre("main window disabled", "progress window shown", "progress window closed",
                          "run: " + jk_ +
                              " -debug con -verbose 2 -devmode "
                              "-windowgui -path " +
                              PathValue(),
                          "main window enabled"));
  EXPECT_THAT(during_game_,
              ElementsAre("3do/", "cog/", SettingsFileName(SettingsSuffix(identity_)), "episode.jk",
                          "jkl/", "jkl/two.jkl", std::string(kRunRecordName), "misc/"));
  EXPECT_FALSE(main_window_enabled_during_game_);
  ASSERT_EQ(runner_.runs.size(), 1u);
  EXPECT_EQ(runner_.runs[0].working_folder, game_folder_);
  EXPECT_EQ(runner_.runs[0].command_line,
            "\"" + jk_ + "\" -debug con -verbose 2 -devmode -windowgui -path " + PathValue());
  EXPECT_THAT(WorkFolderAfterRun(), IsEmpty());
  EXPECT_TRUE(main_window().scale_button_.Enabled());
  EXPECT_EQ(main_window().focused, "scale_button");
  EXPECT_THAT(ui_.dialogs_.messages, IsEmpty());
}

// The progress window shows the level's share, then the models done; each
// phase is shown from its start to its end.
TEST_F(ScaleCommandTest, ProgressWindowShowsBothPhases) {
  OpenLevel(0, 0);
  main_window().Click(main_window().scale_button_);
  const std::vector<std::string>& shown = ui_.progress_window_.shown;
  ASSERT_GE(shown.size(), 3u);
  EXPECT_THAT(shown.front(), StartsWith("Scaling the level… "));
  EXPECT_THAT(shown, Contains("Scaling the level… 100% | 100%"));
  EXPECT_EQ(shown.back(), "Scaling models: 0 of 0 | 100%");
  EXPECT_FALSE(ui_.progress_window_.Visible());
}

// The extra archive picked in the extra list is copied for the game and removed
// afterwards; the copy is recorded while the game runs.
TEST_F(ScaleCommandTest, ExtraArchiveIsCopiedAndRemoved) {
  OpenLevel(0, 0);
  main_window().Select(main_window().extra_list_, 1);
  WatchTheGame();
  main_window().Click(main_window().scale_button_);
  EXPECT_THAT(during_game_, Contains("extras.gob"));
  EXPECT_THAT(during_game_, Contains(std::string(kRunRecordName)));
  EXPECT_THAT(WorkFolderAfterRun(), IsEmpty());
}

// With "NONE" picked a file of that name in the work folder stays, as do
// the user's own archives.
TEST_F(ScaleCommandTest, NeverDeletesFilesItDidNotCreate) {
  temp_.WriteFile("work/NONE", "x");
  temp_.WriteFile("work/extras.gob", "the user's own");
  OpenLevel(0, 0);
  main_window().Click(main_window().scale_button_);
  EXPECT_THAT(WorkFolderAfterRun(), ElementsAre("NONE", "extras.gob"));
}

// An extra archive whose name is taken in the work folder by another file
// is not copied over it: the run ends with a message and starts nothing.
TEST_F(ScaleCommandTest, RefusesToReplaceTheUsersArchive) {
  temp_.WriteFile("work/extras.gob", "the user's own");
  OpenLevel(0, 0);
  main_window().Select(main_window().extra_list_, 1);
  main_window().Click(main_window().scale_button_);
  EXPECT_THAT(ui_.dialogs_.messages,
              ElementsAre("'" + NativeJoin(work_, "extras.gob") +
                          "': is in the work folder "
                          "already and is not the chosen extra archive; it would be "
                          "replaced, so nothing was done; move them elsewhere, or delete "
                          "them if they are not yours"));
  EXPECT_EQ(ReadFile(NativeJoin(work_, "extras.gob")), "the user's own");
  EXPECT_THAT(runner_.runs, IsEmpty());
}

// A copy an earlier clean-up could not remove is still the program's (it is
// in the run record): the next run replaces it and removes it afterwards.
TEST_F(ScaleCommandTest, ReplacesItsOwnLeftoverCopy) {
  temp_.WriteFile("work/extras.gob", "left by an earlier run");
  ASSERT_TRUE(AddToRunRecord(fs_, work_, {"extras.gob"}).ok());
  OpenLevel(0, 0);
  main_window().Select(main_window().extra_list_, 1);
  main_window().Click(main_window().scale_button_);
  EXPECT_THAT(ui_.dialogs_.messages, IsEmpty());
  EXPECT_THAT(runner_.runs, SizeIs(1));
  EXPECT_THAT(WorkFolderAfterRun(), IsEmpty());
}

// A missing resource archive: one message naming it in the game's folder,
// the progress window closed, nothing written, the main window enabled, no
// game.
TEST_F(ScaleCommandTest, FailedRunShowsOneMessage) {
  std::filesystem::remove(FsPath(NativeJoin(game_folder_, "Resource/res2.gob")));
  OpenLevel(0, 0);
  main_window().Select(main_window().extra_list_, 1);
  main_window().Click(main_window().scale_button_);
  EXPECT_THAT(ui_.record,
              ElementsAre("main window disabled", "progress window shown", "progress window closed",
                          "message: The game's resource archive Resource\\res2.gob was "
                          "not found in " +
                              game_folder_,
                          "main window enabled"));
  EXPECT_THAT(WorkFolderAfterRun(), IsEmpty());
  EXPECT_TRUE(main_window().scale_button_.Enabled());
}

// A file of the user's in any place a run writes (a work subfolder, the
// test episode, even a file where a folder goes) stops the run before it
// writes anything, with one message naming the place; the file stays byte
// for byte and no game starts.
TEST_F(ScaleCommandTest, UsersFilesInThePlacesARunWrites) {
  const struct {
    const char* file;
    const char* place;
  } kPlaces[] = {{"episode.jk", "episode.jk"}, {"jkl", "jkl"},          {"jkl/mine.jkl", "jkl"},
                 {"3do/mine.3do", "3do"},      {"cog/mine.cog", "cog"}, {"misc/mine.txt", "misc"}};
  OpenLevel(0, 0);
  for (const auto& place : kPlaces) {
    SCOPED_TRACE(place.file);
    std::string path = temp_.WriteFile(std::string("work/") + place.file, "the user's\r\n");
    std::vector<std::string> before = WorkFolderAfterRun();
    ui_.record.clear();
    main_window().Click(main_window().scale_button_);
    EXPECT_THAT(ui_.record, ElementsAre("main window disabled", "progress window shown",
                                        "progress window closed",
                                        "message: '" + NativeJoin(work_, place.place) +
                                            "': is in the work folder already and was not left "
                                            "by an earlier run of jkrescale; it would be "
                                            "replaced, so nothing was done; move them "
                                            "elsewhere, or delete them if they are not yours",
                                        "main window enabled"));
    EXPECT_EQ(WorkFolderAfterRun(), before);
    EXPECT_EQ(ReadFile(path), "the user's\r\n");
    std::filesystem::remove_all(FsPath(NativeJoin(work_, place.place)));
  }
  EXPECT_THAT(runner_.runs, IsEmpty());
  EXPECT_THAT(WorkFolderAfterRun(), IsEmpty());
}

// A game that cannot be started: its message, and the clean-up all the same.
TEST_F(ScaleCommandTest, GameThatCannotStart) {
  runner_.on_run = [](const ProgramStart& start) {
    return Status::IoError(start.program, "cannot start: Permission denied");
  };
  OpenLevel(0, 0);
  main_window().Click(main_window().scale_button_);
  EXPECT_THAT(ui_.dialogs_.messages, ElementsAre("'" + jk_ + "': cannot start: Permission denied"));
  EXPECT_THAT(WorkFolderAfterRun(), IsEmpty());
  EXPECT_TRUE(main_window().Enabled());
}

// A level of a ".goo" archive starts the expansion from its folder.
TEST_F(ScaleCommandTest, ExpansionArchiveStartsTheExpansion) {
  temp_.WriteArchive("mots/Episode/m.GOO", EpisodeArchive());
  temp_.WriteArchive("mots/Resource/JKMRES.GOO", ExtraArchive());
  std::string jkm = temp_.WriteFile("mots/JKM", "x");
  main_window().expansion_path_field_.SetText(jkm);
  ASSERT_THAT(Items(main_window().archive_list_), ElementsAre("ep1.gob", "m.GOO"));
  OpenLevel(1, 0);
  main_window().Click(main_window().scale_button_);
  ASSERT_EQ(runner_.runs.size(), 1u);
  EXPECT_EQ(runner_.runs[0].program, jkm);
  EXPECT_EQ(runner_.runs[0].working_folder, temp_.Path("mots/"));
  EXPECT_THAT(ui_.dialogs_.messages, IsEmpty());
}

// Window events keep running while the game runs.
TEST_F(ScaleCommandTest, EventsRunWhileTheGameRuns) {
  OpenLevel(0, 0);
  int pumps_before = ui_.pumps;
  main_window().Click(main_window().scale_button_);
  EXPECT_GT(ui_.pumps, pumps_before);
}

// Models and cogs that no archive holds are named in the main window's
// status line before the game starts, after what the level passes of the
// game's limits, and stay there after the game; never in a dialog that
// would hold up the game.
TEST_F(ScaleCommandTest, WhatWasLeftOutIsNoted) {
  temp_.WriteArchive("game/Episode/ep2.gob",
                     TestArchive()
                         .Add("episode.jk", "e")
                         .Add("jkl\\left.jkl",
                              "Ceiling Sky Z 600\r\n"
                              "World templates 1\r\nlamp _decor model3d=gone.3do\r\nend\r\n"
                              "World things 1\r\n0: lamp l 1 2 3 0 0 0 0\r\nend\r\n"
                              "World cogs 1\r\n0: lost.cog\r\nend\r\n"));
  main_window().Refresh();
  OpenLevel(1, 0);
  main_window().factor_field_.SetText("2");
  std::string status;
  runner_.on_run = [&](const ProgramStart&) {
    status = main_window().status_line_.Text();
    return Status::Ok();
  };
  main_window().Click(main_window().scale_button_);
  EXPECT_THAT(runner_.runs, SizeIs(1));
  EXPECT_EQ(status,
            "Ceiling Sky Z would be 1200, above the 1000 the game draws. Not found in any "
            "archive, so not scaled: models gone.3do; cogs lost.cog. Waiting for the game to "
            "end…");
  EXPECT_THAT(ui_.dialogs_.messages, IsEmpty());
  const std::string note =
      "Not found in any archive, so not scaled: models gone.3do; cogs lost.cog";
  EXPECT_EQ(main_window().status_line_.Text(), note);
  // What hinders the next run takes its place while it lasts.
  main_window().factor_field_.SetText("x");
  EXPECT_EQ(main_window().status_line_.Text(), kBadFactor);
  main_window().factor_field_.SetText("1");
  EXPECT_EQ(main_window().status_line_.Text(), note);
}

// Cancel while the level is scaled: the run stops at the next line, removes
// what it wrote and starts no game; the main window comes back, and there
// is nothing to tell the user.
TEST_F(ScaleCommandTest, CancelStopsTheRunAndStartsNoGame) {
  OpenLevel(0, 0);
  ui_.progress_window_.on_progress = [this] { ui_.progress_window_.Cancel(); };
  main_window().Click(main_window().scale_button_);
  EXPECT_THAT(runner_.runs, IsEmpty());
  EXPECT_THAT(WorkFolderAfterRun(), IsEmpty());
  EXPECT_THAT(ui_.dialogs_.messages, IsEmpty());
  EXPECT_FALSE(ui_.progress_window_.Visible());
  EXPECT_TRUE(main_window().Enabled());
  EXPECT_TRUE(main_window().scale_button_.Enabled());
}

// Cancel during the models: the same, after the level was written.
TEST_F(ScaleCommandTest, CancelDuringTheModels) {
  OpenLevel(0, 1);
  ui_.progress_window_.on_progress = [this] {
    if (ui_.progress_window_.shown.back().starts_with("Scaling models")) {
      ui_.progress_window_.Cancel();
    }
  };
  main_window().Click(main_window().scale_button_);
  EXPECT_THAT(runner_.runs, IsEmpty());
  EXPECT_THAT(WorkFolderAfterRun(), IsEmpty());
  EXPECT_THAT(ui_.dialogs_.messages, IsEmpty());
}

// While the game runs, the status line says so and the window does not
// close, saying why; afterwards it closes.
TEST_F(ScaleCommandTest, WhileTheGameRunsTheWindowWaits) {
  OpenLevel(0, 0);
  std::string status;
  bool closed = true;
  runner_.on_run = [&](const ProgramStart&) {
    status = main_window().status_line_.Text();
    closed = main_window().RequestClose();
    return Status::Ok();
  };
  main_window().Click(main_window().scale_button_);
  EXPECT_EQ(status, "Waiting for the game to end…");
  EXPECT_FALSE(closed);
  EXPECT_THAT(ui_.dialogs_.messages, ElementsAre(kCannotCloseYet));
  EXPECT_EQ(main_window().status_line_.Text(), "");
  EXPECT_TRUE(main_window().RequestClose());
}

// What the scaled level passes of the game's limits is in the status line
// before the game starts and while it runs.
TEST_F(ScaleCommandTest, ShowsTheGamesLimitsWhileTheGameRuns) {
  temp_.WriteArchive("game/Episode/ep1.gob",
                     TestArchive()
                         .Add("episode.jk", "\"ep1.gob\"\r\nTYPE 1\r\nSEQ 1\r\nend\r\n")
                         .Add("jkl\\one.jkl", "Ceiling Sky Z 600\r\n"));
  OpenLevel(0, 0);
  main_window().factor_field_.SetText("2");
  std::string status;
  runner_.on_run = [&](const ProgramStart&) {
    status = main_window().status_line_.Text();
    return Status::Ok();
  };
  main_window().Click(main_window().scale_button_);
  EXPECT_EQ(status,
            "Ceiling Sky Z would be 1200, above the 1000 the game draws. Waiting for the game to "
            "end…");
}

// Scale and play is enabled only when the program it would start is a
// file: a folder typed as the game, or a missing expansion for a ".goo"
// archive, leaves it disabled, and the status line says which is missing.
TEST_F(ScaleCommandTest, EnabledOnlyWhenTheGameIsThere) {
  OpenLevel(0, 0);
  EXPECT_TRUE(main_window().scale_button_.Enabled());
  main_window().game_path_field_.SetText(game_folder_);
  OpenLevel(0, 0);
  EXPECT_FALSE(main_window().scale_button_.Enabled());
  EXPECT_EQ(main_window().status_line_.Text(), "JK.EXE was not found at " + game_folder_);
  shell_->OnScaleAndPlay();
  EXPECT_THAT(runner_.runs, IsEmpty());

  temp_.WriteArchive("game/Episode/mots.goo", EpisodeArchive());
  main_window().game_path_field_.SetText(jk_);
  ASSERT_THAT(Items(main_window().archive_list_), ElementsAre("ep1.gob", "mots.goo"));
  OpenLevel(1, 0);
  EXPECT_FALSE(main_window().scale_button_.Enabled());
  EXPECT_EQ(main_window().status_line_.Text(), "JKM.EXE was not found: type or browse to it above");
  main_window().expansion_path_field_.SetText(jk_ + "m");
  OpenLevel(1, 0);
  EXPECT_EQ(main_window().status_line_.Text(), "JKM.EXE was not found at " + jk_ + "m");
  main_window().expansion_path_field_.SetText(jk_);
  OpenLevel(1, 0);
  EXPECT_TRUE(main_window().scale_button_.Enabled());
  EXPECT_EQ(main_window().status_line_.Text(), "");
}

}  // namespace
}  // namespace jk

namespace jk {
namespace {

// JK.EXE is started through Wine with the blank-free Windows form of the
// work folder that winepath gives.
TEST_F(ScaleCommandTest, WindowsGameStartsThroughWine) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows programs run natively on Windows, not through Wine";
#endif
  std::string exe = temp_.WriteFile("game/JK.EXE", "x");
  main_window().game_path_field_.SetText(exe);
  runner_.on_path = {{"wine", "/usr/bin/wine"}, {"winepath", "/usr/bin/winepath"}};
  runner_.captures = {{"/usr/bin/winepath -w " + work_, "Z:\\tmp\\work folder\r\n"},
                      {"/usr/bin/winepath -s Z:\\tmp\\work folder", "Z:\\tmp\\WORKFO~1\n"}};
  OpenLevel(0, 0);
  main_window().Click(main_window().scale_button_);
  ASSERT_EQ(runner_.runs.size(), 1u);
  EXPECT_EQ(DescribeRun(runner_.runs[0]), "/usr/bin/wine " + exe +
                                              " -debug con -verbose 2 -devmode -windowgui -path "
                                              "Z:\\tmp\\WORKFO~1");
  EXPECT_THAT(runner_.runs[0].environment, ElementsAre("WINEDEBUG=-all"));
  EXPECT_EQ(runner_.runs[0].working_folder, game_folder_);
  EXPECT_THAT(ui_.dialogs_.messages, IsEmpty());
}

// Without wine on the PATH the run ends with a message and a clean folder.
TEST_F(ScaleCommandTest, WindowsGameWithoutWine) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows programs run natively on Windows, not through Wine";
#endif
  std::string exe = temp_.WriteFile("game/JK.EXE", "x");
  main_window().game_path_field_.SetText(exe);
  OpenLevel(0, 0);
  main_window().Click(main_window().scale_button_);
  EXPECT_THAT(ui_.dialogs_.messages,
              ElementsAre("'" + exe +
                          "': is a Windows program, started through Wine, but "
                          "'wine' is not on the PATH; install Wine (able to run 32-bit "
                          "programs) to start the game"));
  EXPECT_THAT(WorkFolderAfterRun(), IsEmpty());
  EXPECT_THAT(runner_.runs, IsEmpty());
}

}  // namespace
}  // namespace jk
