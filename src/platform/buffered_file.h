// The buffering and line splitting that every InputFile and OutputFile of the
// program shares; an implementation supplies only the raw reads and writes.
#ifndef JKRESCALE_PLATFORM_BUFFERED_FILE_H_
#define JKRESCALE_PLATFORM_BUFFERED_FILE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace jk {

class BufferedInputFile : public InputFile {
 public:
  BufferedInputFile(std::string path, int64_t length);

  const std::string& path() const override { return path_; }
  int64_t Length() const override { return length_; }
  int64_t Position() const override { return buffer_start_ + int64_t(next_); }
  Status Seek(int64_t position) override;
  Status ReadLine(int64_t limit, std::string* line) override;
  Status ReadInt32(int32_t* value) override;
  Status Read(size_t size, std::string* bytes) override;

 protected:
  // Reads up to `size` bytes from byte `position` into `data`; *read is the
  // number read, 0 at the end of the file.
  virtual Status ReadAt(int64_t position, char* data, size_t size, size_t* read) = 0;

 private:
  // Refills the buffer from the current position; size_ is 0 at the end.
  Status Fill();
  // Makes at least one unread byte available; false in *available at the end.
  Status Available(bool* available);
  Status EndOfFile() const;

  static constexpr size_t kBufferSize = 1 << 16;

  std::string path_;
  int64_t length_;
  int64_t buffer_start_ = 0;  // file position of buffer_[0]
  size_t next_ = 0;           // next unread byte in buffer_
  size_t size_ = 0;           // bytes held in buffer_
  std::unique_ptr<char[]> buffer_;
};

class BufferedOutputFile : public OutputFile {
 public:
  explicit BufferedOutputFile(std::string path) : path_(std::move(path)) {}

  const std::string& path() const override { return path_; }
  int64_t Position() const override { return written_ + int64_t(buffer_.size()); }
  Status WriteLine(std::string_view text) override;
  Status Write(std::string_view bytes) override;
  Status Close() override;

 protected:
  // Writes all of `data` or fails.
  virtual Status WriteRaw(std::string_view data) = 0;
  // Releases the file; called once, by Close().
  virtual Status CloseRaw() = 0;

 private:
  static constexpr size_t kFlushSize = 1 << 16;
  // Appends `bytes`, then `more`, to the buffer, and writes it out when full.
  Status Append(std::string_view bytes, std::string_view more);
  void Flush();

  std::string path_;
  std::string buffer_;
  int64_t written_ = 0;
  bool closed_ = false;
  Status status_;
};

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_BUFFERED_FILE_H_
