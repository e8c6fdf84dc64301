#include "platform/real_file_system.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

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

class RealInputFile : public InputFile {
 public:
  RealInputFile(std::string path, std::FILE* file, int64_t length)
      : path_(std::move(path)), file_(file), length_(length) {}
  ~RealInputFile() override { std::fclose(file_); }

  const std::string& path() const override { return path_; }
  int64_t Length() const override { return length_; }
  int64_t Position() const override { return buffer_start_ + next_; }

  Status Seek(int64_t position) override {
    if (position < 0) return Status::FileError(path_, "seek to a negative position");
    // A seek inside the buffer keeps it: the directory walk seeks to every
    // entry, and entries lie next to each other.
    if (position >= buffer_start_ && position <= buffer_start_ + int64_t(size_)) {
      next_ = size_t(position - buffer_start_);
      return Status::Ok();
    }
    if (SeekCFile(file_, position) != 0) {
      return Status::FileError(path_, "cannot seek: " + ErrnoReason(errno));
    }
    buffer_start_ = position;
    next_ = size_ = 0;
    return Status::Ok();
  }

  Status ReadLine(int64_t limit, std::string* line) override {
    line->clear();
    while (Position() < limit) {
      if (next_ == size_) {
        JK_RETURN_IF_ERROR(Fill());
        if (size_ == 0) {
          if (!line->empty()) return Status::Ok();  // last line of the file
          return Status::FileError(path_, "unexpected end of file at byte " +
                                              std::to_string(Position()));
        }
      }
      size_t stop = size_;
      if (limit - buffer_start_ < int64_t(stop)) stop = size_t(limit - buffer_start_);
      const char* begin = buffer_ + next_;
      const char* end = buffer_ + stop;
      const char* brk = begin;
      while (brk != end && *brk != '\n' && *brk != '\r') ++brk;
      line->append(begin, brk);
      next_ = size_t(brk - buffer_);
      if (brk == end) continue;  // the line goes on past the buffer
      ++next_;
      if (*brk == '\r') return SkipLineFeedAfterReturn(limit);
      return Status::Ok();
    }
    return Status::Ok();
  }

  Status ReadInt32(int32_t* value) override {
    unsigned char bytes[4];
    for (unsigned char& b : bytes) {
      if (next_ == size_) {
        JK_RETURN_IF_ERROR(Fill());
        if (size_ == 0) {
          return Status::FileError(path_, "unexpected end of file at byte " +
                                              std::to_string(Position()));
        }
      }
      b = static_cast<unsigned char>(buffer_[next_++]);
    }
    uint32_t u = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 |
                 uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    *value = static_cast<int32_t>(u);
    return Status::Ok();
  }

 private:
  // CR LF is one break: after a CR, a LF that follows (within the limit) is
  // consumed too.
  Status SkipLineFeedAfterReturn(int64_t limit) {
    if (Position() >= limit) return Status::Ok();
    if (next_ == size_) {
      JK_RETURN_IF_ERROR(Fill());
      if (size_ == 0) return Status::Ok();
    }
    if (buffer_[next_] == '\n') ++next_;
    return Status::Ok();
  }

  // Refills the buffer from the current position; size_ is 0 at the end.
  Status Fill() {
    buffer_start_ += int64_t(size_);
    next_ = size_ = 0;
    size_ = std::fread(buffer_, 1, sizeof buffer_, file_);
    if (size_ == 0 && std::ferror(file_)) {
      return Status::FileError(path_, "cannot read: " + ErrnoReason(errno));
    }
    return Status::Ok();
  }

  std::string path_;
  std::FILE* file_;
  int64_t length_;
  int64_t buffer_start_ = 0;  // file position of buffer_[0]
  size_t next_ = 0;           // next unread byte in buffer_
  size_t size_ = 0;           // bytes held in buffer_
  char buffer_[1 << 16];
};

class RealOutputFile : public OutputFile {
 public:
  RealOutputFile(std::string path, std::FILE* file)
      : path_(std::move(path)), file_(file) {}
  ~RealOutputFile() override {
    if (file_) std::fclose(file_);
  }

  const std::string& path() const override { return path_; }
  int64_t Position() const override { return written_ + int64_t(buffer_.size()); }

  Status WriteLine(std::string_view text) override {
    if (!status_.ok()) return status_;
    buffer_.append(text);
    buffer_.append("\r\n");
    if (buffer_.size() >= kFlushSize) Flush();
    return status_;
  }

