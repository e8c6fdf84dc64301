// How the game reads its text files (levels, models, cog scripts,
// keyframes, sound classes, sprites: all alike), and the rewriting of such
// a file that changes what the game reads and nothing else. Every reader
// and rewriter of these files goes through here:
//
// - a line whose first character that is no white space is ";" or "#" is
//   a comment;
// - in any other line a "#" ends the line's data: the rest is a comment;
// - a comma separates fields as white space does (SplitFields);
// - a line whose data ends with "\" continues on the next line: the two
//   are read as one, the "\" and the line break between them separating
//   fields as a blank does;
// - the game reads each line in lower case: keywords and names (templates,
//   their bases, file names) compare without regard to letter case
//   (BeginsWith, EqualsIgnoringCase, ToLowerAscii of platform/ascii.h).
#ifndef JKRESCALE_SCALING_GAME_TEXT_H_
#define JKRESCALE_SCALING_GAME_TEXT_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace jk {

// One line as read, in its three parts: data + continuation + comment is
// the line.
struct GameLine {
  // What the game reads of the line. Without a trailing comment or a "\",
  // the whole line (its white space at both ends included). Before a
  // trailing comment or a "\", the line up to the white space in front of
  // it. Empty for a comment line.
  std::string_view data;
  // The "\" of a line that continues on the next, with the white space
  // around it; empty when the line does not continue.
  std::string_view continuation;
  // The trailing comment from its "#" on, with the white space in front
  // of it; the whole line for a comment line; empty when there is none.
  std::string_view comment;
  bool is_comment_line = false;

  bool continues() const { return !continuation.empty(); }
};

// The parts of `line` (one line as read, without its line break).
GameLine ReadGameLine(std::string_view line);

// Rewrites a text line by line as the game reads it. Each line the game
// reads goes once to the rewrite function as its data (leading white space
// as read), which may replace it: a comment line never goes; a continued
// line goes together with the lines that continue it, their data joined by
// single blanks. Every line is then written in its place and none is added,
// dropped or merged: a line whose data the rewrite left as it was is
// written exactly as read; a rewritten line is written with its comment
// (and, for a continued line, its "\") as read after it, and a rewritten
// continued line is split again over its lines, each line taking as many
// fields as it held (the last line the rest).
//
// A rewritten line is never written over the game's limits (game_limits.h):
// one that would be longer than kLongestGameLine characters, or hold more
// than kMostGameFields fields, fails the rewriting before it is written,
// with a message that names the file, the line's number and its first
// field. A line the rewrite left as it was is the file's own and passes.
//
// So that damaged text cannot make it hold more than a line at a time, a
// continued line of more than kLongestJoinedLine characters, far more than
// the game reads, is written as read once it passes that length, and its
// rest is taken as new lines.
class GameTextRewriter {
 public:
  static constexpr size_t kLongestJoinedLine = 64 * 1024;
  // The most characters of a line's first field that a message names.
  static constexpr size_t kLongestNamedField = 40;

  using Rewrite = std::function<void(std::string& data)>;
  using Write = std::function<Status(std::string_view line)>;

  // `file_name` names the text in messages.
  GameTextRewriter(Rewrite rewrite, Write write, std::string file_name = "")
      : rewrite_(std::move(rewrite)), write_(std::move(write)), file_name_(std::move(file_name)) {}

  // Takes the next line as read, without its line break; its text may be
  // used up. Fails when a write fails or a rewritten line would pass the
  // game's limits.
  Status Line(std::string& line);

  // Ends the text: a last line that continues is rewritten alone. Call it
  // after the last line.
  Status Finish();

 private:
  // One line of a continued line, as read.
  struct Piece {
    std::string text;
    size_t data_size = 0;
    size_t fields = 0;  // in its data
  };

  // Keeps a line that continues a line or goes on on the next.
  void Hold(std::string& line, const GameLine& parts);
  Status WriteWithComment(std::string& line, const GameLine& parts);
  Status WriteContinued();
  // Writes the lines held as they were read, and forgets them.
  Status WriteHeldAsRead();
  // Rewrites `data` and checks the result against the game's limits (see
  // the class comment); `first_line` is the number of its first line.
  Status RewriteWithinLimits(std::string& data, int64_t first_line);
  // Fails when `line` (written as line number `number`, of the data
  // `data`) is longer than the game reads.
  Status CheckLength(std::string_view line, std::string_view data, int64_t number) const;
  // "'file': line 12 (first field)".
  std::string Place(int64_t number, std::string_view data) const;

  Rewrite rewrite_;
  Write write_;
  std::string file_name_;
  int64_t line_number_ = 0;  // of the last line taken
  int64_t first_pending_ = 0;
  std::string comment_;
  std::vector<Piece> pending_;
  size_t pending_size_ = 0;  // of the lines held
  std::string joined_, joined_as_read_, original_;
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_GAME_TEXT_H_
