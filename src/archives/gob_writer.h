// Writing a GOB archive in the layout that gob_archive.h reads: how a scaled
// level is shared as a mod, one archive that goes into the game's Episode
// folder.
//
// The archive is written in one pass, its directory first: the length of
// every entry is known when it is added (a file's length is taken then), so
// the files' bytes are copied in pieces straight from their files and no
// archive is ever held in memory.
#ifndef JKRESCALE_ARCHIVES_GOB_WRITER_H_
#define JKRESCALE_ARCHIVES_GOB_WRITER_H_

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "archives/gob_archive.h"
#include "platform/file_system.h"

namespace jk {

// The longest entry name: the name field also holds its terminating NUL.
inline constexpr size_t kGobLongestName = size_t(kGobNameSize) - 1;

// The archive is written under its name and this before it is renamed.
inline constexpr const char* kPartSuffix = ".jkrescale-part";

class GobArchiveWriter {
 public:
  // A writer of the archive at `archive_path`; nothing is written before
  // Write().
  GobArchiveWriter(FileSystem& fs, std::string archive_path)
      : fs_(fs), archive_path_(std::move(archive_path)) {}

  // Adds an entry holding the bytes of the file at `file_path`, copied when
  // the archive is written. Fails, naming the file, when it cannot be
  // opened, and as AddBytes does.
  Status AddFile(const std::string& name, const std::string& file_path);

  // Adds an entry holding `bytes`. Fails, naming the archive and the entry,
  // when the name is empty, longer than kGobLongestName bytes, holds a NUL,
  // CR or LF (it would not read back), or is the name of an earlier entry
  // with letter case ignored (the game would find only one); or when the
  // archive would grow past the 2 GiB its 32-bit offsets reach.
  Status AddBytes(const std::string& name, std::string bytes);

  // Creates (or replaces) the archive: the signature "GOB ", the entry base
  // 20, the directory position 12, the entry count, the 136-byte entries in
  // the order they were added (offset, length, name padded with NUL), then
  // their data in the same order. The archive is written as the archive's
  // path + kPartSuffix and renamed when whole. Fails, naming the file, when
  // the archive cannot be written, when an added file cannot be read or no
  // longer has the length it had when added, when the archive is one of the
  // added files, or when a file of the part's name is there already; a
  // partly written archive is then removed, and a file that was at the
  // archive's path stays as it was.
  Status Write();

  size_t entry_count() const { return entries_.size(); }

 private:
  struct Entry {
    std::string name;
    int64_t length = 0;
    // The file the bytes come from; "" for an entry that holds them itself.
    std::string file_path;
    std::string bytes;
  };

  Status Add(Entry entry);
  Status WriteAll(OutputFile& out);
  Status NamingTheArchive(const Status& status, const std::string& part) const;
  Status CopyFileData(const Entry& entry, OutputFile& out);

  FileSystem& fs_;
  std::string archive_path_;
  std::vector<Entry> entries_;
  // The names added so far, in lower case.
  std::set<std::string> names_;
  // The archive's length so far: header, directory and data.
  int64_t data_length_ = 0;
};

}  // namespace jk

#endif  // JKRESCALE_ARCHIVES_GOB_WRITER_H_
