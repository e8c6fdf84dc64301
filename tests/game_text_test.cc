// The game's way of reading a line, and the rewriting that keeps every
// comment and every line in its place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scaling/game_text.h"
#include "scaling/text.h"

namespace jk {
namespace {

// A line's data, continuation and comment, for lines of every kind.
TEST(ReadGameLineTest, SplitsDataContinuationAndComment) {
  const struct {
    const char* line;
    const char* data;
    const char* continuation;
    const char* comment;
    bool is_comment_line;
  } kCases[] = {
      {"0: 1 2 3", "0: 1 2 3", "", "", false},
      {"  0: 1 2 3  ", "  0: 1 2 3  ", "", "", false},
      {"", "", "", "", false},
      {"   ", "   ", "", "", false},
      {"; 1: 4.0 5.0 6.0", "", "", "; 1: 4.0 5.0 6.0", true},
      {"  ;x", "", "", "  ;x", true},
      {"#num: x y z", "", "", "#num: x y z", true},
      {"\t# a", "", "", "\t# a", true},
      {"0: 1 2 3 # corner", "0: 1 2 3", "", " # corner", false},
      {"0: 1 2 3#x\\", "0: 1 2 3", "", "#x\\", false},
      {"0: 1; 2", "0: 1; 2", "", "", false},
      {"0: 1 2 \\", "0: 1 2", " \\", "", false},
      {"0: 1 2\\  ", "0: 1 2", "\\  ", "", false},
      {"0: 1 2 \\ # more", "0: 1 2", " \\", " # more", false},
      {"\\", "", "\\", "", false},
      {"a\\b", "a\\b", "", "", false},
  };
  for (const auto& c : kCases) {
    GameLine parts = ReadGameLine(c.line);
    EXPECT_EQ(parts.data, c.data) << c.line;
    EXPECT_EQ(parts.continuation, c.continuation) << c.line;
    EXPECT_EQ(parts.comment, c.comment) << c.line;
    EXPECT_EQ(parts.is_comment_line, c.is_comment_line) << c.line;
    EXPECT_EQ(parts.continues(), *c.continuation != 0) << c.line;
  }
}

// The first "#" after the leading white space ends the data wherever it
// stands, in lines short and long, and one in a comment line's place too.
TEST(ReadGameLineTest, FindsTheCommentMarkAnywhere) {
  for (size_t length = 1; length <= 48; ++length) {
    for (size_t blanks = 0; blanks < length; blanks += 5) {
      for (size_t mark = blanks + 1; mark <= length; ++mark) {
        std::string line = std::string(blanks, ' ') + std::string(length - blanks, 'x');
        if (mark < length) line[mark] = '#';
        if (mark + 7 < length) line[mark + 7] = '#';
        GameLine parts = ReadGameLine(line);
        ASSERT_EQ(parts.data, line.substr(0, mark)) << line;
        ASSERT_EQ(parts.comment, line.substr(mark)) << line;
      }
    }
  }
}

// Commas separate fields as blanks do, in both splits.
TEST(FieldSeparatorTest, CommasSeparateFields) {
  EXPECT_EQ(SplitFields("1.0,2.0 , 3"), (Fields{"1.0", "2.0", "3"}));
  EXPECT_EQ(SplitOnSingleSeparator("0:,1,2 3"), (Fields{"0:", "1", "2", "3"}));
  EXPECT_TRUE(IsFieldSeparator(','));
  EXPECT_TRUE(IsFieldSeparator('\t'));
  EXPECT_FALSE(IsFieldSeparator(';'));
}

// The rewriting of a text: what the rewrite function saw, and what was
// written.
struct Rewritten {
  std::vector<std::string> seen;
  std::vector<std::string> written;
};

// Rewrites `lines` with a function that doubles every field that is the
// number 1, 2 or 3 and joins the fields with single blanks, as the scaling
// steps do.
Rewritten Rewrite(std::vector<std::string> lines) {
  Rewritten result;
  GameTextRewriter rewriter(
      [&](std::string& data) {
        result.seen.push_back(data);
        Fields fields = SplitFields(Trim(data));
        std::string out;
        bool changed = false;
        for (std::string_view field : fields) {
          if (!out.empty()) out += ' ';
          if (field == "1" || field == "2" || field == "3") {
            out += std::to_string(2 * (field[0] - '0'));
            changed = true;
          } else {
            out += field;
          }
        }
        if (changed) data = out;
      },
      [&](std::string_view line) {
        result.written.emplace_back(line);
        return Status::Ok();
      });
  for (std::string& line : lines) EXPECT_TRUE(rewriter.Line(line).ok());
  EXPECT_TRUE(rewriter.Finish().ok());
  return result;
}

// Comment lines are never rewritten; trailing comments are kept byte for
// byte behind the rewritten data, white space in front of them included.
TEST(GameTextRewriterTest, KeepsEveryComment) {
  Rewritten r = Rewrite({"; 1: 4.0 5.0 6.0", "# 1 2 3", "0: 1,2 3\t# size=0.3 1", "x 1#",
                         "unchanged  # 1", "  0: 1 2 3  "});
  EXPECT_EQ(r.seen, (std::vector<std::string>{"0: 1,2 3", "x 1", "unchanged", "  0: 1 2 3  "}));
  EXPECT_EQ(r.written,
            (std::vector<std::string>{"; 1: 4.0 5.0 6.0", "# 1 2 3", "0: 2 4 6\t# size=0.3 1",
                                      "x 2#", "unchanged  # 1", "0: 2 4 6"}));
}

// A continued line is read as one with the lines that continue it and
// written again over as many lines, each with the fields it held, its "\"
// and its comment.
TEST(GameTextRewriterTest, ContinuedLinesStayApart) {
  Rewritten r = Rewrite({"a 1 \\ # first", "   2, b\\", "\t3 c # last", "after 1"});
  EXPECT_EQ(r.seen, (std::vector<std::string>{"a 1    2, b \t3 c", "after 1"}));
  EXPECT_EQ(r.written,
            (std::vector<std::string>{"a 2 \\ # first", "   4 b\\", "\t6 c # last", "after 2"}));
  // Left as it was, a continued line is written exactly as read.
  Rewritten same = Rewrite({"a \\", " b # c"});
  EXPECT_EQ(same.seen, (std::vector<std::string>{"a  b"}));
  EXPECT_EQ(same.written, (std::vector<std::string>{"a \\", " b # c"}));
}

// A rewrite that drops fields leaves the later lines of a continued line
// without data; a comment line ends a continued line and adds no data; a
// last line that continues is rewritten alone.
TEST(GameTextRewriterTest, ContinuedLineEdges) {
  Rewritten dropped;
  GameTextRewriter rewriter([](std::string& data) { data = "x"; },
                            [&](std::string_view line) {
                              dropped.written.emplace_back(line);
                              return Status::Ok();
                            });
  for (std::string line : {"a b \\", "c # k"}) ASSERT_TRUE(rewriter.Line(line).ok());
  EXPECT_EQ(dropped.written, (std::vector<std::string>{"x \\", " # k"}));

  Rewritten r = Rewrite({"1 \\", "; note", "2 \\"});
  EXPECT_EQ(r.seen, (std::vector<std::string>{"1 ", "2"}));
  EXPECT_EQ(r.written, (std::vector<std::string>{"2 \\", "; note", "4 \\"}));
}

// A continued line longer than anything the game reads is written as read
// once it passes kLongestJoinedLine, without being rewritten: damaged text
// cannot make the rewriting hold it whole.
TEST(GameTextRewriterTest, EndlessContinuedLineIsWrittenAsRead) {
  const std::string piece = std::string(1000, '1') + " \\";
  std::vector<std::string> lines(100, piece);
  lines.push_back("2 3");
  Rewritten r = Rewrite(lines);
  ASSERT_EQ(r.written.size(), lines.size());
  for (size_t i = 0; i + 2 < lines.size(); ++i) EXPECT_EQ(r.written[i], lines[i]) << i;
  EXPECT_EQ(r.written.back(), "4 6");
}

// A failed write ends the rewriting with its Status.
TEST(GameTextRewriterTest, StopsAtAFailedWrite) {
  GameTextRewriter rewriter([](std::string&) {},
                            [](std::string_view) { return Status::Invalid("disk full"); });
  std::string line = "a";
  EXPECT_EQ(rewriter.Line(line).message(), "disk full");
}

// The lines a rewriting writes, or its failure.
struct Limited {
  Status status;
  std::vector<std::string> written;
};

// Rewrites `lines` of "f.jkl" with `rewrite`, stopping at the first failure.
Limited RewriteWithin(std::vector<std::string> lines, GameTextRewriter::Rewrite rewrite) {
  Limited result;
  GameTextRewriter rewriter(
      std::move(rewrite),
      [&](std::string_view line) {
        result.written.emplace_back(line);
        return Status::Ok();
      },
      "f.jkl");
  for (std::string& line : lines) {
    result.status = rewriter.Line(line);
    if (!result.status.ok()) return result;
  }
  result.status = rewriter.Finish();
  return result;
}

// A rewritten line may not pass the game's 1,023 characters or 128 fields:
// the rewriting stops before writing it, naming the line by its number and
// its first field. Lines the rewrite leaves as they are pass whatever they
// hold.
TEST(GameTextRewriterTest, StopsBeforeALineOverTheGamesLimits) {
  auto grow_to = [](size_t size) {
    return [size](std::string& data) {
      if (Trim(data).starts_with("0:")) data.resize(size, '1');
    };
  };
  const std::string long_comment = "; " + std::string(2000, 'x');
  const std::string many_fields = "many" + std::string(200, ' ') + std::string(300, ',');
  Limited fits = RewriteWithin({long_comment, "0: 1 # c", many_fields}, grow_to(1019));
  EXPECT_TRUE(fits.status.ok()) << fits.status.message();
  EXPECT_EQ(fits.written[1].size(), 1023u);

  Limited too_long = RewriteWithin({"x", "  0: 1 # c", "y"}, grow_to(1020));
  EXPECT_EQ(too_long.status.kind(), Status::Kind::kInvalid);
  EXPECT_EQ(too_long.status.message(),
            "'f.jkl': line 2 (0:) would be 1024 characters long, more than the 1023 the game "
            "reads");
  EXPECT_EQ(too_long.written, std::vector<std::string>{"x"});

  std::string fields_129 = "0:";
  for (int i = 0; i < 128; ++i) fields_129 += " 1";
  Limited too_many = RewriteWithin({fields_129}, [](std::string& data) { data += " "; });
  EXPECT_EQ(too_many.status.message(),
            "'f.jkl': line 1 (0:) would hold 129 fields, more than the 128 the game reads");
  EXPECT_TRUE(too_many.written.empty());

  // A continued line: every one of its lines is checked before any is
  // written.
  Limited continued = RewriteWithin({"0: 1 \\", "2 3"}, [](std::string& data) {
    data = "0: " + std::string(1100, '1') + " 2 3";
  });
  EXPECT_EQ(continued.status.message(),
            "'f.jkl': line 1 (0:) would be 1105 characters long, more than the 1023 the game "
            "reads");
  EXPECT_TRUE(continued.written.empty());

  // The first field as a message names it: printable, and not too long.
  Limited odd = RewriteWithin({std::string("\x1b[2J\0\x9b", 6) + std::string(60, 'a') + " 1"},
                              [](std::string& data) { data += std::string(1100, '1'); });
  const std::string named = "'f.jkl': line 1 (?[2J??" + std::string(34, 'a') + "...) would be";
  EXPECT_EQ(odd.status.message().substr(0, named.size()), named);
}

}  // namespace
}  // namespace jk
