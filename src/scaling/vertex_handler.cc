#include "scaling/vertex_handler.h"

#include <vector>

#include "scaling/text.h"

namespace jk {

void VertexHandler::HandleLine(std::string& line) {
  // The fields of a vertex line are separated by one tab or blank each, so
  // the split is on single white space: two blanks in a row make an empty
  // field, which is read as 0 like any text that is no number.
  Fields& fields = fields_;
  SplitOnSingleSeparator(Trim(line), &fields);
  if (fields.size() < 4 || fields[0].empty()) return;
  rewritten_.assign(fields[0]);
  for (size_t i = 1; i <= 3; ++i) {
    rewritten_ += ' ';
    const size_t start = rewritten_.size();
    AppendScaled(fields[i], factor_, &rewritten_);
    if (limits_) limits_->NoteWrittenCoordinate(std::string_view(rewritten_).substr(start));
  }
  line.swap(rewritten_);
}

}  // namespace jk
