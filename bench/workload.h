// The synthetic workload of the benchmarks: a large level archive and a
// resource archive written straight to disk, and the stopwatch they are
// timed with. Nothing in it comes from the game.
#ifndef JKRESCALE_BENCH_WORKLOAD_H_
#define JKRESCALE_BENCH_WORKLOAD_H_

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

namespace bench {

struct Workload {
  int vertices = 300'000;
  int things = 50'000;
  int templates = 5'000;
  int level_models = 20;
  int resource_models = 2'000;
  int model_vertices = 1'000;
  int model_faces = 250;
  int cogs = 100;
  int cog_lines = 200;
  int64_t level_min_bytes = 50'000'000;
  // Some models written oddly, as tests want them: without the heading that
  // ends their vertex list (so that it runs on into the next model), and
  // with an insert offset and a hierarchy.
  bool odd_models = false;

  // The workload `k` times as large (a fraction makes it smaller).
  Workload Times(double k) const {
    Workload w = *this;
    for (int* n : {&w.vertices, &w.things, &w.templates, &w.level_models, &w.resource_models,
                   &w.cogs, &w.cog_lines}) {
      *n = std::max(1, int(*n * k));
    }
    w.level_min_bytes = int64_t(double(w.level_min_bytes) * k);
    return w;
  }
};

struct Archives {
  std::string level, resource;
  int64_t level_text = 0, model_text = 0;
};

// Writes the level archive "level.gob" (whose level is "jkl\\bench.jkl")
// and the resource archive "res2.gob" of workload `w` into `folder`; false
// when they cannot be written.
bool BuildArchives(const Workload& w, const std::filesystem::path& folder, Archives* a);

// Copies a file through a 64 KiB buffer, as a plain copy program would.
bool CopyBytes(const std::string& from, const std::string& to);
// Has the system write out what earlier measurements left in its page
// cache, so that each measurement starts from the same state (POSIX only).
void WriteBackDirtyPages();
// Copies a folder with everything in it, file by file, as `cp -r` would.
bool CopyTree(const std::filesystem::path& from, const std::filesystem::path& to);

// Processor time this process has spent in its own code so far, outside
// the system's (where the file work goes).
double UserSeconds();

// Wall time and processor time (of this process, all threads) of one
// measurement; `user` is the part of `cpu` outside the system.
struct Time {
  double wall = 0, cpu = 0, user = 0;
};

class Stopwatch {
 public:
  using Clock = std::chrono::steady_clock;

  Stopwatch() : wall_(Clock::now()), cpu_(std::clock()), user_(UserSeconds()) {}
  Time Elapsed() const {
    return {std::chrono::duration<double>(Clock::now() - wall_).count(),
            double(std::clock() - cpu_) / CLOCKS_PER_SEC, UserSeconds() - user_};
  }

 private:
  Clock::time_point wall_;
  std::clock_t cpu_;
  double user_;
};

inline Time Best(const Time& a, const Time& b) { return a.wall <= b.wall ? a : b; }

}  // namespace bench

#endif  // JKRESCALE_BENCH_WORKLOAD_H_
