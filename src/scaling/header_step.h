// The header step: the last step of every level line. It rewrites the world
// gravity line (divided by the scale factor, when the user asked for it) and
// the mipmap distances line (multiplied by it); every other line passes as
// it is.
#ifndef JKRESCALE_SCALING_HEADER_STEP_H_
#define JKRESCALE_SCALING_HEADER_STEP_H_

#include <string>

namespace jk {

class HeaderStep {
 public:
  // `factor` must be a finite number greater than 0.
  HeaderStep(double factor, bool divide_gravity)
      : factor_(factor), divide_gravity_(divide_gravity) {}

  // The line to write for `line`: its replacement, or `line` itself. The
  // result lives until the next call.
  const std::string& Apply(const std::string& line);

 private:
  double factor_;
  bool divide_gravity_;
  std::string rewritten_;
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_HEADER_STEP_H_
