#include "scaling/cog_copies.h"

#include "platform/path.h"
#include "scaling/entry_skip.h"
#include "scaling/layout.h"

namespace jk {

Status CopyCogs(FileSystem& fs, const std::string& work_folder, GobArchive& level_archive,
                const std::vector<EntryRow>& cogs, const EntryRow& cogstrings,
                std::vector<std::string>* skipped) {
  for (const EntryRow& cog : cogs) {
    if (std::string why = WhyNotCopied("cog", cog, level_archive.path()); !why.empty()) {
      skipped->push_back(std::move(why));
      continue;
    }
    std::string path;
    JK_RETURN_IF_ERROR(EntryOutputPath(fs, work_folder, "cog", cog.name, &path));
    JK_RETURN_IF_ERROR(ExtractEntryAsText(fs, level_archive.file(), cog.offset, cog.length, path));
  }
  // An archive without the strings file has offset -1 here; one whose file
  // would start at byte 0 cannot be a real entry either (the header is there).
  if (cogstrings.offset <= 0) return Status::Ok();
  if (std::string why = WhyDataMissing("cog strings", cogstrings, level_archive.path());
      !why.empty()) {
    skipped->push_back(std::move(why));
    return Status::Ok();
  }
  std::string path = JoinPath(JoinPath(work_folder, "misc"), kCogStringsFileName);
  return ExtractEntryAsText(fs, level_archive.file(), cogstrings.offset, cogstrings.length, path);
}

}  // namespace jk
