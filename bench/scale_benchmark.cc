// jkrescale-bench [FOLDER]: how fast a scale run goes on a large level.
//
// Builds, in FOLDER (default: a new folder under the system's temporary
// folder, removed at the end), a synthetic level archive and resource
// archive, runs the headless scale on them through the same entry point as
// jkrescale-cli (on every processor, then on one thread), and prints the
// times beside the time that copying what the run wrote takes, file by
// file, on this machine in this run (each the median of five, each begun
// with nothing left to write back). Then the
// same for a workload twice as large, and the ratio of the times: a scale
// run should cost time linear in the size of the level.
//
// The base workload: a level text of at least 50 MB with 300,000 vertices,
// 50,000 things (half of them with two frame parameters), 5,000 structure
// templates with model3d= parameters and 200 cog lines, in a level archive
// that also holds 20 models and the 100 cogs they name; and a resource archive with 2,000
// models of 1,000 vertices each, all of which the templates use. Nothing in
// it comes from the game.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"
#include "platform/process.h"
#include "platform/real_file_system.h"
#include "workload.h"

namespace {

namespace fs = std::filesystem;
using bench::Archives;
using bench::BuildArchives;
using bench::CopyTree;
using bench::Stopwatch;
using bench::Time;
using bench::Workload;

constexpr double kMegabyte = 1e6;

// Each measurement is made this many times and the median counts: the
// machine may be busy with other work now and then, and creating thousands
// of files takes a varying time. Every repetition writes into fresh
// folders.
constexpr int kRepetitions = 5;

// The median (by wall time) of the measurements.
Time Median(std::vector<Time> times) {
  std::sort(times.begin(), times.end(),
            [](const Time& a, const Time& b) { return a.wall < b.wall; });
  return times[times.size() / 2];
}

int64_t BytesIn(const fs::path& folder) {
  int64_t bytes = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) bytes += int64_t(entry.file_size());
  }
  return bytes;
}

struct Timing {
  Time scale, one_thread, copy;
};

void PrintTime(const char* what, const Time& t, double megabytes) {
  std::printf("  %-22s %6.3f s (cpu %6.3f s, user %6.3f s)  %6.1f MB/s\n", what, t.wall, t.cpu,
              t.user, megabytes / t.wall);
}

bool Measure(const char* label, const Workload& w, const fs::path& folder, Timing* timing) {
  fs::create_directories(folder);
  Archives a;
  if (!BuildArchives(w, folder, &a)) {
    std::fprintf(stderr, "jkrescale-bench: cannot write the archives in '%s'\n",
                 folder.string().c_str());
    return false;
  }
  std::printf(
      "%s: %d vertices, %d things (%d with frames), %d templates, %d models of %d "
      "vertices\n",
      label, w.vertices, w.things, w.things / 2, w.templates, w.level_models + w.resource_models,
      w.model_vertices);
  std::printf("  level text %.1f MB, model text %.1f MB, archives %.1f MB\n",
              double(a.level_text) / kMegabyte, double(a.model_text) / kMegabyte,
              double(fs::file_size(a.level) + fs::file_size(a.resource)) / kMegabyte);
  std::fflush(stdout);

  jk::RealFileSystem real;
  std::unique_ptr<jk::ProcessRunner> runner = jk::MakeSystemProcessRunner();
  jk::CliEnvironment env{real, *runner, "", {}, stdout, stderr};
  auto scale = [&](const fs::path& out, const char* threads, Time* time) {
    std::vector<std::string> args = {"scale",      a.level,    "jkl\\bench.jkl", "2",
                                     "--resource", a.resource, "--out",          out.string()};
    if (threads) args.insert(args.end(), {"--threads", threads});
    bench::WriteBackDirtyPages();
    Stopwatch watch;
    int code = jk::RunCli(args, env);
    *time = watch.Elapsed();
    return code == 0;
  };
  std::vector<Time> scales, one_threads, copies;
  int64_t written = 0;
  for (int rep = 0; rep < kRepetitions; ++rep) {
    std::string n = std::to_string(rep);
    Time t;
    if (!scale(folder / ("work" + n), nullptr, &t)) return false;
    scales.push_back(t);
    if (!scale(folder / ("one" + n), "1", &t)) return false;
    one_threads.push_back(t);
    bench::WriteBackDirtyPages();
    Stopwatch copy;
    if (!CopyTree(folder / ("work" + n), folder / ("copy" + n))) {
      std::fprintf(stderr, "jkrescale-bench: cannot copy the scale run's output\n");
      return false;
    }
    copies.push_back(copy.Elapsed());
    written = BytesIn(folder / ("work" + n));
  }
  timing->scale = Median(scales);
  timing->one_thread = Median(one_threads);
  timing->copy = Median(copies);
  double megabytes = double(written) / kMegabyte;
  std::printf("  median of %d runs, throughput of the %.1f MB written:\n", kRepetitions, megabytes);
  PrintTime("scale", timing->scale, megabytes);
  PrintTime("scale, one thread", timing->one_thread, megabytes);
  PrintTime("copy of what it wrote", timing->copy, megabytes);
  std::printf("  the scale run takes %.1f times as long as the copy (%.1f on one thread)\n",
              timing->scale.wall / timing->copy.wall, timing->one_thread.wall / timing->copy.wall);
  std::fflush(stdout);
  return true;
}

}  // namespace

// --build-only N FOLDER: builds the workload N times as large in FOLDER and
// prints the arguments of the scale command for it, for measuring the
// command on its own (its peak memory, say).
int BuildOnly(double times, const fs::path& folder) {
  Archives a;
  fs::create_directories(folder);
  if (!(times > 0) || !BuildArchives(Workload().Times(times), folder, &a)) {
    std::fprintf(stderr, "jkrescale-bench: cannot write the archives in '%s'\n",
                 folder.string().c_str());
    return 1;
  }
  std::printf("%s jkl\\bench.jkl 2 --resource %s\n", a.level.c_str(), a.resource.c_str());
  std::fprintf(stderr, "level text %.1f MB, model text %.1f MB\n", double(a.level_text) / kMegabyte,
               double(a.model_text) / kMegabyte);
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--build-only") {
    return BuildOnly(std::atof(argv[2]), argv[3]);
  }
  if (argc > 2) {
    std::fprintf(stderr,
                 "usage: jkrescale-bench [FOLDER]\n"
                 "       jkrescale-bench --build-only N FOLDER\n");
    return 2;
  }
  fs::path root = argc == 2 ? fs::path(argv[1])
                            : fs::temp_directory_path() /
                                  ("jkrescale-bench-" + std::to_string(std::random_device{}()));
  Workload base;
  Timing single, twice;
  // Nothing is deleted before the end: creating files right after deleting
  // thousands of others is slower on some file systems, which would tip the
  // comparison against the second workload.
  bool ok = Measure("level", base, root / "x1", &single) &&
            Measure("level twice as large", base.Times(2), root / "x2", &twice);
  std::error_code ec;
  fs::remove_all(root / "x1", ec);
  fs::remove_all(root / "x2", ec);
  if (argc < 2) fs::remove_all(root, ec);
  if (!ok) return 1;
  std::printf("twice as large / once: scale time %.2f (user %.2f), copy time %.2f\n",
              twice.scale.wall / single.scale.wall, twice.scale.user / single.scale.user,
              twice.copy.wall / single.copy.wall);
  return 0;
}
