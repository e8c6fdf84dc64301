// jkrescale-player-report-bench: how fast the player report goes on a large
// level.
//
// Makes a synthetic level of at least 50 MB in memory: a row of rooms whose
// floors, ceilings and widths vary, so that its passages make steps, drops
// and openings of every kind (tools/walk_level_generator.h). Then prints
// the time of reading it once for the report (the part done once per
// level), and of the report at one factor from what was read (the part done
// each time the factor changes), each the best of five.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "scaling/player_report.h"
#include "scaling/player_walk.h"
#include "walk_level_generator.h"

namespace {

constexpr int kRepetitions = 5;
constexpr size_t kLevelBytes = 50'000'000;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

jk::levelgen::WalkLevelOptions Rooms(int count) {
  jk::levelgen::WalkLevelOptions options;
  for (int i = 0; i < count; ++i) {
    const double floor = 0.05 * (i % 13) - 0.3 * (i % 3 == 0);
    const double ceiling = floor + (i % 7 == 0 ? 0.2 : 2.0);
    options.rooms.push_back({.length = 1 + 0.25 * (i % 4),
                             .floor = floor,
                             .ceiling = ceiling,
                             .width = i % 11 == 0 ? 0.12 : 2.0});
  }
  return options;
}

}  // namespace

int main() {
  // A level of 1,000 rooms tells how many make 50 MB.
  const size_t sample = jk::levelgen::MakeWalkLevel(Rooms(1000)).text.size();
  const int rooms = int(1000 * kLevelBytes / sample) + 1;
  const std::string level = jk::levelgen::MakeWalkLevel(Rooms(rooms)).text;
  std::printf("level: %d rooms, %.1f MB\n", rooms, double(level.size()) / 1e6);

  double read = 1e9, report = 1e9;
  jk::PlayerWalk walk;
  jk::PlayerReport result;
  for (int i = 0; i < kRepetitions; ++i) {
    auto start = std::chrono::steady_clock::now();
    jk::ReadPlayerWalk(level, &walk);
    read = std::min(read, Seconds(start));
    start = std::chrono::steady_clock::now();
    result = jk::ReportPlayer(walk, 2, false);
    report = std::min(report, Seconds(start));
  }
  std::printf("read once per level:    %7.3f s  (%.0f MB/s, %zu passages crossed)\n", read,
              double(level.size()) / 1e6 / read, walk.crossings.size());
  std::printf("report at one factor:   %7.3f s  (%lld steps, %lld openings, %lld drops at x2)\n",
              report, static_cast<long long>(result.steps), static_cast<long long>(result.openings),
              static_cast<long long>(result.drops));
  return 0;
}
