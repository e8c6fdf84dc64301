#include <unistd.h>

#include "platform/console.h"

namespace jk {

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace jk
