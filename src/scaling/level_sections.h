// The header lines of a level's sections, recognised one way for every
// reader of a level: the level pass, which rewrites a level, and the
// consistency check and the player report, which read one.
//
// A level is a series of sections ("SECTION: GEORESOURCE", "SECTION:
// SECTORS"...), some of which hold lists headed by a "World ..." line
// ("World vertices 8", "World adjoins 4"). A line that begins with "end"
// closes a section.
#ifndef JKRESCALE_SCALING_LEVEL_SECTIONS_H_
#define JKRESCALE_SCALING_LEVEL_SECTIONS_H_

#include <cstdint>
#include <string_view>

namespace jk {

enum class LevelHeader {
  kNone,  // not a header line
  // "SECTION: NAME", with or without blanks around the colon.
  kGeoresourceSection,
  kSectorsSection,
  kHeaderSection,
  kTemplatesSection,
  kThingsSection,
  kOtherSection,
  // The "World ..." lines that head a list.
  kWorldVertices,
  kWorldTextureVertices,
  kWorldAdjoins,
  kWorldSurfaces,
  kWorldTemplates,
  kWorldThings,
  kWorldCogs,
  kWorldOther,  // "World colormaps 1", "World sectors 3"...
  kEnd,
};

// What `line` (as read) heads. Keywords are recognised at the start of the
// trimmed line, letter case ignored: "world vertices" at the start of
// "World vertices 8". "end" counts only at the very start of the line as
// read.
LevelHeader RecogniseLevelHeader(std::string_view line);

// Whether `header` opens a section ("SECTION: ...").
bool IsSectionHeader(LevelHeader header);

// The number of a numbered line of a level (a thing or a cog, "12:"), from
// its first field; -1 when the field is no such number.
int64_t LineNumber(std::string_view first_field);

}  // namespace jk

#endif  // JKRESCALE_SCALING_LEVEL_SECTIONS_H_
