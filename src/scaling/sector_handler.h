// The handlers of the sectors section and of the adjoins, under game-true
// rules. The engine takes each sector's boxes, centre and radius, and each
// adjoin's distance, as they stand and never computes them again, so they
// grow with the geometry.
#ifndef JKRESCALE_SCALING_SECTOR_HANDLER_H_
#define JKRESCALE_SCALING_SECTOR_HANDLER_H_

#include <cstdint>
#include <string>

#include "scaling/level_pass.h"
#include "scaling/text.h"

namespace jk {

// A line of a sector block whose field 1 is BOUNDBOX or COLLIDEBOX (six
// values: the box's lower and upper corners), CENTER (three) or RADIUS
// (one), any letter case, becomes that keyword as read and its values
// scaled, joined by single blanks. Every other line, SOUND among them,
// stays as it is.
class SectorHandler : public SectionHandler {
 public:
  explicit SectorHandler(double factor) : factor_(factor) {}
  void HandleLine(std::string& line) override;

 private:
  ScaleFactor factor_;
  Fields fields_;
  std::string rewritten_;
};

// "World adjoins N" is followed by N adjoin lines, "num: flags mirror
// dist"; each becomes its fields joined by single blanks with dist scaled.
// Only those N lines are adjoins: the surfaces and their normals that follow
// in the same section are not, nor are comment lines.
class AdjoinHandler : public SectionHandler {
 public:
  explicit AdjoinHandler(double factor) : factor_(factor) {}
  void HandleLine(std::string& line) override;

 private:
  ScaleFactor factor_;
  int64_t adjoins_left_ = 0;
  Fields fields_;
  std::string rewritten_;
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_SECTOR_HANDLER_H_
