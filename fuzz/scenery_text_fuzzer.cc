// Fuzzes the readers of keyframes, sound classes, sprites and puppets on
// arbitrary text: the first byte picks the kind, the rest is read line by
// line. Nothing may crash or hang, and a line without data fields (empty,
// or a comment) comes back as it was.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scaling/scenery_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const jk::SceneryFileKind kinds[] = {jk::SceneryFileKind::kKeyframe,
                                       jk::SceneryFileKind::kSoundClass,
                                       jk::SceneryFileKind::kSprite};
  jk::SceneryTextScaler scaler(kinds[data[0] % 3], data[0] & 0x80 ? 2 : 0.25);
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<std::string> keyframes;
  jk::Fields fields;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    jk::SceneryLineFields(line, &fields);
    std::string before = line;
    scaler.ScaleLine(line);
    if (fields.empty() && line != before) __builtin_trap();
    jk::KeyframesOfPuppetLine(before, &keyframes);
    start = end + 1;
  }
  return 0;
}
