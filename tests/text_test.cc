// The line conventions: trimming, keyword tests, splits and number texts.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "scaling/fields.h"
#include "scaling/level_sections.h"
#include "scaling/numbers.h"
#include "scaling/template_table.h"

namespace jk {
namespace {

// The number a text begins with; 0 for anything that is no number.
TEST(ValueOfTest, ReadsTheLeadingNumber) {
  const struct {
    const char* text;
    double value;
  } kCases[] = {
      {"2.5abc", 2.5}, {" 4.0", 4},     {"\t -3", -3}, {"\n3", 0},
      {"+7", 7},       {"abc", 0},      {"", 0},       {".5", 0.5},
      {"5.", 5},       {"-.25", -0.25}, {"1e3", 1000}, {"1E-2", 0.01},
      {"2e", 2},       {"2e+", 2},      {"2ex", 2},    {"1.5e+2x", 150},
      {"inf", 0},      {"nan", 0},      {"-inf", 0},   {"0x10", 0},
      {"1e400", 0},    {"-1e400", 0},   {"- 5", 0},    {"+-5", 0},
      {".", 0},        {"-", 0},        {"1,5", 1},    {"007", 7},
      {"5.e3", 5000},  {".5e1", 5},     {"1e+2", 100}, {"-2.5E-1x", -0.25},
  };
  for (const auto& c : kCases) EXPECT_EQ(ValueOf(c.text), c.value) << '"' << c.text << '"';
}

// Nine significant digits, correctly rounded, in plain decimal.
TEST(TextOfTest, WritesPlainDecimal) {
  const double kInf = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    const char* text;
  } kCases[] = {
      {2, "2"},
      {0.1 * 3, "0.3"},
      {1e-7, "0.0000001"},
      {100.0 / 3, "33.3333333"},
      {2.0 / 3, "0.666666667"},
      {1e21, "1000000000000000000000"},
      {0, "0"},
      {-0.0, "0"},
      {1e-7 - 1e-7, "0"},
      {kInf, "0"},
      {-kInf, "0"},
      {std::nan(""), "0"},
      {-2.5, "-2.5"},
      {-1e-7, "-0.0000001"},
      {100, "100"},
      {0.5, "0.5"},
      {9.9999999999, "10"},
      {123456789012, "123456789000"},
      {1.25e-3, "0.00125"},
      {0.000123456789123, "0.000123456789"},
  };
  for (const auto& c : kCases) EXPECT_EQ(TextOf(c.value), c.text) << c.value;
}

// TextOf rounds as printf's "%.9g" does, and ValueOf reads back what "%.17g"
// writes, over a wide range of magnitudes.
TEST(TextOfTest, AgreesWithPrintf) {
  std::mt19937_64 random(20240601);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-25, 25);
  char printed[64];
  for (int i = 0; i < 20000; ++i) {
    double value = mantissa(random) * std::pow(10.0, exponent(random));
    std::snprintf(printed, sizeof printed, "%.9g", value);
    ASSERT_EQ(ValueOf(TextOf(value)), std::strtod(printed, nullptr)) << printed;
    std::snprintf(printed, sizeof printed, "%.17g", value);
    ASSERT_EQ(ValueOf(printed), value) << printed;
  }
}

// The fast ways of reading and writing numbers give exactly what the slow
// ones do: short decimals as editors write them, their products by usual
// factors, values next to a rounding boundary (a half at the ninth digit,
// a power of ten), and random doubles of every magnitude.
// Short decimals as editors write them, their products by usual factors,
// values next to a rounding boundary and random doubles of every magnitude.
std::vector<double> AgreementValues() {
  std::mt19937_64 random(20261207);
  std::vector<double> values = {0.5e-7, 1e-7,        1e8,          999999999.5, 999999999.4999999,
                                1e9,    100000000.5, 0.1000000005, 123456789.5, 0.000123456785};
  std::uniform_int_distribution<int64_t> micro(-200'000'000, 200'000'000);
  for (int i = 0; i < 50000; ++i) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", double(micro(random)) / 1e6);
    double read = ValueOf(text);
    EXPECT_EQ(read, std::strtod(text, nullptr)) << text;
    for (double factor : {2.0, 0.5, 1.25, 3.0, 0.333333333, 1000.0})
      values.push_back(read * factor);
  }
  std::uniform_int_distribution<uint64_t> bits;
  for (int i = 0; i < 100000; ++i) {
    uint64_t b = bits(random);
    values.push_back(std::bit_cast<double>(b));
    values.push_back(std::ldexp(double(b >> 11), -53 - int(b % 60)));
  }
  return values;
}

