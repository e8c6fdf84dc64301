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
constexpr std::string_view kSteamGameFolders[] = {
    "Star Wars Jedi Knight",
    "Jedi Knight Mysteries of the Sith",
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
    return search;
  }

 private:
  // Whether the search's time is up; asked before each place is read.
  bool OutOfTime() {
    if (!out_of_time_ && system_.now() >= end_) out_of_time_ = true;
    return out_of_time_;
  }

  // The games' programs in `folder`, a Steam, GOG or retail install.
  void AddInstallsIn(const std::string& folder, InstallKind kind) {
    if (folder.empty() || OutOfTime() || !fs_.IsFolder(folder)) return;
    std::vector<FolderEntry> entries;
    if (!fs_.ListFolder(folder, &entries).ok()) return;
    std::string data_folder = WithoutFinalSeparator(folder);
    bool found[2] = {false, false};
    for (const ExecutableName& executable : kExecutables) {
      bool& game_found = found[int(executable.game)];
      const FolderEntry* entry = FindEntry(entries, executable.name);
      if (game_found || !entry || entry->is_folder) continue;
      found_.push_back({kind, executable.game, JoinPath(data_folder, entry->name), data_folder});
      game_found = true;
    }
  }

  void LookInRetailKeys() {
    for (std::string_view key : kRetailKeys) {
      for (std::string_view name : kRetailValues) {
        if (OutOfTime()) return;
        std::string folder;
        if (system_.registry.ReadString(RegistryRoot::kLocalMachine, std::string(key),
                                        std::string(name), &folder)) {
          AddInstallsIn(WithNativeSeparators(folder), InstallKind::kRetail);
        }
      }
    }
  }

  void LookInGogKeys() {
    for (std::string_view games : kGogKeys) {
      if (OutOfTime()) return;
      for (const std::string& id : system_.registry.SubkeyNames(
               RegistryRoot::kLocalMachine, std::string(games), kMostRegistrySubkeys)) {
        if (OutOfTime()) return;
        std::string folder;
        if (system_.registry.ReadString(RegistryRoot::kLocalMachine, std::string(games) + "\\" + id,
                                        "path", &folder)) {
          AddInstallsIn(WithNativeSeparators(folder), InstallKind::kGog);
        }
      }
    }
  }

  std::vector<std::string> WindowsSteamRoots() {
    std::vector<std::string> roots;
    std::string root;
    if (!OutOfTime() && system_.registry.ReadString(RegistryRoot::kCurrentUser,
                                                    "Software\\Valve\\Steam", "SteamPath", &root)) {
      roots.push_back(WithNativeSeparators(root));
    }
    return roots;
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
      if (!fs_.IsFolder(root)) continue;
      add(root);
      for (const std::string& library : ReadSteamLibraryList(fs_, root)) {
        add(WithNativeSeparators(library));
      }
    }
    for (const std::string& library : libraries) {
      if (OutOfTime()) return;
      std::string common =
          FindIgnoringCase(fs_, FindIgnoringCase(fs_, library, "steamapps"), "common");
      for (std::string_view game_folder : kSteamGameFolders) {
        AddInstallsIn(FindIgnoringCase(fs_, common, std::string(game_folder)), InstallKind::kSteam);
      }
    }
  }

  // OpenJKDF2 plays the game's own data: a data folder counts when it holds
  // the Episode and Resource folders and the resource archive of the game
  // (res2.gob) or of the expansion (jkmres.goo).
  void LookForOpenJkdf2() {
    std::string program = system_.find_program("openjkdf2");
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
    if (!fs_.IsFolder(FindIgnoringCase(fs_, folder, kEpisodeFolderName))) return;
    std::string resource = FindIgnoringCase(fs_, folder, kResourceFolderName);
    if (!fs_.IsFolder(resource)) return;
    if (fs_.IsFile(FindIgnoringCase(fs_, resource, kGameResourceFileName))) {
      found_.push_back({InstallKind::kOpenJkdf2, GameTitle::kJediKnight, program, folder});
    }
    if (fs_.IsFile(FindIgnoringCase(fs_, resource, kExpansionResourceFileName))) {
      found_.push_back({InstallKind::kOpenJkdf2, GameTitle::kMysteriesOfTheSith, program, folder});
    }
  }

  const SearchSystem& system_;
  FileSystem& fs_;
  std::chrono::steady_clock::time_point end_;
  bool out_of_time_ = false;
  std::vector<GameInstall> found_;
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
