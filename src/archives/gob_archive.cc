#include "archives/gob_archive.h"

namespace jk {

bool EntryInside(int64_t offset, int64_t length, int64_t file_length) {
  return offset >= 0 && length >= 0 && offset + length <= file_length;
}

Status GobArchive::Open(FileSystem& fs, const std::string& path,
                        std::unique_ptr<GobArchive>* archive) {
  std::unique_ptr<InputFile> file;
  JK_RETURN_IF_ERROR(fs.OpenRead(path, &file));
  std::unique_ptr<GobArchive> opened(new GobArchive(std::move(file)));
  JK_RETURN_IF_ERROR(opened->ReadHeader());
  *archive = std::move(opened);
  return Status::Ok();
}

Status GobArchive::ReadHeader() {
  InputFile& f = *file_;
  if (f.Length() < kGobHeaderSize) {
    return Status::Damaged(f.path(), "not an archive: shorter than its 12-byte header");
  }
  JK_RETURN_IF_ERROR(f.Seek(4));
  JK_RETURN_IF_ERROR(f.ReadInt32(&entry_base_));
  JK_RETURN_IF_ERROR(f.ReadInt32(&directory_position_));
  if (directory_position_ < 0 || int64_t(directory_position_) + 4 > f.Length()) {
    return Status::Damaged(f.path(), "damaged archive: its entry count at byte " +
                                         std::to_string(directory_position_) +
                                         " lies outside the file");
  }
  JK_RETURN_IF_ERROR(f.Seek(directory_position_));
  return f.ReadInt32(&entry_count_);
}

Status GobArchive::CheckDirectoryInside() const {
  const InputFile& f = *file_;
  if (entry_count_ < 0) {
    return Status::Damaged(f.path(), "damaged archive: its entry count " +
                                         std::to_string(entry_count_) + " is negative");
  }
  int64_t first = int64_t(entry_base_) - 4;
  int64_t end = first + int64_t(entry_count_) * kGobEntrySize;
  if (entry_count_ > 0 && (first < 0 || end > f.Length())) {
    return Status::Damaged(
        f.path(), "damaged archive: its directory of " + std::to_string(entry_count_) +
                      " entries does not lie inside its " + std::to_string(f.Length()) + " bytes");
  }
  return Status::Ok();
}

Status GobArchive::Walk(const std::function<bool(const GobEntry&)>& visit) {
  InputFile& f = *file_;
  // The running position of the current entry's first byte (its offset
  // field), 64-bit so that a huge count cannot wrap it.
  int64_t entry = int64_t(entry_base_) - 4;
  GobEntry e;
  for (int32_t index = 0; index < entry_count_; ++index, entry += kGobEntrySize) {
    if (entry < 0 || entry + kGobEntrySize > f.Length()) break;
    JK_RETURN_IF_ERROR(f.Seek(entry));
    JK_RETURN_IF_ERROR(f.ReadInt32(&e.offset));
    JK_RETURN_IF_ERROR(f.ReadInt32(&e.length));
    int64_t name_end = entry + 8 + kGobNameSize;
    JK_RETURN_IF_ERROR(f.ReadLine(name_end, &e.name));
    size_t nul = e.name.find('\0');
    if (nul != std::string::npos) e.name.resize(nul);
    e.inside = EntryInside(e.offset, e.length, f.Length());
    if (!visit(e)) break;
  }
  return Status::Ok();
}

Status ReadEntryText(InputFile& file, int64_t offset, int64_t length,
                     const std::function<Status(std::string& line)>& on_line) {
  const int64_t end = offset + length;
  JK_RETURN_IF_ERROR(file.Seek(offset));
  std::string line;
  while (file.Position() < end) {
    JK_RETURN_IF_ERROR(file.ReadLine(end, &line));
    JK_RETURN_IF_ERROR(on_line(line));
  }
  return Status::Ok();
}

Status ExtractEntryAsText(FileSystem& fs, InputFile& archive, int64_t offset, int64_t length,
                          const std::string& output_path) {
  std::unique_ptr<OutputFile> out;
  JK_RETURN_IF_ERROR(fs.OpenWrite(output_path, &out));
  JK_RETURN_IF_ERROR(ReadEntryText(archive, offset, length,
                                   [&](std::string& line) { return out->WriteLine(line); }));
  return out->Close();
}

}  // namespace jk
