#include "launch/game_finder.h"

#include <algorithm>
#include <memory>

#include "platform/path.h"
#include "platform/system.h"

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

// `folder` without its final separators, a root's own aside ("/", "C:\").
std::string WithoutFinalSeparator(std::string folder) {
  while (folder.size() > 1 && IsPathSeparator(folder.back()) &&
         !(folder.size() == 3 && folder[1] == ':')) {
    folder.pop_back();
  }
  return folder;
}

// One spelling of a path: "." and repeated separators dropped, ".."
// resolved, the system's separator, and on Windows lower case (file names
// there ignore letter case).
std::string NormalForm(std::string_view path) {
  size_t root = 0;
  while (root < path.size() && IsPathSeparator(path[root])) ++root;
  std::vector<std::string_view> parts;
  for (size_t start = root; start < path.size();) {
    size_t end = start;
    while (end < path.size() && !IsPathSeparator(path[end])) ++end;
    std::string_view part = path.substr(start, end - start);
    if (part == ".." && !parts.empty() && parts.back() != "..") {
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string normal(root, kPathSeparator);
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) normal += kPathSeparator;
    normal += parts[i];
  }
#ifdef _WIN32
  normal = ToLowerAscii(normal);
#endif
  return normal;
}

bool SamePlace(FileSystem& fs, const std::string& a, const std::string& b) {
  return NormalForm(a) == NormalForm(b) || fs.SameFile(a, b);
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
        return NormalForm(other) == NormalForm(library);
      });
      if (!known && libraries.size() < kMostSteamLibraries) libraries.push_back(library);
    };
    for (const std::string& root : roots) {
      if (OutOfTime()) return;
      if (!fs_.IsFolder(root)) continue;
      add(root);
      for (const std::string& library : ReadLibraries(root)) add(library);
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

  // The libraries listed in `root`'s libraryfolders.vdf; none when it
  // cannot be read.
  std::vector<std::string> ReadLibraries(const std::string& root) {
    std::string list =
        FindIgnoringCase(fs_, FindIgnoringCase(fs_, root, "steamapps"), "libraryfolders.vdf");
    std::unique_ptr<InputFile> in;
    std::string text;
    if (!fs_.OpenRead(list, &in).ok() ||
        !in->Read(size_t(std::min(in->Length(), kMostLibraryListBytes)), &text).ok()) {
      return {};
    }
    std::vector<std::string> libraries = SteamLibraryPaths(text, kMostSteamLibraries);
    for (std::string& library : libraries) library = WithNativeSeparators(library);
    return libraries;
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
    if (!fs_.IsFolder(FindIgnoringCase(fs_, folder, "Episode"))) return;
    std::string resource = FindIgnoringCase(fs_, folder, "Resource");
    if (!fs_.IsFolder(resource)) return;
    if (fs_.IsFile(FindIgnoringCase(fs_, resource, "res2.gob"))) {
      found_.push_back({InstallKind::kOpenJkdf2, GameTitle::kJediKnight, program, folder});
    }
    if (fs_.IsFile(FindIgnoringCase(fs_, resource, "jkmres.goo"))) {
      found_.push_back({InstallKind::kOpenJkdf2, GameTitle::kMysteriesOfTheSith, program, folder});
    }
  }

  const SearchSystem& system_;
  FileSystem& fs_;
  std::chrono::steady_clock::time_point end_;
  bool out_of_time_ = false;
  std::vector<GameInstall> found_;
};

// Valve's KeyValues text as tokens: quoted or bare strings, and braces.
class KeyValuesReader {
 public:
  explicit KeyValuesReader(std::string_view text) : text_(text) {}

  enum class Token { kEnd, kOpen, kClose, kString };

  // The next token; a string's text in `text`.
  Token Next(std::string* text) {
    SkipBlanksAndComments();
    if (at_ >= text_.size()) return Token::kEnd;
    char c = text_[at_];
    if (c == '{' || c == '}') {
      ++at_;
      return c == '{' ? Token::kOpen : Token::kClose;
    }
    text->clear();
    if (c == '"') return Quoted(text);
    while (at_ < text_.size() && !IsBlank(text_[at_]) && !IsDelimiter(text_[at_])) {
      *text += text_[at_++];
    }
    return Token::kString;
  }

 private:
  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  static bool IsDelimiter(char c) { return c == '{' || c == '}' || c == '"'; }

  void SkipBlanksAndComments() {
    while (at_ < text_.size()) {
      if (IsBlank(text_[at_])) {
        ++at_;
      } else if (text_.substr(at_, 2) == "//") {
        size_t end = text_.find('\n', at_);
        at_ = end == std::string_view::npos ? text_.size() : end + 1;
      } else {
        break;
      }
    }
  }

  // A quoted string; an unfinished one ends the text.
  Token Quoted(std::string* text) {
    for (++at_; at_ < text_.size(); ++at_) {
      char c = text_[at_];
      if (c == '"') {
        ++at_;
        return Token::kString;
      }
      if (c == '\\' && at_ + 1 < text_.size()) {
        char escaped = text_[++at_];
        *text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
      } else {
        *text += c;
      }
    }
    return Token::kEnd;
  }

  std::string_view text_;
  size_t at_ = 0;
};

bool IsNumber(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

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

std::vector<std::string> SteamLibraryPaths(std::string_view text, size_t limit) {
  std::vector<std::string> paths;
  KeyValuesReader reader(text);
  // The keys of the blocks the reader is in; the key waiting for its value.
  std::vector<std::string> blocks;
  std::string key, token;
  bool have_key = false;
  while (paths.size() < limit) {
    KeyValuesReader::Token next = reader.Next(&token);
    if (next == KeyValuesReader::Token::kEnd) break;
    if (next == KeyValuesReader::Token::kOpen) {
      blocks.push_back(have_key ? key : "");
      have_key = false;
    } else if (next == KeyValuesReader::Token::kClose) {
      if (!blocks.empty()) blocks.pop_back();
      have_key = false;
    } else if (!have_key) {
      key = token;
      have_key = true;
    } else {
      have_key = false;
      if (blocks.empty() || !EqualsIgnoringCase(blocks[0], "libraryfolders")) continue;
      // Today: "libraryfolders" { "0" { "path" "..." ... } }; before 2021:
      // "LibraryFolders" { "1" "..." }.
      bool today = blocks.size() == 2 && EqualsIgnoringCase(key, "path");
      bool older = blocks.size() == 1 && IsNumber(key);
      if ((today || older) && !token.empty()) paths.push_back(token);
    }
  }
  return paths;
}

GameSearch FindGames(const SearchSystem& system, std::chrono::milliseconds time) {
  Search search(system, time);
  if (system.windows) {
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
