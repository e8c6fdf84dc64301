// Entries that a scale run does not copy. Archives come from downloaded
// mods: a model or cog whose name would lead out of its work subfolder, or
// whose data lies outside its archive, is left out and named in the run's
// report, and the run goes on.
#ifndef JKRESCALE_SCALING_ENTRY_SKIP_H_
#define JKRESCALE_SCALING_ENTRY_SKIP_H_

#include <string>
#include <string_view>

#include "archives/archive_tables.h"

namespace jk {

// Why `entry` of the archive at `archive_path` cannot be copied, as one
// phrase that starts with `kind` ("model", "cog") and the entry's name:
// "model '3do\..\x.3do': unsafe name" when the name after its four-character
// folder prefix is not a safe relative path, else "cog 'cog\x.cog': its data
// lies outside 'a.gob'" when its data does. Empty when it can be copied.
std::string WhyNotCopied(std::string_view kind, const EntryRow& entry,
                         const std::string& archive_path);

// The second test of WhyNotCopied alone, for an entry written under a fixed
// name.
std::string WhyDataMissing(std::string_view kind, const EntryRow& entry,
                           const std::string& archive_path);

}  // namespace jk

#endif  // JKRESCALE_SCALING_ENTRY_SKIP_H_
