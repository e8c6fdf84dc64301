// Start-up, settings file and the enabling of Scale and play.
#include <gmock/gmock.h>

#include "platform/path.h"
#include "scaling/layout.h"
#include "shell_fixture.h"

namespace jk {
namespace {

using ::testing::ElementsAre;

// The suffix sums the byte values, the first one twice.
TEST(SettingsSuffixTest, SumsCodesWithTheFirstTwice) {
  EXPECT_EQ(SettingsSuffix(""), 0);
  EXPECT_EQ(SettingsSuffix("a"), 2 * 97);
  EXPECT_EQ(SettingsSuffix("ab"), 97 + 97 + 98);
  EXPECT_EQ(SettingsSuffix("\xc3\xa9"), 0xc3 + 0xc3 + 0xa9);
  EXPECT_EQ(SettingsFileName(292), "config.292");
  EXPECT_EQ(IdentityText("ann"), "jkrescalejkrescaleann");
}

// The first start, without settings: both fields are empty and say what
// they are for, the lists say why they are empty, and nothing is red yet.
TEST_F(ShellTest, NoSettingsLeavesTheFieldsEmpty) {
  StartShell();
  EXPECT_EQ(main_window().game_path_field_.Text(), "");
  EXPECT_EQ(main_window().expansion_path_field_.Text(), "");
  EXPECT_EQ(main_window().game_path_field_.placeholder, "Path of JK.EXE");
  EXPECT_EQ(main_window().expansion_path_field_.placeholder, "Path of JKM.EXE");
  EXPECT_EQ(main_window().game_path_field_.Background(), kWhite);
  EXPECT_EQ(main_window().expansion_path_field_.Background(), kWhite);
  EXPECT_TRUE(main_window().shown_);
  EXPECT_EQ(main_window().archive_list_.Shown(), kNoEpisodes);
  EXPECT_EQ(main_window().extra_list_.ItemCount(), 0);
  EXPECT_EQ(main_window().factor_field_.hint, kFactorHint);
  EXPECT_FALSE(fs_.Exists(JoinPath(work_, SettingsFileName(SettingsSuffix(identity_)))));
}

// Stored paths fill the fields and, through their change events, the lists.
TEST_F(ShellTest, SettingsFillFieldsAndLists) {
  std::string jk = MakeGame();
  WriteSettingsFile(jk + "\r\n" + jk + "\r\n");
  StartShell();
  EXPECT_EQ(main_window().game_path_field_.Text(), jk);
  EXPECT_EQ(main_window().game_path_field_.Background(), kWhite);
  EXPECT_EQ(main_window().expansion_path_field_.Text(), jk);
  // The expansion in the same folder finds every archive twice.
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("ep1.gob", "ep1.gob"));
  EXPECT_THAT(Items(main_window().extra_list_), ElementsAre("NONE", "extras.gob", "extras.gob"));
  EXPECT_EQ(main_window().extra_list_.SelectedIndex(), 0);
  EXPECT_EQ(main_window().factor_field_.Text(), "1");
  EXPECT_EQ(main_window().list_caption_.Text(), kEpisodesCaption);
}

// A settings file that is there but cannot be read is not taken for "no
// settings": the user is told, and it is not replaced at the end, so the
// paths in it are not lost.
TEST_F(ShellTest, UnreadableSettingsAreNeitherUsedNorReplaced) {
  std::string jk = MakeGame();
  WriteSettingsFile(jk + "\r\n");
  std::string settings = JoinPath(work_, SettingsFileName(SettingsSuffix(identity_)));
  struct Unreadable : RealFileSystem {
    std::string refused;
    Status OpenRead(const std::string& path, std::unique_ptr<InputFile>* file) override {
      if (path == refused) return Status::IoError(path, "cannot open: Permission denied");
      return RealFileSystem::OpenRead(path, file);
    }
  } unreadable;
  unreadable.refused = settings;
  ui_.user_actions = [&] { main_window().game_path_field_.SetText(jk); };
  shell_ = std::make_unique<Shell>(unreadable, ui_, runner_,
                                   ShellEnvironment{work_, identity_, kQuickCleanup});
  shell_->Run();
  EXPECT_THAT(ui_.dialogs_.messages, ElementsAre("'" + settings +
                                                 "': cannot open: Permission denied\nThe settings "
                                                 "were not read, and will not be saved."));
  EXPECT_EQ(ReadFile(settings), jk + "\r\n");
}

// One line only: the expansion path falls back; a missing game path too.
TEST_F(ShellTest, ShortOrStaleSettings) {
  std::string jk = MakeGame();
  WriteSettingsFile(jk);
  StartShell();
  EXPECT_EQ(main_window().game_path_field_.Text(), jk);
  EXPECT_EQ(main_window().expansion_path_field_.Text(), "");

  // A path that has gone stays as it was remembered, in red, for the user
  // to see what to mend.
  std::string gone = temp_.Path("gone/JK.EXE");
  WriteSettingsFile(gone + "\n");
  StartShell();
  EXPECT_EQ(main_window().game_path_field_.Text(), gone);
  EXPECT_EQ(main_window().game_path_field_.Background(), kLightRed);
}

// A path is saved once the file it names is there, or when the user leaves
// its field, without waiting for the end (a session that is killed keeps
// it); not letter by letter as it is typed. The end saves the rest.
TEST_F(ShellTest, PathsAreSavedWhenTheyHoldOrAreLeft) {
  std::string jk = MakeGame();
  WriteSettingsFile(jk + "\n");
  std::string settings = JoinPath(work_, SettingsFileName(SettingsSuffix(identity_)));
  ui_.user_actions = [&] {
    FakeTextField& expansion = main_window().expansion_path_field_;
    main_window().Type(expansion, "x");
    EXPECT_EQ(ReadFile(settings), jk + "\n");
    main_window().Leave(expansion);
    EXPECT_EQ(ReadFile(settings), jk + "\r\nx\r\n");
    expansion.SetText(jk);
    EXPECT_EQ(ReadFile(settings), jk + "\r\n" + jk + "\r\n");
    main_window().Type(expansion, "y");
    EXPECT_EQ(ReadFile(settings), jk + "\r\n" + jk + "\r\n");
  };
  shell_ =
      std::make_unique<Shell>(fs_, ui_, runner_, ShellEnvironment{work_, identity_, kQuickCleanup});
  shell_->Run();
  EXPECT_EQ(ReadFile(settings), jk + "\r\n" + jk + "y\r\n");
  EXPECT_EQ(ui_.record.back(), "main window closed");

  StartShell();
  EXPECT_EQ(main_window().expansion_path_field_.Text(), jk + "y");
}

// The factor and the gravity choice are remembered like the paths: a
// factor once it is one the program takes, the gravity as it is clicked.
TEST_F(ShellTest, FactorAndGravityAreRemembered) {
  std::string jk = MakeGame();
  WriteSettingsFile(jk + "\r\n\r\n");
  std::string settings = JoinPath(work_, SettingsFileName(SettingsSuffix(identity_)));
  StartShell();
  EXPECT_EQ(main_window().factor_field_.Text(), "1");
  EXPECT_FALSE(main_window().gravity_check_box_.Checked());
  main_window().factor_field_.SetText("");
  main_window().Type(main_window().factor_field_, "2.5x");
  main_window().Click(main_window().gravity_check_box_);
  EXPECT_EQ(ReadFile(settings), jk + "\r\n\r\nfactor=2.5\r\ngravity=1\r\n");

  main_window().gravity_check_box_.SetChecked(false);
  StartShell();
  EXPECT_EQ(main_window().factor_field_.Text(), "2.5");
  EXPECT_TRUE(main_window().gravity_check_box_.Checked());
}

// Leftovers of a run, as its record names them, are removed at start-up;
// the user's own files, other archives among them, stay.
TEST_F(ShellTest, StartUpCleansOnlyWhatARunLeft) {
  for (const char* name :
       {"episode.jk", "jkl/one.jkl", "3do/sub/a.3do", "cog/door.cog", "misc/cogstrings.uni",
        "old-copy.gob", "mine.gob", "theirs.GOO", "NONE", "notes.txt"}) {
    temp_.WriteFile(std::string("work/") + name, "x");
  }
  temp_.WriteFile(std::string("work/") + std::string(kRunRecordName),
                  "episode.jk\r\nold-copy.gob\r\njkl\r\n3do\r\ncog\r\nmisc\r\n");
  WriteSettingsFile("");
  StartShell();
  EXPECT_THAT(Listing(work_), ElementsAre("NONE", SettingsFileName(SettingsSuffix(identity_)),
                                          "mine.gob", "notes.txt", "theirs.GOO"));
  EXPECT_TRUE(ui_.dialogs_.messages.empty());
}

// The user's own files in every place a run writes stay byte for byte at
// start-up: without a run record nothing is removed.
TEST_F(ShellTest, StartUpWithoutARecordRemovesNothing) {
  const std::vector<std::string> names = {"episode.jk",         "extras.gob",   "jkl/mine.jkl",
                                          "3do/mine.3do",       "cog/mine.cog", "misc/mine.txt",
                                          "misc/cogstrings.uni"};
  for (const std::string& name : names) temp_.WriteFile("work/" + name, "the user's " + name);
  WriteSettingsFile("");
  std::vector<std::string> before = Listing(work_);
  StartShell();
  EXPECT_EQ(Listing(work_), before);
  for (const std::string& name : names) {
    EXPECT_EQ(ReadFile(NativeJoin(work_, name)), "the user's " + name);
  }
  EXPECT_TRUE(ui_.dialogs_.messages.empty());
}

// A leftover that cannot be removed: start-up gives up after a few tries,
// says so in one message once the main window is shown, and goes on.
TEST_F(ShellTest, StartUpReportsWhatItCannotRemove) {
  struct StuckFileSystem : RealFileSystem {
    Status DeleteFile(const std::string& path) override {
      ++attempts;
      return Status::IoError(path, "cannot delete: Device or resource busy");
    }
    int attempts = 0;
  } stuck;
  temp_.WriteFile("work/episode.jk", "x");
  temp_.WriteFile(std::string("work/") + std::string(kRunRecordName), "episode.jk\r\n");
  shell_ = std::make_unique<Shell>(stuck, ui_, runner_,
                                   ShellEnvironment{work_, identity_, kQuickCleanup});
  shell_->StartUp();
  EXPECT_EQ(stuck.attempts, 3);
  EXPECT_THAT(ui_.record,
              ElementsAre("main window shown", "message: could not clean the work folder '" +
                                                   work_ + "': '" + JoinPath(work_, "episode.jk") +
                                                   "': cannot delete: Device or resource busy"));
}

// Scale and play is enabled only with an archive open and a level selected.
TEST_F(ShellTest, ScaleButtonFollowsTheViewAndSelection) {
  std::string jk = MakeGame();
  WriteSettingsFile(jk + "\n");
  StartShell();
  EXPECT_FALSE(main_window().scale_button_.Enabled());
  main_window().Select(main_window().archive_list_, 0);
  EXPECT_FALSE(main_window().scale_button_.Enabled());
  main_window().DoubleClick(0);
  EXPECT_FALSE(main_window().scale_button_.Enabled());
  main_window().Select(main_window().archive_list_, 1);
  EXPECT_TRUE(main_window().scale_button_.Enabled());
  main_window().Click(main_window().back_button_);
  EXPECT_FALSE(main_window().scale_button_.Enabled());
}

}  // namespace
}  // namespace jk
