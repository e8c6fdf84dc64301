#include "memory_file_system.h"

#include <algorithm>
#include <cstring>

#include "platform/buffered_file.h"
#include "platform/path.h"

namespace jk {

namespace {

class MemoryInputFile : public BufferedInputFile {
 public:
  MemoryInputFile(std::string path, std::shared_ptr<const std::string> bytes)
      : BufferedInputFile(std::move(path), int64_t(bytes->size())), bytes_(std::move(bytes)) {}

 protected:
  Status ReadAt(int64_t position, char* data, size_t size, size_t* read) override {
    *read = 0;
    if (position >= int64_t(bytes_->size())) return Status::Ok();
    *read = std::min(size, bytes_->size() - size_t(position));
    std::memcpy(data, bytes_->data() + position, *read);
    return Status::Ok();
  }

 private:
  // A snapshot: the file as it was when opened.
  std::shared_ptr<const std::string> bytes_;
};

}  // namespace

class MemoryOutputFile : public BufferedOutputFile {
 public:
  MemoryOutputFile(MemoryFileSystem* fs, std::string path, std::string normal)
      : BufferedOutputFile(std::move(path)), fs_(fs), normal_(std::move(normal)) {}

 protected:
  Status WriteRaw(std::string_view data) override { return fs_->Append(normal_, data); }
  Status CloseRaw() override { return Status::Ok(); }

