// What the level pass learns of the files that make the scenery move,
// sound and glow: which templates are scenery and which puppet, sound class
// and sprite each template uses; which things are scenery; and which
// scripts the cogs section names, with the values of each cog line. The
// scenery pass (scaling/scenery_pass.h) decides from it which of those
// files are scaled.
#ifndef JKRESCALE_SCALING_SCENERY_USES_H_
#define JKRESCALE_SCALING_SCENERY_USES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "scaling/references.h"
#include "scaling/template_table.h"
#include "scaling/text.h"

namespace jk {

// The files a template uses, by file name in lower case ("" for none).
struct TemplateFiles {
  std::string puppet;       // puppet=, a file of misc\pup
  std::string sound_class;  // soundclass=, a file of misc\snd
  std::string sprite;       // sprite=, a file of misc\spr
  bool scenery = false;
};

// One line of the cogs section: its script and its values as read.
struct CogLine {
  std::string script;
  std::vector<std::string> values;
};

class SceneryUses {
 public:
  // A template line's fields: field 1 its name, field 2 its base, then its
  // parameters. A template takes from its base every file it does not name
  // itself (see TemplateTable). `scenery` is what the template handler
  // decided.
  void AddTemplate(const Fields& fields, bool scenery);
  // A thing line: its number ("12:") and its template.
  void AddThing(std::string_view number, std::string_view template_name);
  // A cog line: its number, its script and its values.
  void AddCog(const Fields& fields);

  // The templates in the order first added.
  const std::vector<TemplateTable<TemplateFiles>::Row>& templates() const {
    return templates_.rows();
  }
  const std::vector<CogLine>& cogs() const { return cogs_; }
  // Whether thing `number` (as a cog value gives it) is scenery.
  bool IsSceneryThing(std::string_view number) const;

 private:
  TemplateTable<TemplateFiles> templates_;
  std::unordered_set<int64_t> scenery_things_;
  std::vector<CogLine> cogs_;
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_SCENERY_USES_H_
