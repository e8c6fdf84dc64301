#include <unistd.h>

#include "platform/console.h"

namespace jk {

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;

}  // namespace jk
