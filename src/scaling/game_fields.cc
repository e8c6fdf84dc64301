#include "scaling/game_fields.h"

namespace jk {

namespace {

bool Separates(char c) { return IsWhiteSpace(c) || c == ','; }

}  // namespace

void SplitGameFields(std::string_view line, Fields* fields) {
  fields->clear();
  size_t i = 0;
  const size_t n = line.size();
  while (i < n) {
    while (i < n && Separates(line[i])) ++i;
    if (i == n || line[i] == '#') return;
    const size_t start = i;
    while (i < n && !Separates(line[i]) && line[i] != '#') ++i;
    fields->push_back(line.substr(start, i - start));
  }
}

}  // namespace jk
