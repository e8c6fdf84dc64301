// Fuzzes the consistency check on arbitrary level text: whatever the text,
// the check reads it to the end, reports what it finds and never fails.
#include <cstddef>
#include <cstdint>
#include <string>

#include "memory_file_system.h"
#include "scaling/level_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  jk::MemoryFileSystem fs;
  fs.SetFile("level.jkl", std::string(reinterpret_cast<const char*>(data), size));
  jk::LevelCheckReport report;
  if (!jk::CheckLevel(fs, "level.jkl", &report).ok()) __builtin_trap();
  for (const jk::LevelFinding& finding : report.findings) {
    if (finding.line < 1 || finding.text.empty()) __builtin_trap();
  }
  (void)jk::SummaryLine("level.jkl", report);
  return 0;
}
