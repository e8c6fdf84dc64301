// The level pass: streams a level's text out of its archive line by line,
// keeps track of the section each line lies in, hands the line to that
// section's handler, and lets the header step write it to the level output.
#ifndef JKRESCALE_SCALING_LEVEL_PASS_H_
#define JKRESCALE_SCALING_LEVEL_PASS_H_

#include <string>
#include <string_view>

#include "archives/archive_tables.h"
#include "platform/file_system.h"
#include "scaling/header_step.h"
#include "scaling/progress.h"

namespace jk {

enum class SectionState {
  kNone,
  kVertices,
  kTextureVertices,
  kAdjoins,
  kTemplates,
  kThings,
  kCogs,
  kSectors,
};

// The state after `line` (as read) in state `state`: a section header line
// opens its section ("World vertices N" and the like, and "SECTION:
// SECTORS"); any other trimmed line that begins with "section", or a line as
// read that begins with "end", closes it; any other line keeps the state.
SectionState NextSectionState(SectionState state, std::string_view line);

// The handler of the lines of one section. It gets the data of each line as
// the game reads it (GameTextRewriter: no comment line, no trailing
// comment, a continued line joined with the next) and may replace it with
// a rewritten one; it never writes.
class SectionHandler {
 public:
  virtual ~SectionHandler() = default;
  virtual void HandleLine(std::string& line) = 0;
};

// The handler of each section; a null handler passes its lines on as read.
// The texture vertices section has none: it exists to end the vertices
// section. The adjoins section runs on through the surfaces and their
// normals, which are not adjoins.
struct SectionHandlers {
  SectionHandler* vertices = nullptr;
  SectionHandler* adjoins = nullptr;
  SectionHandler* templates = nullptr;
  SectionHandler* things = nullptr;
  SectionHandler* cogs = nullptr;
  SectionHandler* sectors = nullptr;

  SectionHandler* For(SectionState state) const;
};

// Reads the text of `level` (which must lie inside the archive) from
// `archive` as the game reads it (GameTextRewriter): the data of each line
// goes to the handler of its section and then through the header step, and
// every line, rewritten or not, is written to `output`. The header line of
// a section goes to the handler of the section it opens; comment lines go
// to none and open or close no section. After the first line, then about every 64 KiB of text
// and after the last line, `progress` learns the share of the level text
// read so far, and the pass stops, cancelled, when it asks to.
// Fails on the first failed read or write, and before writing a line that
// would pass the game's limits (GameTextRewriter).
Status RunLevelPass(InputFile& archive, const EntryRow& level, const SectionHandlers& handlers,
                    HeaderStep& header, OutputFile& output, ScaleProgress& progress);

// Reads the level as RunLevelPass does, for what its handlers collect,
// without a header step and without writing: fails where RunLevelPass
// would, on a failed read or a line its handlers would make too long.
Status ReadLevelSections(InputFile& archive, const EntryRow& level,
                         const SectionHandlers& handlers);

// Where the templates of `level` begin, at a glance: the position in
// `archive` of a line that RecogniseLevelHeader takes for a templates
// header ("SECTION: TEMPLATES" or "World templates"), each line taken
// alone, without the game's rules for comment and continued lines. The
// level is searched from its end back a quarter megabyte at a time, and
// the first such line of the first block that holds one counts: the
// templates come near the end of a level, after all its geometry. The end
// of the level when there is none. Only a guess, for a reading that may
// start there rather than go through all the level's geometry.
Status FindTemplatesStart(InputFile& archive, const EntryRow& level, int64_t* position);

}  // namespace jk

#endif  // JKRESCALE_SCALING_LEVEL_PASS_H_
