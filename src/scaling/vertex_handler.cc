#include "scaling/vertex_handler.h"

#include <vector>

#include "scaling/text.h"

namespace jk {

void VertexHandler::HandleLine(std::string& line) {
  // The fields of a vertex line are separated by one tab or blank each, so
  // the split is on single white space: two blanks in a row make an empty
  // field, which is read as 0 like any text that is no number.
  // A comment line (the column titles, say) stays as read whatever its
  // fields, as it does among the templates.
  Fields& fields = fields_;
  SplitOnSingleWhiteSpace(Trim(line), &fields);
  if (fields.size() < 4 || fields[0].empty() || IsComment(fields[0])) return;
  rewritten_.assign(fields[0]);
  for (size_t i = 1; i <= 3; ++i) {
    rewritten_ += ' ';
    AppendScaled(fields[i], factor_, &rewritten_);
  }
  line.swap(rewritten_);
}

}  // namespace jk
