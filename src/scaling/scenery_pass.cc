#include "scaling/scenery_pass.h"

#include <unordered_map>

#include "platform/ascii.h"
#include "platform/path.h"
#include "scaling/cog_script.h"
#include "scaling/entry_skip.h"
#include "scaling/game_text.h"
#include "scaling/layout.h"
#include "scaling/scenery_text.h"

namespace jk {

namespace {

constexpr std::string_view kKeyframeFolder = "3do\\key\\";
constexpr std::string_view kPuppetFolder = "misc\\pup\\";
constexpr std::string_view kSoundClassFolder = "misc\\snd\\";
constexpr std::string_view kSpriteFolder = "misc\\spr\\";
constexpr std::string_view kMiscFolder = "misc";
// A script is read whole to be rewritten: real ones are a few KiB. A
// longer one is left as it is, so that the memory a run takes stays
// bounded whatever an archive holds.
constexpr int64_t kLongestScript = 4 << 20;

// Who uses a file: the scenery, others, or both (the bits together).
enum Users : unsigned { kScenery = 1, kOthers = 2 };

// The keyframes, puppets, sound classes and sprites of both archives, by
// entry name in lower case: the game looks its files up whatever their
// letter case. The level archive's entries win.
class SceneryEntries {
 public:
  Status Collect(GobArchive* archive) {
    return archive->Walk([&](const GobEntry& entry) {
      std::string name = ToLowerAscii(entry.name);
      for (std::string_view folder :
           {kKeyframeFolder, kPuppetFolder, kSoundClassFolder, kSpriteFolder}) {
        if (!name.starts_with(folder)) continue;
        entries_.try_emplace(
            std::move(name),
            SceneryEntry{{entry.name, entry.offset, entry.length, entry.inside}, archive});
        break;
      }
      return true;
    });
  }

  // The entry of file `name` (lower case) in `folder`; null for none.
  const SceneryEntry* Find(std::string_view folder, std::string_view name) const {
    auto it = entries_.find(std::string(folder) + std::string(name));
    return it == entries_.end() ? nullptr : &it->second;
  }

 private:
  NameMap<SceneryEntry> entries_;
};

// Files by name, each once in the order first met, with their users.
class UsedFiles {
 public:
  void Add(const std::string& name, unsigned users) {
    if (name.empty()) return;
    order_.Add(name);
    users_[name] |= users;
  }
  const std::vector<std::string>& names() const { return order_.names(); }
  unsigned UsersOf(const std::string& name) const {
    auto it = users_.find(name);
    return it == users_.end() ? 0 : it->second;
  }

 private:
  FirstSeenNames order_;
  std::unordered_map<std::string, unsigned> users_;
};

// The text of an entry, every line ended by "\n".
Status ReadText(GobArchive& archive, const EntryRow& row, std::string* text) {
  text->clear();
  return ReadEntryText(archive.file(), row.offset, row.length, [&](std::string& line) {
    *text += line;
    *text += '\n';
    return Status::Ok();
  });
}

// Writes `text` (lines ended by "\n") line by line to `path`.
Status WriteText(FileSystem& fs, const std::string& path, std::string_view text) {
  std::unique_ptr<OutputFile> out;
  JK_RETURN_IF_ERROR(fs.OpenWrite(path, &out));
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    JK_RETURN_IF_ERROR(out->WriteLine(std::string(text.substr(start, end - start))));
    start = end + 1;
  }
  return out->Close();
}

// Why a found entry cannot be read or written; empty when it can. Entries
// of "misc\..." keep their folder below "misc".
std::string WhyNotWritten(std::string_view kind, const SceneryEntry& found) {
  std::string_view name = found.row.name;
  std::string_view below =
      BeginsWith(name, kKeyframeFolder.substr(0, 4)) ? name : name.substr(kMiscFolder.size() + 1);
  if (!IsSafeEntryName(below)) return std::string(kind) + " '" + found.row.name + "': unsafe name";
  return WhyDataMissing(kind, found.row, found.archive->path());
}

// The file written for a found entry: "3do\key\x.key" to work folder +
// "3do\key\x.key", "misc\snd\x.snd" to work folder + "misc\snd\x.snd".
Status OutputPathOf(FileSystem& fs, const std::string& work_folder, const SceneryEntry& found,
                    std::string* path) {
  std::string_view name = found.row.name;
  if (BeginsWith(name, kKeyframeFolder.substr(0, 4))) {
    return EntryOutputPath(fs, work_folder, name.substr(0, 3), name, path);
  }
  std::string_view below = name.substr(kMiscFolder.size() + 1);
  std::string misc = JoinPath(work_folder, kMiscFolder);
  JK_RETURN_IF_ERROR(fs.CreateFolder(JoinPath(misc, below.substr(0, 3))));
  return EntryOutputPath(fs, misc, below.substr(0, 3), below, path);
}

// Rewrites an entry scaled, writing it to `out` when it is not null.
Status ScaleEntry(const SceneryEntry& found, SceneryFileKind kind, double factor, OutputFile* out) {
  SceneryTextScaler scaler(kind, factor);
  GameTextRewriter rewriter(
      [&](std::string& data) { scaler.ScaleLine(data); },
      [&](std::string_view line) { return out ? out->WriteLine(line) : Status::Ok(); },
      found.row.name);
  JK_RETURN_IF_ERROR(ReadEntryText(found.archive->file(), found.row.offset, found.row.length,
                                   [&](std::string& line) { return rewriter.Line(line); }));
  return rewriter.Finish();
}

// A script's entry: from the level archive, or else the resource archive.
class ScriptTables {
 public:
  explicit ScriptTables(const SceneryPassFiles& files) : files_(files) {
    for (size_t i = 0; i < files.level_cogs->size(); ++i) {
      level_.Add((*files.level_cogs)[i].name, i);
    }
    for (size_t i = 0; i < files.resource_cogs->size(); ++i) {
      resource_.Add((*files.resource_cogs)[i].name, i);
    }
  }

