#include "archives/gob_writer.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "platform/path.h"

namespace jk {

namespace {

constexpr int32_t kDirectoryPosition = 12;
// Entry 0's length field: after the header, the count and entry 0's offset.
constexpr int32_t kEntryBase = kDirectoryPosition + 8;
constexpr size_t kCopyPiece = 1 << 16;

void AppendInt32(std::string* bytes, int64_t value) {
  uint32_t u = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes->push_back(char((u >> (8 * i)) & 0xff));
}

int64_t DirectoryEnd(size_t entry_count) {
  return kDirectoryPosition + 4 + kGobEntrySize * int64_t(entry_count);
}

}  // namespace

Status GobArchiveWriter::AddFile(const std::string& name, const std::string& file_path) {
  std::unique_ptr<InputFile> file;
  JK_RETURN_IF_ERROR(fs_.OpenRead(file_path, &file));
  Entry entry;
  entry.name = name;
  entry.length = file->Length();
  entry.file_path = file_path;
  return Add(std::move(entry));
}

Status GobArchiveWriter::AddBytes(const std::string& name, std::string bytes) {
  Entry entry;
  entry.name = name;
  entry.length = int64_t(bytes.size());
  entry.bytes = std::move(bytes);
  return Add(std::move(entry));
}

Status GobArchiveWriter::Add(Entry entry) {
  std::string refused = "'" + archive_path_ + "': cannot hold the entry '" + entry.name + "': ";
  if (entry.name.empty()) return Status::Invalid(refused + "an entry needs a name");
  if (entry.name.size() > kGobLongestName) {
    return Status::Invalid(refused + "its name is " + std::to_string(entry.name.size()) +
                           " bytes long, more than the " + std::to_string(kGobLongestName) +
                           " an archive's name field holds");
  }
  if (entry.name.find_first_of(std::string("\0\r\n", 3)) != std::string::npos) {
    return Status::Invalid(refused + "its name holds a NUL, CR or LF byte");
  }
  if (!names_.insert(ToLowerAscii(entry.name)).second) {
    return Status::Invalid(refused + "the archive holds an entry of that name already");
  }
  int64_t length = DirectoryEnd(entries_.size() + 1) + data_length_ + entry.length;
  if (length > INT32_MAX) {
    names_.erase(ToLowerAscii(entry.name));
    return Status::Invalid(refused + "the archive would be " + std::to_string(length) +
                           " bytes long, more than the " + std::to_string(INT32_MAX) +
                           " an archive can be");
  }
  data_length_ += entry.length;
  entries_.push_back(std::move(entry));
  return Status::Ok();
}

Status GobArchiveWriter::Write() {
  for (const Entry& entry : entries_) {
    // Writing the archive would empty the file before its bytes are copied.
    if (!entry.file_path.empty() && fs_.SameFile(entry.file_path, archive_path_)) {
      return Status::Invalid("'" + archive_path_ + "': is the file of the entry '" + entry.name +
                             "'; the archive cannot be written over it");
    }
  }
  // Written whole beside the archive first, then renamed over it: a file
  // the user chose to replace is kept when the new one cannot be written.
  std::string part = archive_path_ + kPartSuffix;
  if (fs_.Exists(part)) {
    return Status::Invalid("'" + part + "': is in the way of writing '" + archive_path_ +
                           "'; move it elsewhere and try again");
  }
  std::unique_ptr<OutputFile> out;
  if (Status opened = fs_.OpenWrite(part, &out); !opened.ok()) {
    return NamingTheArchive(opened, part);
  }
  Status status = WriteAll(*out);
  if (status.ok()) status = out->Close();
  out.reset();
  if (status.ok()) status = fs_.RenameFile(part, archive_path_);
  // What is left would open as a damaged archive; the failure says why.
  if (!status.ok()) (void)fs_.DeleteFile(part);
  return NamingTheArchive(status, part);
}

// The part is the writer's own business: a failure about it names the
// archive that was asked for.
Status GobArchiveWriter::NamingTheArchive(const Status& status, const std::string& part) const {
  std::string about_part = "'" + part + "'";
  if (status.ok() || !status.message().starts_with(about_part)) return status;
  return Status::Failure(status.kind(),
                         "'" + archive_path_ + "'" + status.message().substr(about_part.size()));
}

Status GobArchiveWriter::WriteAll(OutputFile& out) {
  std::string head = "GOB ";
  AppendInt32(&head, kEntryBase);
  AppendInt32(&head, kDirectoryPosition);
  AppendInt32(&head, int64_t(entries_.size()));
  JK_RETURN_IF_ERROR(out.Write(head));
  int64_t offset = DirectoryEnd(entries_.size());
  for (const Entry& entry : entries_) {
    std::string field;
    AppendInt32(&field, offset);
    AppendInt32(&field, entry.length);
    field += entry.name;
    field.resize(size_t(8 + kGobNameSize), '\0');
    JK_RETURN_IF_ERROR(out.Write(field));
    offset += entry.length;
  }
  for (const Entry& entry : entries_) {
    if (entry.file_path.empty()) {
      JK_RETURN_IF_ERROR(out.Write(entry.bytes));
    } else {
      JK_RETURN_IF_ERROR(CopyFileData(entry, out));
    }
  }
  return Status::Ok();
}

Status GobArchiveWriter::CopyFileData(const Entry& entry, OutputFile& out) {
  std::unique_ptr<InputFile> in;
  JK_RETURN_IF_ERROR(fs_.OpenRead(entry.file_path, &in));
  // The directory written already gives the length taken when the file was
  // added; any other number of bytes would shift every later entry.
  if (in->Length() != entry.length) {
    return Status::IoError(entry.file_path, "changed while the archive '" + archive_path_ +
                                                "' was written: " + std::to_string(entry.length) +
                                                " bytes long before, " +
                                                std::to_string(in->Length()) + " now");
  }
  std::string piece;
  for (int64_t copied = 0; copied < entry.length; copied += int64_t(piece.size())) {
    size_t size = size_t(std::min<int64_t>(kCopyPiece, entry.length - copied));
    JK_RETURN_IF_ERROR(in->Read(size, &piece));
    if (piece.empty()) {
      return Status::IoError(entry.file_path,
                             "unexpected end of file at byte " + std::to_string(copied));
    }
    JK_RETURN_IF_ERROR(out.Write(piece));
  }
  return Status::Ok();
}

}  // namespace jk
