// The header step: the last step of every level line. It rewrites the
// header's lengths (multiplied by the scale factor) and the world gravity
// (divided by it, when the user asked for it); every other line passes as
// it is.
#ifndef JKRESCALE_SCALING_HEADER_STEP_H_
#define JKRESCALE_SCALING_HEADER_STEP_H_

#include <string>

#include "scaling/game_limits.h"
#include "scaling/rules.h"
#include "scaling/text.h"

namespace jk {

class HeaderStep {
 public:
  // `factor` must be a finite number greater than 0. `limits`, when not
  // null, learns the Ceiling Sky Z of every line written, under either
  // rules (and must outlive the step).
  HeaderStep(double factor, bool divide_gravity, ScaleRules rules = ScaleRules::kGameTrue,
             LimitWatch* limits = nullptr)
      : factor_(factor), divide_gravity_(divide_gravity), rules_(rules), limits_(limits) {}

  // The line to write for `line`: its replacement, or `line` itself. The
  // result lives until the next call.
  //
  // Under game-true rules the lines that begin with the words "MipMap
  // Distances" or "LOD Distances" (four values), "Ceiling Sky Z",
  // "Perspective distance" or "Gouraud distance" (one value), any letter
  // case, become their keyword words as read and their values scaled, then
  // any further fields as read, joined by single blanks; so does "World
  // Gravity" when the gravity is divided. The horizon and the sky offsets
  // are measures on the screen and the textures, not lengths.
  //
  // Under the classic rules a trimmed line that begins with "world gravity"
  // becomes "World Gravity " and the value divided, when the gravity is
  // divided; one that begins with "mipmap distances" becomes "MipMap
  // Distances" and the distances present (at most four) scaled.
  const std::string& Apply(const std::string& line);

 private:
  const std::string& ApplyGameTrue(const std::string& line);
  const std::string& ApplyClassic(const std::string& line);
  // Tells limits_ the sky height of `written` when it is a Ceiling Sky Z
  // line.
  void WatchSky(const std::string& written);

  ScaleFactor factor_;
  bool divide_gravity_;
  ScaleRules rules_;
  LimitWatch* limits_;
  Fields fields_;
  std::string rewritten_;
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_HEADER_STEP_H_