// Whether TextOf writes every value as the exact way does.
::testing::AssertionResult FastWayAgrees(const std::vector<double>& values) {
  for (double value : values) {
    std::string exact;
    AppendTextOfExactly(value, &exact);
    if (TextOf(value) != exact) {
      return ::testing::AssertionFailure() << value << ": " << TextOf(value) << ", not " << exact;
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(TextOfTest, FastWaysAgreeWithTheExactOnes) { EXPECT_TRUE(FastWayAgrees(AgreementValues())); }

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
// The x87 unit's precision control (bits 8 and 9 of its control word: 0
// for 24 bits, 2 for 53, 3 for 64) is a setting of each thread, which a
// library or a driver may change; the numbers written must not depend on
// it.
TEST(TextOfTest, FastWayDoesNotDependOnTheX87Precision) {
  const std::vector<double> values = AgreementValues();
  uint16_t saved = 0;
  asm volatile("fnstcw %0" : "=m"(saved));
  for (uint16_t precision : {0, 2}) {
    const uint16_t word = uint16_t((saved & ~0x300) | (precision << 8));
    asm volatile("fldcw %0" : : "m"(word));
    ::testing::AssertionResult agrees = FastWayAgrees(values);
    asm volatile("fldcw %0" : : "m"(saved));
    EXPECT_TRUE(agrees) << "at precision control " << precision;
  }
}
#endif

// A scaled number is written as the double product of its value and the
// factor would be: for short decimals of every length and form, for
// products next to a half at the tenth digit or at a power of ten, for
// texts that are no short decimal, and for factors with and without a
// short decimal form.
TEST(AppendScaledTest, WritesWhatTheDoubleProductGives) {
  std::mt19937_64 random(20261208);
  std::vector<std::string> numbers = {"0",
                                      "-0",
                                      "-0.0",
                                      "",
                                      "abc",
                                      "1e3",
                                      "2.5E-2",
                                      ".5",
                                      "5.",
                                      "+3",
                                      "-.25",
                                      "1/2",
                                      "007.100",
                                      "1e",
                                      "9007199254740993",
                                      "123456789012345678901234",
                                      "0.0000000000000000000001",
                                      "999999999.5",
                                      "1.0000000005",
                                      "0.99999999950",
                                      "4.9999999995",
                                      "99999999.95",
                                      "100000000.49999999"};
  std::uniform_int_distribution<int> length(1, 17), digit(0, 9), coin(0, 3);
  for (int i = 0; i < 20000; ++i) {
    std::string digits;
    for (int n = length(random); n > 0; --n) digits += char('0' + digit(random));
    if (coin(random) == 0) {  // a half, or nearly one, after nine digits
      digits = digits.substr(0, 9) + (coin(random) ? "5" : "49999999");
    }
    size_t point = std::uniform_int_distribution<size_t>(0, digits.size())(random);
    std::string text = digits.substr(0, point) + "." + digits.substr(point);
    numbers.push_back(coin(random) == 0 ? "-" + text : text);
  }
  for (double factor : {1.0, 2.0, 0.5, 1.25, 3.0, 0.333333333, 1000.0, 0.001, 1.1, 2.54, 1.0 / 3,
                        7.123456789, 999.999999}) {
    const ScaleFactor scale(factor);
    for (const std::string& number : numbers) {
      std::string text;
      AppendScaled(number, scale, &text);
      ASSERT_EQ(text, TextOf(ValueOf(number) * factor)) << number << " times " << factor;
    }
  }
}

// A line joined with some of its fields scaled holds each of them as
// AppendScaled writes it and every other as read, whatever the lengths of
// their texts, empty fields at either end too.
TEST(JoinScalingTest, JoinsWhatAppendScaledWrites) {
  const ScaleFactor scale(2.5);
  for (const char* line : {",1.5 x -0.25 7,", "1e300 2 3", "0.0000001 123456789.123 x", ""}) {
    const Fields fields = SplitFields(line);
    std::string expected;
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) expected += ' ';
      if (i >= 1 && i < 4) {
        AppendScaled(fields[i], scale, &expected);
      } else {
        expected += fields[i];
      }
    }
    std::string joined = "held before";
    JoinScaling(fields, {{1, 3}}, scale, &joined);
    EXPECT_EQ(joined, expected) << line;
  }
}

// The one-pass join writes what the split and JoinScaling write, on rows
// of every form: runs of blanks, tabs and commas between fields, numbers
// of every length, sign and point, texts that are no plain number, fewer
// fields than kept and more, split on runs of separators and on single
// ones. It takes the usual vertex rows itself.
TEST(JoinScalingTest, OnePassRowJoinsAsTheSplitDoes) {
  std::mt19937_64 random(20261209);
  const std::vector<std::string> separators = {" ", "\t", ",", "  ", " ,\t", ", "};
  const std::vector<std::string> words = {"12:",
                                          "0.000000",
                                          "-0",
                                          "abc",
                                          "1e3",
                                          "5.",
                                          ".5",
                                          "+3",
                                          "1/2",
                                          "-.25",
                                          "007.100",
                                          "99999999.95",
                                          "123456789012345678",
                                          "x,"};
  std::uniform_int_distribution<int> fields(1, 7), kind(0, 2), length(1, 12), digit(0, 9);
  size_t taken = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string row;
    for (int n = fields(random); n > 0; --n) {
      if (!row.empty()) row += separators[random() % separators.size()];
      if (kind(random) == 0) {
        row += words[random() % words.size()];
      } else {
        std::string digits;
        for (int d = length(random); d > 0; --d) digits += char('0' + digit(random));
        size_t point = random() % (digits.size() + 1);
        row +=
            (kind(random) == 0 ? "-" : "") + digits.substr(0, point) + "." + digits.substr(point);
      }
    }
    for (double factor : {2.0, 0.5, 1.0 / 3}) {
      for (RowSplit how : {RowSplit::kOnRuns, RowSplit::kOnSingleSeparators}) {
        const ScaleFactor scale(factor);
        const size_t keep = how == RowSplit::kOnRuns ? 5 : 4;
        std::string joined;
        if (!JoinScalingRow(row, keep, {1, 3}, scale, &joined, how)) continue;
        ++taken;
        Fields split = how == RowSplit::kOnRuns ? SplitFields(row) : SplitOnSingleSeparator(row);
        ASSERT_GE(split.size(), keep) << row;
        split.resize(keep);
        std::string expected;
        JoinScaling(split, {{1, 3}}, scale, &expected);
        ASSERT_EQ(joined, expected) << row << " times " << factor;
      }
    }
  }
  EXPECT_GT(taken, 1000u);
  for (RowSplit how : {RowSplit::kOnRuns, RowSplit::kOnSingleSeparators}) {
    std::string joined;
    for (std::string_view row : {"2", "1: 2 3", "1: 2 3 ", ",1 2 3 4"}) {
      EXPECT_FALSE(JoinScalingRow(row, 4, {1, 3}, ScaleFactor(2), &joined, how)) << row;
    }
  }
  std::string vertex;
  ASSERT_TRUE(JoinScalingRow("12:\t-1.936358\t0.000470\t10.5\t0.000000", 5, {1, 3}, ScaleFactor(2),
                             &vertex));
  EXPECT_EQ(vertex, "12: -3.872716 0.00094 21 0.000000");
}

