#include "scaling/level_sections.h"

#include <algorithm>

#include "scaling/text.h"

namespace jk {

namespace {

constexpr std::string_view kSectionKeyword = "section";
constexpr std::string_view kWorldKeyword = "world";

struct Keyword {
  std::string_view text;
  LevelHeader header;
};

constexpr Keyword kSections[] = {
    {"georesource", LevelHeader::kGeoresourceSection},
    {"sectors", LevelHeader::kSectorsSection},
    {"header", LevelHeader::kHeaderSection},
    {"templates", LevelHeader::kTemplatesSection},
    {"things", LevelHeader::kThingsSection},
};

constexpr Keyword kLists[] = {
    {"world vertices", LevelHeader::kWorldVertices},
    {"world texture vertices", LevelHeader::kWorldTextureVertices},
    {"world adjoins", LevelHeader::kWorldAdjoins},
    {"world surfaces", LevelHeader::kWorldSurfaces},
    {"world templates", LevelHeader::kWorldTemplates},
    {"world things", LevelHeader::kWorldThings},
    {"world cogs", LevelHeader::kWorldCogs},
};

}  // namespace

LevelHeader RecogniseLevelHeader(std::string_view line) {
  std::string_view trimmed = Trim(line);
  if (BeginsWith(trimmed, kWorldKeyword)) {
    for (const Keyword& list : kLists) {
      if (BeginsWith(trimmed, list.text)) return list.header;
    }
    return LevelHeader::kWorldOther;
  }
  if (BeginsWith(trimmed, kSectionKeyword)) {
    std::string_view name = trimmed.substr(kSectionKeyword.size());
    name.remove_prefix(std::min(name.size(), name.find_first_not_of(": \t")));
    for (const Keyword& section : kSections) {
      if (BeginsWith(name, section.text)) return section.header;
    }
    return LevelHeader::kOtherSection;
  }
  if (BeginsWith(line, "end")) return LevelHeader::kEnd;
  return LevelHeader::kNone;
}

bool IsSectionHeader(LevelHeader header) {
  return header >= LevelHeader::kGeoresourceSection && header <= LevelHeader::kOtherSection;
}

int64_t LineNumber(std::string_view first_field) {
  if (first_field.size() < 2 || first_field.back() != ':' || first_field[0] == '-') return -1;
  int64_t number = -1;
  return ParseInteger(first_field.substr(0, first_field.size() - 1), &number) ? number : -1;
}

}  // namespace jk
