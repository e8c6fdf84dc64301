// Helpers shared by the tests: a fresh temporary folder per test, archives
// built with TestArchive, and whole-file reads for exact comparisons.
#ifndef JKRESCALE_TESTS_TEST_UTIL_H_
#define JKRESCALE_TESTS_TEST_UTIL_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "archives/gob_archive.h"
#include "platform/real_file_system.h"
#include "test_archive.h"

namespace jk {

// A std::filesystem path as the program's UTF-8 text, and back.
std::string Utf8Text(const std::filesystem::path& path);
std::filesystem::path FsPath(const std::string& path);

// A new empty folder under the system's temporary folder, named `prefix`
// and a random part (test programs may run at the same time); its path.
std::string MakeTempFolder(const std::string& prefix);

// `path`, written with "/", with the native separator instead: a path the
// way the program builds it.
std::string Native(const std::string& path);

// `folder` joined with the relative path `name`, written with "/", in the
// native form.
std::string NativeJoin(const std::string& folder, const std::string& name);

// The bytes of a file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

// Writes `bytes` to `path`, creating its folders; false when it cannot.
bool WriteFile(const std::string& path, const std::string& bytes);

// An entry of an archive: its name and its bytes.
struct ArchiveEntry {
  std::string name;
  std::string bytes;
  bool operator==(const ArchiveEntry&) const = default;
};

// Every entry of an archive, as the program's reader finds them; a test
// failure when it does not open or an entry lies outside the file.
std::vector<ArchiveEntry> ReadArchiveEntries(FileSystem& fs, const std::string& path);

// A fresh temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  // The path of `name` (written with "/"), with native separators.
  std::string Path(const std::string& name) const { return NativeJoin(path_, name); }
  std::string operator/(const std::string& name) const { return Path(name); }
  // Writes `bytes` to Path(name), folders created; returns that path.
  std::string WriteFile(const std::string& name, const std::string& bytes) const;
  std::string WriteArchive(const std::string& name, const TestArchive& archive) const {
    return WriteFile(name, archive.Build());
  }

 private:
  std::string path_;
};

// The names in a folder, sorted, folders marked with a trailing "/".
std::vector<std::string> FolderNames(const std::string& path);

// A test with a folder of its own on the real file system, removed after it.
class TempFolderTest : public ::testing::Test {
 protected:
  // root_ joined with `name` ("a/b" allowed; native separators).
  std::string Path(const std::string& name) const { return temp_.Path(name); }
  // Writes `bytes` to Path(name) and returns that path.
  std::string WriteBytes(const std::string& name, const std::string& bytes) {
    return temp_.WriteFile(name, bytes);
  }
  std::string WriteArchive(const std::string& name, const TestArchive& writer) {
    return temp_.WriteArchive(name, writer);
  }

  // The entries of an archive as Walk visits them.
  std::vector<GobEntry> WalkArchive(const std::string& path);
  // The lines of the entry text of the archive's entry `index`.
  std::vector<std::string> EntryLines(const std::string& path, size_t index);

  TempFolder temp_;
  RealFileSystem fs_;
  const std::string& root_ = temp_.path();
};

}  // namespace jk

#endif  // JKRESCALE_TESTS_TEST_UTIL_H_