// A scale factor is a whole number text from 0.001 to 1000.
TEST(ParseScaleFactorTest, AcceptsOnlyNumbersInRange) {
  const struct {
    const char* text;
    double factor;
  } kAccepted[] = {{"2", 2},      {" 0.5 ", 0.5},   {"1e1", 10},    {"+3", 3},
                   {".25", 0.25}, {"0.001", 0.001}, {"1000", 1000}, {"1e3", 1000}};
  for (const auto& c : kAccepted) {
    double factor = 0;
    EXPECT_TRUE(ParseScaleFactor(c.text, &factor)) << c.text;
    EXPECT_EQ(factor, c.factor) << c.text;
  }
  for (const char* text : {"-2", "0", "-0", "0.0", "2,5", "2x", "", " ", "abc", "1e400", "1e-400",
                           "inf", "nan", "1e", "2 3", "1e-300", "0.000999", "1000.001", "1e4"}) {
    double factor = 0;
    EXPECT_FALSE(ParseScaleFactor(text, &factor)) << '"' << text << '"';
  }
}

// The whole-field readers: a plain decimal (a script's literal), an integer
// and a numbered line's "12:".
TEST(WholeFieldTest, ReadsOnlyWholeNumbers) {
  for (const char* text : {"5", "-5", "+5", ".5", "5.", "12.25", "007"}) {
    EXPECT_TRUE(IsPlainDecimal(text)) << text;
  }
  for (const char* text : {"", "-", ".", "1e3", " 5", "5 ", "5x", "0x10", "speed"}) {
    EXPECT_FALSE(IsPlainDecimal(text)) << '"' << text << '"';
  }
  int64_t value = 0;
  EXPECT_TRUE(ParseInteger("-42", &value));
  EXPECT_EQ(value, -42);
  EXPECT_TRUE(ParseInteger("ff", &value, 16));
  EXPECT_EQ(value, 255);
  for (const char* text : {"", "+4", "4.0", "4:", "99999999999999999999"}) {
    EXPECT_FALSE(ParseInteger(text, &value)) << '"' << text << '"';
  }
  EXPECT_EQ(LineNumber("12:"), 12);
  EXPECT_EQ(LineNumber("0:"), 0);
  for (const char* text : {"12", ":", "-1:", "x:", "1 2:", ""}) {
    EXPECT_EQ(LineNumber(text), -1) << '"' << text << '"';
  }
}

