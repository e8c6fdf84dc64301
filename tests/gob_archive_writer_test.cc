// Writing GOB archives: what is written reads back identically through the
// program's reader, and what cannot be written is refused or reported.
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "archives/gob_archive.h"
#include "archives/gob_writer.h"
#include "memory_file_system.h"
#include "test_util.h"

namespace jk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using ReadEntry = ArchiveEntry;

std::vector<ArchiveEntry> ReadBack(FileSystem& fs, const std::string& path) {
  return ReadArchiveEntries(fs, path);
}

// Every byte value, over more than one copied piece (64 KiB).
std::string BigBytes() {
  std::string bytes;
  for (int i = 0; i < 150000; ++i) bytes += char(i * 13 % 256);
  return bytes;
}

class GobArchiveWriterTest : public ::testing::Test {
 protected:
  std::string Text(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(fs_.GetFile(path, &bytes)) << path;
    return bytes;
  }

  MemoryFileSystem fs_;
  GobArchiveWriter writer_{fs_, "mod.gob"};
};

// Entries from files and from bytes, empty ones included, read back with
// their names, lengths and bytes, in the order they were added.
TEST_F(GobArchiveWriterTest, ReadsBackIdentically) {
  fs_.SetFile("work/jkl/canyon.jkl", "SECTION: HEADER\r\n");
  fs_.SetFile("work/3do/big.3do", BigBytes());
  fs_.SetFile("work/cog/empty.cog", "");
  ASSERT_TRUE(writer_.AddBytes("episode.jk", "\"Canyon x2\"\r\n").ok());
  ASSERT_TRUE(writer_.AddFile("jkl\\canyon.jkl", "work/jkl/canyon.jkl").ok());
  ASSERT_TRUE(writer_.AddFile("3do\\big.3do", "work/3do/big.3do").ok());
  ASSERT_TRUE(writer_.AddFile("cog\\empty.cog", "work/cog/empty.cog").ok());
  ASSERT_TRUE(writer_.AddBytes("misc\\none.txt", "").ok());
  ASSERT_TRUE(writer_.Write().ok());
  EXPECT_THAT(ReadBack(fs_, "mod.gob"),
              ElementsAre(ReadEntry{"episode.jk", "\"Canyon x2\"\r\n"},
                          ReadEntry{"jkl\\canyon.jkl", "SECTION: HEADER\r\n"},
                          ReadEntry{"3do\\big.3do", BigBytes()}, ReadEntry{"cog\\empty.cog", ""},
                          ReadEntry{"misc\\none.txt", ""}));
}

// The bytes are those of the archives the tests build in memory.
TEST_F(GobArchiveWriterTest, SameBytesAsTheTestArchives) {
  ASSERT_TRUE(writer_.AddBytes("jkl\\a.jkl", "abc").ok());
  ASSERT_TRUE(writer_.AddBytes("3do\\b.3do", "").ok());
  ASSERT_TRUE(writer_.AddBytes("cog\\c.cog", "defg").ok());
  ASSERT_TRUE(writer_.Write().ok());
  std::string written;
  ASSERT_TRUE(fs_.GetFile("mod.gob", &written));
  EXPECT_EQ(written, TestArchive()
                         .Add("jkl\\a.jkl", "abc")
                         .Add("3do\\b.3do", "")
                         .Add("cog\\c.cog", "defg")
                         .Build());
}

// No entries, and thousands of them.
TEST_F(GobArchiveWriterTest, NoneAndMany) {
  ASSERT_TRUE(writer_.Write().ok());
  EXPECT_THAT(ReadBack(fs_, "mod.gob"), IsEmpty());

  GobArchiveWriter many(fs_, "many.gob");
  std::vector<ReadEntry> expected;
  for (int i = 0; i < 3000; ++i) {
    expected.push_back({"3do\\m" + std::to_string(i) + ".3do", std::string(size_t(i % 7), 'x')});
    ASSERT_TRUE(many.AddBytes(expected.back().name, expected.back().bytes).ok());
  }
  ASSERT_TRUE(many.Write().ok());
  EXPECT_EQ(ReadBack(fs_, "many.gob"), expected);
}

