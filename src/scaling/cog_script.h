// Cog scripts as a scale run reads and rewrites them. A script declares its
// symbols between "symbols" and "end", one a line: "type name=default
// [desc=...] [local] ...". Its code follows "code": a C-like language whose
// names ignore letter case, with comments from "#" or "//" to the end of
// the line and between "/*" and "*/", and texts in double quotes.
//
// A scaled level keeps the motion of its scenery only if the speeds its
// scripts give grow with it: the speed argument of MoveToFrame,
// SkipToFrame, SlideWall and SlideSurface (tenths of a unit a second), and
// the min and max arguments of PlaySoundThing and PlaySoundPos (tenths of
// a unit). The rewrite multiplies those arguments at the call, since one
// script serves several cogs with different values for its symbols, and
// leaves every other byte as it was.
#ifndef JKRESCALE_SCALING_COG_SCRIPT_H_
#define JKRESCALE_SCALING_COG_SCRIPT_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "scaling/text.h"

namespace jk {

// One symbol of a script's symbols section, its type, name and default
// in lower case ("" when it has no default).
struct CogSymbol {
  std::string type;
  std::string name;
  std::string default_value;
  bool local = false;
};

// The calls a scale run looks at.
enum class CogFunction {
  kMoveToFrame,
  kSkipToFrame,
  kSlideWall,  // and its alias SlideSurface
  kPlaySoundThing,
  kPlaySoundPos,
  kPlayKey,
};

// A call in the code section: where each argument lies in the script text
// ([begin, end), white space around it excluded).
struct CogCall {
  CogFunction function;
  struct Span {
    size_t begin, end;
  };
  std::vector<Span> arguments;
};

struct CogScript {
  std::vector<CogSymbol> symbols;
  std::vector<CogCall> calls;

  // The symbol named `name` (any letter case); null when there is none.
  const CogSymbol* Find(std::string_view name) const;
  // Whether the script has a call whose arguments the rewrite changes.
  bool HasScaledCall() const;
};

// Reads the symbols and the calls of `text` (lines separated by "\n").
// Any text gives a script: a damaged one gives what could be read of it;
// a call without its closing parenthesis ends the calls read.
CogScript ReadCogScript(std::string_view text);

// The values a cogs section line gives each symbol of `script`: the
// values go in order to the symbols that are neither local nor messages;
// a symbol without a value keeps its default. Indexed like
// script.symbols; values are lower case.
std::vector<std::string> SymbolValues(const CogScript& script,
                                      const std::vector<std::string>& line_values);

// `text` with, in each call of `script` (read from that text), the speed
// argument of MoveToFrame, SkipToFrame (a literal 0, which the engine
// moves at 0.5 units a second, as 5) and SlideWall, and the min and max of
// PlaySoundThing and PlaySoundPos (a negative literal, which means the
// default 0.5 and 2.5 units, as 5 and 25), times `factor`: a literal
// number as its product, a name as "name*F", anything else as "(arg)*F",
// F the factor's text.
std::string RewriteCogScript(std::string_view text, const CogScript& script,
                             const ScaleFactor& factor);

}  // namespace jk

#endif  // JKRESCALE_SCALING_COG_SCRIPT_H_
