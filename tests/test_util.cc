#include "test_util.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/path.h"

namespace jk {

namespace stdfs = std::filesystem;

std::string Utf8Text(const stdfs::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// Paths are UTF-8 inside the program; std::filesystem on Windows would read
// a plain string in the ANSI code page.
stdfs::path FsPath(const std::string& path) {
  return stdfs::path(std::u8string(path.begin(), path.end()));
}

std::string MakeTempFolder(const std::string& prefix) {
  std::random_device random;
  stdfs::path folder =
      stdfs::temp_directory_path() / (prefix + std::to_string(random()) + std::to_string(random()));
  stdfs::create_directories(folder);
  return Utf8Text(folder);
}

std::string Native(const std::string& path) {
  std::string native = path;
  std::replace(native.begin(), native.end(), '/', kPathSeparator);
  return native;
}

std::string NativeJoin(const std::string& folder, const std::string& name) {
  return JoinPath(folder, Native(name));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> FolderNames(const std::string& path) {
  std::vector<std::string> names;
  for (const auto& entry : stdfs::directory_iterator(FsPath(path))) {
    names.push_back(Utf8Text(entry.path().filename()) + (entry.is_directory() ? "/" : ""));
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::error_code ec;
  stdfs::create_directories(FsPath(path).parent_path(), ec);
  std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  return bool(out);
}

std::vector<ArchiveEntry> ReadArchiveEntries(FileSystem& fs, const std::string& path) {
  std::unique_ptr<GobArchive> archive;
  Status opened = GobArchive::Open(fs, path, &archive);
  EXPECT_TRUE(opened.ok()) << opened.message();
  if (!opened.ok()) return {};
  std::vector<GobEntry> entries;
  Status walked = archive->Walk([&](const GobEntry& entry) {
    entries.push_back(entry);
    return true;
  });
  EXPECT_TRUE(walked.ok()) << walked.message();
  EXPECT_EQ(int32_t(entries.size()), archive->entry_count()) << path;
  std::vector<ArchiveEntry> read;
  for (const GobEntry& entry : entries) {
    EXPECT_TRUE(entry.inside) << entry.name;
    std::string bytes;
    EXPECT_TRUE(archive->file().Seek(entry.offset).ok());
    EXPECT_TRUE(archive->file().Read(size_t(entry.length), &bytes).ok());
    read.push_back({entry.name, bytes});
  }
  return read;
}

TempFolder::TempFolder() : path_(MakeTempFolder("jkrescale-test-")) {}

TempFolder::~TempFolder() {
  std::error_code ec;
  stdfs::remove_all(FsPath(path_), ec);
}

std::string TempFolder::WriteFile(const std::string& name, const std::string& bytes) const {
  std::string path = Path(name);
  EXPECT_TRUE(jk::WriteFile(path, bytes)) << path;
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
  Status status =
      ReadEntryText(*file, entries[index].offset, entries[index].length, [&](std::string& line) {
        lines.push_back(line);
        return Status::Ok();
      });
  EXPECT_TRUE(status.ok()) << status.message();
  return lines;
}

}  // namespace jk
