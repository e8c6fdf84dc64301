// The file system of the machine the program runs on, over the standard
// library (std::filesystem and C streams with 64-bit positions).
#ifndef JKRESCALE_PLATFORM_REAL_FILE_SYSTEM_H_
#define JKRESCALE_PLATFORM_REAL_FILE_SYSTEM_H_

#include "platform/file_system.h"

namespace jk {

class RealFileSystem : public FileSystem {
 public:
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
  // The system's own calls may come from any thread.
  bool AllowsConcurrentUse() const override { return true; }
};

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_REAL_FILE_SYSTEM_H_
