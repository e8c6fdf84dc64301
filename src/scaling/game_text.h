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
class GameTextRewriter {
 public:
  using Rewrite = std::function<void(std::string& data)>;
  using Write = std::function<Status(std::string_view line)>;

  GameTextRewriter(Rewrite rewrite, Write write)
      : rewrite_(std::move(rewrite)), write_(std::move(write)) {}

  // Takes the next line as read, without its line break; its text may be
  // used up. Fails when a write fails.
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

  Rewrite rewrite_;
  Write write_;
  std::string comment_;
  std::vector<Piece> pending_;
  std::string joined_, original_, piece_line_;
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_GAME_TEXT_H_
