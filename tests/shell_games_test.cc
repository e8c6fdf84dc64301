// The installed games offered on the first start, OpenJKDF2's "Start in the
// level", and "Save as mod…".
#include <gmock/gmock.h>

#include "archives/gob_archive.h"
#include "platform/path.h"
#include "shell_fixture.h"

namespace jk {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class ShellGamesTest : public ShellTest {
 protected:
  // What the search finds; counts the searches.
  void Find(std::vector<GameInstall> installs) {
    find_games_ = [this, installs] {
      ++searches_;
      return GameSearch{installs, false};
    };
  }
  std::string SettingsText() {
    return ReadFile(JoinPath(work_, SettingsFileName(SettingsSuffix(identity_))));
  }
  // An OpenJKDF2 install: the program in bin/, its data (an episode and
  // the resource archive) in data/.
  GameInstall OpenJkdf2() {
    temp_.WriteArchive("data/Episode/ep1.gob", EpisodeArchive());
    temp_.WriteArchive("data/Resource/res2.gob", ExtraArchive());
    return {InstallKind::kOpenJkdf2, GameTitle::kJediKnight,
            temp_.WriteFile("bin/openjkdf2", "not really the engine"), temp_.Path("data")};
  }

  int searches_ = 0;
};

// The first start lists every find; the pick fills its field, and the
// expansion of the same kind the other one. The lists follow, and the
// settings keep the choice.
TEST_F(ShellGamesTest, FirstStartOffersTheFinds) {
  std::string jk = MakeGame();
  std::string jkm = temp_.WriteFile("mots/JKM.EXE", "");
  GameInstall steam_jk{InstallKind::kSteam, GameTitle::kJediKnight, jk, FolderOf(jk)};
  GameInstall retail_jkm{InstallKind::kRetail, GameTitle::kMysteriesOfTheSith, "/r/JKM.EXE", "/r"};
  GameInstall steam_jkm{InstallKind::kSteam, GameTitle::kMysteriesOfTheSith, jkm, FolderOf(jkm)};
  Find({steam_jk, retail_jkm, steam_jkm});
  ui_.dialogs_.picks = {0};
  StartShell();
  EXPECT_EQ(searches_, 1);
  ASSERT_EQ(ui_.dialogs_.offered.size(), 1u);
  EXPECT_THAT(ui_.dialogs_.offered[0],
              ElementsAre("Jedi Knight, Steam: " + jk, "Mysteries of the Sith, Retail: /r/JKM.EXE",
                          "Mysteries of the Sith, Steam: " + jkm));
  EXPECT_EQ(main_window().game_path_field_.Text(), jk);
  EXPECT_EQ(main_window().expansion_path_field_.Text(), jkm);
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("ep1.gob"));
  EXPECT_EQ(SettingsText(), jk + "\r\n" + jkm + "\r\n");
  EXPECT_EQ(main_window().status_line_.Text(), "");
}

// With settings there is no search; with nothing found, or the dialog
// cancelled, the fields stay empty for the user to fill.
TEST_F(ShellGamesTest, OfferedOnlyOnTheFirstStart) {
  std::string jk = MakeGame();
  Find({{InstallKind::kRetail, GameTitle::kJediKnight, jk, FolderOf(jk)}});
  WriteSettingsFile("\r\n\r\n");
  StartShell();
  EXPECT_EQ(searches_, 0);

  std::filesystem::remove(FsPath(JoinPath(work_, SettingsFileName(SettingsSuffix(identity_)))));
  for (bool found : {false, true}) {
    if (!found) Find({});
    if (found) Find({{InstallKind::kRetail, GameTitle::kJediKnight, jk, FolderOf(jk)}});
    ui_.dialogs_.offered.clear();
    StartShell();
    EXPECT_EQ(ui_.dialogs_.offered.size(), found ? 1u : 0u);
    EXPECT_EQ(main_window().game_path_field_.Text(), "");
  }
}

