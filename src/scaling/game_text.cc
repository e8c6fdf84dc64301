#include "scaling/game_text.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/ascii.h"
#include "scaling/fields.h"
#include "scaling/game_limits.h"

namespace jk {

namespace {

// A line this short holds at most kMostGameFields fields: they need a
// character each and a separator between each two.
constexpr size_t kFewFieldsAtMost = 2 * kMostGameFields - 1;

// How many fields `data` holds: its runs of characters that are no
// separators.
size_t CountFields(std::string_view data) {
  size_t count = 0;
  bool in_field = false;
  for (char c : data) {
    const bool separator = IsFieldSeparator(c);
    if (!separator && !in_field) ++count;
    in_field = !separator;
  }
  return count;
}

// The position after the first `count` fields of `text` from `from` on
// (the separators in front of each field are skipped).
size_t SkipFields(std::string_view text, size_t from, size_t count) {
  size_t i = from;
  for (size_t n = 0; n < count; ++n) {
    while (i < text.size() && IsFieldSeparator(text[i])) ++i;
    while (i < text.size() && !IsFieldSeparator(text[i])) ++i;
  }
  return i;
}

// The white space that `text` begins with.
std::string_view LeadingWhiteSpace(std::string_view text) {
  size_t n = 0;
  while (n < text.size() && IsWhiteSpace(text[n])) ++n;
  return text.substr(0, n);
}

// The position of the first "#" in `text` from `from` on, or its size.
// Searched sixteen bytes at a time in place: a line is short, and a call
// to memchr for each would cost more than the search.
size_t FindCommentMark(std::string_view text, size_t from) {
  const char* const begin = text.data();
  size_t i = from;
#if defined(__SSE2__)
  if (text.size() - from >= 16) {
    const __m128i mark = _mm_set1_epi8('#');
    // The last block ends with the text: blocks may overlap, never pass it,
    // and what a block holds before `from` does not count.
    for (;; i += 16) {
      if (i > text.size() - 16) i = text.size() - 16;
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin + i));
      unsigned found = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, mark)));
      if (i < from) found &= ~0u << (from - i);
      if (found != 0) return i + size_t(std::countr_zero(found));
      if (i == text.size() - 16) return text.size();
    }
  }
#endif
  while (i < text.size() && begin[i] != '#') ++i;
  return i;
}

}  // namespace

GameLine ReadGameLine(std::string_view line) {
  GameLine parts;
  size_t first = 0;
  while (first < line.size() && IsWhiteSpace(line[first])) ++first;
  if (first < line.size() && (line[first] == ';' || line[first] == '#')) {
    parts.is_comment_line = true;
    parts.comment = line;
    return parts;
  }
  const size_t hash = FindCommentMark(line, first);
  // The data ends at the comment, or with the line.
  const bool has_comment = hash < line.size();
  size_t end = hash;
  size_t last = end;  // the end of the data without the white space after it
  while (last > first && IsWhiteSpace(line[last - 1])) --last;
  if (has_comment) end = last;
  if (last > first && line[last - 1] == '\\') {
    size_t backslash = last - 1;
    while (backslash > first && IsWhiteSpace(line[backslash - 1])) --backslash;
    parts.data = line.substr(0, backslash);
    parts.continuation = line.substr(backslash, end - backslash);
  } else {
    parts.data = line.substr(0, end);
  }
  parts.comment = line.substr(end);
  return parts;
}

Status GameTextRewriter::Line(std::string& line) {
  ++line_number_;
  const GameLine parts = ReadGameLine(line);
  if (!pending_.empty()) {
    // The line continues the one before, whatever it holds (a comment
    // line adds no data).
    Hold(line, parts);
    if (!parts.continues()) return WriteContinued();
    return pending_size_ <= kLongestJoinedLine ? Status::Ok() : WriteHeldAsRead();
  }
  if (parts.is_comment_line) return write_(line);
  if (parts.continues()) {
    first_pending_ = line_number_;
    Hold(line, parts);
    return Status::Ok();
  }
  if (!parts.comment.empty()) return WriteWithComment(line, parts);
  // Most lines hold neither a comment nor a "\": their data is the line.
  const size_t read_size = line.size();
  JK_RETURN_IF_ERROR(RewriteWithinLimits(line, line_number_));
  if (line.size() > read_size) JK_RETURN_IF_ERROR(CheckLength(line, line, line_number_));
  return write_(line);
}

void GameTextRewriter::Hold(std::string& line, const GameLine& parts) {
  pending_size_ += line.size();
  Piece piece;
  piece.data_size = parts.data.size();
  piece.fields = CountFields(parts.data);
  piece.text.swap(line);
  pending_.push_back(std::move(piece));
}

