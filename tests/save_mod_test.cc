// Saving a scaled level as a mod: one archive that holds what a scale run
// writes and a titled episode, made in a folder of its own that is removed
// afterwards.
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "archives/gob_archive.h"
#include "launch/save_mod.h"
#include "memory_file_system.h"
#include "platform/path.h"
#include "scaling/layout.h"
#include "test_archive.h"
#include "test_util.h"

namespace jk {
namespace {

using ::testing::Contains;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr const char* kLevel =
    "SECTION: HEADER\r\n"
    "World Gravity 4.0\r\n"
    "SECTION: GEORESOURCE\r\n"
    "World vertices 1\r\n"
    "0:\t1.0\t2.0\t3.0\r\n"
    "SECTION: TEMPLATES\r\n"
    "World templates 2\r\n"
    "crate _structure size=0.05 model3d=crate.3do\r\n"
    "lamp _decor model3d=sub\\lamp.3do\r\n"
    "end\r\n"
    "SECTION: THINGS\r\n"
    "World things 2\r\n"
    "0: crate c1 1 2 3 0 90 0 1\r\n"
    "1: lamp l1 1 1 1 0 0 0 1\r\n"
    "end\r\n"
    "SECTION: COGS\r\n"
    "World cogs 2\r\n"
    "0:\tdoor.cog\r\n"
    "1:\trules.cog\r\n"
    "end\r\n";

using Entry = ArchiveEntry;

class SaveModTest : public ::testing::Test {
 protected:
  SaveModTest() {
    fs_.SetFile(Native("game/Episode/canyon.gob"),
                TestArchive()
                    .Add("jkl\\canyon.jkl", kLevel)
                    .Add("3do\\crate.3do", "VERTICES 1\n0: 1 1 1 0\n")
                    .Add("cog\\door.cog", "# door\nend")
                    .Add("misc\\cogstrings.uni", "MSGS 0\r\nEND\r\n")
                    .Build());
    fs_.SetFile(Native("game/Resource/res2.gob"),
                TestArchive()
                    .Add("3do\\sub\\lamp.3do", "VERTICES 1\n0: 1 2 3 0\n")
                    .Add("cog\\rules.cog", "# rules\n")
                    .Build());
    fs_.SetFile(Native("mods/keep.txt"), "");
    request_.scale.level_archive_path = Native("game/Episode/canyon.gob");
    request_.scale.level_name = "jkl\\canyon.jkl";
    request_.scale.resource_archive_path = Native("game/Resource/res2.gob");
    request_.scale.factor_text = " 2 ";
    request_.scale.work_folder = Native("temp/mod");
    request_.archive_path = Native("mods/canyon-x2.gob");
  }

  // The files a scale run of the request writes, as archive entries: each
  // work subfolder's in name order.
  std::vector<Entry> ScaleRunFiles() {
    ScaleRequest scale = request_.scale;
    scale.work_folder = "reference";
    ReferenceLists lists;
    ScaleReport report;
    EXPECT_TRUE(RunScale(fs_, scale, progress_, &lists, &report).ok());
    std::vector<Entry> files;
    for (const std::string& path : fs_.FilePaths()) {
      if (!path.starts_with("reference") || path == JoinPath("reference", kEpisodeFileName)) {
        continue;
      }
      std::string name = path.substr(std::string("reference").size() + 1);
      std::replace(name.begin(), name.end(), kPathSeparator, '\\');
      std::string bytes;
      fs_.GetFile(path, &bytes);
      files.push_back({name, bytes});
    }
    // FilePaths is in name order; the archive takes the folders in the
    // work folder's order.
    std::vector<Entry> ordered;
    for (std::string_view sub : kWorkSubfolders) {
      for (const Entry& file : files) {
        if (file.name.starts_with(std::string(sub) + "\\")) ordered.push_back(file);
      }
    }
    return ordered;
  }

