#include "platform/console.h"

#include <algorithm>
#include <chrono>

namespace jk {

namespace {
constexpr double kBarPixels = 200;
constexpr int kBarCharacters = 40;
constexpr long long kRedrawMs = 33;

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

// Each refresh ends with the box of the bar itself; an earlier box of the
// same refresh (the wipe of the model kind) is drawn over by it.
void TerminalProgress::FillBox(double, double, double x1, double, Colour) {
  bar_ = std::clamp(x1, 0.0, kBarPixels);
}

void TerminalProgress::DrawText(double, double, const std::string& text, Colour) {
  text_ = text;
}

void TerminalProgress::PumpEvents() {
  long long now = NowMs();
  if (now - last_draw_ms_ < kRedrawMs) return;
  last_draw_ms_ = now;
  Draw();
}

void TerminalProgress::Finish() {
  if (!drawn_) return;
  Draw();
  std::fputc('\n', terminal_);
  std::fflush(terminal_);
}

void TerminalProgress::Draw() {
  int filled = static_cast<int>(bar_ / kBarPixels * kBarCharacters);
  std::string bar(size_t(filled), '#');
  bar.append(size_t(kBarCharacters - filled), '.');
  std::fprintf(terminal_, "\r[%s] %-24s", bar.c_str(), text_.c_str());
  std::fflush(terminal_);
  drawn_ = true;
}

}  // namespace jk
