#include <io.h>
#include <stdio.h>
#include <windows.h>

#include "platform/console.h"

namespace jk {

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

// Messages name paths in UTF-8; in the console's usual OEM code page their
// letters outside ASCII would show as other signs. A program without a
// console gets code page 0 and changes nothing.
Utf8Console::Utf8Console() : previous_code_page_(GetConsoleOutputCP()) {
  if (previous_code_page_ != 0) SetConsoleOutputCP(CP_UTF8);
}

Utf8Console::~Utf8Console() {
  if (previous_code_page_ != 0) SetConsoleOutputCP(previous_code_page_);
}

}  // namespace jk
