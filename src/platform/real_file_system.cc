#include "platform/real_file_system.h"

#include "platform/buffered_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/link_check.h"

namespace jk {

namespace fs = std::filesystem;

namespace {

// Paths are UTF-8 inside the program; std::filesystem on Windows wants them
// marked as such, or it would read them in the ANSI code page.
fs::path ToFsPath(const std::string& path) {
  return fs::path(std::u8string(path.begin(), path.end()));
}

std::string Reason(const std::error_code& ec) { return ec.message(); }
std::string ErrnoReason(int err) { return std::strerror(err); }

// A failure of the system about `path`: "not found" when the path or one of
// its folders is not there, an I/O error otherwise.
bool IsMissing(const std::error_code& ec) {
  if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory) {
    return true;
  }
#ifdef _WIN32
  // ERROR_FILE_NOT_FOUND and ERROR_PATH_NOT_FOUND, which not every standard
  // library maps to the portable conditions above.
  return ec.category() == std::system_category() && (ec.value() == 2 || ec.value() == 3);
#else
  return false;
#endif
}

Status SystemFailure(const std::string& path, const std::string& what, const std::error_code& ec) {
  if (IsMissing(ec)) return Status::NotFound(path, what + ": " + Reason(ec));
  return Status::IoError(path, what + ": " + Reason(ec));
}

Status ErrnoFailure(const std::string& path, const std::string& what, int err) {
  return SystemFailure(path, what, std::error_code(err, std::generic_category()));
}

// Clears the read-only attribute on Windows. A failure shows later, when
// the file cannot be replaced or deleted, with the system's reason.
void AddOwnerWrite(const fs::path& path) {
  std::error_code ec;
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
}

std::FILE* OpenCFile(const std::string& path, const char* mode) {
#ifdef _WIN32
  std::wstring wmode(mode, mode + std::strlen(mode));
  return _wfopen(ToFsPath(path).c_str(), wmode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

int SeekCFile(std::FILE* f, int64_t position) {
#ifdef _WIN32
  return _fseeki64(f, position, SEEK_SET);
#else
  return fseeko(f, static_cast<off_t>(position), SEEK_SET);
#endif
}

// Has the C library pass reads and writes straight to the system: the
// buffered files hold a buffer of their own, and a second one under it
// would split each write of a file in two (the whole blocks, then the rest
// at the close) and ask the system for the file's block size first.
void UnbufferCFile(std::FILE* f) { std::setvbuf(f, nullptr, _IONBF, 0); }

class RealInputFile : public BufferedInputFile {
 public:
  RealInputFile(std::string path, std::FILE* file, int64_t length)
      : BufferedInputFile(std::move(path), length), file_(file) {
    UnbufferCFile(file_);
  }
  ~RealInputFile() override { std::fclose(file_); }

 protected:
  Status ReadAt(int64_t position, char* data, size_t size, size_t* read) override {
    *read = 0;
    if (position != file_position_) {
      if (SeekCFile(file_, position) != 0) {
        return Status::IoError(path(), "cannot seek: " + ErrnoReason(errno));
      }
      file_position_ = position;
    }
    *read = std::fread(data, 1, size, file_);
    file_position_ += int64_t(*read);
    if (*read == 0 && std::ferror(file_)) {
      return Status::IoError(path(), "cannot read: " + ErrnoReason(errno));
    }
    return Status::Ok();
  }

 private:
  std::FILE* file_;
  int64_t file_position_ = 0;
};

class RealOutputFile : public BufferedOutputFile {
 public:
  RealOutputFile(std::string path, std::FILE* file)
      : BufferedOutputFile(std::move(path)), file_(file) {
    UnbufferCFile(file_);
  }
  ~RealOutputFile() override {
    if (file_) std::fclose(file_);
  }

 protected:
  Status WriteRaw(std::string_view data) override {
    if (std::fwrite(data.data(), 1, data.size(), file_) != data.size()) {
      return Status::IoError(path(), "cannot write: " + ErrnoReason(errno));
    }
    return Status::Ok();
  }

  Status CloseRaw() override {
    int failed = std::fclose(file_);
    file_ = nullptr;
    if (failed != 0) return Status::IoError(path(), "cannot write: " + ErrnoReason(errno));
    return Status::Ok();
  }

 private:
  std::FILE* file_;
};

}  // namespace

bool RealFileSystem::Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(ToFsPath(path), ec));
}

bool RealFileSystem::IsFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(fs::status(ToFsPath(path), ec));
}

bool RealFileSystem::IsFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(fs::status(ToFsPath(path), ec));
}

