#include "scaling/model_pass.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

#include "platform/path.h"
#include "scaling/entry_skip.h"
#include "scaling/layout.h"
#include "scaling/text.h"

namespace jk {

namespace {

constexpr std::string_view kVerticesKeyword = "vertices";
constexpr std::string_view kTextureKeyword = "texture";
constexpr std::string_view kRadiusKeyword = "radius";
constexpr size_t kVertexFields = 5;
constexpr std::string_view kInsertOffsetKeyword = "insert offset";
constexpr std::string_view kHierarchyKeyword = "hierarchy nodes";
// "num: flags type mesh parent child sibling numChildren x y z pitch yaw
// roll pivotx pivoty pivotz name": x y z and the pivot are lengths.
constexpr size_t kNodeFields = 17;
constexpr FieldRange kNodePosition{8, 3};
constexpr FieldRange kNodePivot{14, 3};

Status ScaleModel(FileSystem& fs, InputFile& archive, const ModelRow& row, const std::string& path,
                  ModelTextScaler& scaler) {
  std::unique_ptr<OutputFile> out;
  JK_RETURN_IF_ERROR(fs.OpenWrite(path, &out));
  JK_RETURN_IF_ERROR(
      ReadEntryText(archive, row.entry.offset, row.entry.length, [&](std::string& line) {
        scaler.ScaleLine(line, row.from_level_archive);
        return out->WriteLine(line);
      }));
  return out->Close();
}

}  // namespace

void ModelTextScaler::StartModel() { nodes_left_ = 0; }

void ModelTextScaler::ScaleLine(std::string& line, bool from_level_archive) {
  std::string_view trimmed = Trim(line);
  if (IsComment(trimmed)) return;
  if (rules_ == ScaleRules::kGameTrue && ScaleGameTrueLine(line, trimmed)) return;
  // The models of the game's own resource archive are indented in places
  // where those of the level archives never are; the headings are found on
  // the trimmed line there, and in the first column only elsewhere.
  std::string_view heading = from_level_archive ? std::string_view(line) : trimmed;
  if (BeginsWith(heading, kVerticesKeyword)) {
    vertex_list_ = true;
  } else if (BeginsWith(heading, kTextureKeyword)) {
    vertex_list_ = false;
  } else if (BeginsWith(trimmed, kRadiusKeyword)) {
    rewritten_ = "RADIUS ";
    AppendTextOf(ValueOf(trimmed.substr(kRadiusKeyword.size())) * factor_, &rewritten_);
    line.swap(rewritten_);
    trimmed = Trim(line);
  }
  if (!vertex_list_) return;
  std::vector<std::string_view> fields = SplitOnWhiteSpace(trimmed);
  if (fields.size() < kVertexFields || fields[0].empty()) return;
  rewritten_.assign(fields[0]);
  for (size_t i = 1; i <= 3; ++i) {
    rewritten_ += ' ';
    AppendTextOf(ValueOf(fields[i]) * factor_, &rewritten_);
  }
  rewritten_ += ' ';
  rewritten_ += fields[4];
  line.swap(rewritten_);
}

bool ModelTextScaler::ScaleGameTrueLine(std::string& line, std::string_view trimmed) {
  if (BeginsWith(trimmed, kInsertOffsetKeyword)) {
    JoinScaling(SplitOnWhiteSpace(trimmed), {{2, 3}}, factor_, &rewritten_);
    line.swap(rewritten_);
    return true;
  }
  if (BeginsWith(trimmed, kHierarchyKeyword)) {
    std::vector<std::string_view> fields = SplitOnWhiteSpace(trimmed);
    double count = fields.size() > 2 ? ValueOf(fields[2]) : 0;
    nodes_left_ = count > 0 ? int64_t(std::min(count, 1e15)) : 0;
    return true;
  }
  if (nodes_left_ == 0 || trimmed.empty()) return false;
  if (BeginsWith(trimmed, "section")) {
    nodes_left_ = 0;
    return false;
  }
  --nodes_left_;
  std::vector<std::string_view> fields = SplitOnWhiteSpace(trimmed);
  if (fields.size() < kNodeFields) return true;
  JoinScaling(fields, {kNodePosition, kNodePivot}, factor_, &rewritten_);
  line.swap(rewritten_);
  return true;
}

Status RunModelPass(FileSystem& fs, const ModelPassFiles& files,
                    const std::vector<ModelRow>& models, double factor, ScaleRules rules,
                    ScaleProgress& progress, std::vector<std::string>* skipped) {
  ModelTextScaler scaler(factor, rules);
  std::unordered_set<std::string> written;  // ComparablePath of each file written
  const int64_t count = int64_t(models.size());
  for (int64_t i = 0; i < count; ++i) {
    progress.Models(i, count);
    if (progress.CancelRequested()) return Status::Cancelled("the scale run was cancelled");
    const ModelRow& row = models[size_t(i)];
    GobArchive& archive = row.from_level_archive ? *files.level_archive : *files.resource_archive;
    if (std::string why = WhyNotCopied("model", row.entry, archive.path()); !why.empty()) {
      skipped->push_back(std::move(why));
      continue;
    }
    std::string path;
    JK_RETURN_IF_ERROR(EntryOutputPath(fs, files.work_folder, "3do", row.entry.name, &path));
    // A model file that this pass has written already, under a name that
    // differs only in letter case or in its separators ("\" or "/", both
    // of which separate folders on Windows), is not written again when the
    // system took both names for one file. A file left by an earlier run is
    // replaced: it may hold the model at another scale.
    std::string key = ComparablePath(path);
    if (fs.Exists(path) && written.count(key)) continue;
    scaler.StartModel();
    JK_RETURN_IF_ERROR(ScaleModel(fs, archive.file(), row, path, scaler));
    written.insert(std::move(key));
  }
  progress.Models(count, count);
  return Status::Ok();
}

}  // namespace jk
