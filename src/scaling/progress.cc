#include "scaling/progress.h"

#include <cmath>
#include <string>

#include "scaling/text.h"

namespace jk {

namespace {

constexpr double kColourScale = 256;
constexpr double kLevelBarLength = 100;
constexpr double kModelBarLength = 200;
constexpr double kBarHeight = 32;
constexpr double kTextX = 0;
constexpr double kTextY = 2;

double Share(int64_t position, int64_t length) {
  return length > 0 ? double(position) / double(length) : 0;
}

}  // namespace

int ColourComponent(double share) {
  double scaled = std::nearbyint(share * kColourScale);
  if (!std::isfinite(scaled)) return 0;
  return static_cast<int>(static_cast<int64_t>(scaled) & 0xff);
}

double ProgressWindow::LevelArchiveShare() const {
  return level_archive_ ? Share(level_archive_->Position(), level_archive_->Length()) : 0;
}

double ProgressWindow::ResourceArchiveShare() const {
  return resource_archive_
             ? Share(resource_archive_->Position(), resource_archive_->Length())
             : 0;
}

void ProgressWindow::Show() {
  surface_->DrawText(kTextX, kTextY, kProgressText, colour_);
  surface_->PumpEvents();
}

void ProgressWindow::RefreshLevelText() {
  double p = LevelArchiveShare();
  int64_t archive_length = level_archive_ ? level_archive_->Length() : 0;
  double written = level_output_ ? Share(level_output_->Position(), archive_length) : 0;
  colour_ = PackColour(ColourComponent(p), ColourComponent(written),
                       ColourComponent(ResourceArchiveShare()));
  surface_->FillBox(0, 0, kLevelBarLength * p, kBarHeight, colour_);
  colour_ = kWhite;
  surface_->DrawText(kTextX, kTextY, kProgressText, colour_);
  surface_->PumpEvents();
}

void ProgressWindow::RefreshModel(int64_t index, int64_t count) {
  surface_->FillBox(0, 0, kModelBarLength, kBarHeight, colour_);
  double q = Share(index, count);
  colour_ = PackColour(ColourComponent(LevelArchiveShare()), ColourComponent(q),
                       ColourComponent(ResourceArchiveShare()));
  surface_->FillBox(0, 0, kModelBarLength * q, kBarHeight, colour_);
  colour_ = kWhite;
  surface_->DrawText(kTextX, kTextY,
                     std::string(kProgressText) + " " + TextOf(100 * q) + "%", colour_);
  surface_->PumpEvents();
}

}  // namespace jk
