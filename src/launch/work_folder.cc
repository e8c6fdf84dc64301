#include "launch/work_folder.h"

#include <algorithm>
#include <memory>
#include <thread>

#include "platform/path.h"
#include "platform/system.h"
#include "scaling/layout.h"

namespace jk {

namespace {

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (c == '/' || c == '\\' || c == ':') return false;
  }
  return true;
}

// One attempt at removing `path` with its contents; the first failure.
Status RemoveTree(FileSystem& fs, const std::string& path, bool is_folder) {
  if (!is_folder) return fs.DeleteFile(path);
  std::vector<FolderEntry> entries;
  JK_RETURN_IF_ERROR(fs.ListFolder(path, &entries));
  // In name order, so that a clean-up does the same on every system.
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  Status first;
  for (const FolderEntry& entry : entries) {
    Status removed = RemoveTree(fs, JoinPath(path, entry.name), entry.is_folder && !entry.is_link);
    if (first.ok()) first = removed;
  }
  if (!first.ok()) return first;
  return fs.RemoveFolder(path);
}

Status WriteRecord(FileSystem& fs, const std::string& work_folder,
                   const std::vector<std::string>& names) {
  std::unique_ptr<OutputFile> out;
  JK_RETURN_IF_ERROR(fs.OpenWrite(JoinPath(work_folder, kRunRecordName), &out));
  for (const std::string& name : names) JK_RETURN_IF_ERROR(out->WriteLine(name));
  return out->Close();
}

// Whether a file can be created in `folder`: the probe is removed again.
bool CanWriteIn(FileSystem& fs, const std::string& folder) {
  std::string probe = JoinPath(folder, "jkrescale-write-test.tmp");
  std::unique_ptr<OutputFile> out;
  if (!fs.OpenWrite(probe, &out).ok()) return false;
  bool written = out->Close().ok();
  return fs.DeleteFile(probe).ok() && written;
}

bool IsLink(FileSystem& fs, const std::string& path) {
  std::string folder = FolderOf(path);
  std::vector<FolderEntry> entries;
  if (!fs.ListFolder(folder.empty() ? "." : folder, &entries).ok()) return false;
  std::string name = FileNameOf(path);
  for (const FolderEntry& entry : entries) {
    if (entry.name == name) return entry.is_link;
  }
  return false;
}

}  // namespace

Status ChooseWorkFolder(FileSystem& fs, const std::string& program_folder,
                        const std::string& user_data_folder, std::string* work_folder) {
  if (CanWriteIn(fs, program_folder)) {
    *work_folder = program_folder;
    return Status::Ok();
  }
  if (user_data_folder.empty()) {
    return Status::IoError(program_folder,
                           "cannot write in the program's folder, and there is "
                           "no folder for the user's data");
  }
  JK_RETURN_IF_ERROR(fs.CreateFolder(user_data_folder));
  if (!CanWriteIn(fs, user_data_folder)) {
    return Status::IoError(user_data_folder, "cannot write there, nor in the program's folder '" +
                                                 program_folder + "'");
  }
  *work_folder = user_data_folder;
  return Status::Ok();
}

Status FindWorkFolder(FileSystem& fs, std::string* work_folder) {
  std::string program_folder, user_data_folder;
  JK_RETURN_IF_ERROR(ProgramFolder(&program_folder));
  // Only needed, and only reported missing, when the program's folder
  // cannot be written.
  if (!UserDataFolder("jkrescale", &user_data_folder).ok()) user_data_folder.clear();
  return ChooseWorkFolder(fs, program_folder, user_data_folder, work_folder);
}

Status ReadRunRecord(FileSystem& fs, const std::string& work_folder,
                     std::vector<std::string>* names) {
  names->clear();
  std::unique_ptr<InputFile> in;
  Status opened = fs.OpenRead(JoinPath(work_folder, kRunRecordName), &in);
  if (opened.IsNotFound()) return Status::Ok();
  JK_RETURN_IF_ERROR(opened);
  std::string line;
  while (in->Position() < in->Length()) {
    JK_RETURN_IF_ERROR(in->ReadLine(in->Length(), &line));
    if (IsPlainFileName(line)) names->push_back(line);
  }
  return Status::Ok();
}

Status AddToRunRecord(FileSystem& fs, const std::string& work_folder,
                      const std::vector<std::string>& names, std::vector<std::string>* recorded) {
  std::vector<std::string> record;
  JK_RETURN_IF_ERROR(ReadRunRecord(fs, work_folder, &record));
  for (const std::string& name : names) {
    if (std::find(record.begin(), record.end(), name) == record.end()) record.push_back(name);
  }
  if (recorded) *recorded = record;
  return WriteRecord(fs, work_folder, record);
}

RemoveKind RecordedKind(std::string_view name) {
  for (std::string_view sub : kWorkSubfolders) {
    if (name == sub) return RemoveKind::kFolder;
  }
  return RemoveKind::kFile;
}

void RemoveWithRetries(FileSystem& fs, const std::string& path, RemoveKind kind,
                       const CleanupPacing& pacing, std::vector<std::string>* failures) {
  // A link is removed as a file: what it points to was not written here.
  bool link = IsLink(fs, path);
  bool folder = !link && fs.IsFolder(path);
  if (!fs.Exists(path) || folder != (kind == RemoveKind::kFolder)) return;
  Status last;
  for (int attempt = 0; attempt < pacing.attempts && fs.Exists(path); ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(pacing.pause);
    last = RemoveTree(fs, path, folder);
  }
  if (!fs.Exists(path)) return;
  failures->push_back(last.ok() ? "'" + path + "': still there" : last.message());
}

Status CleanWorkFolder(FileSystem& fs, const std::string& work_folder,
                       const std::vector<std::string>& recorded, const CleanupPacing& pacing) {
  std::vector<std::string> failures;
  std::vector<std::string> left;
  for (const std::string& name : recorded) {
    if (!IsPlainFileName(name)) continue;
    size_t failed_before = failures.size();
    RemoveWithRetries(fs, JoinPath(work_folder, name), RecordedKind(name), pacing, &failures);
    if (failures.size() > failed_before) left.push_back(name);
  }
  // What could not be removed stays in the record, so that the next start
  // tries again and a run may write there anew.
  std::string record = JoinPath(work_folder, kRunRecordName);
  if (left.empty()) {
    RemoveWithRetries(fs, record, RemoveKind::kFile, pacing, &failures);
  } else if (Status kept = WriteRecord(fs, work_folder, left); !kept.ok()) {
    failures.push_back(kept.message());
  }
  if (failures.empty()) return Status::Ok();
  std::string message = "could not clean the work folder '" + work_folder + "': ";
  for (size_t i = 0; i < failures.size(); ++i) message += (i ? "; " : "") + failures[i];
  return Status::Failure(Status::Kind::kIoError, message);
}

Status CleanWorkFolderAtStartUp(FileSystem& fs, const std::string& work_folder,
                                const CleanupPacing& pacing) {
  std::vector<std::string> recorded;
  Status read = ReadRunRecord(fs, work_folder, &recorded);
  if (read.ok()) return CleanWorkFolder(fs, work_folder, recorded, pacing);
  // Without the record what an earlier run wrote cannot be told from the
  // user's own files: all of it stays, and so does the record, for the
  // next start to try again.
  return Status::Failure(read.kind(), read.message() +
                                          "; what an earlier run left in the work folder "
                                          "was not removed");
}

}  // namespace jk