  // The entry of script `name`; false when neither archive holds it. A
  // script of the level archive that cannot be read was named by the cog
  // copies already; one of the resource archive is named here.
  bool Find(const std::string& name, SceneryEntry* found, std::vector<std::string>* skipped) const {
    if (size_t row = level_.Find(name); row != PrefixedNameIndex::kNoRow) {
      *found = {(*files_.level_cogs)[row], files_.level_archive};
      return WhyNotCopied("cog", found->row, found->archive->path()).empty();
    }
    if (size_t row = resource_.Find(name); row != PrefixedNameIndex::kNoRow) {
      *found = {(*files_.resource_cogs)[row], files_.resource_archive};
      std::string why = WhyNotCopied("cog", found->row, found->archive->path());
      if (why.empty()) return true;
      skipped->push_back(std::move(why));
    }
    return false;
  }

 private:
  const SceneryPassFiles& files_;
  PrefixedNameIndex level_, resource_;
};

// Notes who plays each keyframe that `script`'s PlayKey calls play, for
// each of its cog lines.
void NotePlayedKeyframes(std::string_view text, const CogScript& script,
                         const std::vector<const CogLine*>& lines, const SceneryUses& uses,
                         UsedFiles* keyframes) {
  for (const CogCall& call : script.calls) {
    if (call.function != CogFunction::kPlayKey || call.arguments.size() < 2) continue;
    auto argument = [&](size_t i) {
      return text.substr(call.arguments[i].begin, call.arguments[i].end - call.arguments[i].begin);
    };
    const CogSymbol* keyframe = script.Find(argument(1));
    if (!keyframe || keyframe->type != "keyframe") continue;
    const CogSymbol* target = script.Find(argument(0));
    if (target && target->type != "thing") target = nullptr;
    for (const CogLine* line : lines) {
      std::vector<std::string> values = SymbolValues(script, line->values);
      const std::string& name = values[size_t(keyframe - script.symbols.data())];
      bool scenery = target && uses.IsSceneryThing(values[size_t(target - script.symbols.data())]);
      keyframes->Add(name, scenery ? kScenery : kOthers);
    }
  }
}

// The scripts of the cogs section: notes those with scaled calls in
// `plan` and the keyframes they play in `keyframes`.
Status PlanScripts(const SceneryPassFiles& files, const SceneryUses& uses, UsedFiles* keyframes,
                   SceneryPlan* plan) {
  FirstSeenNames scripts;
  NameMap<std::vector<const CogLine*>> lines_of;
  for (const CogLine& line : uses.cogs()) {
    scripts.Add(line.script);
    lines_of[line.script].push_back(&line);
  }
  ScriptTables tables(files);
  std::string text;
  for (const std::string& name : scripts.names()) {
    SceneryEntry found;
    if (!tables.Find(name, &found, &plan->skipped)) continue;
    if (found.row.length > kLongestScript) {
      plan->skipped.push_back("cog '" + found.row.name + "': longer than 4 MiB, not scaled");
      continue;
    }
    JK_RETURN_IF_ERROR(ReadText(*found.archive, found.row, &text));
    CogScript script = ReadCogScript(text);
    NotePlayedKeyframes(text, script, lines_of.find(name)->second, uses, keyframes);
    if (script.HasScaledCall()) plan->scripts.push_back(found);
  }
  return Status::Ok();
}

// Notes the keyframes that the templates' puppets name.
Status NotePuppetKeyframes(const SceneryEntries& entries, const UsedFiles& puppets,
                           UsedFiles* keyframes, std::vector<std::string>* skipped) {
  std::vector<std::string> names;
  for (const std::string& puppet : puppets.names()) {
    const SceneryEntry* found = entries.Find(kPuppetFolder, puppet);
    if (!found) continue;
    if (std::string why = WhyNotWritten("puppet", *found); !why.empty()) {
      skipped->push_back(std::move(why));
      continue;
    }
    names.clear();
    JK_RETURN_IF_ERROR(ReadEntryText(found->archive->file(), found->row.offset, found->row.length,
                                     [&](std::string& line) {
                                       KeyframesOfPuppetLine(line, &names);
                                       return Status::Ok();
                                     }));
    for (const std::string& name : names) keyframes->Add(name, puppets.UsersOf(puppet));
  }
  return Status::Ok();
}

// Notes in `plan` the files of `used` that only the scenery uses, to be
// scaled, and those it shares.
void PlanSceneryFiles(const SceneryEntries& entries, std::string_view folder,
                      std::string_view kind_name, SceneryFileKind kind, const UsedFiles& used,
                      std::vector<std::string>* shared, SceneryPlan* plan) {
  for (const std::string& name : used.names()) {
    unsigned users = used.UsersOf(name);
    if (!(users & kScenery)) continue;
    if (users & kOthers) {
      shared->push_back(name);
      continue;
    }
    const SceneryEntry* found = entries.Find(folder, name);
    if (!found) continue;
    if (std::string why = WhyNotWritten(kind_name, *found); !why.empty()) {
      plan->skipped.push_back(std::move(why));
      continue;
    }
    plan->scaled.push_back({*found, kind});
  }
}

}  // namespace

