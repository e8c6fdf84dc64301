// The tables of an opened level archive, the resource archive's models, the
// safety of entry names and the preparation of a scale run.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "archives/archive_tables.h"
#include "archives/extraction.h"
#include "test_util.h"

namespace jk {
namespace {

using Names = std::vector<std::string>;

// "name offset length", with " outside" for data that lies outside the file.
std::string Row(const EntryRow& row) {
  return row.name + " " + std::to_string(row.offset) + " " + std::to_string(row.length) +
         (row.inside ? "" : " outside");
}
Names Rows(const std::vector<EntryRow>& rows) {
  Names described;
  for (const EntryRow& row : rows) described.push_back(Row(row));
  return described;
}
Names Rows(const std::vector<ModelRow>& rows) {
  Names described;
  for (const ModelRow& row : rows) {
    described.push_back(Row(row.entry) + (row.from_level_archive ? " level" : " resource"));
  }
  return described;
}

class ArchiveTablesTest : public TempFolderTest {
 protected:
  Status Open(const GobWriter& writer) {
    return OpenLevelArchive(fs_, WriteArchive("ep.gob", writer), &levels_, &tables_);
  }
  StringList levels_;
  LevelArchiveTables tables_;
};

// Each kind of entry goes to its table; "3do\mat\" and "3do\key\" go nowhere,
// and prefixes are compared with their letter case.
TEST_F(ArchiveTablesTest, SortsEntriesIntoTables) {
  // Data starts at 16 + 136 * 10 = 1376.
  ASSERT_TRUE(Open(GobWriter()
                       .Add("episode.jk", "e")
                       .Add("jkl\\a.jkl", "aa")
                       .Add("3do\\m.3do", "mmm")
                       .Add("3do\\mat\\m.mat", "x")
                       .Add("3do\\key\\k.key", "x")
                       .Add("3do\\sub\\s.3do", "s")
                       .Add("cog\\c.cog", "cc")
                       .Add("misc\\cogstrings.uni", "uuuu")
                       .Add("JKL\\up.jkl", "x")
                       .Add("jkl\\b.jkl", "b"))
                  .ok());
  EXPECT_EQ(levels_.items(), (Names{"jkl\\a.jkl", "jkl\\b.jkl"}));
  EXPECT_EQ(Rows(tables_.levels), (Names{"jkl\\a.jkl 1377 2", "jkl\\b.jkl 1392 1"}));
  EXPECT_EQ(Rows(tables_.models),
            (Names{"3do\\m.3do 1379 3 level", "3do\\sub\\s.3do 1384 1 level"}));
  EXPECT_EQ(Rows(tables_.cogs), (Names{"cog\\c.cog 1385 2"}));
  EXPECT_EQ(Row(tables_.cogstrings), "misc\\cogstrings.uni 1387 4");
  EXPECT_EQ(tables_.path, Path("ep.gob"));
}

// Two levels of one name are two items, both with the later entry's values;
// without "misc\cogstrings.uni" its location is -1, -1.
TEST_F(ArchiveTablesTest, DuplicateLevelsTakeTheLaterEntry) {
  ASSERT_TRUE(Open(GobWriter()
                       .Add("jkl\\d.jkl", "first")
                       .Add("misc\\cogstrings.unix", "")
                       .Add("jkl\\d.jkl", "2nd"))
                  .ok());
  EXPECT_EQ(levels_.items(), (Names{"jkl\\d.jkl", "jkl\\d.jkl"}));
  EXPECT_EQ(Rows(tables_.levels), (Names{"jkl\\d.jkl 429 3", "jkl\\d.jkl 429 3"}));
  EXPECT_EQ(Row(tables_.cogstrings), " -1 -1 outside");
}

// Models, cogs and cog strings whose data lies outside the file stay in the tables.
TEST_F(ArchiveTablesTest, EntriesOutsideTheFileStay) {
  std::string bytes = GobWriter()
                          .Add("3do\\m.3do", "")
                          .Add("cog\\c.cog", "")
                          .Add("misc\\cogstrings.uni", "")
                          .Build();
  for (size_t i = 0; i < 3; ++i) PutInt32(&bytes, 20 + 136 * i, INT_MAX);
  ASSERT_TRUE(OpenLevelArchive(fs_, WriteBytes("ep.gob", bytes), &levels_, &tables_).ok());
  EXPECT_EQ(Rows(tables_.models), (Names{"3do\\m.3do 424 2147483647 outside level"}));
  EXPECT_EQ(Rows(tables_.cogs), (Names{"cog\\c.cog 424 2147483647 outside"}));
  EXPECT_EQ(Row(tables_.cogstrings), "misc\\cogstrings.uni 424 2147483647 outside");
}

// The tables have no fixed capacity (the game's own tool stops at 65,537 rows).
TEST_F(ArchiveTablesTest, NoFixedCapacity) {
  GobWriter writer;
  for (int i = 0; i < 65540; ++i) writer.Add("3do\\" + std::to_string(i), "");
  ASSERT_TRUE(Open(writer).ok());
  ASSERT_EQ(tables_.models.size(), 65540u);
  EXPECT_EQ(tables_.models.back().entry.name, "3do\\65539");
}

// A name below its folder must be a plain relative path.
TEST(IsSafeEntryPathTest, RefusesNamesThatLeaveTheirFolder) {
  for (const char* safe : {"a.jkl", "sub\\a.jkl", "sub/a.jkl", "a..b", "...", ".x", "a b.jkl"}) {
    EXPECT_TRUE(IsSafeEntryPath(safe)) << safe;
  }
  for (const char* unsafe : {"", ".", "..", "..\\a", "../a", "sub\\..\\a", "sub/..\\a",
                             "sub\\../a", "a\\..", ".\\a", "\\a", "/a", "C:\\a", "C:a",
                             "a:b", "sub\\\\a", "sub//a", "a\\", "a/"}) {
    EXPECT_FALSE(IsSafeEntryPath(unsafe)) << unsafe;
  }
}

// "\" in an entry name becomes a native folder, created below the kind folder.
TEST_F(ArchiveTablesTest, EntryOutputPathCreatesSubfolders) {
  std::string path;
  ASSERT_TRUE(EntryOutputPath(fs_, root_, "3do", "3do\\sub\\deep\\m.3do", &path).ok());
  EXPECT_EQ(path, Path("3do/sub/deep/m.3do"));
  EXPECT_TRUE(fs_.IsFolder(Path("3do/sub/deep")));
  EXPECT_EQ(EntryOutputPath(fs_, root_, "cog", "cog\\..\\x.cog", &path).message(),
            "entry 'cog\\..\\x.cog': unsafe name, it would be written outside its folder");
}

// An entry is copied as text: every line followed by CR LF.
TEST_F(ArchiveTablesTest, ExtractEntryAsText) {
  std::string archive_path =
      WriteArchive("a.gob", GobWriter().Add("cog\\c.cog", "a\nb\r\n\rc").Add("x", "next"));
  std::unique_ptr<InputFile> archive;
  ASSERT_TRUE(fs_.OpenRead(archive_path, &archive).ok());
  ASSERT_TRUE(ExtractEntryAsText(fs_, *archive, {"cog\\c.cog", 288, 7}, Path("c.cog")).ok());
  EXPECT_EQ(ReadFile(Path("c.cog")), "a\r\nb\r\n\r\nc\r\n");
}

// ".goo" archives (any case) take the expansion's jkmres.goo, others res2.gob,
// the fixed names found whatever their case.
TEST_F(ArchiveTablesTest, ResourceArchivePath) {
  WriteBytes("jk/resource/RES2.GOB", "");
  WriteBytes("jkm/RESOURCE/JkmRes.goo", "");
  std::string jk = Path("jk/"), jkm = Path("jkm/");
#ifdef _WIN32
  // File names ignore letter case: the names as the game writes them are
  // found as they are.
  std::string jk_resource = Path("jk/Resource/res2.gob");
  std::string jkm_resource = Path("jkm/Resource/jkmres.goo");
#else
  std::string jk_resource = Path("jk/resource/RES2.GOB");
  std::string jkm_resource = Path("jkm/RESOURCE/JkmRes.goo");
#endif
  EXPECT_EQ(ResourceArchivePath(fs_, "/x/EP.GOO", jk, jkm), jkm_resource);
  EXPECT_EQ(ResourceArchivePath(fs_, "/x/ep.goo", jk, jkm), jkm_resource);
  EXPECT_EQ(ResourceArchivePath(fs_, "/x/ep.gob", jk, jkm), jk_resource);
  EXPECT_EQ(ResourceArchivePath(fs_, "/x/ep.goo.gob", jk, jkm), jk_resource);
  // Missing: the names as the game writes them.
  EXPECT_EQ(ResourceArchivePath(fs_, "/x/ep.gob", Path("none/"), jkm),
            Path("none/Resource/res2.gob"));
}

// Every run rebuilds the resource rows, creates the subfolders and copies the extra archive.
TEST_F(ArchiveTablesTest, PrepareExtractionTwice) {
  std::string level = WriteArchive("ep.gob", GobWriter().Add("jkl\\a.jkl", ""));
  std::string resource = WriteArchive("res2.gob", GobWriter().Add("3do\\r.3do", ""));
  std::string extra = WriteBytes("mods/extra.gob", "EXTRA");
  ASSERT_TRUE(fs_.CreateFolder(Path("work")).ok());
  for (int run = 0; run < 2; ++run) {
    OpenArchives open;
    if (run == 1) open.resource_models.push_back({});
    Status status = PrepareExtraction(fs_, Path("work"), extra, resource, level, &open);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(Rows(open.resource_models), (Names{"3do\\r.3do 152 0 resource"}));
    EXPECT_EQ(open.extra_copy, Path("work/extra.gob"));
    EXPECT_EQ(open.level->path(), level);
  }
  EXPECT_EQ(FolderNames(Path("work")), (Names{"3do/", "cog/", "extra.gob", "jkl/", "misc/"}));
  EXPECT_EQ(ReadFile(Path("work/extra.gob")), "EXTRA");
}

}  // namespace
}  // namespace jk
