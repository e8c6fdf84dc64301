// The GOB archive reader: header, directory walk, entry names, entry text
// and damaged archives.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "archives/gob_archive.h"
#include "test_util.h"

namespace jk {
namespace {

// Byte positions in an archive built by TestArchive.
constexpr size_t kCountAt = 12;
size_t OffsetAt(size_t index) { return 16 + 136 * index; }
size_t LengthAt(size_t index) { return 20 + 136 * index; }
size_t DataAt(size_t entry_count) { return 16 + 136 * entry_count; }

using Lines = std::vector<std::string>;

class GobArchiveTest : public TempFolderTest {
 protected:
  // The lines of an entry holding `data`, followed by another entry whose
  // text must never leak into it.
  Lines LinesOf(const std::string& data) {
    return EntryLines(
        WriteArchive("a.gob", TestArchive().Add("jkl\\a.jkl", data).Add("jkl\\b.jkl", "NEXT\r\n")),
        0);
  }
  // Opens `bytes` as an archive and returns the failure message ("" if it opens).
  std::string OpenFailure(const std::string& bytes) {
    std::unique_ptr<GobArchive> archive;
    Status status = GobArchive::Open(fs_, WriteBytes("d.gob", bytes), &archive);
    return status.ok() ? "" : status.message();
  }
};

// The header's directory position and count, then each entry's name,
// offset and length in directory order.
TEST_F(GobArchiveTest, WalksTheDirectoryInOrder) {
  std::string path =
      WriteArchive("a.gob", TestArchive().Add("jkl\\a.jkl", "abc").Add("3do\\m.3do", ""));
  std::unique_ptr<GobArchive> archive;
  ASSERT_TRUE(GobArchive::Open(fs_, path, &archive).ok());
  EXPECT_EQ(archive->directory_position(), 12);
  EXPECT_EQ(archive->entry_count(), 2);
  std::vector<GobEntry> entries = WalkArchive(path);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "jkl\\a.jkl");
  EXPECT_EQ(entries[0].offset, int32_t(DataAt(2)));
  EXPECT_EQ(entries[0].length, 3);
  EXPECT_TRUE(entries[0].inside);
  EXPECT_EQ(entries[1].name, "3do\\m.3do");
  EXPECT_EQ(entries[1].offset, int32_t(DataAt(2) + 3));
  EXPECT_EQ(entries[1].length, 0);
  EXPECT_TRUE(entries[1].inside);  // empty, at the very end of the file
}

// A name is the field up to its first NUL, CR or LF, never more than 128 bytes.
TEST_F(GobArchiveTest, NamesEndAtNulCrLfOrTheField) {
  std::string full(127, 'n');
  std::string bytes = TestArchive()
                          .Add(std::string("abc\0xyz", 7), "")
                          .Add("ab\rcd", "")
                          .Add("ab\ncd", "")
                          .Add(std::string(128, 'n'), "")
                          .Add(full + "\r", "")
                          .Add("last", "")
                          .Build();
  // The CR that ends the fifth field is followed by an LF in the next entry.
  PutInt32(&bytes, OffsetAt(5), 10);
  std::vector<GobEntry> entries = WalkArchive(WriteBytes("a.gob", bytes));
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[0].name, "abc");
  EXPECT_EQ(entries[1].name, "ab");
  EXPECT_EQ(entries[2].name, "ab");
  EXPECT_EQ(entries[3].name, std::string(128, 'n'));
  EXPECT_EQ(entries[4].name, full);
  EXPECT_EQ(entries[5].name, "last");
  EXPECT_EQ(entries[5].offset, 10);
}

