// Finding the installed games: fake folder trees, a fake registry, a fake
// environment and a fake clock stand for the system.
#include <gmock/gmock.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "launch/game_finder.h"
#include "memory_file_system.h"
#include "memory_registry.h"
#include "platform/path.h"
#include "test_util.h"

namespace jk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr GameTitle kJk = GameTitle::kJediKnight;
constexpr GameTitle kMots = GameTitle::kMysteriesOfTheSith;
constexpr RegistryRoot kMachine = RegistryRoot::kLocalMachine;

// A file system in memory in which some folders are links to others.
class LinkingFileSystem : public MemoryFileSystem {
 public:
  void Link(const std::string& link, const std::string& target) { links_[link] = target; }

  bool Exists(const std::string& path) override { return MemoryFileSystem::Exists(Resolve(path)); }
  bool IsFile(const std::string& path) override { return MemoryFileSystem::IsFile(Resolve(path)); }
  bool IsFolder(const std::string& path) override {
    return MemoryFileSystem::IsFolder(Resolve(path));
  }
  Status ListFolder(const std::string& path, std::vector<FolderEntry>* entries) override {
    return MemoryFileSystem::ListFolder(Resolve(path), entries);
  }
  Status OpenRead(const std::string& path, std::unique_ptr<InputFile>* file) override {
    return MemoryFileSystem::OpenRead(Resolve(path), file);
  }
  bool SameFile(const std::string& a, const std::string& b) override {
    return Exists(a) && Resolve(a) == Resolve(b);
  }

 private:
  std::string Resolve(const std::string& path) const {
    for (const auto& [link, target] : links_) {
      if (path == link || path.starts_with(link + kPathSeparator)) {
        return target + path.substr(link.size());
      }
    }
    return path;
  }
  std::map<std::string, std::string> links_;
};

}  // namespace

void PrintTo(const GameInstall& install, std::ostream* os) {
  *os << InstallKindName(install.kind) << " " << GameTitleName(install.game) << " '"
      << install.executable << "' '" << install.data_folder << "'";
}

namespace {

// The folder of a file, without its final separator.
std::string FolderOfFile(const std::string& path) {
  return path.substr(0, path.rfind(kPathSeparator));
}

// "\" doubled, as in a libraryfolders.vdf.
std::string Escaped(const std::string& path) {
  std::string escaped;
  for (char c : path) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return escaped;
}

// A libraryfolders.vdf of today's layout listing `libraries`.
std::string LibraryList(const std::vector<std::string>& libraries) {
  std::string text = "\"libraryfolders\"\n{\n";
  for (size_t i = 0; i < libraries.size(); ++i) {
    text +=
        "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + Escaped(libraries[i]) +
        "\"\n\t\t\"label\"\t\t\"\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"32380\"\t\t\"1\"\n\t\t}\n\t}\n";
  }
  return text + "}\n";
}

class GameFinderTest : public ::testing::Test {
 protected:
  // A file (empty) at `path`, written with "/".
  std::string Put(const std::string& path) {
    fs_.SetFile(Native(path), "");
    return Native(path);
  }
  // The path of `name` in the folder `folder`, both written with "/".
  static std::string In(const std::string& folder, const std::string& name) {
    return NativeJoin(Native(folder), name);
  }

  GameSearch Find(bool windows, std::chrono::milliseconds time = kSearchTime) {
    SearchSystem system{fs_,
                        registry_,
                        [this](const std::string& name) { return variables_[name]; },
                        [this](const std::string& name) { return programs_[name]; },
                        [this] { return now_(); },
                        windows};
    return FindGames(system, time);
  }

