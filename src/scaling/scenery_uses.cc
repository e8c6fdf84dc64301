#include "scaling/scenery_uses.h"

#include <charconv>

#include "platform/ascii.h"

namespace jk {

namespace {

struct FileKey {
  std::string_view key;
  std::string TemplateFiles::*file;
};
constexpr FileKey kFileKeys[] = {
    {"puppet=", &TemplateFiles::puppet},
    {"soundclass=", &TemplateFiles::sound_class},
    {"sprite=", &TemplateFiles::sprite},
};

// A file name as the game reads it; "" for "none".
std::string LowerName(std::string_view name) {
  std::string lower = ToLowerAscii(name);
  return lower == "none" ? std::string() : lower;
}

// The number of a thing line or a cog value ("12:" or "12"); -1 for none.
int64_t ThingNumber(std::string_view text) {
  if (!text.empty() && text.back() == ':') text.remove_suffix(1);
  int64_t number = -1;
  auto result = std::from_chars(text.data(), text.data() + text.size(), number);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return -1;
  return number;
}

}  // namespace

void SceneryUses::AddTemplate(const Fields& fields, bool scenery) {
  if (fields.size() < 2) return;
  TemplateFiles files;
  if (auto base = template_rows_.find(ToLowerAscii(fields[1])); base != template_rows_.end()) {
    files = templates_[base->second];
  }
  files.scenery = scenery;
  for (size_t i = 2; i < fields.size(); ++i) {
    for (const FileKey& key : kFileKeys) {
      if (BeginsWith(fields[i], key.key))
        files.*key.file = LowerName(fields[i].substr(key.key.size()));
    }
  }
  auto [row, added] = template_rows_.try_emplace(ToLowerAscii(fields[0]), templates_.size());
  if (added) {
    templates_.push_back(std::move(files));
  } else {
    templates_[row->second] = std::move(files);
  }
}

void SceneryUses::AddThing(std::string_view number, std::string_view template_name) {
  lower_.assign(template_name);
  for (char& c : lower_) c = LowerAscii(c);
  auto row = template_rows_.find(lower_);
  if (row == template_rows_.end() || !templates_[row->second].scenery) return;
  if (int64_t n = ThingNumber(number); n >= 0) scenery_things_.insert(n);
}

void SceneryUses::AddCog(const Fields& fields) {
  if (fields.size() < 2) return;
  CogLine line{std::string(fields[1]), {}};
  for (size_t i = 2; i < fields.size(); ++i) line.values.emplace_back(fields[i]);
  cogs_.push_back(std::move(line));
}

bool SceneryUses::IsSceneryThing(std::string_view number) const {
  int64_t n = ThingNumber(number);
  return n >= 0 && scenery_things_.count(n) > 0;
}

}  // namespace jk
