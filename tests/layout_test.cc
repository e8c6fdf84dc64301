// Where a run puts things: entry names inside their folders, the safety of
// those names, the files written for entries, and the game's resource
// archives.
#include <gtest/gtest.h>

#include <string>

#include "scaling/layout.h"
#include "test_util.h"

namespace jk {
namespace {

using LayoutTest = TempFolderTest;

// The name inside its folder is the entry name without its first four
// characters, whatever they are.
TEST(NameInFolderTest, DropsTheFolderPrefix) {
  EXPECT_EQ(NameInFolder("jkl\\a b.jkl"), "a b.jkl");
  EXPECT_EQ(NameInFolder("3do\\sub\\m.3do"), "sub\\m.3do");
  EXPECT_EQ(NameInFolder("jkl\\"), "");
  EXPECT_EQ(NameInFolder("ab"), "");
}

// A name below its folder must be a plain relative path.
TEST(IsSafeEntryNameTest, RefusesNamesThatLeaveTheirFolder) {
  for (const char* safe : {"a.jkl", "sub\\a.jkl", "sub/a.jkl", "a..b", "...", ".x", "a b.jkl"}) {
    EXPECT_TRUE(IsSafeEntryName(std::string("jkl\\") + safe)) << safe;
  }
  for (const char* unsafe :
       {"", ".", "..", "..\\a", "../a", "sub\\..\\a", "sub/..\\a", "sub\\../a", "a\\..", ".\\a",
        "\\a", "/a", "C:\\a", "C:a", "a:b", "sub\\\\a", "sub//a", "a\\", "a/"}) {
    EXPECT_FALSE(IsSafeEntryName(std::string("3do\\") + unsafe)) << unsafe;
  }
}

// "\" in an entry name becomes a native folder, created below the kind folder.
TEST_F(LayoutTest, EntryOutputPathCreatesSubfolders) {
  std::string path;
  ASSERT_TRUE(EntryOutputPath(fs_, root_, "3do", "3do\\sub\\deep\\m.3do", &path).ok());
  EXPECT_EQ(path, Path("3do/sub/deep/m.3do"));
  EXPECT_TRUE(fs_.IsFolder(Path("3do/sub/deep")));
  EXPECT_EQ(EntryOutputPath(fs_, root_, "cog", "cog\\..\\x.cog", &path).message(),
            "entry 'cog\\..\\x.cog': unsafe name, it would be written outside its folder");
}

// ".goo" archives (any case) take the expansion's jkmres.goo, others res2.gob,
// The fixed names found whatever their case.
TEST_F(LayoutTest, ResourceArchivePath) {
  WriteBytes("jk/resource/RES2.GOB", "");
  WriteBytes("jkm/RESOURCE/JkmRes.goo", "");
  std::string jk = Path("jk/"), jkm = Path("jkm/");
#ifdef _WIN32
  // File names ignore letter case: the names as the game writes them are
  // found as they are.
  std::string jk_resource = Path("jk/Resource/res2.gob");
  std::string jkm_resource = Path("jkm/Resource/jkmres.goo");
#else
  std::string jk_resource = Path("jk/resource/RES2.GOB");
  std::string jkm_resource = Path("jkm/RESOURCE/JkmRes.goo");
#endif
  EXPECT_EQ(ResourceArchivePath(fs_, "/x/EP.GOO", jk, jkm), jkm_resource);
  EXPECT_EQ(ResourceArchivePath(fs_, "/x/ep.goo", jk, jkm), jkm_resource);
  EXPECT_EQ(ResourceArchivePath(fs_, "/x/ep.gob", jk, jkm), jk_resource);
  EXPECT_EQ(ResourceArchivePath(fs_, "/x/ep.goo.gob", jk, jkm), jk_resource);
  // Missing: the names as the game writes them.
  EXPECT_EQ(ResourceArchivePath(fs_, "/x/ep.gob", Path("none/"), jkm),
            Path("none/Resource/res2.gob"));
}

// The resource archive's name as the game writes it, by the archive's kind.
TEST(ResourceArchiveNameTest, ByTheArchivesKind) {
  EXPECT_EQ(ResourceArchiveName("/x/ep.gob"), "Resource\\res2.gob");
  EXPECT_EQ(ResourceArchiveName("/x/EP.GOO"), "Resource\\jkmres.goo");
}

// Only ".goo", in any letter case, means the expansion.
TEST(IsExpansionArchiveTest, GooMeansTheExpansion) {
  EXPECT_TRUE(IsExpansionArchive("C:\\JKM\\EPISODE\\MOTS.GOO"));
  EXPECT_TRUE(IsExpansionArchive("/x/a.goo"));
  EXPECT_FALSE(IsExpansionArchive("/x/a.gob"));
  EXPECT_FALSE(IsExpansionArchive("/x/a.goo.gob"));
}

}  // namespace
}  // namespace jk
