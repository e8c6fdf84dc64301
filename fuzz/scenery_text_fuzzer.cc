// Fuzzes the readers of keyframes, sound classes, sprites and puppets on
// arbitrary text: the first byte picks the kind, the rest is read line by
// line as the game reads it. Nothing may crash or hang, and the rewrite
// writes a line for each line read, unless it refuses a line that scaling
// would take past the game's limits.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scaling/game_text.h"
#include "scaling/scenery_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const jk::SceneryFileKind kinds[] = {jk::SceneryFileKind::kKeyframe,
                                       jk::SceneryFileKind::kSoundClass,
                                       jk::SceneryFileKind::kSprite};
  jk::SceneryTextScaler scaler(kinds[data[0] % 3], data[0] & 0x80 ? 2 : 0.25);
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<std::string> keyframes;
  size_t read = 0, written = 0;
  jk::GameTextRewriter rewriter([&](std::string& line) { scaler.ScaleLine(line); },
                                [&](std::string_view) {
                                  ++written;
                                  return jk::Status::Ok();
                                });
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    jk::KeyframesOfPuppetLine(line, &keyframes);
    ++read;
    const jk::Status status = rewriter.Line(line);
    if (status.kind() == jk::Status::Kind::kInvalid) return 0;  // past the game's limits
    if (!status.ok()) __builtin_trap();
    start = end + 1;
  }
  const jk::Status finished = rewriter.Finish();
  if (finished.kind() == jk::Status::Kind::kInvalid) return 0;
  if (!finished.ok() || written != read) __builtin_trap();
  return 0;
}