  LinkingFileSystem fs_;
  MemoryRegistry registry_;
  std::map<std::string, std::string> variables_;
  std::map<std::string, std::string> programs_;
  std::function<std::chrono::steady_clock::time_point()> now_ = [] {
    return std::chrono::steady_clock::time_point{};
  };
};

// Retail keys (the WOW6432Node twins too, with each name of the value),
// Steam's own folder and its libraries, and GOG's games, each listed once,
// Jedi Knight's first, each game's by kind.
TEST_F(GameFinderTest, FindsEveryKindOnWindows) {
  std::string jk = Put("C:/LucasArts/Jedi Knight/JK.EXE");
  Put("C:/LucasArts/Jedi Knight/Resource/res2.gob");
  std::string mots = Put("C:/LucasArts/MotS/jkm.exe");
  registry_.SetString(kMachine,
                      "Software\\WOW6432Node\\LucasArts Entertainment Company\\JediKnight\\v1.0",
                      "Install Path", Native("C:/LucasArts/Jedi Knight/"));
  registry_.SetString(kMachine,
                      "Software\\LucasArts Entertainment Company\\Mysteries of the Sith\\v1.0",
                      "Install Dir", Native("C:/LucasArts/MotS"));
  registry_.SetString(RegistryRoot::kCurrentUser, "Software\\Valve\\Steam", "SteamPath",
                      "C:/Steam");
  fs_.SetFile(In("C:/Steam/steamapps", "libraryfolders.vdf"),
              LibraryList({Native("C:/Steam"), Native("D:/Library")}));
  std::string steam_jk = Put("C:/Steam/steamapps/common/Star Wars Jedi Knight/JediKnight.exe");
  std::string steam_mots =
      Put("D:/Library/steamapps/common/Jedi Knight Mysteries of the Sith/JediKnightM.exe");
  std::string gog_jk = Put("C:/GOG Games/Jedi Knight/JK.EXE");
  Put("C:/GOG Games/Other Game/game.exe");
  registry_.SetString(kMachine, "SOFTWARE\\WOW6432Node\\GOG.com\\Games\\1207658930", "path",
                      Native("C:/GOG Games/Other Game"));
  registry_.SetString(kMachine, "SOFTWARE\\WOW6432Node\\GOG.com\\Games\\1422286819", "path",
                      Native("C:/GOG Games/Jedi Knight"));

  GameSearch search = Find(true);
  EXPECT_FALSE(search.out_of_time);
  EXPECT_THAT(
      search.installs,
      ElementsAre(GameInstall{InstallKind::kRetail, kJk, jk, Native("C:/LucasArts/Jedi Knight")},
                  GameInstall{InstallKind::kSteam, kJk, steam_jk,
                              Native("C:/Steam/steamapps/common/Star Wars Jedi Knight")},
                  GameInstall{InstallKind::kGog, kJk, gog_jk, Native("C:/GOG Games/Jedi Knight")},
                  GameInstall{InstallKind::kRetail, kMots, mots, Native("C:/LucasArts/MotS")},
                  GameInstall{InstallKind::kSteam, kMots, steam_mots,
                              Native("D:/Library/steamapps/common/Jedi Knight Mysteries of the "
                                     "Sith")}));
}

// An app manifest of the game or the expansion names the folder its game
// lies in; without a manifest to read (none, an empty one, one naming no
// plain folder) the folder's usual name is looked in. A folder a manifest
// names rules out the usual one.
TEST_F(GameFinderTest, SteamAppManifestsNameTheFolders) {
  variables_["HOME"] = Native("/home/u");
  std::string steam = Native("/home/u/.local/share/Steam");
  fs_.SetFile(In("/home/u/.local/share/Steam/steamapps", "libraryfolders.vdf"),
              LibraryList({Native("/a"), Native("/b"), Native("/c")}));
  fs_.SetFile(In("/a/steamapps", "appmanifest_32380.acf"),
              "\"AppState\"\n{\n\t\"appid\"\t\t\"32380\"\n\t\"installdir\"\t\t\"Dark Forces "
              "II\"\n}\n");
  std::string renamed = Put("/a/steamapps/common/dark forces ii/JediKnight.exe");
  Put("/a/steamapps/common/Star Wars Jedi Knight/JediKnight.exe");
  fs_.SetFile(In("/b/SteamApps", "AppManifest_32390.ACF"), "AppState { installdir \"MotS\" }");
  std::string mots = Put("/b/SteamApps/common/MotS/JediKnightM.exe");
  fs_.SetFile(In("/c/steamapps", "appmanifest_32380.acf"), "AppState { installdir \"..\" }");
  std::string usual = Put("/c/steamapps/common/Star Wars Jedi Knight/JediKnight.exe");
  std::string usual_mots = Put("/c/steamapps/common/Jedi Knight Mysteries of the Sith/JKM.EXE");
  EXPECT_THAT(
      Find(false).installs,
      ElementsAre(GameInstall{InstallKind::kSteam, kJk, renamed, FolderOfFile(renamed)},
                  GameInstall{InstallKind::kSteam, kJk, usual, FolderOfFile(usual)},
                  GameInstall{InstallKind::kSteam, kMots, mots, FolderOfFile(mots)},
                  GameInstall{InstallKind::kSteam, kMots, usual_mots, FolderOfFile(usual_mots)}));
}

// Folders read from the registry are spelt as the file system spells them,
// whatever their letter case there (Steam keeps its own in lower case with
// "/"); what the search looked at is said, a line each.
TEST_F(GameFinderTest, RegistryFoldersSpeltAsOnDisk) {
  std::string jk =
      Put("C:/Program Files (x86)/Steam/steamapps/common/Star Wars Jedi Knight/JediKnight.exe");
  std::string retail = Put("D:/Games/JK/JK.EXE");
  registry_.SetString(RegistryRoot::kCurrentUser, "Software\\Valve\\Steam", "SteamPath",
                      "c:/program files (x86)/steam");
  registry_.SetString(kMachine, "Software\\LucasArts Entertainment Company\\JediKnight\\v1.0",
                      "Install Path", Native("d:/games/jk/"));
  GameSearch search = Find(true);
  EXPECT_THAT(search.installs,
              ElementsAre(GameInstall{InstallKind::kRetail, kJk, retail, FolderOfFile(retail)},
                          GameInstall{InstallKind::kSteam, kJk, jk, FolderOfFile(jk)}));
  std::string steam = Native("C:/Program Files (x86)/Steam");
  std::string not_set = "\": not set";
  EXPECT_THAT(
      search.looked,
      ElementsAre(
          "HKLM\\Software\\LucasArts Entertainment Company\\JediKnight\\v1.0 \"Install Path\": " +
              Native("D:/Games/JK/"),
          Native("D:/Games/JK") + ": JK.EXE (Jedi Knight)",
          "HKLM\\Software\\LucasArts Entertainment Company\\JediKnight\\v1.0 \"InstallPath" +
              not_set,
          "HKLM\\Software\\LucasArts Entertainment Company\\JediKnight\\v1.0 \"Install Dir" +
              not_set,
          "HKLM\\Software\\WOW6432Node\\LucasArts Entertainment Company\\JediKnight\\v1.0 "
          "\"Install Path" +
              not_set,
          "HKLM\\Software\\WOW6432Node\\LucasArts Entertainment Company\\JediKnight\\v1.0 "
          "\"InstallPath" +
              not_set,
          "HKLM\\Software\\WOW6432Node\\LucasArts Entertainment Company\\JediKnight\\v1.0 "
          "\"Install Dir" +
              not_set,
          "HKLM\\Software\\LucasArts Entertainment Company\\Mysteries of the Sith\\v1.0 \"Install "
          "Path" +
              not_set,
          "HKLM\\Software\\LucasArts Entertainment Company\\Mysteries of the Sith\\v1.0 "
          "\"InstallPath" +
              not_set,
          "HKLM\\Software\\LucasArts Entertainment Company\\Mysteries of the Sith\\v1.0 \"Install "
          "Dir" +
              not_set,
          "HKLM\\Software\\WOW6432Node\\LucasArts Entertainment Company\\Mysteries of the "
          "Sith\\v1.0 \"Install Path" +
              not_set,
          "HKLM\\Software\\WOW6432Node\\LucasArts Entertainment Company\\Mysteries of the "
          "Sith\\v1.0 \"InstallPath" +
              not_set,
          "HKLM\\Software\\WOW6432Node\\LucasArts Entertainment Company\\Mysteries of the "
          "Sith\\v1.0 \"Install Dir" +
              not_set,
          "HKCU\\Software\\Valve\\Steam \"SteamPath\": " + steam,
          steam + ": a Steam folder listing no library",
          NativeJoin(steam, "steamapps/appmanifest_32380.acf") +
              ": no installdir read, so the folder \"Star Wars Jedi Knight\" is looked in",
          FolderOfFile(jk) + ": JediKnight.exe (Jedi Knight)",
          NativeJoin(steam, "steamapps/appmanifest_32390.acf") +
              ": no installdir read, so the folder \"Jedi Knight Mysteries of the Sith\" is "
              "looked in",
          NativeJoin(steam, "steamapps/common/Jedi Knight Mysteries of the Sith") +
              ": no such folder"));
}

// One install under a key and its twin, under two value names and spelled
// with and without a final separator, is listed once; a key whose folder
// holds no game adds nothing.
TEST_F(GameFinderTest, TwinKeysListOnce) {
  std::string jk = Put("C:/JK/JK.EXE");
  const std::string key = "Software\\LucasArts Entertainment Company\\JediKnight\\v1.0";
  const std::string twin =
      "Software\\WOW6432Node\\LucasArts Entertainment Company\\JediKnight\\v1.0";
  registry_.SetString(kMachine, key, "Install Path", Native("C:/JK"));
  registry_.SetString(kMachine, key, "InstallPath", Native("C:/JK//"));
  registry_.SetString(kMachine, twin, "Install Path", Native("C:/JK/"));
  registry_.SetString(kMachine,
                      "Software\\LucasArts Entertainment Company\\Mysteries of the Sith\\v1.0",
                      "Install Path", Native("C:/Empty"));
  ASSERT_TRUE(fs_.CreateFolder(Native("C:/Empty")).ok());
  EXPECT_THAT(Find(true).installs,
              ElementsAre(GameInstall{InstallKind::kRetail, kJk, jk, Native("C:/JK")}));
}

// Elsewhere: Steam's folders, linked to each other as Steam does, the
// libraries they list (the root among them), Flatpak's Steam, and
// OpenJKDF2's data folder with the program on the PATH; each install once.
TEST_F(GameFinderTest, FindsSteamAndOpenJkdf2Elsewhere) {
  variables_["HOME"] = Native("/home/u");
  variables_["OPENJKDF2_ROOT"] = Native("/games/jkdf2/");
  programs_["openjkdf2"] = Native("/usr/bin/openjkdf2");
  std::string steam = Native("/home/u/.local/share/Steam");
  fs_.SetFile(In("/home/u/.local/share/Steam/steamapps", "libraryfolders.vdf"),
              LibraryList({steam + kPathSeparator, Native("/mnt/games")}));
  fs_.CreateFolder(Native("/home/u/.steam")).ok();
  fs_.Link(Native("/home/u/.steam/steam"), steam);
  fs_.Link(Native("/home/u/.steam/root"), steam);
  Put("/home/u/.local/share/Steam/steamapps/common/Star Wars Jedi Knight/JediKnight.exe");
  std::string mots =
      Put("/mnt/games/SteamApps/common/Jedi Knight Mysteries of the Sith/jediknightm.exe");
  std::string flatpak =
      Put("/home/u/.var/app/com.valvesoftware.Steam/.steam/steam/steamapps/common/Star Wars Jedi "
          "Knight/JK.EXE");
  Put("/games/jkdf2/Episode/JK1.GOB");
  Put("/games/jkdf2/resource/Res2.gob");

  GameSearch search = Find(false);
  EXPECT_FALSE(search.out_of_time);
  std::string linked = Native("/home/u/.steam/steam/steamapps/common/Star Wars Jedi Knight");
  EXPECT_THAT(
      search.installs,
      ElementsAre(GameInstall{InstallKind::kSteam, kJk, JoinPath(linked, "JediKnight.exe"), linked},
                  GameInstall{InstallKind::kSteam, kJk, flatpak, FolderOfFile(flatpak)},
                  GameInstall{InstallKind::kOpenJkdf2, kJk, Native("/usr/bin/openjkdf2"),
                              Native("/games/jkdf2")},
                  GameInstall{InstallKind::kSteam, kMots, mots, FolderOfFile(mots)}));
}

// OpenJKDF2 counts only with the program on the PATH, and a data folder
// only with its Episode and Resource folders and a resource archive; the
// expansion's archive makes it the expansion's.
TEST_F(GameFinderTest, OpenJkdf2DataFolders) {
  variables_["HOME"] = Native("/home/u");
  variables_["XDG_DATA_HOME"] = Native("/data");
  Put("/data/OpenJKDF2/openjkdf2/Episode/JKM.GOO");
  Put("/data/OpenJKDF2/openjkdf2/Resource/jkmres.goo");
  Put("/home/u/.local/share/OpenJKDF2/openjkdf2/Resource/res2.gob");  // no Episode
  EXPECT_THAT(Find(false).installs, IsEmpty());
  programs_["openjkdf2"] = Native("/opt/bin/openjkdf2");
  EXPECT_THAT(Find(false).installs,
              ElementsAre(GameInstall{InstallKind::kOpenJkdf2, kMots, Native("/opt/bin/openjkdf2"),
                                      Native("/data/OpenJKDF2/openjkdf2")}));
}

// Nothing installed: nothing found, in time.
TEST_F(GameFinderTest, NothingFound) {
  for (bool windows : {true, false}) {
    GameSearch search = Find(windows);
    EXPECT_THAT(search.installs, IsEmpty());
    EXPECT_FALSE(search.out_of_time);
  }
}

// Thousands of GOG keys: only the first 256 are read (the install of key
// 300 is not found), and of each only its path.
TEST_F(GameFinderTest, ThousandsOfGogKeysStayBounded) {
  for (int i = 0; i < 5000; ++i) {
    char id[8];
    std::snprintf(id, sizeof id, "g%04d", i);
    registry_.SetString(kMachine, std::string("SOFTWARE\\WOW6432Node\\GOG.com\\Games\\") + id,
                        "path", Native("C:/GOG/") + id);
  }
  std::string early = Put("C:/GOG/g0255/JK.EXE");
  Put("C:/GOG/g0300/JK.EXE");
  GameSearch search = Find(true);
  EXPECT_THAT(search.installs,
              ElementsAre(GameInstall{InstallKind::kGog, kJk, early, Native("C:/GOG/g0255")}));
  EXPECT_EQ(registry_.subkey_names_given(), 256);
  EXPECT_EQ(registry_.value_reads(), 12 + 1 + 256);  // retail, Steam, GOG
}

// Huge library lists: no more than 32 libraries in all, and of each list
// its first MiB only.
TEST_F(GameFinderTest, HugeLibraryListsStayBounded) {
  variables_["HOME"] = Native("/home/u");
  fs_.SetFile(In("/home/u/.local/share/Steam/steamapps", "libraryfolders.vdf"),
              "\"libraryfolders\" { \"x\" \"" + std::string(2 << 20, 'p') +
                  "\" \"0\" { \"path\" \"" + Escaped(Native("/late")) + "\" } }");
  std::vector<std::string> libraries;
  for (int i = 0; i < 40; ++i) libraries.push_back(Native("/lib") + std::to_string(i));
  fs_.SetFile(
      In("/home/u/.var/app/com.valvesoftware.Steam/.steam/steam/steamapps", "libraryfolders.vdf"),
      LibraryList(libraries));
  // The two Steam folders come first, then the libraries /lib0 to /lib29.
  std::string last = Put("/lib29/steamapps/common/Star Wars Jedi Knight/JK.EXE");
  Put("/lib30/steamapps/common/Star Wars Jedi Knight/JK.EXE");
  Put("/late/steamapps/common/Star Wars Jedi Knight/JK.EXE");
  EXPECT_THAT(Find(false).installs,
              ElementsAre(GameInstall{InstallKind::kSteam, kJk, last, FolderOfFile(last)}));
}

// The search stops when its time is up: here the clock moves 100 ms with
// each registry read, so that 2 seconds last 20 reads.
TEST_F(GameFinderTest, StopsWhenTimeIsUp) {
  now_ = [this] {
    return std::chrono::steady_clock::time_point{} +
           std::chrono::milliseconds(100 * registry_.value_reads());
  };
  for (int i = 0; i < 50; ++i) {
    std::string id = "g" + std::to_string(10 + i);
    registry_.SetString(kMachine, "SOFTWARE\\WOW6432Node\\GOG.com\\Games\\" + id, "path",
                        Native("C:/GOG/") + id);
  }
  // The 12 retail reads and Steam's bring the clock to 1.3 s; once the
  // sixth GOG key is read it says 1.9 s and its folder is looked in; once
  // the seventh is read it says 2 s and the search ends.
  std::string sixth = Put("C:/GOG/g15/JK.EXE");
  Put("C:/GOG/g16/JK.EXE");
  GameSearch search = Find(true);
  EXPECT_THAT(search.installs,
              ElementsAre(GameInstall{InstallKind::kGog, kJk, sixth, Native("C:/GOG/g15")}));
  EXPECT_TRUE(search.out_of_time);
  EXPECT_EQ(registry_.value_reads(), 20);

  GameSearch none = Find(true, std::chrono::milliseconds(0));
  EXPECT_THAT(none.installs, IsEmpty());
  EXPECT_TRUE(none.out_of_time);
  EXPECT_EQ(registry_.value_reads(), 20);
}

// Kinds and games by name, as the command line prints them.
TEST(GameFinderNamesTest, Names) {
  EXPECT_EQ(InstallKindName(InstallKind::kRetail), "Retail");
  EXPECT_EQ(InstallKindName(InstallKind::kSteam), "Steam");
  EXPECT_EQ(InstallKindName(InstallKind::kGog), "GOG");
  EXPECT_EQ(InstallKindName(InstallKind::kOpenJkdf2), "OpenJKDF2");
  EXPECT_EQ(GameTitleName(kJk), "Jedi Knight");
  EXPECT_EQ(GameTitleName(kMots), "Mysteries of the Sith");
}

// On the disk, two Steam folders that are links to one are one install.
TEST(GameFinderDiskTest, LinkedSteamFoldersListOnce) {
#ifdef _WIN32
  GTEST_SKIP() << "making symbolic links on Windows takes a privilege the tests lack";
#else
  TempFolder home;
  home.WriteFile(".local/share/Steam/steamapps/common/Star Wars Jedi Knight/JediKnight.exe", "");
  std::filesystem::create_directories(FsPath(home.Path(".steam")));
  std::filesystem::create_directory_symlink(FsPath(home.Path(".local/share/Steam")),
                                            FsPath(home.Path(".steam/steam")));
  std::filesystem::create_directory_symlink(FsPath(home.Path(".local/share/Steam")),
                                            FsPath(home.Path(".steam/root")));
  RealFileSystem fs;
  MemoryRegistry registry;
  SearchSystem system{fs,
                      registry,
                      [&](const std::string& name) { return name == "HOME" ? home.path() : ""; },
                      [](const std::string&) { return ""; },
                      [] { return std::chrono::steady_clock::now(); },
                      false};
  GameSearch search = FindGames(system);
  std::string folder = home.Path(".steam/steam/steamapps/common/Star Wars Jedi Knight");
  EXPECT_THAT(search.installs, ElementsAre(GameInstall{InstallKind::kSteam, kJk,
                                                       folder + "/JediKnight.exe", folder}));
#endif
}

}  // namespace
}  // namespace jk
