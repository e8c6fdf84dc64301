// Native paths: joining, splitting, and the form in which two spellings of
// one file compare equal.
#include <gtest/gtest.h>

#include <utility>

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

// Final separators go, but a root keeps its own.
TEST(PathTest, WithoutFinalSeparator) {
#ifdef _WIN32
  for (auto [folder, stripped] :
       {std::pair{"C:\\g\\", "C:\\g"}, std::pair{"C:\\g/\\", "C:\\g"}, std::pair{"C:\\", "C:\\"},
        std::pair{"C:", "C:"}, std::pair{"\\", "\\"}, std::pair{"", ""}}) {
#else
  for (auto [folder, stripped] :
       {std::pair{"/g/", "/g"}, std::pair{"/g//", "/g"}, std::pair{"/", "/"}, std::pair{"//", "/"},
        std::pair{"g", "g"}, std::pair{"", ""}}) {
#endif
    EXPECT_EQ(WithoutFinalSeparator(folder), stripped) << folder;
  }
}

// Two spellings of one place, as the search for installed games compares
// them: "." and ".." resolved, separators alike; on Windows any case.
TEST(PathTest, NormalPath) {
#ifdef _WIN32
  EXPECT_EQ(NormalPath("C:/Games/./Steam//x/../JK.EXE"), "c:\\games\\steam\\jk.exe");
#else
  EXPECT_EQ(NormalPath("/games/./Steam//x/../JK.EXE"), "/games/Steam/JK.EXE");
  EXPECT_EQ(NormalPath("../a/.."), "..");
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
