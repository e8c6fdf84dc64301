// The test episode "episode.jk".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scaling/episode.h"
#include "test_util.h"

namespace jk {
namespace {

// Five lines: the archive's file name as in its path, and the level file
// name, blanks and all, among nine fields joined by single blanks.
TEST(TestEpisodeLinesTest, NamesTheArchiveAndTheLevel) {
  EXPECT_EQ(TestEpisodeLines("/games/jkm/Episode/MyMod.GOO", "jkl\\my level.jkl"),
            (std::vector<std::string>{"\"MyMod.GOO\"", "TYPE 1", "SEQ 1",
                                      "10: 0 1 LEVEL my level.jkl 0 0 -1 -1", "end"}));
  EXPECT_EQ(TestEpisodeLines("ep.gob", "jkl\\sub\\a.jkl")[3], "10: 0 1 LEVEL sub\\a.jkl 0 0 -1 -1");
}

// A mod's title: the level's file name without folder and extension, its
// first letter in upper case, and the factor as typed, trimmed.
TEST(ModEpisodeTest, Title) {
  EXPECT_EQ(ModEpisodeTitle("jkl\\canyon.jkl", "2"), "Canyon x2");
  EXPECT_EQ(ModEpisodeTitle("jkl\\sub\\deep.jkl", " 1.50\t"), "Deep x1.50");
  EXPECT_EQ(ModEpisodeTitle("jkl\\01narshadda.JKL", "1e1"), "01narshadda x1e1");
  EXPECT_EQ(ModEpisodeTitle("jkl\\My Level.v2.jkl", "0.5"), "My Level.v2 x0.5");
  EXPECT_EQ(ModEpisodeTitle("jkl\\no extension", "3"), "No extension x3");
  EXPECT_EQ(ModEpisodeTitle("jkl\\say \"hi\".jkl", "3"), "Say hi x3");
}

// A mod's episode is the test episode with the title in quotes first.
TEST(ModEpisodeTest, Lines) {
  EXPECT_EQ(ModEpisodeLines("jkl\\canyon.jkl", " 2 "),
            (std::vector<std::string>{"\"Canyon x2\"", "TYPE 1", "SEQ 1",
                                      "10: 0 1 LEVEL canyon.jkl 0 0 -1 -1", "end"}));
}

class EpisodeTest : public TempFolderTest {};

// The file holds the five lines with CR LF and replaces an older, longer one.
TEST_F(EpisodeTest, WritesTheFileAnew) {
  WriteBytes("episode.jk", std::string(1000, 'x'));
  ASSERT_TRUE(WriteTestEpisode(fs_, root_, "/g/ep.gob", "jkl\\a.jkl").ok());
  EXPECT_EQ(ReadFile(Path("episode.jk")),
            "\"ep.gob\"\r\nTYPE 1\r\nSEQ 1\r\n10: 0 1 LEVEL a.jkl 0 0 -1 -1\r\nend\r\n");
}

// A file that cannot be created ends the step with a message naming it.
TEST_F(EpisodeTest, UncreatableFile) {
  EXPECT_EQ(WriteTestEpisode(fs_, Path("none"), "ep.gob", "jkl\\a.jkl").message(),
            "'" + Path("none/episode.jk") + "': cannot create: No such file or directory");
}

}  // namespace
}  // namespace jk
