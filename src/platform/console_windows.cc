#include <io.h>
#include <stdio.h>

#include "platform/console.h"

namespace jk {

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace jk
