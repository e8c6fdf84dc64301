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
