// jkrescale-bench [FOLDER]: how fast a scale run goes on a large level.
//
// Builds, in FOLDER (default: a new folder under the system's temporary
// folder, removed at the end), a synthetic level archive and resource
// archive, runs the headless scale on them through the same entry point as
// jkrescale-cli, and prints the time and the throughput beside the time that
// copying the same archives byte by byte takes on this machine in this run
// (each the best of three). Then the same for a workload twice as large, and
// the ratio of the times: a scale run should cost time linear in the size of
// the level.
//
// The base workload: a level text of at least 50 MB with 300,000 vertices,
// 50,000 things (half of them with two frame parameters), 5,000 structure
// templates with model3d= parameters and 200 cog lines, in a level archive
// that also holds 20 models and 100 cogs; and a resource archive with 2,000
// models of 1,000 vertices each, all of which the templates use. Nothing in
// it comes from the game.
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
using bench::CopyBytes;
using bench::Stopwatch;
using bench::Time;
using bench::Workload;

constexpr double kMegabyte = 1e6;

// Each measurement is made this many times and the best wall time counts:
// the machine may be busy with other work now and then. Every repetition
// writes into fresh files (a scale run leaves models that exist already).
constexpr int kRepetitions = 3;

struct Timing {
  Time scale, copy;
};

void PrintTime(const char* what, const Time& t, double megabytes) {
  std::printf("  %-5s %7.3f s (cpu %7.3f s)  %7.1f MB/s\n", what, t.wall, t.cpu,
              megabytes / t.wall);
}

bool Measure(const char* label, const Workload& w, const fs::path& folder, Timing* timing) {
  fs::create_directories(folder);
  Archives a;
  if (!BuildArchives(w, folder, &a)) {
    std::fprintf(stderr, "jkrescale-bench: cannot write the archives in '%s'\n",
                 folder.string().c_str());
    return false;
  }
  int64_t bytes = int64_t(fs::file_size(a.level) + fs::file_size(a.resource));
  double megabytes = double(bytes) / kMegabyte;
  std::printf(
      "%s: %d vertices, %d things (%d with frames), %d templates, %d models of %d "
      "vertices\n",
      label, w.vertices, w.things, w.things / 2, w.templates, w.level_models + w.resource_models,
      w.model_vertices);
  std::printf("  level text %.1f MB, model text %.1f MB, archives %.1f MB\n",
              double(a.level_text) / kMegabyte, double(a.model_text) / kMegabyte, megabytes);
  std::fflush(stdout);

  jk::RealFileSystem real;
  std::unique_ptr<jk::ProcessRunner> runner = jk::MakeSystemProcessRunner();
  jk::CliEnvironment env{real, *runner, "", {}, stdout, stderr};
  for (int rep = 0; rep < kRepetitions; ++rep) {
    std::string n = std::to_string(rep);
    Stopwatch scale;
    int code = jk::RunCli({"scale", a.level, "jkl\\bench.jkl", "2", "--resource", a.resource,
                           "--out", (folder / ("work" + n)).string()},
                          env);
    Time scale_time = scale.Elapsed();
    if (code != 0) return false;
    Stopwatch copy;
    if (!CopyBytes(a.level, (folder / ("level" + n + ".copy")).string()) ||
        !CopyBytes(a.resource, (folder / ("res2" + n + ".copy")).string())) {
      std::fprintf(stderr, "jkrescale-bench: cannot copy the archives\n");
      return false;
    }
    Time copy_time = copy.Elapsed();
    timing->scale = rep == 0 ? scale_time : bench::Best(timing->scale, scale_time);
    timing->copy = rep == 0 ? copy_time : bench::Best(timing->copy, copy_time);
  }
  std::printf("  best of %d runs, throughput of the archives' bytes:\n", kRepetitions);
  PrintTime("scale", timing->scale, megabytes);
  PrintTime("copy", timing->copy, megabytes);
  std::printf("  the scale run takes %.1f times as long as the copy\n",
              timing->scale.wall / timing->copy.wall);
  std::fflush(stdout);
  return true;
}

}  // namespace

// --build-only N FOLDER: builds the workload N times as large in FOLDER and
// prints the arguments of the scale command for it, for measuring the
// command on its own (its peak memory, say).
int BuildOnly(int times, const fs::path& folder) {
  Archives a;
  fs::create_directories(folder);
  if (times < 1 || !BuildArchives(Workload().Times(times), folder, &a)) {
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
    return BuildOnly(std::atoi(argv[2]), argv[3]);
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
  std::printf("twice as large / once: scale time %.2f, copy time %.2f\n",
              twice.scale.wall / single.scale.wall, twice.copy.wall / single.copy.wall);
  return 0;
}
