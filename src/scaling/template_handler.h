// The handler of the world templates section. The templates based directly
// on one of the static scenery bases ("_decor", "_structure", "_walkstruct")
// have their size=, movesize= and height= values scaled and are kept in the
// scaled template list, where the thing lines find the models they show.
#ifndef JKRESCALE_SCALING_TEMPLATE_HANDLER_H_
#define JKRESCALE_SCALING_TEMPLATE_HANDLER_H_

#include <string>
#include <string_view>

#include "scaling/level_pass.h"
#include "scaling/references.h"

namespace jk {

// Whether a template's base (field 2, compared exactly) makes it a
// structure template.
bool IsStructureBase(std::string_view base);

class TemplateHandler : public SectionHandler {
 public:
  // `factor` is the run's scale factor; `templates` must outlive the
  // handler.
  TemplateHandler(double factor, ScaledTemplates* templates)
      : factor_(factor), templates_(templates) {}

  // A structure template is a trimmed line that, split on runs of white
  // space, has at least three fields, a field 1 that does not begin with
  // "#" and a structure base as field 2. Its trimmed line is appended to
  // the scaled template list as it is; the line becomes fields 1 and 2 and
  // then every later field, joined by single blanks, where a field that
  // begins with "size=", "movesize=" or "height=" (any case) is written as
  // that key in lower case and its value scaled. Any other line stays as it
  // is.
  void HandleLine(std::string& line) override;

 private:
  double factor_;
  ScaledTemplates* templates_;
  std::string rewritten_;
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_TEMPLATE_HANDLER_H_
