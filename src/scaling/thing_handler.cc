#include "scaling/thing_handler.h"

#include <algorithm>
#include <vector>

#include "scaling/text.h"

namespace jk {

namespace {

constexpr size_t kThingFields = 10;
constexpr size_t kFirstPositionField = 3;  // fields 4 to 6, counted from 0
constexpr size_t kFirstAngleField = 6;     // field 7: frames may start here
constexpr std::string_view kFrameKey = "frame=";
// "frame=(" is skipped whatever its characters are.
constexpr size_t kFramePrefixLength = 7;

}  // namespace

FramePosition FramePositionOf(std::string_view text) {
  FramePosition position;
  size_t first = text.find('/');
  if (first == std::string_view::npos) {
    position.z = text;
    return position;
  }
  // The text up to and including the first "/": its number ends at the "/".
  position.x = text.substr(0, first + 1);
  position.y = text.substr(first + 1);
  position.z = text.substr(text.rfind('/') + 1);
  return position;
}

void AppendFrameParameter(std::string_view field, const ScaleFactor& factor, std::string* out,
                          LimitWatch* limits) {
  std::string_view rest = field.substr(std::min(kFramePrefixLength, field.size()));
  std::string_view position_text, tail;
  if (size_t colon = rest.find(':'); colon != std::string_view::npos) {
    position_text = rest.substr(0, colon);
    tail = field.substr(field.find(':'));  // the angles and the ")", as they are
  } else if (rest.find(')') != std::string_view::npos) {
    position_text = rest;
    tail = ")";
  } else {
    return;
  }
  FramePosition p = FramePositionOf(position_text);
  out->append(" frame=(");
  const std::string_view coordinates[] = {p.x, p.y, p.z};
  for (size_t i = 0; i < 3; ++i) {
    if (i > 0) out->push_back('/');
    const size_t start = out->size();
    AppendScaled(coordinates[i], factor, out);
    if (limits) limits->NoteWrittenCoordinate(std::string_view(*out).substr(start));
  }
  out->append(tail);
}

void ThingHandler::HandleLine(std::string& line) {
  Fields& fields = fields_;
  SplitFields(Trim(line), &fields);
  if (fields.size() < kThingFields || fields[0].empty()) return;
  // The template name is a view into the line as read: look its models up
  // before that line is replaced.
  lookup_->Lookup(fields[1]);
  if (uses_) uses_->AddThing(fields[0], fields[1]);
  if (!rewrite_) return;
  rewritten_.clear();
  for (size_t i = 0; i < kFirstAngleField; ++i) {
    if (i > 0) rewritten_ += ' ';
    if (i < kFirstPositionField) {
      rewritten_ += fields[i];
    } else {
      const size_t start = rewritten_.size();
      AppendScaled(fields[i], factor_, &rewritten_);
      if (limits_) limits_->NoteWrittenCoordinate(std::string_view(rewritten_).substr(start));
    }
  }
  for (size_t i = kFirstAngleField; i < fields.size(); ++i) {
    if (BeginsWith(fields[i], kFrameKey)) {
      AppendFrameParameter(fields[i], factor_, &rewritten_, limits_);
    } else {
      rewritten_ += ' ';
      rewritten_ += fields[i];
    }
  }
  line.swap(rewritten_);
}

}  // namespace jk
