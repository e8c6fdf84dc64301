// Reading Steam's list of its libraries.
#include "launch/steam_libraries.h"

#include <gmock/gmock.h>

namespace jk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Today's layout: the "path" of each library block, "\\" read as "\",
// other values, nested blocks and comments passed over.
TEST(SteamLibraryPathsTest, TodaysLayout) {
  const char* text = R"("libraryfolders"
{
	// Steam's own folder
	"0"
	{
		"path"		"C:\\Program Files (x86)\\Steam"
		"label"		""
		"apps"
		{
			"path"		"not a library"
		}
	}
	"1" { "PATH" "D:\\Games \"Steam\"" "totalsize" "0" }
	"2" { "label" "no path" }
})";
  EXPECT_THAT(SteamLibraryPaths(text, 32),
              ElementsAre("C:\\Program Files (x86)\\Steam", "D:\\Games \"Steam\""));
  EXPECT_THAT(SteamLibraryPaths(text, 1), ElementsAre("C:\\Program Files (x86)\\Steam"));
}

// The layout before 2021: numbered values of the top block.
TEST(SteamLibraryPathsTest, OlderLayout) {
  const char* text = R"("LibraryFolders"
{
	"TimeNextStatsReport"		"1612345678"
	"ContentStatsID"		"-123"
	"1"		"D:\\SteamLibrary"
	"2"		"/mnt/games/steam"
})";
  EXPECT_THAT(SteamLibraryPaths(text, 32), ElementsAre("D:\\SteamLibrary", "/mnt/games/steam"));
}

// Damaged or foreign text gives what can be read of it, and never fails.
TEST(SteamLibraryPathsTest, DamagedText) {
  EXPECT_THAT(SteamLibraryPaths("", 32), IsEmpty());
  EXPECT_THAT(SteamLibraryPaths("\"config\" { \"0\" { \"path\" \"/x\" } }", 32), IsEmpty());
  EXPECT_THAT(SteamLibraryPaths("}}} \"libraryfolders\" { \"0\" { \"path\" \"/a\" }", 32),
              ElementsAre("/a"));
  EXPECT_THAT(SteamLibraryPaths("libraryfolders { 0 { path /bare } 1 { path \"/cut", 32),
              ElementsAre("/bare"));
}

}  // namespace
}  // namespace jk
