#include "scaling/entry_skip.h"

#include "scaling/layout.h"

namespace jk {

namespace {

std::string Named(std::string_view kind, const EntryRow& entry) {
  return std::string(kind) + " '" + entry.name + "': ";
}

}  // namespace

std::string WhyNotCopied(std::string_view kind, const EntryRow& entry,
                         const std::string& archive_path) {
  if (!IsSafeEntryName(entry.name)) return Named(kind, entry) + "unsafe name";
  return WhyDataMissing(kind, entry, archive_path);
}

std::string WhyDataMissing(std::string_view kind, const EntryRow& entry,
                           const std::string& archive_path) {
  if (entry.inside) return {};
  return Named(kind, entry) + "its data lies outside '" + archive_path + "'";
}

}  // namespace jk
