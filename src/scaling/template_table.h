// The templates of a level as the game builds them while it reads the
// templates section: a template starts as a copy of its base, when the base
// is a template defined before it, and then takes the parameters of its own
// line. So a template has every value of its chain, however long, and a
// later change of its base does not reach it. Names compare in any letter
// case, as the game reads them in lower case.
//
// Each reader of templates keeps in `Values` what it needs of them (whether
// it is scenery, the files it uses, its parameters) and fills them from the
// template's own line; the table owns the rule of inheritance.
#ifndef JKRESCALE_SCALING_TEMPLATE_TABLE_H_
#define JKRESCALE_SCALING_TEMPLATE_TABLE_H_

#include <string>
#include <string_view>
#include <vector>

#include "scaling/references.h"

namespace jk {

template <typename Values>
class TemplateTable {
 public:
  struct Row {
    std::string name;  // as its line spells it
    Values values{};
  };

  // Template `name` based on `base`: its values, a copy of the base's (or
  // Values() when the base is no template of the table), for the caller to
  // change by its own line. A template of a name defined before is
  // replaced, in its place in the order.
  Values& Add(std::string_view name, std::string_view base) {
    Values values{};
    if (const Values* inherited = Find(base)) values = *inherited;
    auto [at, added] = index_.try_emplace(std::string(name), rows_.size());
    if (added) {
      rows_.push_back({std::string(name), std::move(values)});
    } else {
      rows_[at->second] = {std::string(name), std::move(values)};
    }
    return rows_[at->second].values;
  }

  // The values of template `name`; null when there is none.
  const Values* Find(std::string_view name) const {
    auto at = index_.find(name);
    return at == index_.end() ? nullptr : &rows_[at->second].values;
  }

  // The templates in the order their names were first added.
  const std::vector<Row>& rows() const { return rows_; }

 private:
  std::vector<Row> rows_;
  NameMap<size_t> index_;
};

}  // namespace jk

#endif  // JKRESCALE_SCALING_TEMPLATE_TABLE_H_