// A template starts as a copy of its base as it stands when the template is
// read, so a later change of the base does not reach it.
TEST(TemplateTableTest, CopiesTheBaseAtDefinition) {
  TemplateTable<std::string> table;
  table.Add("_Decor", "none") = "decor";
  EXPECT_EQ(table.Add("lamp", "_DECOR"), "decor");
  table.Add("lamp", "_decor") += "+lamp";
  EXPECT_EQ(table.Add("bright", "LAMP"), "decor+lamp");
  table.Add("_decor", "none") = "changed";
  EXPECT_EQ(*table.Find("Bright"), "decor+lamp");
  EXPECT_EQ(table.Find("nothing"), nullptr);
  ASSERT_EQ(table.rows().size(), 3u);  // "_decor" redefined in its place
  EXPECT_EQ(table.rows()[0].values, "changed");
  EXPECT_EQ(table.rows()[2].name, "bright");
}

// Trimming removes space, tab, CR, LF, VT and FF at both ends only.
TEST(TrimTest, RemovesWhiteSpaceAtBothEnds) {
  EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
  EXPECT_EQ(Trim("\v\fx\f\v"), "x");
  EXPECT_EQ(Trim(" \t "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("x\ty"), "x\ty");
}

// Keywords match at the start only, letter case ignored.
TEST(BeginsWithTest, MatchesTheStartIgnoringCase) {
  EXPECT_TRUE(BeginsWith("World Vertices 8", "world vertices"));
  EXPECT_TRUE(BeginsWith("ENDgame", "end"));
  EXPECT_TRUE(BeginsWith("end", "end"));
  EXPECT_FALSE(BeginsWith(" end", "end"));
  EXPECT_FALSE(BeginsWith("the end", "end"));
  EXPECT_FALSE(BeginsWith("en", "end"));
}

using Fields = std::vector<std::string_view>;

// "\s": every white-space character ends a field.
TEST(SplitTest, SingleWhiteSpaceKeepsEmptyFields) {
  EXPECT_EQ(SplitOnSingleSeparator("0:\t1.0\t2.0\t3.0"), (Fields{"0:", "1.0", "2.0", "3.0"}));
  EXPECT_EQ(SplitOnSingleSeparator("0:  1.0\t2.0\t3.0"), (Fields{"0:", "", "1.0", "2.0", "3.0"}));
  EXPECT_EQ(SplitOnSingleSeparator("a\vb\fc\rd"), (Fields{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitOnSingleSeparator(""), (Fields{""}));
}

// "\s+": every run of white space ends a field.
TEST(SplitTest, WhiteSpaceRunsEndOneField) {
  EXPECT_EQ(SplitOnWhiteSpace("0:  1.0\t2.0\t3.0"), (Fields{"0:", "1.0", "2.0", "3.0"}));
  EXPECT_EQ(SplitOnWhiteSpace("a \v\f b\r\nc"), (Fields{"a", "b", "c"}));
  EXPECT_EQ(SplitOnWhiteSpace("word"), (Fields{"word"}));
  EXPECT_EQ(SplitOnWhiteSpace(""), (Fields{""}));
  // Runs at either end give an empty field there.
  EXPECT_EQ(SplitOnWhiteSpace(" a b "), (Fields{"", "a", "b", ""}));
  EXPECT_EQ(SplitOnWhiteSpace(" \t "), (Fields{"", ""}));
}

// The split looks at 64 bytes at a time: fields and runs that cross those
// blocks, or end on their edges, split as they do anywhere else.
TEST(SplitTest, FieldsAcrossBlocks) {
  // The fields of `text`, one character at a time.
  auto split_slowly = [](std::string_view text) {
    Fields fields;
    if (!text.empty() && IsWhiteSpace(text.front())) fields.push_back({});
    size_t start = std::string_view::npos;
    for (size_t i = 0; i <= text.size(); ++i) {
      bool space = i == text.size() || IsWhiteSpace(text[i]);
      if (!space && start == std::string_view::npos) start = i;
      if (space && start != std::string_view::npos) {
        fields.push_back(text.substr(start, i - start));
        start = std::string_view::npos;
      }
    }
    if (text.empty() || IsWhiteSpace(text.back())) fields.push_back({});
    return fields;
  };
  std::mt19937_64 random(64);
  std::uniform_int_distribution<size_t> length(0, 200);
  std::uniform_int_distribution<int> pick(0, 9);
  for (int i = 0; i < 5000; ++i) {
    std::string text;
    for (size_t n = length(random); n > 0; --n) text += " \tab\r\nx\v\f7"[pick(random)];
    ASSERT_EQ(SplitOnWhiteSpace(text), split_slowly(text)) << '"' << text << '"';
  }
  for (size_t n : {63, 64, 65, 127, 128, 129}) {
    std::string word(n, 'w');
    EXPECT_EQ(SplitOnWhiteSpace(word), (Fields{word}));
    EXPECT_EQ(SplitOnWhiteSpace(word + " x"), (Fields{word, "x"}));
    EXPECT_EQ(SplitOnWhiteSpace("x" + std::string(n, ' ') + "y"), (Fields{"x", "y"}));
  }
}

// The plain way of finding the separators and the SSE2 way agree on every
// byte, NUL, backspace, shift-out and the bytes above 127 among them, for
// every length up to 64.
TEST(SplitTest, PlainAndSse2SeparatorsAgree) {
#if defined(__SSE2__)
  std::mt19937_64 random(2026);
  const std::string kBytes =
      std::string(" \t\r\n\v\f,;#ax0") + std::string(1, '\0') + "\b\x0e" + "\x7f\x80\x85\xa0\xff";
  std::uniform_int_distribution<size_t> pick(0, kBytes.size() - 1);
  std::uniform_int_distribution<int> any_byte(0, 255);
  for (int i = 0; i < 20000; ++i) {
    char bytes[64];
    const size_t count = size_t(i % 65);
    for (size_t n = 0; n < count; ++n) {
      bytes[n] = i % 2 ? kBytes[pick(random)] : char(any_byte(random));
    }
    ASSERT_EQ(SeparatorBitsPlain<true>(bytes, count), SeparatorBitsSse2<true>(bytes, count)) << i;
    ASSERT_EQ(SeparatorBitsPlain<false>(bytes, count), SeparatorBitsSse2<false>(bytes, count)) << i;
  }
#else
  GTEST_SKIP() << "no SSE2 on this processor";
#endif
}

}  // namespace
}  // namespace jk
