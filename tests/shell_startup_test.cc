// Start-up, settings file and the enabling of cmd1.
#include <gmock/gmock.h>

#include "platform/path.h"
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

// A missing settings file: both fields show the work folder and "/" in red.
TEST_F(ShellTest, NoSettingsFallsBackToTheWorkFolder) {
  StartShell();
  EXPECT_EQ(frm1().ed1_.Text(), work_ + "/");
  EXPECT_EQ(frm1().ed2_.Text(), work_ + "/");
  EXPECT_EQ(frm1().ed1_.Background(), kLightRed);
  EXPECT_EQ(frm1().ed2_.Background(), kLightRed);
  EXPECT_TRUE(frm1().shown_);
  EXPECT_EQ(frm1().lb1_.ItemCount(), 0);
  EXPECT_EQ(frm1().lb2_.ItemCount(), 0);
}

// Stored paths fill the fields and, through their change events, the lists.
TEST_F(ShellTest, SettingsFillFieldsAndLists) {
  std::string jk = MakeGame();
  WriteSettingsFile(jk + "\r\n" + jk + "\r\n");
  StartShell();
  EXPECT_EQ(frm1().ed1_.Text(), jk);
  EXPECT_EQ(frm1().ed1_.Background(), kWhite);
  EXPECT_EQ(shell_->expansion_path(), jk);
  // The expansion in the same folder finds every archive twice.
  EXPECT_THAT(Items(frm1().lb1_), ElementsAre("ep1.gob", "ep1.gob"));
  EXPECT_THAT(Items(frm1().lb2_), ElementsAre("NONE", "extras.gob", "extras.gob"));
  EXPECT_EQ(frm1().lb2_.SelectedIndex(), 0);
  EXPECT_EQ(frm1().scaleby_.Text(), "1");
  EXPECT_EQ(frm1().lbl3_.Text(), kArchiveViewCaption);
}

// One line only: the expansion path falls back; a missing game path too.
TEST_F(ShellTest, ShortOrStaleSettingsFallBack) {
  std::string jk = MakeGame();
  WriteSettingsFile(jk);
  StartShell();
  EXPECT_EQ(shell_->game_path(), jk);
  EXPECT_EQ(shell_->expansion_path(), work_ + "/");

  WriteSettingsFile(temp_.Path("gone/JK.EXE") + "\n");
  StartShell();
  EXPECT_EQ(shell_->game_path(), work_ + "/");
}

// The end writes both paths as they stand, fallbacks included, and they
// are read back as fallbacks again.
TEST_F(ShellTest, EndWritesTheSettings) {
  std::string jk = MakeGame();
  WriteSettingsFile(jk + "\n");
  ui_.session = [&] { frm1().Type(frm1().ed2_, "x"); };
  shell_ = std::make_unique<Shell>(fs_, ui_, runner_, ShellEnvironment{work_, identity_});
  shell_->Run();
  std::string settings = JoinPath(work_, SettingsFileName(SettingsSuffix(identity_)));
  EXPECT_EQ(ReadFile(settings), jk + "\r\n" + work_ + "/x\r\n");
  EXPECT_EQ(ui_.log.back(), "frm1 closed");

  StartShell();
  EXPECT_EQ(shell_->expansion_path(), work_ + "/");
}

// Leftovers of a run are removed at start-up; the user's own files, other
// archives among them, stay.
TEST_F(ShellTest, StartUpCleansOnlyWhatARunLeft) {
  for (const char* name : {"episode.jk", "jkl/one.jkl", "3do/sub/a.3do", "cog/door.cog",
                           "misc/cogstrings.uni", "old-copy.gob", "mine.gob", "theirs.GOO",
                           "NONE", "notes.txt"}) {
    temp_.WriteFile(std::string("work/") + name, "x");
  }
  temp_.WriteFile(std::string("work/") + kRunRecordName, "old-copy.gob\r\n");
  WriteSettingsFile("");
  StartShell();
  EXPECT_THAT(Listing(work_),
              ElementsAre("NONE", SettingsFileName(SettingsSuffix(identity_)), "mine.gob",
                          "notes.txt", "theirs.GOO"));
  EXPECT_TRUE(ui_.dialogs_.messages.empty());
}

// A leftover that cannot be removed: start-up gives up after a few tries,
// says so in one message once frm1 is shown, and goes on.
TEST_F(ShellTest, StartUpReportsWhatItCannotRemove) {
  struct StuckFileSystem : RealFileSystem {
    Status DeleteFile(const std::string& path) override {
      ++attempts;
      return Status::FileError(path, "cannot delete: Device or resource busy");
    }
    int attempts = 0;
  } stuck;
  temp_.WriteFile("work/episode.jk", "x");
  shell_ = std::make_unique<Shell>(stuck, ui_, runner_, ShellEnvironment{work_, identity_});
  shell_->set_cleanup_pacing({3, std::chrono::milliseconds(0)});
  shell_->StartUp();
  EXPECT_EQ(stuck.attempts, 3);
  EXPECT_THAT(ui_.log, ElementsAre("frm1 shown", "message: could not clean the work folder '" +
                                   work_ + "': '" + JoinPath(work_, "episode.jk") +
                                   "': cannot delete: Device or resource busy"));
}

// cmd1 is enabled only with an archive open and a level selected.
TEST_F(ShellTest, ScaleButtonFollowsTheViewAndSelection) {
  std::string jk = MakeGame();
  WriteSettingsFile(jk + "\n");
  StartShell();
  EXPECT_FALSE(frm1().cmd1_.Enabled());
  frm1().Select(frm1().lb1_, 0);
  EXPECT_FALSE(frm1().cmd1_.Enabled());
  frm1().DoubleClick(0);
  EXPECT_FALSE(frm1().cmd1_.Enabled());
  frm1().Select(frm1().lb1_, 1);
  EXPECT_TRUE(frm1().cmd1_.Enabled());
  frm1().Click(frm1().cmd2_);
  EXPECT_FALSE(frm1().cmd1_.Enabled());
}

}  // namespace
}  // namespace jk
