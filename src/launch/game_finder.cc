#include "launch/game_finder.h"

#include <algorithm>
#include <memory>

#include "launch/steam_libraries.h"
#include "platform/path.h"
#include "platform/system.h"
#include "scaling/layout.h"

namespace jk {

namespace {

struct ExecutableName {
  GameTitle game;
  std::string_view name;
};

// The names each game's program goes by, the retail one first.
constexpr ExecutableName kExecutables[] = {
    {GameTitle::kJediKnight, "JK.EXE"},
    {GameTitle::kJediKnight, "JediKnight.exe"},
    {GameTitle::kMysteriesOfTheSith, "JKM.EXE"},
    {GameTitle::kMysteriesOfTheSith, "JediKnightM.exe"},
};

constexpr std::string_view kRetailKeys[] = {
    "Software\\LucasArts Entertainment Company\\JediKnight\\v1.0",
    "Software\\WOW6432Node\\LucasArts Entertainment Company\\JediKnight\\v1.0",
    "Software\\LucasArts Entertainment Company\\Mysteries of the Sith\\v1.0",
    "Software\\WOW6432Node\\LucasArts Entertainment Company\\Mysteries of the Sith\\v1.0",
};
constexpr std::string_view kRetailValues[] = {"Install Path", "InstallPath", "Install Dir"};
constexpr std::string_view kGogKeys[] = {
    "SOFTWARE\\WOW6432Node\\GOG.com\\Games",
    "SOFTWARE\\GOG.com\\Games",
};
// Each game in Steam: its app id, whose manifest names its folder, and the
// folder's usual name, looked in when there is no manifest to read.
struct SteamGame {
  std::string_view app_id;
  std::string_view folder;
};
constexpr SteamGame kSteamGames[] = {
    {"32380", "Star Wars Jedi Knight"},
    {"32390", "Jedi Knight Mysteries of the Sith"},
};

// Paths from the registry and from Steam's files may use "/" on Windows
// ("c:/program files (x86)/steam"); they are shown with the system's own.
std::string WithNativeSeparators(std::string path) {
  std::replace_if(path.begin(), path.end(), IsPathSeparator, kPathSeparator);
  return path;
}

bool SamePlace(FileSystem& fs, const std::string& a, const std::string& b) {
  return NormalPath(a) == NormalPath(b) || fs.SameFile(a, b);
}

bool SameInstall(FileSystem& fs, const GameInstall& a, const GameInstall& b) {
  return a.game == b.game && SamePlace(fs, a.executable, b.executable) &&
         SamePlace(fs, a.data_folder, b.data_folder);
}

// The entry of `entries` named `name`: the exact name, else the first that
// matches it with letter case ignored; nullptr when none does.
const FolderEntry* FindEntry(const std::vector<FolderEntry>& entries, std::string_view name) {
  for (const FolderEntry& entry : entries) {
    if (entry.name == name) return &entry;
  }
  for (const FolderEntry& entry : entries) {
    if (EqualsIgnoringCase(entry.name, name)) return &entry;
  }
  return nullptr;
}

class Search {
 public:
  Search(const SearchSystem& system, std::chrono::milliseconds time)
      : system_(system), fs_(system.fs), end_(system.now() + time) {}

  void LookOnWindows() {
    LookInRetailKeys();
    LookInSteam(WindowsSteamRoots());
    LookInGogKeys();
  }

  void LookElsewhere() {
    LookInSteam(SteamRoots());
    LookForOpenJkdf2();
  }

  GameSearch Result() {
    std::stable_sort(found_.begin(), found_.end(), [](const GameInstall& a, const GameInstall& b) {
      return std::pair(a.game, a.kind) < std::pair(b.game, b.kind);
    });
    GameSearch search;
    for (const GameInstall& install : found_) {
      bool seen = std::any_of(
          search.installs.begin(), search.installs.end(),
          [&](const GameInstall& earlier) { return SameInstall(fs_, earlier, install); });
      if (!seen) search.installs.push_back(install);
    }
    search.out_of_time = out_of_time_;
    search.looked = looked_;
    return search;
  }

 private:
  // Whether the search's time is up; asked before each place is read.
  bool OutOfTime() {
    if (!out_of_time_ && system_.now() >= end_) out_of_time_ = true;
    return out_of_time_;
  }

  void Note(const std::string& place, const std::string& what) {
    looked_.push_back(place + ": " + what);
  }

