// The tables of an opened level archive, and the copy of an entry as text.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "archives/archive_tables.h"
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
  Status Open(const TestArchive& writer) {
    return OpenLevelArchive(fs_, WriteArchive("ep.gob", writer), &tables_);
  }
  // "name offset length" of each listed level, by its name.
  Names LevelRows() const {
    Names described;
    for (const std::string& name : tables_.level_names)
      described.push_back(Row(*tables_.FindLevel(name)));
    return described;
  }
  LevelArchiveTables tables_;
};

// Each kind of entry goes to its table; "3do\mat\" and "3do\key\" go nowhere,
// and prefixes are compared with their letter case.
TEST_F(ArchiveTablesTest, SortsEntriesIntoTables) {
  // Data starts at 16 + 136 * 10 = 1376.
  ASSERT_TRUE(Open(TestArchive()
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
  EXPECT_EQ(tables_.level_names, (Names{"jkl\\a.jkl", "jkl\\b.jkl"}));
  EXPECT_EQ(LevelRows(), (Names{"jkl\\a.jkl 1377 2", "jkl\\b.jkl 1392 1"}));
  EXPECT_EQ(Rows(tables_.models),
            (Names{"3do\\m.3do 1379 3 level", "3do\\sub\\s.3do 1384 1 level"}));
  EXPECT_EQ(Rows(tables_.cogs), (Names{"cog\\c.cog 1385 2"}));
  EXPECT_EQ(Row(tables_.cogstrings), "misc\\cogstrings.uni 1387 4");
  EXPECT_EQ(tables_.path, Path("ep.gob"));
}

// Two levels of one name are two items, both with the later entry's values;
// without "misc\cogstrings.uni" its location is -1, -1.
TEST_F(ArchiveTablesTest, DuplicateLevelsTakeTheLaterEntry) {
  ASSERT_TRUE(Open(TestArchive()
                       .Add("jkl\\d.jkl", "first")
                       .Add("misc\\cogstrings.unix", "")
                       .Add("jkl\\d.jkl", "2nd"))
                  .ok());
  EXPECT_EQ(tables_.level_names, (Names{"jkl\\d.jkl", "jkl\\d.jkl"}));
  EXPECT_EQ(LevelRows(), (Names{"jkl\\d.jkl 429 3", "jkl\\d.jkl 429 3"}));
  EXPECT_EQ(Row(tables_.cogstrings), " -1 -1 outside");
}

// Models, cogs and cog strings whose data lies outside the file stay in the tables.
TEST_F(ArchiveTablesTest, EntriesOutsideTheFileStay) {
  std::string bytes = TestArchive()
                          .Add("3do\\m.3do", "")
                          .Add("cog\\c.cog", "")
                          .Add("misc\\cogstrings.uni", "")
                          .Build();
  for (size_t i = 0; i < 3; ++i) PutInt32(&bytes, 20 + 136 * i, INT_MAX);
  ASSERT_TRUE(OpenLevelArchive(fs_, WriteBytes("ep.gob", bytes), &tables_).ok());
  EXPECT_EQ(Rows(tables_.models), (Names{"3do\\m.3do 424 2147483647 outside level"}));
  EXPECT_EQ(Rows(tables_.cogs), (Names{"cog\\c.cog 424 2147483647 outside"}));
  EXPECT_EQ(Row(tables_.cogstrings), "misc\\cogstrings.uni 424 2147483647 outside");
}

// The tables have no fixed capacity (the game's own tool stops at 65,537 rows).
TEST_F(ArchiveTablesTest, NoFixedCapacity) {
  TestArchive writer;
  for (int i = 0; i < 65540; ++i) writer.Add("3do\\" + std::to_string(i), "");
  ASSERT_TRUE(Open(writer).ok());
  ASSERT_EQ(tables_.models.size(), 65540u);
  EXPECT_EQ(tables_.models.back().entry.name, "3do\\65539");
}

// An entry is copied as text: every line followed by CR LF.
TEST_F(ArchiveTablesTest, ExtractEntryAsText) {
  std::string archive_path =
      WriteArchive("a.gob", TestArchive().Add("cog\\c.cog", "a\nb\r\n\rc").Add("x", "next"));
  std::unique_ptr<InputFile> archive;
  ASSERT_TRUE(fs_.OpenRead(archive_path, &archive).ok());
  ASSERT_TRUE(ExtractEntryAsText(fs_, *archive, 288, 7, Path("c.cog")).ok());
  EXPECT_EQ(ReadFile(Path("c.cog")), "a\r\nb\r\n\r\nc\r\n");
}

}  // namespace
}  // namespace jk