// An OpenJKDF2 find: its episodes come from its data folder, "Start in the
// level" is on, and the game starts in the level; unchecked (a setting),
// at its menus. Another path typed in its place is no longer OpenJKDF2,
// and the box is greyed and unticked; the setting stays for OpenJKDF2.
TEST_F(ShellGamesTest, OpenJkdf2StartsInTheLevel) {
  GameInstall engine = OpenJkdf2();
  Find({engine});
  ui_.dialogs_.picks = {0};
  StartShell();
  EXPECT_EQ(main_window().game_path_field_.Text(), engine.executable);
  EXPECT_THAT(Items(main_window().archive_list_), ElementsAre("ep1.gob"));
  EXPECT_THAT(SettingsText(), HasSubstr("openjkdf2=1\r\ngame-data=" + engine.data_folder));
  FakeCheckBox& start_in_level = main_window().start_in_level_check_box_;
  EXPECT_TRUE(start_in_level.Enabled());
  EXPECT_TRUE(start_in_level.Checked());

  OpenLevel(0, 0);
  main_window().Click(main_window().scale_button_);
  ASSERT_EQ(runner_.runs.size(), 1u);
  EXPECT_THAT(DescribeRun(runner_.runs[0]), HasSubstr("-autostart -sp -episode ep1 -map one"));

  main_window().Click(start_in_level);
  EXPECT_THAT(SettingsText(), HasSubstr("start-in-level=0"));
  main_window().Click(main_window().scale_button_);
  ASSERT_EQ(runner_.runs.size(), 2u);
  EXPECT_THAT(DescribeRun(runner_.runs[1]), Not(HasSubstr("-autostart")));

  std::string jk = MakeGame();
  main_window().Click(start_in_level);
  main_window().game_path_field_.SetText(jk);
  EXPECT_FALSE(start_in_level.Enabled());
  EXPECT_FALSE(start_in_level.Checked());
  EXPECT_EQ(SettingsText(), jk + "\r\n\r\n");
  main_window().game_path_field_.SetText(engine.executable);
  EXPECT_TRUE(start_in_level.Checked());
}

// Save as mod: offered in the game's Episode folder under the level's name
// and the factor; the archive holds the scaled level and the episode, and
// the folder it was made in is gone. No game starts. The focus is back on
// Save as mod.
TEST_F(ShellGamesTest, SaveAsMod) {
  std::string jk = MakeGame();
  WriteSettingsFile(jk + "\r\n\r\n");
  StartShell();
  EXPECT_FALSE(main_window().save_mod_button_.Enabled());
  OpenLevel(0, 1);
  main_window().factor_field_.SetText("2");
  std::string mod = temp_.Path("game/Episode/two-x2.gob");
  ui_.dialogs_.answers = {mod};
  main_window().Click(main_window().save_mod_button_);

  EXPECT_THAT(ui_.record, testing::Contains("save dialog: Save the scaled level as a mod | " +
                                            temp_.Path("game/Episode") + " | two-x2.gob"));
  EXPECT_THAT(ui_.dialogs_.notices, ElementsAre(ModSavedText(mod)));
  EXPECT_THAT(ui_.dialogs_.messages, IsEmpty());
  EXPECT_TRUE(runner_.runs.empty());
  EXPECT_FALSE(fs_.Exists(temp_.Path("mod")));
  EXPECT_TRUE(main_window().Enabled());
  EXPECT_EQ(main_window().focused, "save_mod_button");
  std::unique_ptr<GobArchive> archive;
  ASSERT_TRUE(GobArchive::Open(fs_, mod, &archive).ok());
  std::vector<std::string> names;
  ASSERT_TRUE(archive
                  ->Walk([&names](const GobEntry& entry) {
                    names.push_back(entry.name);
                    return true;
                  })
                  .ok());
  EXPECT_THAT(names, ElementsAre("episode.jk", "jkl\\two.jkl"));
}

