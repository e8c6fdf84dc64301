// The handler of the world templates section. The templates of the level's
// scenery have their size=, movesize= and height= values scaled and are kept
// in the scaled template list, where the thing lines find the models they
// show. Scenery are the templates based on one of the static scenery bases
// ("_decor", "_structure", "_walkstruct") and, under game-true rules, those
// based on a scenery template defined earlier in the level, through any
// number of such steps.
#ifndef JKRESCALE_SCALING_TEMPLATE_HANDLER_H_
#define JKRESCALE_SCALING_TEMPLATE_HANDLER_H_

#include <string>
#include <string_view>

#include "scaling/level_pass.h"
#include "scaling/references.h"
#include "scaling/rules.h"
#include "scaling/scenery_uses.h"
#include "scaling/template_table.h"
#include "scaling/text.h"

namespace jk {

// Whether a template's base (field 2, any letter case) makes it a
// structure template.
bool IsStructureBase(std::string_view base);

class TemplateHandler : public SectionHandler {
 public:
  // `factor` is the run's scale factor; `templates` and `uses` must
  // outlive the handler. `uses`, when not null, learns of every template
  // line (of at least two fields whose field 1 does not begin with "#").
  TemplateHandler(double factor, ScaledTemplates* templates,
                  ScaleRules rules = ScaleRules::kGameTrue, SceneryUses* uses = nullptr)
      : factor_(factor), templates_(templates), rules_(rules), uses_(uses) {}

  // A scenery template is a trimmed line that, split into its fields
  // (SplitFields), has at least three fields and a scenery base as field 2
  // (names compare in any letter case, as the game reads them). Its trimmed line
  // is appended to the scaled template list as it is (a template based on
  // another scenery template shows that one's models unless it names its
  // own); the line becomes fields 1 and 2 and then every later field,
  // joined by single blanks, where a field that begins with "size=",
  // "movesize=" or "height=" (any case), and under game-true rules
  // "treesize=" (the radius of its collision tree), is written as that key
  // in lower case and its value scaled. Any other line stays as it is.
  void HandleLine(std::string& line) override;

 private:
  ScaleFactor factor_;
  ScaledTemplates* templates_;
  ScaleRules rules_;
  SceneryUses* uses_;
  Fields fields_;
  // Whether each template defined so far is scenery (game-true rules).
  TemplateTable<bool> scenery_;
  std::string rewritten_;
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_TEMPLATE_HANDLER_H_