 private:
  MemoryFileSystem* fs_;
  std::string normal_;
};

std::string MemoryFileSystem::Normal(const std::string& path) {
  // One spelling per path: on Windows "/" separates as well as "\".
  std::string normal = path;
  std::replace_if(normal.begin(), normal.end(), IsPathSeparator, kPathSeparator);
  while (normal.size() > 1 && IsPathSeparator(normal.back())) normal.pop_back();
  if (normal == ".") normal.clear();
  if (normal.starts_with(std::string(".") + kPathSeparator)) normal.erase(0, 2);
  return normal;
}

std::string MemoryFileSystem::Parent(const std::string& normal) {
  std::string folder = FolderOf(normal);
  if (folder.size() > 1) folder.pop_back();  // keep a lone root separator
  return folder;
}

bool MemoryFileSystem::Exists(const std::string& path) { return IsFile(path) || IsFolder(path); }

bool MemoryFileSystem::IsFile(const std::string& path) { return files_.count(Normal(path)) > 0; }

bool MemoryFileSystem::IsFolder(const std::string& path) {
  std::string normal = Normal(path);
  return normal.empty() || (normal.size() == 1 && IsPathSeparator(normal[0])) ||
         folders_.count(normal) > 0;
}

Status MemoryFileSystem::ListFolder(const std::string& path, std::vector<FolderEntry>* entries) {
  entries->clear();
  std::string normal = Normal(path);
  if (!IsFolder(normal)) return Status::NotFound(path, "cannot list the folder: no such folder");
  for (const auto& [name, bytes] : files_) {
    if (Parent(name) == normal) entries->push_back({FileNameOf(name), false, false});
  }
  for (const std::string& name : folders_) {
    if (Parent(name) == normal) entries->push_back({FileNameOf(name), true, false});
  }
  return Status::Ok();
}

Status MemoryFileSystem::CheckWritable(const std::string& normal) const {
  if (read_only_.count(Parent(normal))) {
    return Status::IoError(normal, "permission denied (read-only folder)");
  }
  return Status::Ok();
}

Status MemoryFileSystem::CreateFolder(const std::string& path) {
  std::string normal = Normal(path);
  if (IsFolder(normal)) return Status::Ok();
  if (IsFile(normal)) return Status::IoError(path, "cannot create the folder: a file is there");
  std::string parent = Parent(normal);
  if (!parent.empty()) JK_RETURN_IF_ERROR(CreateFolder(parent));
  JK_RETURN_IF_ERROR(CheckWritable(normal));
  folders_.insert(normal);
  return Status::Ok();
}

Status MemoryFileSystem::RemoveFolder(const std::string& path) {
  std::string normal = Normal(path);
  if (!folders_.count(normal)) return Status::NotFound(path, "is not a folder");
  std::vector<FolderEntry> inside;
  JK_RETURN_IF_ERROR(ListFolder(normal, &inside));
  if (!inside.empty()) return Status::IoError(path, "cannot remove the folder: not empty");
  if (undeletable_.count(normal)) return Status::IoError(path, "cannot remove: in use");
  JK_RETURN_IF_ERROR(CheckWritable(normal));
  folders_.erase(normal);
  return Status::Ok();
}

Status MemoryFileSystem::DeleteFile(const std::string& path) {
  std::string normal = Normal(path);
  if (!files_.count(normal)) return Status::NotFound(path, "cannot delete: it is not there");
  if (undeletable_.count(normal)) return Status::IoError(path, "cannot delete: in use");
  JK_RETURN_IF_ERROR(CheckWritable(normal));
  files_.erase(normal);
  return Status::Ok();
}

Status MemoryFileSystem::CopyFile(const std::string& from, const std::string& to) {
  std::string bytes;
  if (!GetFile(from, &bytes)) return Status::NotFound(from, "cannot copy: no such file");
  if (SameFile(from, to)) return Status::Ok();
  std::unique_ptr<OutputFile> out;
  JK_RETURN_IF_ERROR(OpenWrite(to, &out));
  std::string normal = Normal(to);
  JK_RETURN_IF_ERROR(Append(normal, bytes));
  return out->Close();
}

Status MemoryFileSystem::RenameFile(const std::string& from, const std::string& to) {
  std::string normal_from = Normal(from), normal_to = Normal(to);
  auto it = files_.find(normal_from);
  if (it == files_.end()) return Status::NotFound(from, "cannot rename: no such file");
  if (folders_.count(normal_to)) return Status::IoError(to, "cannot replace: is a folder");
  if (undeletable_.count(normal_to)) return Status::IoError(to, "cannot replace: in use");
  JK_RETURN_IF_ERROR(CheckWritable(normal_to));
  auto bytes = std::move(it->second);
  files_.erase(it);
  files_[normal_to] = std::move(bytes);
  return Status::Ok();
}

bool MemoryFileSystem::SameFile(const std::string& a, const std::string& b) {
  return IsFile(a) && Normal(a) == Normal(b);
}

Status MemoryFileSystem::OpenRead(const std::string& path, std::unique_ptr<InputFile>* file) {
  auto it = files_.find(Normal(path));
  if (it == files_.end()) return Status::NotFound(path, "cannot open: no such file");
  auto snapshot = std::make_shared<const std::string>(*it->second);
  *file = std::make_unique<MemoryInputFile>(path, std::move(snapshot));
  return Status::Ok();
}

Status MemoryFileSystem::OpenWrite(const std::string& path, std::unique_ptr<OutputFile>* file) {
  std::string normal = Normal(path);
  if (IsFolder(normal)) return Status::IoError(path, "cannot create: a folder is there");
  if (!IsFolder(Parent(normal))) return Status::NotFound(path, "cannot create: no such folder");
  JK_RETURN_IF_ERROR(CheckWritable(normal));
  files_[normal] = std::make_shared<std::string>();
  *file = std::make_unique<MemoryOutputFile>(this, path, normal);
  return Status::Ok();
}

Status MemoryFileSystem::Append(const std::string& normal, std::string_view data) {
  auto it = files_.find(normal);
  if (it == files_.end()) return Status::IoError(normal, "cannot write: the file was removed");
  size_t room = size_t(std::min<int64_t>(write_budget_, int64_t(data.size())));
  it->second->append(data.substr(0, room));
  write_budget_ -= int64_t(room);
  if (room < data.size()) return Status::IoError(normal, "cannot write: no space left on device");
  return Status::Ok();
}

void MemoryFileSystem::SetFile(const std::string& path, std::string bytes) {
  std::string normal = Normal(path);
  std::string parent = Parent(normal);
  if (!parent.empty() && !IsFolder(parent)) {
    // Test set-up: make the folders whatever their protection.
    for (std::string folder = parent; !folder.empty() && !IsFolder(folder);
         folder = Parent(folder)) {
      folders_.insert(folder);
    }
  }
  files_[normal] = std::make_shared<std::string>(std::move(bytes));
}

bool MemoryFileSystem::GetFile(const std::string& path, std::string* bytes) const {
  auto it = files_.find(Normal(path));
  if (it == files_.end()) return false;
  *bytes = *it->second;
  return true;
}

std::vector<std::string> MemoryFileSystem::FilePaths() const {
  std::vector<std::string> paths;
  for (const auto& [name, bytes] : files_) paths.push_back(name);
  return paths;
}

std::vector<std::string> MemoryFileSystem::FolderPaths() const {
  return {folders_.begin(), folders_.end()};
}

}  // namespace jk
