#include "scaling/references.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

#include "scaling/layout.h"
#include "scaling/level_sections.h"
#include "scaling/scenery_uses.h"
#include "scaling/text.h"

namespace jk {

namespace {

constexpr std::string_view kModelKey = "model3d=";

const std::string& NameOf(const ModelRow& row) { return row.entry.name; }

// Whether a field is the number of a cog line: digits and a colon ("12:").
const std::string& NameOf(const EntryRow& row) { return row.name; }

// Marks the first row of each name with a set of the names seen, then moves
// the marked rows up in their order: the result of clearing every later
// repeat and closing the gaps, at a cost linear in the number of rows.
template <typename Row>
void KeepFirstOfEachName(std::vector<Row>* rows) {
  std::vector<bool> keep(rows->size());
  {
    std::unordered_set<std::string_view> seen;
    seen.reserve(rows->size());
    for (size_t i = 0; i < rows->size(); ++i) {
      const std::string& name = NameOf((*rows)[i]);
      keep[i] = !name.empty() && seen.insert(name).second;
    }
  }  // the views in `seen` must not outlive the moves below
  size_t kept = 0;
  for (size_t i = 0; i < rows->size(); ++i) {
    if (!keep[i]) continue;
    if (kept != i) (*rows)[kept] = std::move((*rows)[i]);
    ++kept;
  }
  rows->resize(kept);
}

}  // namespace

size_t NameHash::operator()(std::string_view s) const {
  // FNV-1a over the name in lower case.
  uint64_t hash = 14695981039346656037u;
  for (char c : s) hash = (hash ^ uint8_t(LowerAscii(c))) * 1099511628211u;
  return size_t(hash);
}

void FirstSeenNames::Add(std::string_view name) {
  if (name.empty() || seen_.find(name) != seen_.end()) return;
  seen_.emplace(name);
  names_.emplace_back(name);
}

void PrefixedNameIndex::Add(std::string_view entry_name, size_t row) {
  std::string_view name = NameInFolder(entry_name);
  if (rows_.find(name) == rows_.end()) rows_.emplace(std::string(name), row);
}

size_t PrefixedNameIndex::Find(std::string_view name) const {
  auto it = rows_.find(name);
  return it == rows_.end() ? kNoRow : it->second;
}

ModelTable::ModelTable(const std::vector<ModelRow>& level_rows,
                       const std::vector<ModelRow>& resource_rows)
    : level_rows_(level_rows), resource_rows_(resource_rows) {
  // The level archive's rows go in first, so that they win over the
  // resource archive's rows of the same name.
  for (size_t i = 0; i < level_rows_.size(); ++i) index_.Add(level_rows_[i].entry.name, i);
  for (size_t i = 0; i < resource_rows_.size(); ++i) {
    index_.Add(resource_rows_[i].entry.name, level_rows_.size() + i);
  }
}

const ModelRow* ModelTable::Find(std::string_view file_name) const {
  size_t row = index_.Find(file_name);
  if (row == PrefixedNameIndex::kNoRow) return nullptr;
  if (row < level_rows_.size()) return &level_rows_[row];
  return &resource_rows_[row - level_rows_.size()];
}

void ScaledTemplates::Append(std::string_view trimmed_line, std::string_view based_on) {
  lines_.emplace_back(trimmed_line);
  std::vector<std::string_view> fields = SplitFields(lines_.back());
  // A thing line looks its template up by name on every line; resolving
  // the models once here gives the same rows in the same order, since the
  // model table does not change during the pass.
  Models own;
  bool names_a_model = false;
  for (size_t i = 2; i < fields.size(); ++i) {
    if (!BeginsWith(fields[i], kModelKey)) continue;
    names_a_model = true;
    std::string_view file_name = fields[i].substr(kModelKey.size());
    if (const ModelRow* row = models_->Find(file_name)) {
      own.rows.push_back(row);
    } else {
      own.missing.emplace_back(file_name);
    }
  }
  if (!names_a_model && !based_on.empty()) own = Of(based_on);
  Models& models = models_by_name_.try_emplace(std::string(fields[0])).first->second;
  models.rows.insert(models.rows.end(), own.rows.begin(), own.rows.end());
  models.missing.insert(models.missing.end(), own.missing.begin(), own.missing.end());
}

const ScaledTemplates::Models& ScaledTemplates::Of(std::string_view name) const {
  static const Models kNone;
  auto it = models_by_name_.find(name);
  return it == models_by_name_.end() ? kNone : it->second;
}

const std::vector<const ModelRow*>& ScaledTemplates::ModelsOf(std::string_view name) const {
  return Of(name).rows;
}

const std::vector<std::string>& ScaledTemplates::MissingModelsOf(std::string_view name) const {
  return Of(name).missing;
}

void ModelLookup::Lookup(std::string_view template_name) {
  for (const ModelRow* row : templates_->ModelsOf(template_name)) {
    if (appended_.insert(row).second) model_list_->push_back(*row);
  }
  if (!missing_) return;
  for (const std::string& name : templates_->MissingModelsOf(template_name)) missing_->Add(name);
}

CogReferenceHandler::CogReferenceHandler(const std::vector<EntryRow>* cog_table,
                                         std::vector<EntryRow>* cog_list,
                                         const std::vector<EntryRow>* resource_cogs,
                                         FirstSeenNames* missing, SceneryUses* uses)
    : cog_table_(cog_table), cog_list_(cog_list), missing_(missing), uses_(uses) {
  for (size_t i = 0; i < cog_table_->size(); ++i) index_.Add((*cog_table_)[i].name, i);
  if (!resource_cogs) return;
  for (size_t i = 0; i < resource_cogs->size(); ++i)
    resource_index_.Add((*resource_cogs)[i].name, i);
}

void CogReferenceHandler::HandleLine(std::string& line) {
  Fields& fields = fields_;
  SplitFields(Trim(line), &fields);
  if (fields.size() < 2 || fields[0].empty()) return;
  if (uses_ && LineNumber(fields[0]) >= 0) uses_->AddCog(fields);
  size_t row = index_.Find(fields[1]);
  if (row != PrefixedNameIndex::kNoRow) {
    cog_list_->push_back((*cog_table_)[row]);
    return;
  }
  // The section's header, its comments and anything else that is not a
  // numbered cog line name no script.
  if (missing_ && LineNumber(fields[0]) >= 0 &&
      resource_index_.Find(fields[1]) == PrefixedNameIndex::kNoRow) {
    missing_->Add(fields[1]);
  }
}

void RemoveRepeatedRows(std::vector<ModelRow>* rows) { KeepFirstOfEachName(rows); }
void RemoveRepeatedRows(std::vector<EntryRow>* rows) { KeepFirstOfEachName(rows); }

}  // namespace jk
