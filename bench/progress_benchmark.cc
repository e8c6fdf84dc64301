// jkrescale-progress-bench: what showing the progress costs the desktop
// program. Runs the same scale run on a synthetic level twice over: with no
// one watching (as jkrescale-cli does when its output is not a terminal),
// and through the desktop program's own progress path, the shell's
// ProgressPresenter over the real Qt progress window (offscreen unless
// QT_QPA_PLATFORM says otherwise), with the window's events let run at each
// redraw. The two take turns, nine times over; it prints the best time of
// each and, as the figure that counts, the median of the nine ratios of a
// desktop run to the plain run just before it: on a machine whose speed
// drifts (a virtual machine, say) a pair of runs sees the same speed.
//
// The workload: a level text of about 10 MB and 2,000 models.
#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "desktop/qt_windows.h"
#include "platform/real_file_system.h"
#include "scaling/scale_run.h"
#include "shell/progress_presenter.h"
#include "workload.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRepetitions = 9;

bool Scale(const bench::Archives& a, const fs::path& out, jk::ScaleProgress& progress) {
  jk::RealFileSystem real;
  jk::ScaleRequest request;
  request.work_folder = out.string();
  request.level_archive_path = a.level;
  request.level_name = "jkl\\bench.jkl";
  request.resource_archive_path = a.resource;
  request.factor_text = "2";
  jk::ReferenceLists lists;
  jk::ScaleReport report;
  jk::Status status = jk::RunScale(real, request, progress, &lists, &report);
  if (!status.ok())
    std::fprintf(stderr, "jkrescale-progress-bench: %s\n", status.message().c_str());
  return status.ok();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  fs::path root = fs::temp_directory_path() /
                  ("jkrescale-progress-bench-" + std::to_string(std::random_device{}()));
  fs::create_directories(root);

  bench::Workload w;
  w.vertices = 60'000;
  w.things = 10'000;
  w.templates = 1'000;
  w.level_models = 0;
  w.resource_models = 2'000;
  w.model_vertices = 200;
  w.model_faces = 50;
  w.cogs = 20;
  w.cog_lines = 40;
  w.level_min_bytes = 10'000'000;
  bench::Archives a;
  if (!bench::BuildArchives(w, root, &a)) {
    std::fprintf(stderr, "jkrescale-progress-bench: cannot write the archives\n");
    return 1;
  }
  std::printf("level text %.1f MB, %d models, model text %.1f MB\n", double(a.level_text) / 1e6,
              w.resource_models, double(a.model_text) / 1e6);

  jk::QtWindowSystem windows;
  windows.progress_window().Show();
  bench::Time plain, desktop;
  std::vector<double> ratios;
  bool ok = true;
  for (int rep = 0; rep < kRepetitions && ok; ++rep) {
    // Every run writes into a fresh folder, removed after it; the two kinds
    // take turns, so that a busy moment of the machine does not fall on one
    // kind only.
    std::error_code ec;
    jk::NoProgress nobody;
    bench::Stopwatch plain_watch;
    ok = Scale(a, root / "out", nobody);
    bench::Time plain_time = plain_watch.Elapsed();
    fs::remove_all(root / "out", ec);
    jk::ProgressPresenter presenter(&windows.progress_window(), &windows);
    bench::Stopwatch desktop_watch;
    ok = ok && Scale(a, root / "out", presenter);
    bench::Time desktop_time = desktop_watch.Elapsed();
    fs::remove_all(root / "out", ec);
    ratios.push_back(desktop_time.wall / plain_time.wall);
    plain = rep == 0 ? plain_time : bench::Best(plain, plain_time);
    desktop = rep == 0 ? desktop_time : bench::Best(desktop, desktop_time);
  }
  windows.progress_window().Close();
  std::error_code ec;
  fs::remove_all(root, ec);
  if (!ok) return 1;
  std::sort(ratios.begin(), ratios.end());
  std::printf("best of %d runs:\n", kRepetitions);
  std::printf("  no progress shown        %7.3f s (cpu %7.3f s)\n", plain.wall, plain.cpu);
  std::printf("  desktop progress window  %7.3f s (cpu %7.3f s)\n", desktop.wall, desktop.cpu);
  std::printf(
      "the desktop path against the plain one, run by run: median %+.1f%%, "
      "from %+.1f%% to %+.1f%%\n",
      (ratios[ratios.size() / 2] - 1) * 100, (ratios.front() - 1) * 100, (ratios.back() - 1) * 100);
  return 0;
}
