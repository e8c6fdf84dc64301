#include "scaling/level_pass.h"

#include <algorithm>

#include "archives/gob_archive.h"
#include "platform/ascii.h"
#include "scaling/game_text.h"
#include "scaling/level_sections.h"

namespace jk {

namespace {

// The progress is reported, and the question whether to stop asked, each
// time this much more of the text has been read: often enough for a smooth
// bar and a prompt stop, seldom enough to cost nothing (asking the clock
// on every line took a tenth of the pass).
constexpr int64_t kReportEvery = 64 * 1024;

}  // namespace

SectionState NextSectionState(SectionState state, std::string_view line) {
  switch (RecogniseLevelHeader(line)) {
    case LevelHeader::kWorldVertices:
      return SectionState::kVertices;
    case LevelHeader::kWorldTextureVertices:
      return SectionState::kTextureVertices;
    case LevelHeader::kWorldAdjoins:
      return SectionState::kAdjoins;
    case LevelHeader::kWorldTemplates:
      return SectionState::kTemplates;
    case LevelHeader::kWorldThings:
      return SectionState::kThings;
    case LevelHeader::kWorldCogs:
      return SectionState::kCogs;
    case LevelHeader::kSectorsSection:
      return SectionState::kSectors;
    case LevelHeader::kGeoresourceSection:
    case LevelHeader::kHeaderSection:
    case LevelHeader::kTemplatesSection:
    case LevelHeader::kThingsSection:
    case LevelHeader::kOtherSection:
    case LevelHeader::kEnd:
      return SectionState::kNone;
    case LevelHeader::kWorldSurfaces:  // the adjoins section runs on through them
    case LevelHeader::kWorldOther:
    case LevelHeader::kNone:
      return state;
  }
  return state;
}

SectionHandler* SectionHandlers::For(SectionState state) const {
  switch (state) {
    case SectionState::kVertices:
      return vertices;
    case SectionState::kAdjoins:
      return adjoins;
    case SectionState::kSectors:
      return sectors;
    case SectionState::kTemplates:
      return templates;
    case SectionState::kThings:
      return things;
    case SectionState::kCogs:
      return cogs;
    default:
      return nullptr;
  }
}

namespace {

// The level pass with what it writes to `write`; `header` and `progress`
// may be null (no header step, nobody watching).
Status PassOverLevel(InputFile& archive, const EntryRow& level, const SectionHandlers& handlers,
                     HeaderStep* header, const GameTextRewriter::Write& write,
                     ScaleProgress* progress) {
  SectionState state = SectionState::kNone;
  GameTextRewriter rewriter(
      [&](std::string& data) {
        state = NextSectionState(state, data);
        if (SectionHandler* handler = handlers.For(state)) handler->HandleLine(data);
        if (!header) return;
        const std::string& written = header->Apply(data);
        if (&written != &data) data.assign(written);
      },
      write, level.name);
  int64_t next_report = 0;
  JK_RETURN_IF_ERROR(ReadEntryText(archive, level.offset, level.length, [&](std::string& line) {
    const int64_t read = archive.Position() - level.offset;
    if (progress && (read >= next_report || read >= level.length)) {
      next_report = read + kReportEvery;
      // The last line may end past the entry: the share stops at 1.
      progress->LevelText(std::min(1.0, double(read) / double(level.length)));
      if (progress->CancelRequested()) return Status::Cancelled("the scale run was cancelled");
    }
    return rewriter.Line(line);
  }));
  return rewriter.Finish();
}

}  // namespace

Status RunLevelPass(InputFile& archive, const EntryRow& level, const SectionHandlers& handlers,
                    HeaderStep& header, OutputFile& output, ScaleProgress& progress) {
  return PassOverLevel(
      archive, level, handlers, &header,
      [&](std::string_view line) { return output.WriteLine(line); }, &progress);
}

Status ReadLevelSections(InputFile& archive, const EntryRow& level,
                         const SectionHandlers& handlers) {
  return PassOverLevel(
      archive, level, handlers, nullptr, [](std::string_view) { return Status::Ok(); }, nullptr);
}

namespace {

// How much of the level the search reads at a time, from its end back.
constexpr int64_t kSearchBlock = 256 * 1024;
// How far past a block its lines are read: enough of the last one to tell
// a header. A header's words begin within the first few characters of a
// line (after its indent).
constexpr int64_t kHeaderPrefix = 256;

// Whether the line at the start of `text` is a templates header; `text`
// goes on at least to the line's break or for kHeaderPrefix characters.
bool IsTemplatesHeader(std::string_view text) {
  text = text.substr(0, kHeaderPrefix);
  // Most lines are told at their first character: neither header begins
  // with anything but white space and its first word.
  const size_t first = text.find_first_not_of(" \t\v\f");
  if (first == std::string_view::npos ||
      !(text[first] == 's' || text[first] == 'S' || text[first] == 'w' || text[first] == 'W')) {
    return false;
  }
  const size_t end = std::min(text.find_first_of("\r\n"), text.size());
  const LevelHeader header = RecogniseLevelHeader(text.substr(0, end));
  return header == LevelHeader::kTemplatesSection || header == LevelHeader::kWorldTemplates;
}

}  // namespace

Status FindTemplatesStart(InputFile& archive, const EntryRow& level, int64_t* position) {
  const int64_t begin = level.offset, end = level.offset + level.length;
  *position = end;
  std::string block;
  // Blocks from the end back; in each, the lines that begin in it, from
  // the first on. The templates and the things come last in a level, after
  // all of its geometry: the search reads little more than they take.
  for (int64_t block_end = end; block_end > begin;) {
    const int64_t block_start = std::max(begin, block_end - kSearchBlock);
    JK_RETURN_IF_ERROR(archive.Seek(block_start));
    JK_RETURN_IF_ERROR(
        archive.Read(size_t(std::min(end, block_end + kHeaderPrefix) - block_start), &block));
    const std::string_view text = block;
    // A line begins at the level's start and after each line break: one
    // that begins at a block's first byte is told by the block before,
    // which reads that far.
    const size_t lines_end = std::min(text.size(), size_t(block_end - block_start) + 1);
    for (size_t at = 0; at < lines_end; ++at) {
      const bool line_start =
          at == 0 ? block_start == begin : (text[at - 1] == '\n' || text[at - 1] == '\r');
      if (line_start && IsTemplatesHeader(text.substr(at))) {
        *position = block_start + int64_t(at);
        return Status::Ok();
      }
    }
    block_end = block_start;
  }
  return Status::Ok();
}

}  // namespace jk