Status PlanSceneryPass(const SceneryPassFiles& files, const SceneryUses& uses, SceneryPlan* plan) {
  *plan = SceneryPlan{};
  UsedFiles keyframes, puppets, sound_classes, sprites;
  JK_RETURN_IF_ERROR(PlanScripts(files, uses, &keyframes, plan));
  for (const auto& [name, t] : uses.templates()) {
    unsigned users = t.scenery ? kScenery : kOthers;
    puppets.Add(t.puppet, users);
    sound_classes.Add(t.sound_class, users);
    sprites.Add(t.sprite, users);
  }
  SceneryEntries entries;
  JK_RETURN_IF_ERROR(entries.Collect(files.level_archive));
  JK_RETURN_IF_ERROR(entries.Collect(files.resource_archive));
  JK_RETURN_IF_ERROR(NotePuppetKeyframes(entries, puppets, &keyframes, &plan->skipped));
  PlanSceneryFiles(entries, kKeyframeFolder, "keyframe", SceneryFileKind::kKeyframe, keyframes,
                   &plan->shared.keyframes, plan);
  PlanSceneryFiles(entries, kSoundClassFolder, "sound class", SceneryFileKind::kSoundClass,
                   sound_classes, &plan->shared.sound_classes, plan);
  PlanSceneryFiles(entries, kSpriteFolder, "sprite", SceneryFileKind::kSprite, sprites,
                   &plan->shared.sprites, plan);
  return Status::Ok();
}

Status CheckSceneryPass(const SceneryPlan& plan, double factor) {
  for (const SceneryPlan::ScaledFile& file : plan.scaled) {
    JK_RETURN_IF_ERROR(ScaleEntry(file.entry, file.kind, factor, nullptr));
  }
  return Status::Ok();
}

Status RunSceneryPass(FileSystem& fs, const std::string& work_folder, const SceneryPlan& plan,
                      double factor) {
  const ScaleFactor scale(factor);
  std::string text;
  for (const SceneryEntry& found : plan.scripts) {
    JK_RETURN_IF_ERROR(ReadText(*found.archive, found.row, &text));
    std::string path;
    JK_RETURN_IF_ERROR(EntryOutputPath(fs, work_folder, "cog", found.row.name, &path));
    JK_RETURN_IF_ERROR(WriteText(fs, path, RewriteCogScript(text, ReadCogScript(text), scale)));
  }
  for (const SceneryPlan::ScaledFile& file : plan.scaled) {
    std::string path;
    JK_RETURN_IF_ERROR(OutputPathOf(fs, work_folder, file.entry, &path));
    std::unique_ptr<OutputFile> out;
    JK_RETURN_IF_ERROR(fs.OpenWrite(path, &out));
    JK_RETURN_IF_ERROR(ScaleEntry(file.entry, file.kind, factor, out.get()));
    JK_RETURN_IF_ERROR(out->Close());
  }
  return Status::Ok();
}

}  // namespace jk