  MemoryFileSystem fs_;
  NoProgress progress_;
  ModRequest request_;
  ScaleReport report_;
};

// The archive holds the titled episode, then exactly the files of a scale
// run, byte for byte; the mod's own folder is gone afterwards.
TEST_F(SaveModTest, HoldsWhatAScaleRunWrites) {
  std::vector<Entry> expected = {
      {"episode.jk",
       "\"Canyon x2\"\r\nTYPE 1\r\nSEQ 1\r\n10: 0 1 LEVEL canyon.jkl 0 0 -1 -1\r\nend\r\n"}};
  for (const Entry& file : ScaleRunFiles()) expected.push_back(file);
  // The episode, the level, both models, the level's cog and the strings.
  ASSERT_EQ(expected.size(), 6u);
  Status status = SaveMod(fs_, request_, progress_, &report_);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(ReadArchiveEntries(fs_, Native("mods/canyon-x2.gob")), expected);
  EXPECT_FALSE(fs_.Exists(Native("temp/mod")));
  EXPECT_THAT(report_.skipped, IsEmpty());
}

// A level whose entry name would not fit an archive's name field is refused
// by name; nothing is left behind.
TEST_F(SaveModTest, TooLongNameIsRefused) {
  std::string name = "jkl\\" + std::string(120, 'n') + ".jkl";  // 128 bytes
  fs_.SetFile(Native("game/Episode/long.gob"), TestArchive().Add(name, kLevel).Build());
  request_.scale.level_archive_path = Native("game/Episode/long.gob");
  request_.scale.level_name = name;
  EXPECT_EQ(SaveMod(fs_, request_, progress_, &report_).message(),
            "'" + request_.archive_path + "': cannot hold the entry '" + name +
                "': its name is 128 bytes long, more than the 127 an archive's name field holds");
  EXPECT_FALSE(fs_.Exists(request_.archive_path));
  EXPECT_FALSE(fs_.Exists(Native("temp/mod")));
}

// An archive that cannot be written is reported by name, and the mod's
// folder is removed all the same.
TEST_F(SaveModTest, ArchiveThatCannotBeWritten) {
  fs_.MakeReadOnly(Native("mods"));
  EXPECT_EQ(SaveMod(fs_, request_, progress_, &report_).message(),
            "'" + request_.archive_path + "': permission denied (read-only folder)");
  EXPECT_FALSE(fs_.Exists(Native("temp/mod")));
}

// The mod is made in a folder of its own: one that holds anything already
// is refused, and what it holds stays.
TEST_F(SaveModTest, NotInAFolderOfTheUsers) {
  fs_.SetFile(Native("temp/mod/jkl/mine.jkl"), "mine");
  EXPECT_EQ(
      SaveMod(fs_, request_, progress_, &report_).message(),
      "'" + Native("temp/mod") + "': is there already; a mod is made in a new folder of its own");
  std::string mine;
  EXPECT_TRUE(fs_.GetFile(Native("temp/mod/jkl/mine.jkl"), &mine));
  EXPECT_EQ(mine, "mine");
  EXPECT_FALSE(fs_.Exists(request_.archive_path));
}

// A mod is never written over the archives it is made from.
TEST_F(SaveModTest, NotOverItsOwnArchives) {
  for (const std::string* source :
       {&request_.scale.level_archive_path, &request_.scale.resource_archive_path}) {
    request_.archive_path = *source;
    EXPECT_EQ(
        SaveMod(fs_, request_, progress_, &report_).message(),
        "'" + *source + "': is an archive the level is made from; save the mod under another name");
  }
  EXPECT_THAT(fs_.FolderPaths(), Not(Contains(Native("temp/mod"))));
}

// A failed or cancelled run writes no archive and leaves no folder.
TEST_F(SaveModTest, FailedOrCancelledRun) {
  request_.scale.factor_text = "0";
  EXPECT_EQ(SaveMod(fs_, request_, progress_, &report_).message(),
            "scale factor '0': not a number from 0.001 to 1000");
  struct Cancelling : NoProgress {
    bool CancelRequested() const override { return true; }
  } cancelling;
  request_.scale.factor_text = "2";
  EXPECT_TRUE(SaveMod(fs_, request_, cancelling, &report_).IsCancelled());
  EXPECT_FALSE(fs_.Exists(request_.archive_path));
  EXPECT_FALSE(fs_.Exists(Native("temp/mod")));
}

}  // namespace
}  // namespace jk
