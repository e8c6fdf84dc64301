// The real file system on Windows: UTF-8 paths inside the program must reach
// the disk as the same Unicode names, whatever the user's code page.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "fake_process_runner.h"
#include "platform/real_file_system.h"
#include "platform/wide_text.h"
#include "test_archive.h"

namespace jk {
namespace {

namespace stdfs = std::filesystem;

// Each name in the program's UTF-8 and in the system's UTF-16: a Latin
// letter with an accent, a sign outside Latin-1 and one outside the Basic
// Multilingual Plane (a surrogate pair in UTF-16).
constexpr const char* kLevelName =
    "J\xC3\xA9"
    "di \xE2\x9C\x93 \xF0\x9F\x98\x80.jkl";
constexpr const wchar_t* kLevelWideName = L"J\u00e9di \u2713 \U0001F600.jkl";
constexpr const char* kFolderName = "\xC3\x89pisodes";
constexpr const wchar_t* kFolderWideName = L"\u00c9pisodes";

// A test with a fresh folder under the system's temporary folder, made and
// inspected with the wide API directly rather than through the code tested.
class WindowsFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    root_ = stdfs::temp_directory_path() /
            (L"jkrescale_windows_" + std::to_wstring(random()) + std::to_wstring(random()));
    stdfs::create_directories(root_);
  }

  void TearDown() override {
    std::error_code ec;
    for (const auto& entry : stdfs::recursive_directory_iterator(root_, ec)) {
      stdfs::permissions(entry.path(), stdfs::perms::owner_write, stdfs::perm_options::add, ec);
    }
    stdfs::remove_all(root_, ec);
  }

  // The program's UTF-8 path of `name` (UTF-8, "\" between segments).
  std::string Path(const std::string& name) const { return Utf8Of(root_.wstring()) + "\\" + name; }

  // The system's path of `name`.
  stdfs::path WidePath(const std::wstring& name) const { return root_ / name; }

  // The bytes of the file at `path`, read with the wide C runtime call.
  static std::string Bytes(const stdfs::path& path) {
    std::string bytes;
    if (std::FILE* f = _wfopen(path.c_str(), L"rb")) {
      char buffer[4096];
      size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
      std::fclose(f);
    }
    return bytes;
  }

  static void WriteBytes(const stdfs::path& path, const std::string& bytes) {
    std::FILE* f = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }

  RealFileSystem fs_;
  stdfs::path root_;
};

// A file written under a UTF-8 path carries the same name on disk, and
// reads back through the same path.
TEST_F(WindowsFileSystemTest, WritesAndReadsUnicodeNames) {
  std::unique_ptr<OutputFile> out;
  ASSERT_TRUE(fs_.OpenWrite(Path(kLevelName), &out).ok());
  ASSERT_TRUE(out->WriteLine("World Gravity 4").ok());
  ASSERT_TRUE(out->Close().ok());
  EXPECT_EQ(Bytes(WidePath(kLevelWideName)), "World Gravity 4\r\n");

  std::unique_ptr<InputFile> in;
  ASSERT_TRUE(fs_.OpenRead(Path(kLevelName), &in).ok());
  std::string line;
  ASSERT_TRUE(in->ReadLine(in->Length(), &line).ok());
  EXPECT_EQ(line, "World Gravity 4");
  EXPECT_TRUE(fs_.IsFile(Path(kLevelName)));
  EXPECT_TRUE(fs_.Exists(Path(kLevelName)));
}

// A folder listing gives the names of files and folders in UTF-8.
TEST_F(WindowsFileSystemTest, ListsUnicodeNamesInUtf8) {
  stdfs::create_directory(WidePath(kFolderWideName));
  WriteBytes(WidePath(kLevelWideName), "x");
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(fs_.ListFolder(Utf8Of(root_.wstring()), &entries).ok());
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, kLevelName);
  EXPECT_FALSE(entries[0].is_folder);
  EXPECT_EQ(entries[1].name, kFolderName);
  EXPECT_TRUE(entries[1].is_folder);
}

