// Bytes read and written as they are, and a full disk.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "archives/gob_archive.h"
#include "memory_file_system.h"
#include "test_util.h"

namespace jk {
namespace {

// Every byte value, and more than one read buffer's worth (64 KiB).
std::string ManyBytes() {
  std::string bytes;
  for (int i = 0; i < 70000; ++i) bytes += char(i * 7 % 256);
  return bytes;
}

class RawFileTest : public TempFolderTest {
 protected:
  // Writes a file with Write and WriteLine mixed, through `fs`.
  void WriteMixed(FileSystem& fs, const std::string& path) {
    std::unique_ptr<OutputFile> out;
    ASSERT_TRUE(fs.OpenWrite(path, &out).ok());
    ASSERT_TRUE(out->Write(std::string("\0\r", 2)).ok());
    ASSERT_TRUE(out->WriteLine("line").ok());
    ASSERT_TRUE(out->Write(ManyBytes()).ok());
    EXPECT_EQ(out->Position(), 2 + 6 + 70000);
    ASSERT_TRUE(out->Close().ok());
    EXPECT_EQ(out->Write("late").message(), "'" + path + "': written after it was closed");
  }
  // Reads the file back in pieces of 1000 bytes and at an offset.
  void ExpectReadBack(FileSystem& fs, const std::string& path) {
    std::string expected = std::string("\0\r", 2) + "line\r\n" + ManyBytes();
    std::unique_ptr<InputFile> in;
    ASSERT_TRUE(fs.OpenRead(path, &in).ok());
    std::string all, piece;
    do {
      ASSERT_TRUE(in->Read(1000, &piece).ok());
      all += piece;
    } while (!piece.empty());
    EXPECT_EQ(all, expected);
    ASSERT_TRUE(in->Seek(70000).ok());
    ASSERT_TRUE(in->Read(100, &piece).ok());
    EXPECT_EQ(piece, expected.substr(70000));  // fewer at the end of the file
  }
};

// On the disk.
TEST_F(RawFileTest, RealFiles) {
  WriteMixed(fs_, Path("raw.bin"));
  ExpectReadBack(fs_, Path("raw.bin"));
}

// A rename replaces the file of the new name whole, on the disk (and under
// Windows, where renaming onto a file needs to be asked for).
TEST_F(RawFileTest, RenameReplaces) {
  WriteMixed(fs_, Path("new.bin"));
  std::unique_ptr<OutputFile> out;
  ASSERT_TRUE(fs_.OpenWrite(Path("raw.bin"), &out).ok());
  ASSERT_TRUE(out->WriteLine("the earlier file").ok());
  ASSERT_TRUE(out->Close().ok());
  Status renamed = fs_.RenameFile(Path("new.bin"), Path("raw.bin"));
  ASSERT_TRUE(renamed.ok()) << renamed.message();
  EXPECT_FALSE(fs_.Exists(Path("new.bin")));
  ExpectReadBack(fs_, Path("raw.bin"));
  EXPECT_TRUE(fs_.RenameFile(Path("new.bin"), Path("raw.bin")).IsNotFound());
}

// Bytes that do not fit on the disk fail the write that flushes them, and
// every call after it.
TEST_F(RawFileTest, FullDisk) {
  MemoryFileSystem memory;
  memory.FailWritesAfter(10);
  std::unique_ptr<OutputFile> out;
  ASSERT_TRUE(memory.OpenWrite("raw.bin", &out).ok());
  const std::string kFull = "'raw.bin': cannot write: no space left on device";
  EXPECT_EQ(out->Write(ManyBytes()).message(), kFull);
  EXPECT_EQ(out->Write("x").message(), kFull);
  EXPECT_EQ(out->Close().message(), kFull);
}

// Lines end at a CR, a LF or a CR LF, wherever the read buffer's 64 KiB
// end, and a window of the file ends its last line: read from many windows
// of a text of lines of many lengths, the lines are those of a plain split.
TEST_F(RawFileTest, LinesAcrossReadBuffers) {
  std::mt19937 random(7);
  std::string text;
  const char* kBreaks[] = {"\n", "\r\n", "\r"};
  while (text.size() < 300000) {
    const size_t length = random() % 8 == 0 ? random() % 70000 : random() % 90;
    for (size_t i = 0; i < length; ++i) text += char('a' + random() % 26);
    text += kBreaks[random() % 3];
  }
  // A CR LF astride the end of the first buffer read from the start.
  text.replace(65535, 2, "\r\n");
  std::unique_ptr<OutputFile> out;
  ASSERT_TRUE(fs_.OpenWrite(Path("lines.txt"), &out).ok());
  ASSERT_TRUE(out->Write(text).ok() && out->Close().ok());
  std::unique_ptr<InputFile> in;
  ASSERT_TRUE(fs_.OpenRead(Path("lines.txt"), &in).ok());
  for (int window = 0; window < 300; ++window) {
    const size_t offset = window == 0 ? 0 : random() % text.size();
    const size_t length = window == 0 ? text.size() : random() % (text.size() - offset + 1);
    std::vector<std::string> expected;
    const std::string_view bytes = std::string_view(text).substr(offset, length);
    for (size_t i = 0; i < bytes.size();) {
      size_t end = bytes.find_first_of("\r\n", i);
      if (end == std::string_view::npos) end = bytes.size();
      expected.emplace_back(bytes.substr(i, end - i));
      i = end + 1 + (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n');
    }
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadEntryText(*in, int64_t(offset), int64_t(length), [&](std::string& line) {
                  lines.push_back(line);
                  return Status::Ok();
                }).ok());
    ASSERT_EQ(lines, expected) << "from " << offset << ", " << length << " bytes";
  }
}

}  // namespace
}  // namespace jk