// A name needs its NUL within the 128-byte field: 127 bytes fit, 128 do
// not; nor do names that would not read back or that come twice.
TEST_F(GobArchiveWriterTest, RefusedNames) {
  std::string longest = "3do\\" + std::string(123, 'n');
  ASSERT_TRUE(writer_.AddBytes(longest, "x").ok());
  EXPECT_EQ(writer_.AddBytes(longest + "n", "x").message(),
            "'mod.gob': cannot hold the entry '" + longest +
                "n': its name is 128 bytes long, more than the 127 an archive's name field holds");
  EXPECT_EQ(writer_.AddBytes("", "x").message(),
            "'mod.gob': cannot hold the entry '': an entry needs a name");
  EXPECT_EQ(writer_.AddBytes("jkl\\a\r.jkl", "x").message(),
            "'mod.gob': cannot hold the entry 'jkl\\a\r.jkl': its name holds a NUL, CR or LF byte");
  EXPECT_EQ(writer_.AddBytes(std::string("a\0b", 3), "x").message(),
            "'mod.gob': cannot hold the entry '" + std::string("a\0b", 3) +
                "': its name holds a NUL, CR or LF byte");
  EXPECT_EQ(writer_.AddBytes("3DO\\" + std::string(123, 'N'), "x").message(),
            "'mod.gob': cannot hold the entry '3DO\\" + std::string(123, 'N') +
                "': the archive holds an entry of that name already");
  ASSERT_TRUE(writer_.Write().ok());
  EXPECT_THAT(ReadBack(fs_, "mod.gob"), ElementsAre(ReadEntry{longest, "x"}));
}

// An archive that cannot be created, or that fills the disk, is reported
// and leaves nothing behind.
TEST_F(GobArchiveWriterTest, ArchiveThatCannotBeWritten) {
  fs_.SetFile(Native("mods/keep.txt"), "");
  fs_.MakeReadOnly("mods");
  GobArchiveWriter refused(fs_, Native("mods/mod.gob"));
  ASSERT_TRUE(refused.AddBytes("episode.jk", "x").ok());
  EXPECT_EQ(refused.Write().message(),
            "'" + Native("mods/mod.gob") + "': permission denied (read-only folder)");

  fs_.SetFile("big.3do", BigBytes());
  ASSERT_TRUE(writer_.AddFile("3do\\big.3do", "big.3do").ok());
  fs_.FailWritesAfter(100000);
  EXPECT_EQ(writer_.Write().message(), "'mod.gob': cannot write: no space left on device");
  EXPECT_FALSE(fs_.Exists("mod.gob"));
  EXPECT_FALSE(fs_.Exists("mod.gob.jkrescale-part"));
}

// An archive the user chose to replace is replaced only by a whole new one;
// a file in the way of the part written first is never touched.
TEST_F(GobArchiveWriterTest, ReplacedOnlyWhenWhole) {
  fs_.SetFile("mod.gob", "the earlier mod");
  fs_.SetFile("big.3do", BigBytes());
  ASSERT_TRUE(writer_.AddFile("3do\\big.3do", "big.3do").ok());
  fs_.FailWritesAfter(100000);
  EXPECT_FALSE(writer_.Write().ok());
  EXPECT_EQ(Text("mod.gob"), "the earlier mod");
  EXPECT_FALSE(fs_.Exists("mod.gob.jkrescale-part"));

  fs_.FailWritesAfter(INT64_MAX);
  fs_.SetFile("mod.gob.jkrescale-part", "mine");
  EXPECT_EQ(writer_.Write().message(),
            "'mod.gob.jkrescale-part': is in the way of writing 'mod.gob'; move it elsewhere and "
            "try again");
  EXPECT_EQ(Text("mod.gob.jkrescale-part"), "mine");
  ASSERT_TRUE(fs_.DeleteFile("mod.gob.jkrescale-part").ok());
  ASSERT_TRUE(writer_.Write().ok());
  EXPECT_THAT(ReadBack(fs_, "mod.gob"), ElementsAre(ReadEntry{"3do\\big.3do", BigBytes()}));
}

// A file that is gone, or has another length, when the archive is written
// is reported by name; the archive is never written over one of its files.
TEST_F(GobArchiveWriterTest, FilesThatChanged) {
  EXPECT_EQ(writer_.AddFile("jkl\\a.jkl", "none.jkl").message(),
            "'none.jkl': cannot open: no such file");
  fs_.SetFile("a.jkl", "abc");
  ASSERT_TRUE(writer_.AddFile("jkl\\a.jkl", "a.jkl").ok());
  fs_.SetFile("a.jkl", "abcd");
  EXPECT_EQ(writer_.Write().message(),
            "'a.jkl': changed while the archive 'mod.gob' was written: 3 bytes long before, 4 now");
  EXPECT_FALSE(fs_.Exists("mod.gob"));
  ASSERT_TRUE(fs_.DeleteFile("a.jkl").ok());
  EXPECT_EQ(writer_.Write().message(), "'a.jkl': cannot open: no such file");

  fs_.SetFile("self.gob", "abc");
  GobArchiveWriter onto_itself(fs_, "self.gob");
  ASSERT_TRUE(onto_itself.AddFile("jkl\\a.jkl", "self.gob").ok());
  EXPECT_EQ(onto_itself.Write().message(),
            "'self.gob': is the file of the entry 'jkl\\a.jkl'; the archive cannot be written "
            "over it");
  std::string kept;
  ASSERT_TRUE(fs_.GetFile("self.gob", &kept));
  EXPECT_EQ(kept, "abc");
}

}  // namespace
}  // namespace jk
