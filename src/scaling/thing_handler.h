// The handler of the world things section: every object the level places,
// with its position and the positions of its path frames scaled, and the
// models of its template looked up for the model pass.
#ifndef JKRESCALE_SCALING_THING_HANDLER_H_
#define JKRESCALE_SCALING_THING_HANDLER_H_

#include <string>
#include <string_view>

#include "scaling/game_limits.h"
#include "scaling/level_pass.h"
#include "scaling/references.h"
#include "scaling/scenery_uses.h"
#include "scaling/text.h"

namespace jk {

// The texts of the coordinates in a frame parameter's position text P (what
// lies between "frame=(" and the ":" of the angles or the closing ")"),
// each read as the number it begins with: x is the text before the first
// "/" (with that "/"), y the text after the first "/", z the text after the
// last "/". With one "/" y and z are both the text after it; with none, x
// and y are empty (read as 0) and z is P.
struct FramePosition {
  std::string_view x, y, z;
};
FramePosition FramePositionOf(std::string_view position_text);

// Appends the rewritten form of frame parameter `field` to `out`. The text
// after the field's first seven characters (normally "frame=(") decides:
// when it holds ":", its position text ends at that ":" and " frame=(x/y/z"
// (scaled) is followed by the field from its first ":" on, unchanged; else
// when it holds ")", the position text is all of it and " frame=(x/y/z)"
// is appended; else nothing is appended and the parameter is dropped.
// `limits`, when not null, learns the coordinates written.
void AppendFrameParameter(std::string_view field, const ScaleFactor& factor, std::string* out,
                          LimitWatch* limits = nullptr);

class ThingHandler : public SectionHandler {
 public:
  // `factor` is the run's scale factor; `lookup` must outlive the handler;
  // `limits`, when not null, learns every position written, and `uses`,
  // when not null, learns of every thing line (both must outlive the
  // handler).
  ThingHandler(double factor, ModelLookup* lookup, LimitWatch* limits = nullptr,
               SceneryUses* uses = nullptr)
      : factor_(factor), lookup_(lookup), limits_(limits), uses_(uses) {}

  // From now on only looks the models up (and tells `uses`), leaving
  // every line as it is: for a reading that writes nothing.
  void OnlyListModels() { rewrite_ = false; }

  // A thing line is a trimmed line that, split into its fields (SplitFields), has
  // at least ten fields and a non-empty field 1. It becomes fields 1 to 3,
  // fields 4 to 6 (the position) scaled, and every later field joined by
  // single blanks, where a field that begins with "frame=" (any case) is
  // rewritten by AppendFrameParameter. Then the model lookup runs for field
  // 2, the template. Any other line stays as it is, without a lookup.
  void HandleLine(std::string& line) override;

 private:
  ScaleFactor factor_;
  ModelLookup* lookup_;
  LimitWatch* limits_;
  SceneryUses* uses_;
  bool rewrite_ = true;
  Fields fields_;
  std::string rewritten_;
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_THING_HANDLER_H_
