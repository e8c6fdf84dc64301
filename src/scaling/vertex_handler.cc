#include "scaling/vertex_handler.h"

#include <vector>

#include "scaling/text.h"

namespace jk {

void VertexHandler::HandleLine(std::string& line) {
  // The fields of a vertex line are separated by one tab or blank each, so
  // the split is on single white space: two blanks in a row make an empty
  // field, which is read as 0 like any text that is no number.
  const std::string_view trimmed = Trim(line);
  if (!JoinScalingRow(trimmed, 4, {1, 3}, factor_, &rewritten_, RowSplit::kOnSingleSeparators)) {
    Fields& fields = fields_;
    SplitOnSingleSeparator(trimmed, &fields);
    if (fields.size() < 4 || fields[0].empty()) return;
    rewritten_.assign(fields[0]);
    for (size_t i = 1; i <= 3; ++i) {
      rewritten_ += ' ';
      AppendScaled(fields[i], factor_, &rewritten_);
    }
  }
  if (limits_) {
    // The row is now "number x y z", one blank between each two.
    const std::string_view row = rewritten_;
    size_t start = 0;
    for (size_t i = 0, field = 0; i <= row.size(); ++i) {
      if (i < row.size() && row[i] != ' ') continue;
      if (field++ > 0) limits_->NoteWrittenCoordinate(row.substr(start, i - start));
      start = i + 1;
    }
  }
  line.swap(rewritten_);
}

}  // namespace jk
