// Which models and cogs a level needs. While the level pass runs, the
// structure templates are kept in the scaled template list, every thing line
// looks up the models of its template, and every line of the cogs section
// looks up its script among the level archive's cogs. After the pass, the two
// reference lists lose their repeated rows. What no archive holds is
// collected by name: the game shows such a model unscaled.
//
// The lookups give exactly the rows that a scan of each table from its first
// row would give (the first row of a name wins; the level archive's models
// come before the resource archive's) and append them in the order of the
// templates and of their model3d= parameters, but each costs the same
// whatever the size of the tables, so that a level pass stays linear in the
// length of the level.
#ifndef JKRESCALE_SCALING_REFERENCES_H_
#define JKRESCALE_SCALING_REFERENCES_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "archives/archive_tables.h"
#include "platform/ascii.h"
#include "scaling/level_pass.h"

namespace jk {
class SceneryUses;
}  // namespace jk

namespace jk {

// A hash for maps keyed by std::string that are searched with string_views,
// so that a lookup does not copy the name it looks for. Names that differ
// in ASCII letter case only hash alike.
struct NameHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const;
};
// Names as the game compares them: it reads its text in lower case.
struct SameGameName {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return EqualsIgnoringCase(a, b); }
};
// Maps and sets of the names of templates and files, ASCII letter case
// ignored.
template <typename Value>
using NameMap = std::unordered_map<std::string, Value, NameHash, SameGameName>;
using NameSet = std::unordered_set<std::string, NameHash, SameGameName>;

// Names in the order they were first added, each once.
class FirstSeenNames {
 public:
  // Adds `name` unless it was added before or is empty.
  void Add(std::string_view name);
  const std::vector<std::string>& names() const { return names_; }

 private:
  std::vector<std::string> names_;
  std::unordered_set<std::string, NameHash, std::equal_to<>> seen_;
};

// Row numbers of a table by the part of each row's entry name after its
// four-character folder prefix ("3do\", "cog\"). Names compare without
// regard to letter case, as the game finds its files; the first row of a
// name wins.
class PrefixedNameIndex {
 public:
  static constexpr size_t kNoRow = static_cast<size_t>(-1);

  // Adds `row` under `entry_name` unless an earlier row has the same name.
  void Add(std::string_view entry_name, size_t row);
  // The first row whose name without prefix equals `name`, or kNoRow.
  size_t Find(std::string_view name) const;

 private:
  NameMap<size_t> rows_;
};

// The model table of a scale run: the level archive's model rows followed
// by the resource archive's. Both vectors must outlive the table and stay
// unchanged while it is used.
class ModelTable {
 public:
  ModelTable(const std::vector<ModelRow>& level_rows, const std::vector<ModelRow>& resource_rows);

  // The first row whose name without "3do\" equals `file_name`; null when
  // no row has that name.
  const ModelRow* Find(std::string_view file_name) const;

 private:
  const std::vector<ModelRow>& level_rows_;
  const std::vector<ModelRow>& resource_rows_;
  PrefixedNameIndex index_;  // rows of resource_rows_ count on from level_rows_
};

// The scaled template list of one level pass: the trimmed, unscaled lines
// of the structure templates met so far, and for each template name the
// models its templates call for.
class ScaledTemplates {
 public:
  // `models` must outlive the list.
  explicit ScaledTemplates(const ModelTable* models) : models_(models) {}

  // Appends the trimmed line of a scenery template: field 1 its name,
  // fields 3 and later its parameters. Each parameter that begins with
  // "model3d=" (any case) names a model file, which is looked up in the
  // model table at once. A template without such a parameter that is based
  // on the template `based_on` (not empty) shows that template's models, as
  // the game's templates take what they do not set from their base.
  void Append(std::string_view trimmed_line, std::string_view based_on = {});

  const std::vector<std::string>& lines() const { return lines_; }

  // The model rows that things of template `name` need: for every appended
  // template of that name in the order appended, for each of its model3d=
  // parameters in order, the model table's first row of that file name
  // (parameters that name no model of the table give none).
  const std::vector<const ModelRow*>& ModelsOf(std::string_view name) const;

  // The file names of the model3d= parameters, in the same order, that name
  // no model of the table.
  const std::vector<std::string>& MissingModelsOf(std::string_view name) const;

 private:
  struct Models {
    std::vector<const ModelRow*> rows;
    std::vector<std::string> missing;
  };
  const Models& Of(std::string_view name) const;

  const ModelTable* models_;
  std::vector<std::string> lines_;
  NameMap<Models> models_by_name_;
};

// The model lookup that the thing handler runs for every thing line.
class ModelLookup {
 public:
  // All must outlive the lookup; `missing` may be null.
  ModelLookup(const ScaledTemplates* templates, std::vector<ModelRow>* model_list,
              FirstSeenNames* missing = nullptr)
      : templates_(templates), model_list_(model_list), missing_(missing) {}

  // Appends to the model list a copy of every row that template
  // `template_name` needs (ScaledTemplates::ModelsOf) and this lookup has
  // not appended yet, and to `missing` the models it names that no archive
  // holds (MissingModelsOf). A row appended again would be a repeat, which
  // RemoveRepeatedRows takes out: thousands of things share a few models.
  void Lookup(std::string_view template_name);

 private:
  const ScaledTemplates* templates_;
  std::vector<ModelRow>* model_list_;
  FirstSeenNames* missing_;
  std::unordered_set<const ModelRow*> appended_;
};

// The handler of the cogs section: a line whose field 2 (SplitFields) names a script of the level
// archive's cog table, by its name without "cog\", adds a copy of the first such row to the cog
// list. A cog line (field 1 a number and ":") whose script neither that table nor the resource
// archive's cogs hold adds the script's name to `missing`. Every cog line goes to `uses`. The
// line itself is never changed.
class CogReferenceHandler : public SectionHandler {
 public:
  // All must outlive the handler; `resource_cogs`, `missing` and `uses`
  // may be null (no resource archive's cogs, nothing collected).
  CogReferenceHandler(const std::vector<EntryRow>* cog_table, std::vector<EntryRow>* cog_list,
                      const std::vector<EntryRow>* resource_cogs = nullptr,
                      FirstSeenNames* missing = nullptr, SceneryUses* uses = nullptr);

  void HandleLine(std::string& line) override;

 private:
  const std::vector<EntryRow>* cog_table_;
  std::vector<EntryRow>* cog_list_;
  Fields fields_;
  FirstSeenNames* missing_;
  SceneryUses* uses_;
  PrefixedNameIndex index_;
  PrefixedNameIndex resource_index_;
};

// The reference list clean-up: keeps the first row of each entry name, in
// the order of first occurrence, and drops every later row of that name
// (rows without a name are dropped too). Names compare exactly.
void RemoveRepeatedRows(std::vector<ModelRow>* rows);
void RemoveRepeatedRows(std::vector<EntryRow>* rows);

}  // namespace jk

#endif  // JKRESCALE_SCALING_REFERENCES_H_
