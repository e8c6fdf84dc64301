// The console of the command-line program.
#ifndef JKRESCALE_PLATFORM_CONSOLE_H_
#define JKRESCALE_PLATFORM_CONSOLE_H_

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

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_CONSOLE_H_
