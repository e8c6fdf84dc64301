#include "scaling/scenery_text.h"

#include <algorithm>

#include "platform/ascii.h"
#include "platform/path.h"
#include "scaling/game_text.h"

namespace jk {

namespace {

constexpr std::string_view kKeyframeExtension = ".key";
// An entry is a position line and a velocity line.
constexpr int64_t kLinesPerEntry = 2;
// The most entries a count is taken for: more lines than any file holds.
constexpr int64_t kMostEntries = int64_t(1) << 40;

}  // namespace

void DataFields(std::string_view data, Fields* fields) {
  std::string_view trimmed = Trim(data);
  fields->clear();
  if (trimmed.empty()) return;
  SplitFields(trimmed, fields);
  // A comma at either end stands for an empty field, which the game skips.
  std::erase_if(*fields, [](std::string_view field) { return field.empty(); });
}

void KeyframesOfPuppetLine(std::string_view line, std::vector<std::string>* names) {
  Fields fields;
  DataFields(ReadGameLine(line).data, &fields);
  for (std::string_view field : fields) {
    if (field.size() > kKeyframeExtension.size() &&
        EndsWithIgnoringCase(field, kKeyframeExtension)) {
      names->push_back(ToLowerAscii(field));
    }
  }
}

void SceneryTextScaler::ScaleLine(std::string& line) {
  DataFields(line, &fields_);
  if (fields_.empty()) return;
  switch (kind_) {
    case SceneryFileKind::kKeyframe:
      if (fields_[0].size() == 7 && BeginsWith(fields_[0], "entries")) {
        double count = fields_.size() > 1 ? ValueOf(fields_[1]) : 0;
        entry_lines_left_ =
            count > 0 ? kLinesPerEntry * int64_t(std::min<double>(count, kMostEntries)) : 0;
      } else if (entry_lines_left_ > 0) {
        // The position line comes first in each pair.
        if (entry_lines_left_-- % kLinesPerEntry == 0) {
          Rewrite(line, {3, 4, 5});
        } else {
          Rewrite(line, {0, 1, 2});
        }
      }
      return;
    case SceneryFileKind::kSoundClass: {
      if (fields_.size() < 3) return;
      std::string added;
      if (fields_.size() < 4) {
        added += ' ';
        AppendScaled("0.5", factor_, &added);
      }
      if (fields_.size() < 5) {
        added += ' ';
        AppendScaled("2.5", factor_, &added);
      }
      Rewrite(line, {3, 4}, added);
      return;
    }
    case SceneryFileKind::kSprite:
      if (sprite_done_) return;
      sprite_done_ = true;
      Rewrite(line, {2, 3, 8, 9, 10});
      return;
  }
}

void SceneryTextScaler::Rewrite(std::string& line, std::initializer_list<size_t> indices,
                                std::string_view added) {
  rewritten_.clear();
  size_t done = 0;
  for (size_t index : indices) {
    if (index >= fields_.size()) break;
    size_t begin = size_t(fields_[index].data() - line.data());
    rewritten_.append(line, done, begin - done);
    AppendScaled(fields_[index], factor_, &rewritten_);
    done = begin + fields_[index].size();
  }
  if (!added.empty()) {
    size_t end = size_t(fields_.back().data() - line.data()) + fields_.back().size();
    rewritten_.append(line, done, end - done);
    rewritten_ += added;
    done = end;
  }
  rewritten_.append(line, done, std::string::npos);
  line.swap(rewritten_);
}

}  // namespace jk
