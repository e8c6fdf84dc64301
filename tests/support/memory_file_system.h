// A file system held in memory, for tests and fuzzing: fast, private to one
// test, and able to fail on purpose: a disk that fills up after so many
// bytes, folders in which nothing can be created, files that cannot be
// deleted. Paths use the native separator (on Windows "/" as well, kept as
// "\"); "" and "." stand for the current folder, which always exists.
#ifndef JKRESCALE_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
#define JKRESCALE_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace jk {

class MemoryFileSystem : public FileSystem {
 public:
  // Puts a file (its folder must exist, or is created) with `bytes` in it.
  void SetFile(const std::string& path, std::string bytes);
  // The bytes of a file; false when there is no such file.
  bool GetFile(const std::string& path, std::string* bytes) const;
  // Every file path, in name order.
  std::vector<std::string> FilePaths() const;
  // Every folder path, in name order.
  std::vector<std::string> FolderPaths() const;

  // After `bytes` more bytes have been written (to any file), every write
  // fails as on a full disk.
  void FailWritesAfter(int64_t bytes) { write_budget_ = bytes; }
  // Nothing can be created, replaced or removed directly inside `folder`.
  void MakeReadOnly(const std::string& folder) { read_only_.insert(Normal(folder)); }
  // The file or folder at `path` cannot be deleted.
  void MakeUndeletable(const std::string& path) { undeletable_.insert(Normal(path)); }

  bool Exists(const std::string& path) override;
  bool IsFile(const std::string& path) override;
  bool IsFolder(const std::string& path) override;
  Status ListFolder(const std::string& path, std::vector<FolderEntry>* entries) override;
  Status CreateFolder(const std::string& path) override;
  Status RemoveFolder(const std::string& path) override;
  Status DeleteFile(const std::string& path) override;
  Status CopyFile(const std::string& from, const std::string& to) override;
  Status RenameFile(const std::string& from, const std::string& to) override;
  bool SameFile(const std::string& a, const std::string& b) override;
  Status OpenRead(const std::string& path, std::unique_ptr<InputFile>* file) override;
  Status OpenWrite(const std::string& path, std::unique_ptr<OutputFile>* file) override;

 private:
  friend class MemoryOutputFile;

  static std::string Normal(const std::string& path);
  static std::string Parent(const std::string& normal);
  Status CheckWritable(const std::string& normal) const;
  // Appends to a file within the write budget; fails like a full disk.
  Status Append(const std::string& normal, std::string_view data);

  std::map<std::string, std::shared_ptr<std::string>> files_;
  std::set<std::string> folders_;
  std::set<std::string> read_only_;
  std::set<std::string> undeletable_;
  int64_t write_budget_ = INT64_MAX;
};

}  // namespace jk

#endif  // JKRESCALE_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
