// The progress window of a scale run (frm2): a bar whose length and colour
// follow the read and write positions of the files the run works on, and the
// text "Scaling level...". Two kinds of refresh: one while the level text is
// rewritten, one per model of the model pass.
#ifndef JKRESCALE_SCALING_PROGRESS_H_
#define JKRESCALE_SCALING_PROGRESS_H_

#include <cstdint>

#include "platform/drawing.h"
#include "platform/file_system.h"

namespace jk {

inline constexpr const char* kProgressText = "Scaling level...";

class ProgressWindow {
 public:
  // `surface` must outlive the window.
  explicit ProgressWindow(DrawingSurface* surface) : surface_(surface) {}

  // Draws the window's first state: the text in the initial drawing colour.
  void Show();

  // The files whose positions the bar shows; any of them may be null (a
  // missing file counts as position 0). They must outlive their use here.
  void SetLevelArchive(const InputFile* file) { level_archive_ = file; }
  void SetResourceArchive(const InputFile* file) { resource_archive_ = file; }
  void SetLevelOutput(const OutputFile* file) { level_output_ = file; }

  // Level-text kind: a bar 100 * p long, p being the level archive's read
  // position in the whole archive, coloured by the three files' positions.
  void RefreshLevelText();

  // Model kind, before model `index` of `count`: wipes the bar area, draws a
  // bar 200 * index / count long, and the percentage after the text.
  void RefreshModel(int64_t index, int64_t count);

  // The current drawing colour (white after any refresh).
  Colour drawing_colour() const { return colour_; }

 private:
  double LevelArchiveShare() const;
  double ResourceArchiveShare() const;

  DrawingSurface* surface_;
  const InputFile* level_archive_ = nullptr;
  const InputFile* resource_archive_ = nullptr;
  const OutputFile* level_output_ = nullptr;
  Colour colour_ = kBlack;  // the window's initial drawing colour
};

// A colour component from a share of 1: share * 256 rounded to the nearest
// whole number and reduced to its low 8 bits (256 wraps to 0).
int ColourComponent(double share);

}  // namespace jk

#endif  // JKRESCALE_SCALING_PROGRESS_H_