// Folders are created (with their parents), copied into, emptied and
// removed under Unicode names.
TEST_F(WindowsFileSystemTest, FolderOperationsTakeUnicodePaths) {
  std::string folder = Path(std::string(kFolderName) + "\\3do \xC3\xBC");
  ASSERT_TRUE(fs_.CreateFolder(folder).ok());
  EXPECT_TRUE(stdfs::is_directory(WidePath(kFolderWideName) / L"3do \u00fc"));
  WriteBytes(WidePath(kLevelWideName), "level");
  std::string copy = folder + "\\" + kLevelName;
  ASSERT_TRUE(fs_.CopyFile(Path(kLevelName), copy).ok());
  EXPECT_EQ(Bytes(WidePath(kFolderWideName) / L"3do \u00fc" / kLevelWideName), "level");

  ASSERT_TRUE(fs_.DeleteFile(copy).ok());
  EXPECT_TRUE(stdfs::is_empty(WidePath(kFolderWideName) / L"3do \u00fc"));
  ASSERT_TRUE(fs_.RemoveFolder(folder).ok());
  EXPECT_FALSE(fs_.Exists(folder));
  ASSERT_TRUE(fs_.DeleteFile(Path(kLevelName)).ok());
  EXPECT_FALSE(stdfs::exists(WidePath(kLevelWideName)));
}

// Two different files of the same length in one folder are not the same
// file; a file reached through two spellings of its path is.
TEST_F(WindowsFileSystemTest, SameFileTellsFilesApart) {
  WriteBytes(WidePath(L"a.gob"), "1234");
  WriteBytes(WidePath(L"b.gob"), "1234");
  EXPECT_FALSE(fs_.SameFile(Path("a.gob"), Path("b.gob")));
  EXPECT_TRUE(fs_.SameFile(Path("a.gob"), Path("A.GOB")));
  EXPECT_TRUE(fs_.SameFile(Path("a.gob"), Utf8Of(root_.wstring()) + "/./a.gob"));
}

// A second copy onto the same name replaces the first (a second run with
// the same extra archive).
TEST_F(WindowsFileSystemTest, CopyReplacesAnEarlierCopy) {
  WriteBytes(WidePath(L"extras.gob"), "new");
  WriteBytes(WidePath(L"copy.gob"), "old copy");
  Status copied = fs_.CopyFile(Path("extras.gob"), Path("copy.gob"));
  EXPECT_TRUE(copied.ok()) << copied.message();
  EXPECT_EQ(Bytes(WidePath(L"copy.gob")), "new");
}

// Archives installed from a CD are read-only: their copy in the work folder
// must still be replaced by the next run and deleted by the clean-up.
TEST_F(WindowsFileSystemTest, CopyOfReadOnlyFileCanBeReplacedAndDeleted) {
  WriteBytes(WidePath(L"extras.gob"), "extra");
  stdfs::permissions(
      WidePath(L"extras.gob"),
      stdfs::perms::owner_write | stdfs::perms::group_write | stdfs::perms::others_write,
      stdfs::perm_options::remove);
  ASSERT_TRUE(fs_.CopyFile(Path("extras.gob"), Path("copy.gob")).ok());
  Status again = fs_.CopyFile(Path("extras.gob"), Path("copy.gob"));
  EXPECT_TRUE(again.ok()) << again.message();
  Status deleted = fs_.DeleteFile(Path("copy.gob"));
  EXPECT_TRUE(deleted.ok()) << deleted.message();
  EXPECT_FALSE(stdfs::exists(WidePath(L"copy.gob")));
}

// The command line scales a level into a work folder whose name has blanks
// and letters outside ASCII, under archives with such names.
TEST_F(WindowsFileSystemTest, ScaleRunWritesUnderUnicodeWorkFolder) {
  stdfs::create_directory(WidePath(kFolderWideName));
  WriteBytes(WidePath(kFolderWideName) / L"n\u00edvel.gob",
             TestArchive().Add("jkl\\niveau.jkl", "SECTION: HEADER\nWorld Gravity 4\n").Build());
  WriteBytes(WidePath(L"res2.gob"), TestArchive().Build());
  std::string archive = Path(std::string(kFolderName) + "\\n\xC3\xADvel.gob");
  std::vector<std::string> args = {"scale",     archive,      "jkl\\niveau.jkl",
                                   "2",         "--resource", Path("res2.gob"),
                                   "--gravity", "--out",      Path("Travail \xE2\x9C\x93")};
  std::vector<std::string> log;
  FakeProcessRunner runner(&log);
  ASSERT_EQ(RunCli(args, {fs_, runner, "", {}, stdout, stderr}), kExitOk);
  stdfs::path work = WidePath(L"Travail \u2713");
  EXPECT_EQ(Bytes(work / L"jkl" / L"niveau.jkl"), "SECTION: HEADER\r\nWorld Gravity 2\r\n");
  EXPECT_EQ(Bytes(work / L"episode.jk"),
            "\"n\xC3\xADvel.gob\"\r\nTYPE 1\r\nSEQ 1\r\n"
            "10: 0 1 LEVEL niveau.jkl 0 0 -1 -1\r\nend\r\n");
}

}  // namespace
}  // namespace jk

#endif  // _WIN32
