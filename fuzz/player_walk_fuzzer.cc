// Fuzzes the player report's reader on arbitrary level text: whatever the
// text, the reader reads it to the end, and the report and its drawing are
// made from what it read without a crash or a hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scaling/player_drawing.h"
#include "scaling/player_report.h"
#include "scaling/player_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  jk::PlayerWalk walk;
  jk::ReadPlayerWalk(std::string_view(reinterpret_cast<const char*>(data), size), &walk);
  for (const jk::Crossing& crossing : walk.crossings) {
    if (crossing.from_sector < 0 || crossing.to_sector < 0) __builtin_trap();
  }
  for (double factor : {0.001, 1.0, 1000.0}) {
    jk::PlayerReport report = jk::ReportPlayer(walk, factor, factor != 1.0);
    if (report.places.size() > 5 * walk.crossings.size()) __builtin_trap();
    (void)jk::PlayerReportLines(walk, report);
    if (factor == 1.0) (void)jk::DrawPlayerReportSvg(walk, report);
  }
  return 0;
}
