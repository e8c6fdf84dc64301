#include "shell/player_line.h"

#include <utility>

#include "scaling/player_report.h"
#include "scaling/text.h"

namespace jk {

PlayerLine::PlayerLine(FileSystem& fs, WindowSystem& windows, std::function<void()> changed)
    : fs_(fs), windows_(windows), changed_(std::move(changed)) {}

void PlayerLine::Pick(const std::string& archive, const std::string& level,
                      const std::string& resource) {
  std::string key = archive + '\n' + level + '\n' + resource;
  if (key == key_) return;
  key_ = key;
  walk_.reset();
  auto walk = std::make_shared<PlayerWalk>();
  auto read = std::make_shared<bool>(false);
  // The work runs on another thread: it holds its own copies of what it
  // needs, and the result is taken only if the same level is still picked.
  auto work = [&fs = fs_, archive, level, resource, walk, read] {
    *read = ReadPlayerWalkFromArchive(fs, archive, level, resource, walk.get()).ok();
  };
  auto done = [this, key, walk, read] {
    if (key != key_ || !*read) return;
    walk_ = walk;
    if (changed_) changed_();
  };
  // A file system that one thread at a time must use is read here.
  if (!fs_.AllowsConcurrentUse()) {
    work();
    done();
    return;
  }
  windows_.RunInBackground(std::move(work), std::move(done));
}

void PlayerLine::Clear() {
  key_.clear();
  walk_.reset();
}

std::string PlayerLine::Text(const std::string& factor_text, bool divide_gravity) const {
  double factor = 0;
  if (!walk_ || !ParseScaleFactor(factor_text, &factor)) return "";
  return PlayerReportSentence(ReportPlayer(*walk_, factor, divide_gravity));
}

}  // namespace jk
