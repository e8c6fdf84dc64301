// jkrescale-stand-in-game: stands in for the game's executable, for the
// end-to-end test and the demo. It reports what it was started with: its
// arguments, its working folder, and what the folder after "-path" held
// while it ran. The report goes to standard output and, as
// "stand-in-game.txt", into its working folder (the game folder):
//
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
// With JKRESCALE_STAND_IN_SECONDS set it stays that many seconds before it
// ends, like a game being played.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

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
    std::string name = fs::relative(it->path(), folder).generic_string();
    if (it->is_directory()) name += "/";
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  std::string report;
  std::string work_folder;
  for (int i = 1; i < argc; ++i) {
    report += "argument: " + std::string(argv[i]) + "\n";
    if (std::string(argv[i]) == "-path" && i + 1 < argc) work_folder = argv[i + 1];
  }
  std::error_code ec;
  fs::path here = fs::current_path(ec);
  report += "working folder: " + here.string() + "\n";
  if (!work_folder.empty()) {
    std::vector<std::string> names = Listing(work_folder);
    for (const std::string& name : names) report += "work folder: " + name + "\n";
    for (const std::string& name : names) {
      if (name == "episode.jk" || name.starts_with("jkl/")) {
        report += Quoted(fs::path(work_folder) / name, name);
      }
    }
  }
  std::fputs("jkrescale's stand-in game was started with:\n", stdout);
  std::fputs(report.c_str(), stdout);
  std::fflush(stdout);
  std::ofstream(here / "stand-in-game.txt", std::ios::binary) << report;
  if (const char* seconds = std::getenv("JKRESCALE_STAND_IN_SECONDS")) {
    std::this_thread::sleep_for(std::chrono::seconds(std::atoi(seconds)));
  }
  return 0;
}