// A saved mod that passes the game's limits says so in the status line,
// with what it left out, and in the log: no game shows it now.
TEST_F(ShellGamesTest, SaveAsModTellsTheGamesLimits) {
  std::string jk = MakeGame();
  temp_.WriteArchive(
      "game/Episode/ep2.gob",
      TestArchive()
          .Add("episode.jk", "e")
          .Add("jkl\\sky.jkl", "Ceiling Sky Z 600\r\nWorld cogs 1\r\n0: lost.cog\r\nend\r\n"));
  WriteSettingsFile(jk + "\r\n\r\n");
  StartShell();
  OpenLevel(1, 0);
  main_window().factor_field_.SetText("2");
  ui_.dialogs_.answers = {temp_.Path("game/Episode/sky-x2.gob")};
  main_window().Click(main_window().save_mod_button_);
  const std::string limits = "Ceiling Sky Z would be 1200, above the 1000 the game draws";
  EXPECT_EQ(main_window().status_line_.Text(),
            limits + ". Not found in any archive, so not scaled: cogs lost.cog");
  EXPECT_THAT(ui_.program_log, testing::Contains("warning: " + limits));
}

// A file that is there is replaced only when the user says Yes to the
// question, whose default is No; the level's own archive and the resource
// archive are refused before any question.
TEST_F(ShellGamesTest, SaveAsModOverAFile) {
  std::string jk = MakeGame();
  WriteSettingsFile(jk + "\r\n\r\n");
  StartShell();
  OpenLevel(0, 0);
  std::string mod = temp_.WriteFile("game/Episode/mine.gob", "the user's own");
  std::string level_archive = temp_.Path("game/Episode/ep1.gob");
  std::string resource = temp_.Path("game/Resource/res2.gob");
  ui_.dialogs_.answers = {level_archive, resource, mod, mod};
  ui_.dialogs_.replies = {true};
  for (int k = 0; k < 4; ++k) main_window().Click(main_window().save_mod_button_);
  EXPECT_THAT(ui_.dialogs_.messages,
              ElementsAre("'" + level_archive +
                              "': is an archive the level is made from; save the mod under "
                              "another name",
                          "'" + resource +
                              "': is an archive the level is made from; save the mod under "
                              "another name"));
  std::vector<std::string> questions;
  for (const std::string& line : ui_.record) {
    if (line.starts_with("question: ")) questions.push_back(line);
  }
  EXPECT_THAT(questions, ElementsAre("question: " + ReplaceArchiveQuestion(mod),
                                     "question: " + ReplaceArchiveQuestion(mod)));
  // The first answer, Yes, replaced it; the second, No by default, kept
  // what the first wrote.
  EXPECT_THAT(ui_.dialogs_.notices, ElementsAre(ModSavedText(mod)));
  EXPECT_NE(ReadFile(mod), "the user's own");
  EXPECT_EQ(ReadFile(level_archive), EpisodeArchive().Build());
}

// A cancelled dialog saves nothing; a missing resource archive is said
// before the dialog.
TEST_F(ShellGamesTest, SaveAsModThatIsNotSaved) {
  std::string jk = MakeGame();
  WriteSettingsFile(jk + "\r\n\r\n");
  StartShell();
  OpenLevel(0, 0);
  main_window().Click(main_window().save_mod_button_);
  EXPECT_EQ(ui_.record.back(), "save dialog: Save the scaled level as a mod | " +
                                   temp_.Path("game/Episode") + " | one-x1.gob");
  EXPECT_FALSE(fs_.Exists(temp_.Path("game/Episode/one-x1.gob")));

  std::filesystem::remove(FsPath(temp_.Path("game/Resource/res2.gob")));
  main_window().Click(main_window().save_mod_button_);
  EXPECT_THAT(ui_.dialogs_.messages,
              ElementsAre("The game's resource archive Resource\\res2.gob was not found in " +
                          game_folder_));
}

}  // namespace
}  // namespace jk
