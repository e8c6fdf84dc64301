#include "scaling/game_text.h"

#include <cstring>

#include "platform/ascii.h"
#include "scaling/text.h"

namespace jk {

namespace {

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
  const void* hash =
      first < line.size() ? std::memchr(line.data() + first, '#', line.size() - first) : nullptr;
  // The data ends at the comment, or with the line.
  size_t end = hash ? size_t(static_cast<const char*>(hash) - line.data()) : line.size();
  size_t last = end;  // the end of the data without the white space after it
  while (last > first && IsWhiteSpace(line[last - 1])) --last;
  if (hash) end = last;
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
  const GameLine parts = ReadGameLine(line);
  if (!pending_.empty()) {
    // The line continues the one before, whatever it holds (a comment
    // line adds no data).
    Hold(line, parts);
    return parts.continues() ? Status::Ok() : WriteContinued();
  }
  if (parts.is_comment_line) return write_(line);
  if (parts.continues()) {
    Hold(line, parts);
    return Status::Ok();
  }
  // Most lines hold neither a comment nor a "\": their data is the line.
  if (!parts.comment.empty()) return WriteWithComment(line, parts);
  rewrite_(line);
  return write_(line);
}

void GameTextRewriter::Hold(std::string& line, const GameLine& parts) {
  Piece piece;
  piece.data_size = parts.data.size();
  piece.fields = CountFields(parts.data);
  piece.text.swap(line);
  pending_.push_back(std::move(piece));
}

Status GameTextRewriter::Finish() {
  if (pending_.empty()) return Status::Ok();
  return WriteContinued();
}

Status GameTextRewriter::WriteWithComment(std::string& line, const GameLine& parts) {
  comment_.assign(parts.comment);
  line.resize(parts.data.size());
  rewrite_(line);
  line += comment_;
  return write_(line);
}

Status GameTextRewriter::WriteContinued() {
  joined_.clear();
  for (size_t i = 0; i < pending_.size(); ++i) {
    if (i > 0) joined_ += ' ';
    joined_.append(pending_[i].text, 0, pending_[i].data_size);
  }
  original_ = joined_;
  rewrite_(joined_);
  Status written = Status::Ok();
  if (joined_ == original_) {
    for (Piece& piece : pending_) {
      if (written.ok()) written = write_(piece.text);
    }
    pending_.clear();
    return written;
  }
  // The rewritten data is split again: each line but the last takes as
  // many fields as it held, after the white space it began with as read.
  size_t pos = 0;
  for (size_t i = 0; i < pending_.size() && written.ok(); ++i) {
    const Piece& piece = pending_[i];
    std::string_view text = piece.text;
    piece_line_.clear();
    size_t begin = pos;
    if (i > 0) {
      piece_line_.append(LeadingWhiteSpace(text.substr(0, piece.data_size)));
      while (begin < joined_.size() && IsFieldSeparator(joined_[begin])) ++begin;
    }
    pos = i + 1 < pending_.size() ? SkipFields(joined_, begin, piece.fields) : joined_.size();
    piece_line_.append(joined_, begin, pos - begin);
    piece_line_.append(text.substr(piece.data_size));
    written = write_(piece_line_);
  }
  pending_.clear();
  return written;
}

}  // namespace jk
