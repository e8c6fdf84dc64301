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

// An app manifest: the "installdir" of its "AppState" block, whatever the
// letter case of the keys, their order, the blanks between them and
// whether they are quoted; \" read as a quote. No installdir, one outside
// the AppState block, or one that is no plain folder name, gives "".
TEST(SteamInstallDirTest, ReadsTheFolderName) {
  const struct {
    const char* text;
    const char* folder;
  } kCases[] = {
      {"\"AppState\"\n{\n\t\"appid\"\t\t\"32380\"\n\t\"name\"\t\t\"Star Wars Jedi Knight: Dark "
       "Forces II\"\n\t\"installdir\"\t\t\"Star Wars Jedi Knight\"\n}\n",
       "Star Wars Jedi Knight"},
      {"\"appstate\" { \"InstallDir\" \"JK \\\"Gold\\\"\" \"appid\" \"32380\" }", "JK \"Gold\""},
      {"AppState { UserConfig { installdir nested } installdir Dark\\\\Forces }", ""},
      {"AppState { UserConfig { installdir nested } installdir DarkForces }", "DarkForces"},
      {"AppState { installdir .. }", ""},
      {"AppState { installdir \"a/b\" }", ""},
      {"\"installdir\" \"outside\"", ""},
      {"AppState { appid 32380 }", ""},
      {"AppState { installdir \"cut", ""},
      {"", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SteamInstallDir(c.text), c.folder);
  }
}

}  // namespace
}  // namespace jk
