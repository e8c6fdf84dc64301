#include "test_util.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace jk {

namespace stdfs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> FolderNames(const std::string& path) {
  std::vector<std::string> names;
  for (const auto& entry : stdfs::directory_iterator(path)) {
    names.push_back(entry.path().filename().string() + (entry.is_directory() ? "/" : ""));
  }
  std::sort(names.begin(), names.end());
  return names;
}

void TempFolderTest::SetUp() {
  // A random name: test programs may run in parallel (ctest -j).
  std::random_device random;
  root_ = (stdfs::temp_directory_path() /
           ("jkrescale_test_" + std::to_string(random()) + std::to_string(random())))
              .string();
  stdfs::create_directories(root_);
}

void TempFolderTest::TearDown() { stdfs::remove_all(root_); }

std::string TempFolderTest::Path(const std::string& name) const {
  return root_ + "/" + name;
}

std::string TempFolderTest::WriteBytes(const std::string& name, const std::string& bytes) {
  std::string path = Path(name);
  stdfs::create_directories(stdfs::path(path).parent_path());
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  return path;
}

std::vector<GobEntry> TempFolderTest::WalkArchive(const std::string& path) {
  std::unique_ptr<GobArchive> archive;
  std::vector<GobEntry> entries;
  Status status = GobArchive::Open(fs_, path, &archive);
  EXPECT_TRUE(status.ok()) << status.message();
  if (!status.ok()) return entries;
  status = archive->Walk([&](const GobEntry& e) {
    entries.push_back(e);
    return true;
  });
  EXPECT_TRUE(status.ok()) << status.message();
  return entries;
}

std::vector<std::string> TempFolderTest::EntryLines(const std::string& path, size_t index) {
  std::vector<GobEntry> entries = WalkArchive(path);
  std::vector<std::string> lines;
  if (index >= entries.size()) {
    ADD_FAILURE() << "no entry " << index;
    return lines;
  }
  std::unique_ptr<InputFile> file;
  EXPECT_TRUE(fs_.OpenRead(path, &file).ok());
  Status status = ReadEntryText(*file, entries[index].offset, entries[index].length,
                                [&](std::string& line) {
                                  lines.push_back(line);
                                  return Status::Ok();
                                });
  EXPECT_TRUE(status.ok()) << status.message();
  return lines;
}

}  // namespace jk
