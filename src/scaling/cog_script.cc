#include "scaling/cog_script.h"

#include <algorithm>

#include "platform/ascii.h"
#include "scaling/game_text.h"
#include "scaling/scenery_text.h"

namespace jk {

namespace {

struct NamedFunction {
  std::string_view name;  // lower case
  CogFunction function;
};
constexpr NamedFunction kFunctions[] = {
    {"movetoframe", CogFunction::kMoveToFrame},
    {"skiptoframe", CogFunction::kSkipToFrame},
    {"slidewall", CogFunction::kSlideWall},
    {"slidesurface", CogFunction::kSlideWall},
    {"playsoundthing", CogFunction::kPlaySoundThing},
    {"playsoundpos", CogFunction::kPlaySoundPos},
    {"playkey", CogFunction::kPlayKey},
};

// What the rewrite does to one argument of a call.
enum class ArgumentRule {
  kSpeed,       // times the factor; a literal 0 stands for 5
  kSlideSpeed,  // times the factor
  kSoundMin,    // times the factor; a negative literal stands for 5
  kSoundMax,    // times the factor; a negative literal stands for 25
};
struct ScaledArgument {
  size_t index;
  ArgumentRule rule;
};

// The arguments of `function` that the rewrite changes; none for PlayKey.
std::vector<ScaledArgument> ScaledArguments(CogFunction function) {
  switch (function) {
    case CogFunction::kMoveToFrame:
    case CogFunction::kSkipToFrame:
      return {{2, ArgumentRule::kSpeed}};
    case CogFunction::kSlideWall:
      return {{2, ArgumentRule::kSlideSpeed}};
    case CogFunction::kPlaySoundThing:
    case CogFunction::kPlaySoundPos:
      return {{3, ArgumentRule::kSoundMin}, {4, ArgumentRule::kSoundMax}};
    case CogFunction::kPlayKey:
      break;
  }
  return {};
}

bool IsNameStart(char c) { return IsAsciiLetter(c) || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }

// When a comment of the code or a quoted text starts at `i`, the position
// after it; else `i`. (The comments of the game's line rules are blanked
// out before.)
size_t SkipCommentOrText(std::string_view text, size_t i) {
  if (i >= text.size()) return i;
  char c = text[i];
  char next = i + 1 < text.size() ? text[i + 1] : '\0';
  if (c == '/' && next == '/') {
    size_t end = text.find('\n', i);
    return end == std::string_view::npos ? text.size() : end;
  }
  if (c == '/' && next == '*') {
    size_t end = text.find("*/", i + 2);
    return end == std::string_view::npos ? text.size() : end + 2;
  }
  if (c == '"') {
    // A text ends at its closing quote or, unclosed, at the end of its line.
    size_t end = text.find_first_of("\"\n", i + 1);
    if (end == std::string_view::npos) return text.size();
    return text[end] == '"' ? end + 1 : end;
  }
  return i;
}

// The position of the first character at or after `i` that is neither
// white space nor in a comment.
size_t SkipBlanks(std::string_view text, size_t i) {
  while (i < text.size()) {
    if (IsWhiteSpace(text[i])) {
      ++i;
      continue;
    }
    size_t after = text[i] == '"' ? i : SkipCommentOrText(text, i);
    if (after == i) break;
    i = after;
  }
  return i;
}

CogCall::Span Trimmed(std::string_view text, size_t begin, size_t end) {
  while (begin < end && IsWhiteSpace(text[begin])) ++begin;
  while (end > begin && IsWhiteSpace(text[end - 1])) --end;
  return {begin, end};
}

// Reads the arguments of a call whose "(" is at `open`. False when the
// call has no closing parenthesis.
bool ReadArguments(std::string_view text, size_t open, std::vector<CogCall::Span>* arguments) {
  int depth = 1;
  size_t start = open + 1;
  for (size_t i = open + 1; i < text.size();) {
    size_t after = SkipCommentOrText(text, i);
    if (after != i) {
      i = after;
      continue;
    }
    char c = text[i];
    if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      arguments->push_back(Trimmed(text, start, i));
      return true;
    } else if (c == ',' && depth == 1) {
      arguments->push_back(Trimmed(text, start, i));
      start = i + 1;
    }
    ++i;
  }
  return false;
}

// Finds the calls of kFunctions in the code from `begin` on.
void ReadCalls(std::string_view text, size_t begin, std::vector<CogCall>* calls) {
  for (size_t i = begin; i < text.size();) {
    size_t after = SkipCommentOrText(text, i);
    if (after != i) {
      i = after;
      continue;
    }
    if (!IsNameStart(text[i]) || (i > 0 && IsNameChar(text[i - 1]))) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && IsNameChar(text[end])) ++end;
    std::string_view name = text.substr(i, end - i);
    i = end;
    for (const NamedFunction& known : kFunctions) {
      if (!EqualsIgnoringCase(name, known.name)) continue;
      size_t open = SkipBlanks(text, end);
      if (open >= text.size() || text[open] != '(') break;
      CogCall call{known.function, {}};
      // A call left open runs to the end of the text: the script is
      // damaged, and the game would not run it. Stopping here keeps the
      // reading linear in the length of the text.
      if (!ReadArguments(text, open, &call.arguments)) return;
      calls->push_back(std::move(call));
      break;
    }
  }
}

