// Helpers shared by the tests: a fresh temporary folder per test, archives
// built with GobWriter, and whole-file reads for exact comparisons.
#ifndef JKRESCALE_TESTS_TEST_UTIL_H_
#define JKRESCALE_TESTS_TEST_UTIL_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archives/gob_archive.h"
#include "gob_writer.h"
#include "platform/real_file_system.h"

namespace jk {

// The bytes of a file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

// The names in a folder, sorted, folders marked with a trailing "/".
std::vector<std::string> FolderNames(const std::string& path);

// A test with a folder of its own on the real file system, removed after it.
class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // root_ joined with `name` ("a/b" allowed).
  std::string Path(const std::string& name) const;
  // Writes `bytes` to Path(name) and returns that path.
  std::string WriteBytes(const std::string& name, const std::string& bytes);
  std::string WriteArchive(const std::string& name, const GobWriter& writer) {
    return WriteBytes(name, writer.Build());
  }

  // The entries of an archive as Walk visits them.
  std::vector<GobEntry> WalkArchive(const std::string& path);
  // The lines of the entry text of the archive's entry `index`.
  std::vector<std::string> EntryLines(const std::string& path, size_t index);

  RealFileSystem fs_;
  std::string root_;
};

}  // namespace jk

#endif  // JKRESCALE_TESTS_TEST_UTIL_H_
