// The file system as the rest of the program sees it. Every file and folder
// operation of the program goes through FileSystem, so that tests can put a
// fake in its place (to simulate a full disk, say) and so that each system's
// peculiarities stay in one implementation.
//
// Paths are native paths in UTF-8. Every failure is returned as a Status
// whose message names the path and the system's reason; its kind is
// kNotFound when the path (or a folder on it) is not there, kIoError for
// any other refusal of the system.
#ifndef JKRESCALE_PLATFORM_FILE_SYSTEM_H_
#define JKRESCALE_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace jk {

// A file open for reading, with its own read position. Reads are buffered:
// reading a level line by line costs no system call per line.
class InputFile {
 public:
  virtual ~InputFile() = default;

  virtual const std::string& path() const = 0;
  // The file's length in bytes, taken when it was opened.
  virtual int64_t Length() const = 0;
  // The byte position that the next read starts at.
  virtual int64_t Position() const = 0;
  virtual Status Seek(int64_t position) = 0;

  // Reads one line from the current position. A line ends at LF, at CR LF
  // or at a lone CR; the break is consumed and is not part of the line. The
  // read never goes at or past byte `limit`: a line that reaches the limit
  // ends there, without a break. Reading at the end of the file before the
  // limit is an error (the caller asked for bytes that are not there).
  virtual Status ReadLine(int64_t limit, std::string* line) = 0;

  // Reads a 32-bit signed little-endian integer.
  virtual Status ReadInt32(int32_t* value) = 0;

  // Reads up to `size` bytes from the current position into `bytes`, as
  // they are; fewer only when the file ends first (none at its end).
  virtual Status Read(size_t size, std::string* bytes) = 0;
};

// A file open for writing (created or replaced). Writes are buffered; a write
// that fails, now or when the buffer is flushed, makes the next call and
// Close() fail with the system's reason.
class OutputFile {
 public:
  virtual ~OutputFile() = default;

  virtual const std::string& path() const = 0;
  // Bytes written so far.
  virtual int64_t Position() const = 0;
  // Writes `text` followed by CR LF.
  virtual Status WriteLine(std::string_view text) = 0;
  // Writes `bytes` as they are.
  virtual Status Write(std::string_view bytes) = 0;
  // Flushes and closes. A file destroyed without Close() is closed quietly.
  virtual Status Close() = 0;
};

struct FolderEntry {
  std::string name;
  bool is_folder = false;
  // A symbolic link or junction. Folder scans never follow one: a link that
  // points back up the tree would make them recurse without end.
  bool is_link = false;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Whether something (a file or a folder) exists at `path`.
  virtual bool Exists(const std::string& path) = 0;
  virtual bool IsFile(const std::string& path) = 0;
  virtual bool IsFolder(const std::string& path) = 0;

  // The entries of a folder, hidden and system ones included, without "."
  // and "..", in the order the system returns them.
  virtual Status ListFolder(const std::string& path, std::vector<FolderEntry>* entries) = 0;

  // Creates a folder; a folder that exists already is not an error. Missing
  // parent folders are created too.
  virtual Status CreateFolder(const std::string& path) = 0;
  // Removes an empty folder.
  virtual Status RemoveFolder(const std::string& path) = 0;
  virtual Status DeleteFile(const std::string& path) = 0;
  // Copies a file, replacing `to` when it exists.
  virtual Status CopyFile(const std::string& from, const std::string& to) = 0;
  // Gives the file `from` the name `to` in the same folder, replacing `to`
  // when it exists: at every moment `to` is either the earlier file or the
  // whole new one.
  virtual Status RenameFile(const std::string& from, const std::string& to) = 0;
  // Whether the two paths name the same existing file.
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;

  virtual Status OpenRead(const std::string& path, std::unique_ptr<InputFile>* file) = 0;
  virtual Status OpenWrite(const std::string& path, std::unique_ptr<OutputFile>* file) = 0;

  // Whether several threads may use the file system at once, each with
  // files of its own.
  virtual bool AllowsConcurrentUse() const { return false; }
};

// Finds `name` in `folder` whatever its letter case (on systems whose file
// names respect case): the exact name when it exists, else the first entry
// that matches it with case ignored, else `folder` joined with `name`.
std::string FindIgnoringCase(FileSystem& fs, const std::string& folder, std::string_view name);

// `path` spelt as the file system holds it, for a path typed or stored in
// another letter case on a system that ignores case (the registry holds
// Steam's folder as "c:/program files (x86)/steam"): each name found in its
// folder's listing as listed there (the exact name first), a drive letter
// in upper case; from the first name not found on, the rest as given.
std::string SpeltAsOnDisk(FileSystem& fs, const std::string& path);

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_FILE_SYSTEM_H_
