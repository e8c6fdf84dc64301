// The console of the command-line program.
#ifndef JKRESCALE_PLATFORM_CONSOLE_H_
#define JKRESCALE_PLATFORM_CONSOLE_H_

#include <cstdio>
#include <string>

#include "platform/drawing.h"

namespace jk {

// Whether standard error is a terminal (and not a file or a pipe).
bool StandardErrorIsTerminal();

// While it lives, the console shows the program's UTF-8 text as such: on
// Windows the console's output code page is UTF-8 and the one it had is
// restored at the end (the console outlives the program); elsewhere
// terminals take UTF-8 already and nothing is done.
class Utf8Console {
 public:
  Utf8Console();
  ~Utf8Console();
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  unsigned previous_code_page_ = 0;
};

// Shows the progress window as one line of text on a terminal: the text
// last drawn and a bar of 40 characters for its 200 pixels. Redraws at most
// about 30 times a second; Finish() draws the last state and ends the line.
class TerminalProgress : public DrawingSurface {
 public:
  explicit TerminalProgress(std::FILE* terminal) : terminal_(terminal) {}

  void FillBox(double x0, double y0, double x1, double y1, Colour colour) override;
  void DrawText(double x, double y, const std::string& text, Colour colour) override;
  void PumpEvents() override;
  void Finish();

 private:
  void Draw();

  std::FILE* terminal_;
  std::string text_;
  double bar_ = 0;
  long long last_draw_ms_ = -1000;
  bool drawn_ = false;
};

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_CONSOLE_H_
