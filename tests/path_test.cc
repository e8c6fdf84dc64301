// Native paths: joining, splitting, and the form in which two spellings of
// one file compare equal.
#include <gtest/gtest.h>

#include "platform/path.h"

namespace jk {
namespace {

TEST(PathTest, JoinsAndSplits) {
  EXPECT_EQ(JoinPath("", "a"), "a");
  EXPECT_EQ(FolderOf("noseparator"), "");
  EXPECT_EQ(FileNameOf("noseparator"), "noseparator");
#ifdef _WIN32
  EXPECT_EQ(JoinPath("C:\\g\\", "x"), "C:\\g\\x");
  EXPECT_EQ(JoinPath("C:\\g", "x"), "C:\\g\\x");
  EXPECT_EQ(FolderOf("C:\\g/sub\\JK.EXE"), "C:\\g/sub\\");
  EXPECT_EQ(FileNameOf("C:\\g\\sub/JK.EXE"), "JK.EXE");
  EXPECT_EQ(NativeRelativePath("sub\\a.3do"), "sub\\a.3do");
#else
  EXPECT_EQ(JoinPath("/g/", "x"), "/g/x");
  EXPECT_EQ(JoinPath("/g", "x"), "/g/x");
  EXPECT_EQ(FolderOf("/g/sub\\JK.EXE"), "/g/");
  EXPECT_EQ(FileNameOf("/g/sub/JK.EXE"), "JK.EXE");
  EXPECT_EQ(NativeRelativePath("sub\\a.3do"), "sub/a.3do");
#endif
}

// Letter case never counts; on Windows "\" and "/" are one separator.
TEST(PathTest, ComparablePathJoinsTwoSpellingsOfOneFile) {
  EXPECT_EQ(ComparablePath("Work/3DO/Dup.3do"), ComparablePath("work/3do/dup.3DO"));
#ifdef _WIN32
  EXPECT_EQ(ComparablePath("C:\\w\\3do\\sub\\dup.3do"), ComparablePath("c:/w/3do\\sub/DUP.3do"));
  EXPECT_EQ(ComparablePath("C:/W/3do"), "c:\\w\\3do");
#else
  // "\" is an ordinary character of a file name here.
  EXPECT_NE(ComparablePath("/w/3do/sub\\dup.3do"), ComparablePath("/w/3do/sub/dup.3do"));
#endif
}

}  // namespace
}  // namespace jk