// One line of the symbols section.
void ReadSymbol(const Fields& fields, std::vector<CogSymbol>* symbols) {
  if (fields.size() < 2) return;
  CogSymbol symbol;
  symbol.type = ToLowerAscii(fields[0]);
  std::string_view declared = fields[1];
  size_t equals = declared.find('=');
  symbol.name = ToLowerAscii(declared.substr(0, equals));
  if (equals != std::string_view::npos)
    symbol.default_value = ToLowerAscii(declared.substr(equals + 1));
  for (size_t i = 2; i < fields.size(); ++i) {
    if (EqualsIgnoringCase(fields[i], "local")) symbol.local = true;
  }
  symbols->push_back(std::move(symbol));
}

// `text` as the game reads it, at the same places: the comments of its
// line rules (comment lines, and the rest of a line from "#") are blanks.
std::string WithoutComments(std::string_view text) {
  std::string code(text);
  for (size_t start = 0; start < text.size();) {
    size_t end = std::min(text.find('\n', start), text.size());
    GameLine line = ReadGameLine(text.substr(start, end - start));
    if (!line.comment.empty()) {
      std::fill_n(code.begin() + (line.comment.data() - text.data()), line.comment.size(), ' ');
    }
    start = end + 1;
  }
  return code;
}

bool IsName(std::string_view text) {
  return !text.empty() && IsNameStart(text[0]) && std::all_of(text.begin(), text.end(), IsNameChar);
}

// The rewritten text of one argument.
std::string ScaledArgumentText(std::string_view argument, ArgumentRule rule,
                               const ScaleFactor& factor) {
  std::string out;
  if (IsPlainDecimal(argument)) {
    double value = ValueOf(argument);
    if (rule == ArgumentRule::kSpeed && value == 0) {
      argument = "5";
    } else if (rule == ArgumentRule::kSoundMin && value < 0) {
      argument = "5";
    } else if (rule == ArgumentRule::kSoundMax && value < 0) {
      argument = "25";
    }
    AppendScaled(argument, factor, &out);
    return out;
  }
  if (IsName(argument)) {
    out.assign(argument);
  } else {
    out = "(";
    out += argument;
    out += ')';
  }
  out += '*';
  AppendTextOf(factor.value(), &out);
  return out;
}

}  // namespace

const CogSymbol* CogScript::Find(std::string_view name) const {
  for (const CogSymbol& symbol : symbols) {
    if (EqualsIgnoringCase(symbol.name, name)) return &symbol;
  }
  return nullptr;
}

bool CogScript::HasScaledCall() const {
  return std::any_of(calls.begin(), calls.end(),
                     [](const CogCall& call) { return call.function != CogFunction::kPlayKey; });
}

CogScript ReadCogScript(std::string_view text) {
  CogScript script;
  const std::string code = WithoutComments(text);
  bool in_symbols = false;
  Fields fields;
  for (size_t start = 0; start < code.size();) {
    size_t end = std::min(code.find('\n', start), code.size());
    DataFields(std::string_view(code).substr(start, end - start), &fields);
    start = end + 1;
    if (fields.empty()) continue;
    if (EqualsIgnoringCase(fields[0], "code")) {
      ReadCalls(code, std::min(start, code.size()), &script.calls);
      break;
    }
    if (EqualsIgnoringCase(fields[0], "symbols")) {
      in_symbols = true;
    } else if (EqualsIgnoringCase(fields[0], "end")) {
      in_symbols = false;
    } else if (in_symbols) {
      ReadSymbol(fields, &script.symbols);
    }
  }
  return script;
}

std::vector<std::string> SymbolValues(const CogScript& script,
                                      const std::vector<std::string>& line_values) {
  std::vector<std::string> values;
  size_t next = 0;
  for (const CogSymbol& symbol : script.symbols) {
    if (!symbol.local && symbol.type != "message" && next < line_values.size()) {
      values.push_back(ToLowerAscii(line_values[next++]));
    } else {
      values.push_back(symbol.default_value);
    }
  }
  return values;
}

std::string RewriteCogScript(std::string_view text, const CogScript& script,
                             const ScaleFactor& factor) {
  struct Replacement {
    size_t begin, end;
    std::string text;
  };
  std::vector<Replacement> replacements;
  for (const CogCall& call : script.calls) {
    for (const ScaledArgument& scaled : ScaledArguments(call.function)) {
      if (scaled.index >= call.arguments.size()) continue;
      CogCall::Span span = call.arguments[scaled.index];
      if (span.begin >= span.end) continue;
      replacements.push_back({span.begin, span.end,
                              ScaledArgumentText(text.substr(span.begin, span.end - span.begin),
                                                 scaled.rule, factor)});
    }
  }
  std::sort(replacements.begin(), replacements.end(),
            [](const Replacement& a, const Replacement& b) { return a.begin < b.begin; });
  std::string out;
  out.reserve(text.size() + 8 * replacements.size());
  size_t done = 0;
  for (const Replacement& replacement : replacements) {
    // A call inside the scaled argument of another is scaled with it.
    if (replacement.begin < done) continue;
    out.append(text.substr(done, replacement.begin - done));
    out += replacement.text;
    done = replacement.end;
  }
  out.append(text.substr(done));
  return out;
}

}  // namespace jk
