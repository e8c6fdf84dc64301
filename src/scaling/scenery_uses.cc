#include "scaling/scenery_uses.h"

#include "platform/ascii.h"
#include "scaling/level_sections.h"
#include "scaling/numbers.h"

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

}  // namespace

void SceneryUses::AddTemplate(const Fields& fields, bool scenery) {
  if (fields.size() < 2) return;
  TemplateFiles& files = templates_.Add(fields[0], fields[1]);
  files.scenery = scenery;
  for (size_t i = 2; i < fields.size(); ++i) {
    for (const FileKey& key : kFileKeys) {
      if (BeginsWith(fields[i], key.key))
        files.*key.file = LowerName(fields[i].substr(key.key.size()));
    }
  }
}

void SceneryUses::AddThing(std::string_view number, std::string_view template_name) {
  const TemplateFiles* files = templates_.Find(template_name);
  if (!files || !files->scenery) return;
  if (int64_t n = LineNumber(number); n >= 0) scenery_things_.insert(n);
}

void SceneryUses::AddCog(const Fields& fields) {
  if (fields.size() < 2) return;
  CogLine line{std::string(fields[1]), {}};
  for (size_t i = 2; i < fields.size(); ++i) line.values.emplace_back(fields[i]);
  cogs_.push_back(std::move(line));
}

bool SceneryUses::IsSceneryThing(std::string_view number) const {
  int64_t n = -1;
  return ParseInteger(number, &n) && scenery_things_.count(n) > 0;
}

}  // namespace jk
