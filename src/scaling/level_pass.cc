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
// How far past a block its lines are read: enough of the last one that
// begins in it to tell a header.
constexpr int64_t kHeaderPrefix = 256;

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
    // Where the line from `from` on ends: at a CR, a LF or the text's end.
    auto line_end = [&](size_t from) {
      while (from < text.size() && text[from] != '\r' && text[from] != '\n') ++from;
      return from;
    };
    // A line begins at the level's start and after each line break; the
    // one that begins before the block, or at its first byte, is told by
    // the block before, which reads on that far. (A file that ends early
    // gives fewer bytes.)
    const size_t last_start = std::min(text.size(), size_t(block_end - block_start));
    for (size_t start = block_start == begin ? 0 : line_end(0) + 1; start <= last_start;) {
      const size_t stop = line_end(start);
      const LevelHeader header = RecogniseLevelHeader(text.substr(start, stop - start));
      if (header == LevelHeader::kTemplatesSection || header == LevelHeader::kWorldTemplates) {
        *position = block_start + int64_t(start);
        return Status::Ok();
      }
      start = stop + 1;
    }
    block_end = block_start;
  }
  return Status::Ok();
}

}  // namespace jk
