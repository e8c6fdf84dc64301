// The handler of the world vertices section: every corner point of the
// level's geometry, "number: x y z", with its three coordinates scaled.
#ifndef JKRESCALE_SCALING_VERTEX_HANDLER_H_
#define JKRESCALE_SCALING_VERTEX_HANDLER_H_

#include <string>

#include "scaling/game_limits.h"
#include "scaling/level_pass.h"
#include "scaling/text.h"

namespace jk {

class VertexHandler : public SectionHandler {
 public:
  // `factor` is the run's scale factor; `limits`, when not null, learns
  // every coordinate written (and must outlive the handler).
  explicit VertexHandler(double factor, LimitWatch* limits = nullptr)
      : factor_(factor), limits_(limits) {}

  // A vertex line is a trimmed line that, split on single separators (each
  // tab, blank or comma ends a field), has at least four fields and a non-empty
  // field 1. It becomes field 1 and fields 2 to 4 scaled, joined by single
  // blanks (later fields are dropped). Any other line stays as it is.
  void HandleLine(std::string& line) override;

 private:
  ScaleFactor factor_;
  LimitWatch* limits_;
  Fields fields_;
  std::string rewritten_;
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_VERTEX_HANDLER_H_
