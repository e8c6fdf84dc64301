// jkrescale-stand-in-game: stands in for the game's executable, for the
// end-to-end tests, the tests of starting programs and the demo. It reports
// what it was started with: on Windows its whole command line, then its
// arguments, its working folder, the note passed in its environment as
// JKRESCALE_STAND_IN_NOTE (when there is one), and what the folder after
// "-path" held while it ran. The report goes to standard output at once
// and, as it ends, into "stand-in-game.txt" in its working folder (the game
// folder):
//
//   command line: "C:\path\to\game\JK.EXE" -debug con ... (Windows only)
//   argument: -debug
//   ...
//   working folder: /path/to/game
//   work folder: jkl/
//   work folder: jkl/level.jkl
//   ...
//   episode.jk| "ep1.gob"
//   jkl/level.jkl| SECTION: HEADER
//   ...
//
// (the test episode and every level, line by line, as the game reads them).
// With JKRESCALE_STAND_IN_SECONDS set it stays that many seconds (a
// fraction allowed) before it ends, like a game being played.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/arguments.h"

namespace fs = std::filesystem;

namespace {

// Paths are UTF-8 text here, as in jkrescale itself.
fs::path FsPath(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::string Utf8Text(const fs::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// The lines of a text file, each after "name| ", without their breaks.
std::string Quoted(const fs::path& file, const std::string& name) {
  std::ifstream in(file, std::ios::binary);
  std::string text, line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    text += name + "| " + line + "\n";
  }
  return text;
}

std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::string name = Utf8Text(fs::relative(it->path(), folder).generic_u8string());
    if (it->is_directory()) name += "/";
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  std::string report;
  if (std::string line = jk::ProgramCommandLine(); !line.empty()) {
    report += "command line: " + line + "\n";
  }
  std::vector<std::string> arguments = jk::ProgramArguments(argc, argv);
  std::string work_folder;
  for (size_t i = 0; i < arguments.size(); ++i) {
    report += "argument: " + arguments[i] + "\n";
    if (arguments[i] == "-path" && i + 1 < arguments.size()) work_folder = arguments[i + 1];
  }
  std::error_code ec;
  fs::path here = fs::current_path(ec);
  report += "working folder: " + Utf8Text(here) + "\n";
  if (const char* note = std::getenv("JKRESCALE_STAND_IN_NOTE")) {
    report += "note: " + std::string(note) + "\n";
  }
  if (!work_folder.empty()) {
    std::vector<std::string> names = Listing(FsPath(work_folder));
    for (const std::string& name : names) report += "work folder: " + name + "\n";
    for (const std::string& name : names) {
      if (name == "episode.jk" || name.starts_with("jkl/")) {
        report += Quoted(FsPath(work_folder) / FsPath(name), name);
      }
    }
  }
  std::fputs("jkrescale's stand-in game was started with:\n", stdout);
  std::fputs(report.c_str(), stdout);
  std::fflush(stdout);
  if (const char* seconds = std::getenv("JKRESCALE_STAND_IN_SECONDS")) {
    std::this_thread::sleep_for(std::chrono::duration<double>(std::atof(seconds)));
  }
  // Written last: whoever waited for the game finds it once the game ended.
  std::ofstream(here / "stand-in-game.txt", std::ios::binary) << report;
  return 0;
}