// LF, CR LF and a lone CR each end a line; CR LF is one break.
TEST_F(GobArchiveTest, EntryTextLineBreaks) {
  EXPECT_EQ(LinesOf("a\nb\r\nc\rd\n"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(LinesOf("a\r\rb\n\nc\r\n"), (Lines{"a", "", "b", "", "c"}));
  EXPECT_EQ(LinesOf("\r\n"), (Lines{""}));
}

// The last line ends at the entry's end; a final break adds no empty line;
// an empty entry has no line.
TEST_F(GobArchiveTest, EntryTextNeverReadsPastItsEntry) {
  EXPECT_EQ(LinesOf("a\nlast"), (Lines{"a", "last"}));
  EXPECT_EQ(LinesOf("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(LinesOf("a\r"), (Lines{"a"}));
  EXPECT_EQ(LinesOf(""), (Lines{}));
}

// A CR at an entry's end and an LF at the next one's start are two breaks.
TEST_F(GobArchiveTest, CrLfAcrossTwoEntries) {
  std::string path = WriteArchive("a.gob", TestArchive().Add("x", "a\r").Add("y", "\nb"));
  EXPECT_EQ(EntryLines(path, 0), (Lines{"a"}));
  EXPECT_EQ(EntryLines(path, 1), (Lines{"", "b"}));
}

// Lines longer than the read buffer come back whole.
TEST_F(GobArchiveTest, LongLines) {
  std::string long_line(200000, 'x');
  EXPECT_EQ(LinesOf(long_line + "\r\n" + long_line), (Lines{long_line, long_line}));
}

// An archive shorter than its header, or whose count lies outside it, does not open.
TEST_F(GobArchiveTest, UnreadableArchivesDoNotOpen) {
  std::string path = Path("d.gob");
  std::string archive = TestArchive().Add("a", "").Build();
  EXPECT_EQ(OpenFailure(archive.substr(0, 11)),
            "'" + path + "': not an archive: shorter than its 12-byte header");
  for (int32_t position : {int32_t(archive.size()) - 3, -4, INT_MAX}) {
    std::string bytes = archive;
    PutInt32(&bytes, 8, position);
    EXPECT_EQ(OpenFailure(bytes), "'" + path + "': damaged archive: its entry count at byte " +
                                      std::to_string(position) + " lies outside the file");
  }
  EXPECT_EQ(OpenFailure(archive.substr(0, 16)), "");  // count but no entries
  std::unique_ptr<GobArchive> missing;
  EXPECT_EQ(GobArchive::Open(fs_, Path("none.gob"), &missing).message(),
            "'" + Path("none.gob") + "': cannot open: No such file or directory");
}

// The walk stops at the first entry that does not lie wholly inside the
// file; the directory check says that the archive is damaged.
TEST_F(GobArchiveTest, HugeCountEndsTheWalkAtTheEndOfTheFile) {
  auto check = [this](const std::string& path) {
    std::unique_ptr<GobArchive> archive;
    EXPECT_TRUE(GobArchive::Open(fs_, path, &archive).ok());
    Status checked = archive->CheckDirectoryInside();
    return checked.ok() ? "" : checked.message();
  };
  std::string bytes = TestArchive().Add("a", "1").Add("b", "2").Build();
  std::string whole = WriteBytes("whole.gob", bytes);
  EXPECT_EQ(check(whole), "");
  EXPECT_EQ(check(WriteBytes("cut.gob", bytes.substr(0, 30))),
            "'" + Path("cut.gob") +
                "': damaged archive: its directory of 2 entries does not lie inside its 30 bytes");
  PutInt32(&bytes, kCountAt, INT_MAX);
  std::string a = WriteBytes("a.gob", bytes);
  EXPECT_EQ(WalkArchive(a).size(), 2u);
  EXPECT_EQ(check(a), "'" + a +
                          "': damaged archive: its directory of 2147483647 entries does "
                          "not lie inside its " +
                          std::to_string(bytes.size()) + " bytes");
  PutInt32(&bytes, 4, -1000);  // entry base before the file's start
  std::string b = WriteBytes("b.gob", bytes);
  EXPECT_EQ(WalkArchive(b).size(), 0u);
  EXPECT_NE(check(b), "");
  PutInt32(&bytes, kCountAt, -1);
  std::string c = WriteBytes("c.gob", bytes);
  EXPECT_EQ(WalkArchive(c).size(), 0u);
  EXPECT_EQ(check(c), "'" + c + "': damaged archive: its entry count -1 is negative");
}

// Data with a negative offset or length, or ending past the file, lies outside.
TEST_F(GobArchiveTest, EntryDataOutsideTheFile) {
  std::string bytes = TestArchive().Add("e", "").Build();
  constexpr int32_t kSize = 152;  // the header, the count and one entry
  ASSERT_EQ(bytes.size(), size_t(kSize));
  const struct {
    int32_t offset, length;
    bool inside;
  } kCases[] = {
      {-1, 0, false},      {0, -1, false},        {INT_MAX, INT_MAX, false},
      {INT_MAX, 1, false}, {kSize, 0, true},      {kSize - 1, 1, true},
      {kSize, 1, false},   {kSize - 1, 2, false}, {0, kSize, true},
  };
  for (const auto& c : kCases) {
    PutInt32(&bytes, OffsetAt(0), c.offset);
    PutInt32(&bytes, LengthAt(0), c.length);
    std::vector<GobEntry> entries = WalkArchive(WriteBytes("a.gob", bytes));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].inside, c.inside) << c.offset << " " << c.length;
  }
}

}  // namespace
}  // namespace jk