  // A folder named by the registry `value` of `key`, as the system spells
  // it; "" when the value is not there. Noted either way.
  std::string ReadFolder(RegistryRoot root, const std::string& key, const std::string& value) {
    std::string folder;
    std::string place = std::string(root == RegistryRoot::kLocalMachine ? "HKLM\\" : "HKCU\\") +
                        key + " \"" + value + "\"";
    if (!system_.registry.ReadString(root, key, value, &folder) || folder.empty()) {
      Note(place, "not set");
      return "";
    }
    folder = SpeltAsOnDisk(fs_, WithNativeSeparators(folder));
    Note(place, folder);
    return folder;
  }

  // The games' programs in `folder`, a Steam, GOG or retail install.
  void AddInstallsIn(const std::string& folder, InstallKind kind) {
    if (folder.empty() || OutOfTime()) return;
    std::vector<FolderEntry> entries;
    if (!fs_.IsFolder(folder) || !fs_.ListFolder(folder, &entries).ok()) {
      Note(folder, "no such folder");
      return;
    }
    std::string data_folder = WithoutFinalSeparator(folder);
    bool found[2] = {false, false};
    std::string programs;
    for (const ExecutableName& executable : kExecutables) {
      bool& game_found = found[int(executable.game)];
      const FolderEntry* entry = FindEntry(entries, executable.name);
      if (game_found || !entry || entry->is_folder) continue;
      found_.push_back({kind, executable.game, JoinPath(data_folder, entry->name), data_folder});
      game_found = true;
      programs += (programs.empty() ? "" : ", ") + entry->name + " (" +
                  std::string(GameTitleName(executable.game)) + ")";
    }
    Note(data_folder, programs.empty() ? "no program of either game" : programs);
  }

  void LookInRetailKeys() {
    for (std::string_view key : kRetailKeys) {
      for (std::string_view name : kRetailValues) {
        if (OutOfTime()) return;
        AddInstallsIn(ReadFolder(RegistryRoot::kLocalMachine, std::string(key), std::string(name)),
                      InstallKind::kRetail);
      }
    }
  }

  void LookInGogKeys() {
    for (std::string_view games : kGogKeys) {
      if (OutOfTime()) return;
      for (const std::string& id : system_.registry.SubkeyNames(
               RegistryRoot::kLocalMachine, std::string(games), kMostRegistrySubkeys)) {
        if (OutOfTime()) return;
        AddInstallsIn(
            ReadFolder(RegistryRoot::kLocalMachine, std::string(games) + "\\" + id, "path"),
            InstallKind::kGog);
      }
    }
  }

  std::vector<std::string> WindowsSteamRoots() {
    if (OutOfTime()) return {};
    std::string root =
        ReadFolder(RegistryRoot::kCurrentUser, "Software\\Valve\\Steam", "SteamPath");
    if (root.empty()) return {};
    return {root};
  }

  std::vector<std::string> SteamRoots() {
    std::vector<std::string> roots;
    std::string home = system_.variable("HOME");
    if (!home.empty()) {
      for (const char* root : {".steam/steam", ".steam/root", ".local/share/Steam",
                               ".var/app/com.valvesoftware.Steam/.steam/steam"}) {
        roots.push_back(JoinPath(home, WithNativeSeparators(root)));
      }
    }
    std::string data_home = system_.variable("XDG_DATA_HOME");
    if (!data_home.empty()) roots.push_back(JoinPath(data_home, "Steam"));
    return roots;
  }

  // Each root and the libraries its libraryfolders.vdf lists, each once,
  // no more than kMostSteamLibraries in all; then the games in each.
  void LookInSteam(const std::vector<std::string>& roots) {
    std::vector<std::string> libraries;
    auto add = [&](const std::string& library) {
      bool known = std::any_of(libraries.begin(), libraries.end(), [&](const std::string& other) {
        return NormalPath(other) == NormalPath(library);
      });
      if (!known && libraries.size() < kMostSteamLibraries) libraries.push_back(library);
    };
    for (const std::string& root : roots) {
      if (OutOfTime()) return;
      if (!fs_.IsFolder(root)) {
        Note(root, "no such folder");
        continue;
      }
      add(root);
      std::vector<std::string> listed = ReadSteamLibraryList(fs_, root);
      std::string list;
      for (const std::string& library : listed) {
        add(WithNativeSeparators(library));
        list += (list.empty() ? "" : ", ") + WithNativeSeparators(library);
      }
      Note(root, listed.empty() ? "a Steam folder listing no library"
                                : "a Steam folder listing the libraries " + list);
    }
    for (const std::string& library : libraries) {
      for (const SteamGame& game : kSteamGames) {
        if (OutOfTime()) return;
        AddInstallsIn(SteamGameFolder(library, game), InstallKind::kSteam);
      }
    }
  }

