// The synthetic workload of the benchmarks: a large level archive and a
// resource archive written straight to disk, and the stopwatch they are
// timed with. Nothing in it comes from the game.
#ifndef JKRESCALE_BENCH_WORKLOAD_H_
#define JKRESCALE_BENCH_WORKLOAD_H_

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

  Workload Times(int k) const {
    Workload w = *this;
    w.vertices *= k;
    w.things *= k;
    w.templates *= k;
    w.level_models *= k;
    w.resource_models *= k;
    w.cogs *= k;
    w.cog_lines *= k;
    w.level_min_bytes *= k;
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

// Wall time and processor time (of this process) of one measurement.
struct Time {
  double wall = 0, cpu = 0;
};

class Stopwatch {
 public:
  using Clock = std::chrono::steady_clock;

  Stopwatch() : wall_(Clock::now()), cpu_(std::clock()) {}
  Time Elapsed() const {
    return {std::chrono::duration<double>(Clock::now() - wall_).count(),
            double(std::clock() - cpu_) / CLOCKS_PER_SEC};
  }

 private:
  Clock::time_point wall_;
  std::clock_t cpu_;
};

inline Time Best(const Time& a, const Time& b) { return a.wall <= b.wall ? a : b; }

}  // namespace bench

#endif  // JKRESCALE_BENCH_WORKLOAD_H_