  Status Close() override {
    if (!file_) return status_;
    if (status_.ok()) Flush();
    if (std::fclose(file_) != 0 && status_.ok()) {
      status_ = Status::FileError(path_, "cannot write: " + ErrnoReason(errno));
    }
    file_ = nullptr;
    return status_;
  }

 private:
  static constexpr size_t kFlushSize = 1 << 16;

  void Flush() {
    if (buffer_.empty()) return;
    size_t n = std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    if (n != buffer_.size()) {
      status_ = Status::FileError(path_, "cannot write: " + ErrnoReason(errno));
    }
    written_ += int64_t(n);
    buffer_.clear();
  }

  std::string path_;
  std::FILE* file_;
  std::string buffer_;
  int64_t written_ = 0;
  Status status_;
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

Status RealFileSystem::ListFolder(const std::string& path,
                                  std::vector<FolderEntry>* entries) {
  entries->clear();
  std::error_code ec;
  fs::directory_iterator it(ToFsPath(path), ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    FolderEntry entry;
    std::u8string name = it->path().filename().u8string();
    entry.name.assign(name.begin(), name.end());
    std::error_code type_ec;
    entry.is_link = it->is_symlink(type_ec);
    entry.is_folder = it->is_directory(type_ec);
    entries->push_back(std::move(entry));
  }
  if (ec) return Status::FileError(path, "cannot list the folder: " + Reason(ec));
  return Status::Ok();
}

Status RealFileSystem::CreateFolder(const std::string& path) {
  std::error_code ec;
  fs::create_directories(ToFsPath(path), ec);
  if (ec && !IsFolder(path)) {
    return Status::FileError(path, "cannot create the folder: " + Reason(ec));
  }
  if (!IsFolder(path)) return Status::FileError(path, "is not a folder");
  return Status::Ok();
}

Status RealFileSystem::RemoveFolder(const std::string& path) {
  std::error_code ec;
  if (!IsFolder(path)) return Status::FileError(path, "is not a folder");
  if (!fs::remove(ToFsPath(path), ec) || ec) {
    return Status::FileError(path, "cannot remove the folder: " +
                                       (ec ? Reason(ec) : "it is not there"));
  }
  return Status::Ok();
}

Status RealFileSystem::DeleteFile(const std::string& path) {
  std::error_code ec;
  if (IsFolder(path)) return Status::FileError(path, "is a folder, not a file");
  if (!fs::remove(ToFsPath(path), ec) || ec) {
    return Status::FileError(path, "cannot delete: " +
                                       (ec ? Reason(ec) : "it is not there"));
  }
  return Status::Ok();
}

Status RealFileSystem::CopyFile(const std::string& from, const std::string& to) {
  if (SameFile(from, to)) return Status::Ok();  // copying onto itself would empty it
  std::error_code ec;
  fs::copy_file(ToFsPath(from), ToFsPath(to), fs::copy_options::overwrite_existing, ec);
  if (ec) {
    return Status::Error("cannot copy '" + from + "' to '" + to + "': " + Reason(ec));
  }
  return Status::Ok();
}

bool RealFileSystem::SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return fs::equivalent(ToFsPath(a), ToFsPath(b), ec) && !ec;
}

Status RealFileSystem::OpenRead(const std::string& path,
                                std::unique_ptr<InputFile>* file) {
  if (IsFolder(path)) return Status::FileError(path, "is a folder, not a file");
  std::FILE* f = OpenCFile(path, "rb");
  if (!f) return Status::FileError(path, "cannot open: " + ErrnoReason(errno));
  std::error_code ec;
  auto size = fs::file_size(ToFsPath(path), ec);
  if (ec) {
    std::fclose(f);
    return Status::FileError(path, "cannot get the length: " + Reason(ec));
  }
  *file = std::make_unique<RealInputFile>(path, f, static_cast<int64_t>(size));
  return Status::Ok();
}

Status RealFileSystem::OpenWrite(const std::string& path,
                                 std::unique_ptr<OutputFile>* file) {
  std::FILE* f = OpenCFile(path, "wb");
  if (!f) return Status::FileError(path, "cannot create: " + ErrnoReason(errno));
  *file = std::make_unique<RealOutputFile>(path, f);
  return Status::Ok();
}

}  // namespace jk