Status GameTextRewriter::WriteHeldAsRead() {
  std::vector<Piece> pieces;
  pieces.swap(pending_);
  pending_size_ = 0;
  for (const Piece& piece : pieces) JK_RETURN_IF_ERROR(write_(piece.text));
  return Status::Ok();
}

Status GameTextRewriter::Finish() {
  if (pending_.empty()) return Status::Ok();
  return WriteContinued();
}

Status GameTextRewriter::RewriteWithinLimits(std::string& data, int64_t first_line) {
  const bool long_as_read = data.size() > kFewFieldsAtMost;
  if (long_as_read) original_.assign(data);
  rewrite_(data);
  if (data.size() <= kFewFieldsAtMost || (long_as_read && data == original_)) {
    return Status::Ok();
  }
  const size_t fields = CountFields(data);
  if (fields <= kMostGameFields) return Status::Ok();
  return Status::Invalid(Place(first_line, data) + " would hold " + std::to_string(fields) +
                         " fields, more than the " + std::to_string(kMostGameFields) +
                         " the game reads");
}

Status GameTextRewriter::CheckLength(std::string_view line, std::string_view data,
                                     int64_t number) const {
  if (line.size() <= kLongestGameLine) return Status::Ok();
  return Status::Invalid(Place(number, data) + " would be " + std::to_string(line.size()) +
                         " characters long, more than the " + std::to_string(kLongestGameLine) +
                         " the game reads");
}

std::string GameTextRewriter::Place(int64_t number, std::string_view data) const {
  std::string_view first = Trim(data);
  size_t end = 0;
  while (end < first.size() && !IsFieldSeparator(first[end])) ++end;
  // The field comes from a file that may be damaged or hostile, and the
  // message may go to a terminal: at most kLongestNamedField characters of
  // it, every one that is not printable ASCII shown as "?".
  std::string field(first.substr(0, std::min(end, kLongestNamedField)));
  for (char& c : field) {
    if (c < ' ' || c > '~') c = '?';
  }
  if (end > kLongestNamedField) field += "...";
  return "'" + file_name_ + "': line " + std::to_string(number) + " (" + field + ")";
}

Status GameTextRewriter::WriteWithComment(std::string& line, const GameLine& parts) {
  const size_t read_size = line.size();
  comment_.assign(parts.comment);
  line.resize(parts.data.size());
  JK_RETURN_IF_ERROR(RewriteWithinLimits(line, line_number_));
  const size_t data_size = line.size();
  line += comment_;
  if (line.size() > read_size) {
    JK_RETURN_IF_ERROR(
        CheckLength(line, std::string_view(line).substr(0, data_size), line_number_));
  }
  return write_(line);
}

Status GameTextRewriter::WriteContinued() {
  joined_.clear();
  for (size_t i = 0; i < pending_.size(); ++i) {
    if (i > 0) joined_ += ' ';
    joined_.append(pending_[i].text, 0, pending_[i].data_size);
  }
  joined_as_read_ = joined_;
  std::vector<Piece> pieces;
  pieces.swap(pending_);
  pending_size_ = 0;
  JK_RETURN_IF_ERROR(RewriteWithinLimits(joined_, first_pending_));
  if (joined_ == joined_as_read_) {
    for (const Piece& piece : pieces) JK_RETURN_IF_ERROR(write_(piece.text));
    return Status::Ok();
  }
  // The rewritten data is split again: each line but the last takes as
  // many fields as it held, after the white space it began with as read.
  // All are checked before the first is written.
  std::vector<std::string> lines(pieces.size());
  size_t pos = 0;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const Piece& piece = pieces[i];
    std::string_view text = piece.text;
    size_t begin = pos;
    if (i > 0) {
      lines[i].append(LeadingWhiteSpace(text.substr(0, piece.data_size)));
      while (begin < joined_.size() && IsFieldSeparator(joined_[begin])) ++begin;
    }
    pos = i + 1 < pieces.size() ? SkipFields(joined_, begin, piece.fields) : joined_.size();
    lines[i].append(joined_, begin, pos - begin);
    lines[i].append(text.substr(piece.data_size));
    if (lines[i].size() > text.size()) {
      JK_RETURN_IF_ERROR(CheckLength(lines[i], joined_, first_pending_ + int64_t(i)));
    }
  }
  for (const std::string& line : lines) JK_RETURN_IF_ERROR(write_(line));
  return Status::Ok();
}

}  // namespace jk