  // Where the library holds `game`: the folder its app manifest names, or,
  // without one, the folder's usual name.
  std::string SteamGameFolder(const std::string& library, const SteamGame& game) {
    std::string common =
        FindIgnoringCase(fs_, FindIgnoringCase(fs_, library, "steamapps"), "common");
    std::string manifest = SteamAppManifestPath(fs_, library, game.app_id);
    std::string folder = ReadSteamInstallDir(fs_, manifest);
    if (folder.empty()) {
      Note(manifest,
           "no installdir read, so the folder \"" + std::string(game.folder) + "\" is looked in");
      folder = game.folder;
    } else {
      Note(manifest, "installdir \"" + folder + "\"");
    }
    return FindIgnoringCase(fs_, common, folder);
  }

  // OpenJKDF2 plays the game's own data: a data folder counts when it holds
  // the Episode and Resource folders and the resource archive of the game
  // (res2.gob) or of the expansion (jkmres.goo).
  void LookForOpenJkdf2() {
    std::string program = system_.find_program("openjkdf2");
    Note("PATH", program.empty() ? "no openjkdf2 program" : "openjkdf2 is " + program);
    if (program.empty()) return;
    std::vector<std::string> folders;
    if (std::string root = system_.variable("OPENJKDF2_ROOT"); !root.empty()) {
      folders.push_back(root);
    }
    if (std::string data_home = system_.variable("XDG_DATA_HOME"); !data_home.empty()) {
      folders.push_back(JoinPath(data_home, WithNativeSeparators("OpenJKDF2/openjkdf2")));
    }
    if (std::string home = system_.variable("HOME"); !home.empty()) {
      folders.push_back(JoinPath(home, WithNativeSeparators(".local/share/OpenJKDF2/openjkdf2")));
    }
    for (const std::string& folder : folders) {
      if (OutOfTime()) return;
      AddOpenJkdf2Data(program, WithoutFinalSeparator(folder));
    }
  }

  void AddOpenJkdf2Data(const std::string& program, const std::string& folder) {
    std::string resource = FindIgnoringCase(fs_, folder, kResourceFolderName);
    if (!fs_.IsFolder(FindIgnoringCase(fs_, folder, kEpisodeFolderName)) ||
        !fs_.IsFolder(resource)) {
      Note(folder, "no Episode and Resource folders");
      return;
    }
    std::string games;
    if (fs_.IsFile(FindIgnoringCase(fs_, resource, kGameResourceFileName))) {
      found_.push_back({InstallKind::kOpenJkdf2, GameTitle::kJediKnight, program, folder});
      games = GameTitleName(GameTitle::kJediKnight);
    }
    if (fs_.IsFile(FindIgnoringCase(fs_, resource, kExpansionResourceFileName))) {
      found_.push_back({InstallKind::kOpenJkdf2, GameTitle::kMysteriesOfTheSith, program, folder});
      games +=
          (games.empty() ? "" : ", ") + std::string(GameTitleName(GameTitle::kMysteriesOfTheSith));
    }
    Note(folder, games.empty() ? "no resource archive of either game" : "the data of " + games);
  }

  const SearchSystem& system_;
  FileSystem& fs_;
  std::chrono::steady_clock::time_point end_;
  bool out_of_time_ = false;
  std::vector<GameInstall> found_;
  std::vector<std::string> looked_;
};

}  // namespace

std::string_view GameTitleName(GameTitle game) {
  return game == GameTitle::kJediKnight ? "Jedi Knight" : "Mysteries of the Sith";
}

std::string_view InstallKindName(InstallKind kind) {
  switch (kind) {
    case InstallKind::kRetail:
      return "Retail";
    case InstallKind::kSteam:
      return "Steam";
    case InstallKind::kGog:
      return "GOG";
    case InstallKind::kOpenJkdf2:
      return "OpenJKDF2";
  }
  return "";
}

GameSearch FindGames(const SearchSystem& system, std::chrono::milliseconds time) {
  Search search(system, time);
  if (system.on_windows) {
    search.LookOnWindows();
  } else {
    search.LookElsewhere();
  }
  return search.Result();
}

SearchSystem SystemSearchView(FileSystem& fs, Registry& registry, ProcessRunner& runner) {
  return {fs,
          registry,
          EnvironmentVariable,
          [&runner](const std::string& name) { return runner.FindProgram(name); },
          [] { return std::chrono::steady_clock::now(); },
          WindowsProgramsRunNatively()};
}

GameSearch FindInstalledGames(FileSystem& fs, ProcessRunner& runner) {
  std::unique_ptr<Registry> registry = MakeSystemRegistry();
  return FindGames(SystemSearchView(fs, *registry, runner));
}

}  // namespace jk
