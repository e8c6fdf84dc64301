// The GOB archive format of the game (".gob") and its expansion (".goo"), as
// this program reads it. Archives of the game are only ever read; the
// archives this program writes (its mods, archives/gob_writer.h) have the
// same layout.
//
// Layout (all integers 32-bit signed little-endian, positions from 0):
//   0   signature            never read
//   4   entry base B         file position of entry 0's length field
//   8   directory position D file position of the entry count
//   D   entry count C
// Entry i occupies 136 bytes at B - 4 + 136 i: offset, length, and a name
// field of 128 bytes padded with NUL ("jkl\name.jkl", "3do\name.3do", ...).
//
// Archives come from downloaded mods, so damage is an expected input: an
// archive whose header or entry count lies outside the file cannot be opened;
// the directory walk ends at the first entry that does not lie wholly inside
// the file; an entry whose data lies outside the file is reported as such and
// its data is never read.
#ifndef JKRESCALE_ARCHIVES_GOB_ARCHIVE_H_
#define JKRESCALE_ARCHIVES_GOB_ARCHIVE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace jk {

inline constexpr int64_t kGobHeaderSize = 12;
inline constexpr int64_t kGobEntrySize = 136;
inline constexpr int64_t kGobNameSize = 128;

struct GobEntry {
  // The bytes of the name field up to its first NUL, CR or LF.
  std::string name;
  int32_t offset = 0;
  int32_t length = 0;
  // Whether the data lies inside the file: offset and length not negative
  // and offset + length not beyond the end.
  bool inside = false;
};

class GobArchive {
 public:
  // Opens the archive and reads its header and entry count. Fails, naming
  // the file, when it cannot be read or is shorter than its header, or when
  // its entry count lies outside the file.
  static Status Open(FileSystem& fs, const std::string& path, std::unique_ptr<GobArchive>* archive);

  const std::string& path() const { return file_->path(); }
  int32_t directory_position() const { return directory_position_; }
  int32_t entry_count() const { return entry_count_; }

  // Fails, naming the file, when the directory does not lie wholly inside
  // the file: a negative entry count, or entries past its end (an archive
  // cut short). Walk stops at the first such entry; this says the archive
  // is damaged.
  Status CheckDirectoryInside() const;

  // Visits the entries in directory order until `visit` returns false, the
  // count is reached, or an entry would not lie wholly inside the file.
  Status Walk(const std::function<bool(const GobEntry&)>& visit);

  // The archive's file, for reading entry text. Its read position is the
  // archive's read position.
  InputFile& file() { return *file_; }

 private:
  explicit GobArchive(std::unique_ptr<InputFile> file) : file_(std::move(file)) {}
  Status ReadHeader();

  std::unique_ptr<InputFile> file_;
  int32_t entry_base_ = 0;
  int32_t directory_position_ = 0;
  int32_t entry_count_ = 0;
};

// Whether an entry of `offset` and `length` lies inside a file of
// `file_length` bytes (computed without 32-bit overflow).
bool EntryInside(int64_t offset, int64_t length, int64_t file_length);

// Reads the text of the entry at `offset` and `length` of `file` line by
// line and hands each line to `on_line`. Lines end as InputFile::ReadLine
// says; the last line ends at the entry's last byte even without a break,
// and an entry that ends with a break yields no extra empty line. Stops at
// the first failed Status, from the read or from `on_line`. The caller must
// have checked that the entry lies inside the file.
Status ReadEntryText(InputFile& file, int64_t offset, int64_t length,
                     const std::function<Status(std::string& line)>& on_line);

// Copies an entry as text: creates (or replaces) `output_path` and writes
// each line of the entry text followed by CR LF. The caller must have
// checked that the entry lies inside the file.
Status ExtractEntryAsText(FileSystem& fs, InputFile& archive, int64_t offset, int64_t length,
                          const std::string& output_path);

}  // namespace jk

#endif  // JKRESCALE_ARCHIVES_GOB_ARCHIVE_H_