Status RealFileSystem::ListFolder(const std::string& path, std::vector<FolderEntry>* entries) {
  entries->clear();
  std::error_code ec;
  fs::directory_iterator it(ToFsPath(path), ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    FolderEntry entry;
    std::u8string name = it->path().filename().u8string();
    entry.name.assign(name.begin(), name.end());
    std::error_code type_ec;
    entry.is_link = IsLink(it->path());
    entry.is_folder = it->is_directory(type_ec);
    entries->push_back(std::move(entry));
  }
  if (ec) return SystemFailure(path, "cannot list the folder", ec);
  return Status::Ok();
}

Status RealFileSystem::CreateFolder(const std::string& path) {
  std::error_code ec;
  fs::create_directories(ToFsPath(path), ec);
  if (ec && !IsFolder(path)) {
    return Status::IoError(path, "cannot create the folder: " + Reason(ec));
  }
  if (!IsFolder(path)) return Status::IoError(path, "is not a folder");
  return Status::Ok();
}

Status RealFileSystem::RemoveFolder(const std::string& path) {
  std::error_code ec;
  if (!IsFolder(path)) return Status::NotFound(path, "is not a folder");
  if (!fs::remove(ToFsPath(path), ec) || ec) {
    if (!ec) return Status::NotFound(path, "cannot remove the folder: it is not there");
    return SystemFailure(path, "cannot remove the folder", ec);
  }
  return Status::Ok();
}

Status RealFileSystem::DeleteFile(const std::string& path) {
  std::error_code ec;
  // A link is deleted itself, whatever it points to (on Windows a link to a
  // folder, or a junction, counts as a folder to std::filesystem).
  if (!IsLink(ToFsPath(path)) && fs::is_directory(fs::symlink_status(ToFsPath(path), ec))) {
    return Status::IoError(path, "is a folder, not a file");
  }
  if (!fs::remove(ToFsPath(path), ec) || ec) {
    if (!ec) return Status::NotFound(path, "cannot delete: it is not there");
    return SystemFailure(path, "cannot delete", ec);
  }
  return Status::Ok();
}

Status RealFileSystem::CopyFile(const std::string& from, const std::string& to) {
  if (SameFile(from, to)) return Status::Ok();  // copying onto itself would empty it
  // An earlier file at `to` is deleted first rather than overwritten: the
  // std::filesystem of MinGW's GCC 12 takes any existing target on the same
  // drive for the source itself and refuses the copy.
  fs::path target = ToFsPath(to);
  std::error_code ec;
  if (fs::is_regular_file(target, ec)) {
    AddOwnerWrite(target);
    if (!fs::remove(target, ec) && ec) {
      return Status::IoError(to, "cannot replace: " + Reason(ec));
    }
  }
  fs::copy_file(ToFsPath(from), target, fs::copy_options::none, ec);
  if (ec) return SystemFailure(from, "cannot copy to '" + to + "'", ec);
  // The copy takes the source's permissions, and archives installed from a
  // CD are read-only; but the copy is the program's own file, which the next
  // run replaces and the clean-up deletes, and Windows refuses both on a
  // read-only file.
  AddOwnerWrite(target);
  return Status::Ok();
}

Status RealFileSystem::RenameFile(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::rename(ToFsPath(from), ToFsPath(to), ec);
  if (ec) return SystemFailure(to, "cannot replace with '" + from + "'", ec);
  return Status::Ok();
}

bool RealFileSystem::SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return fs::equivalent(ToFsPath(a), ToFsPath(b), ec) && !ec;
}

Status RealFileSystem::OpenRead(const std::string& path, std::unique_ptr<InputFile>* file) {
  if (IsFolder(path)) return Status::IoError(path, "is a folder, not a file");
  std::FILE* f = OpenCFile(path, "rb");
  if (!f) return ErrnoFailure(path, "cannot open", errno);
  std::error_code ec;
  auto size = fs::file_size(ToFsPath(path), ec);
  if (ec) {
    std::fclose(f);
    return SystemFailure(path, "cannot get the length", ec);
  }
  *file = std::make_unique<RealInputFile>(path, f, static_cast<int64_t>(size));
  return Status::Ok();
}

Status RealFileSystem::OpenWrite(const std::string& path, std::unique_ptr<OutputFile>* file) {
  std::FILE* f = OpenCFile(path, "wb");
  if (!f) return ErrnoFailure(path, "cannot create", errno);
  *file = std::make_unique<RealOutputFile>(path, f);
  return Status::Ok();
}

}  // namespace jk
