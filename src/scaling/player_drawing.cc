#include "scaling/player_drawing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <utility>

#include "scaling/player_report.h"
#include "scaling/text.h"

namespace jk {

namespace {

constexpr double kDrawingWidth = 800;  // pixels across the level
constexpr double kMargin = 20;
constexpr double kLegendLine = 18;

struct Mark {
  const char* name;
  const char* colour;
};

Mark MarkOf(PlayerPlace::Kind kind) {
  switch (kind) {
    case PlayerPlace::kStep:
      return {"step too high", "#d62728"};
    case PlayerPlace::kLowOpening:
      return {"opening too low to stand", "#ff7f0e"};
    case PlayerPlace::kClosedOpening:
      return {"opening too low to crouch", "#9467bd"};
    case PlayerPlace::kNarrowOpening:
      return {"opening too narrow", "#8c564b"};
    case PlayerPlace::kDrop:
      return {"drop that hurts", "#1f77b4"};
  }
  return {"", "#000"};
}

// Text safe inside an SVG element.
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Maps level x and y to the picture, y up.
struct View {
  double min_x = 0, max_y = 0, scale = 1;
  std::string X(double x) const {
    return TextOf(std::round((kMargin + (x - min_x) * scale) * 10) / 10);
  }
  std::string Y(double y) const {
    return TextOf(std::round((kMargin + (max_y - y) * scale) * 10) / 10);
  }
};

std::string Points(const PlayerWalk& walk, const std::vector<int32_t>& outline, const View& view) {
  std::string points;
  for (int32_t index : outline) {
    const Point3& p = walk.vertices[size_t(index)];
    if (!points.empty()) points += ' ';
    points += view.X(p.x) + "," + view.Y(p.y);
  }
  return points;
}

}  // namespace

std::string DrawPlayerReportSvg(const PlayerWalk& walk, const PlayerReport& report) {
  double min_x = std::numeric_limits<double>::infinity(), min_y = min_x;
  double max_x = -min_x, max_y = -min_x;
  auto extend = [&](const std::vector<int32_t>& outline) {
    for (int32_t index : outline) {
      const Point3& p = walk.vertices[size_t(index)];
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
      min_x = std::min(min_x, p.x), max_x = std::max(max_x, p.x);
      min_y = std::min(min_y, p.y), max_y = std::max(max_y, p.y);
    }
  };
  for (const auto& floor : walk.floors) extend(floor);
  for (const auto& outline : walk.crossing_outlines) extend(outline);
  if (!(min_x <= max_x)) min_x = max_x = min_y = max_y = 0;
  const double span = std::max({max_x - min_x, max_y - min_y, 1e-9});
  View view{min_x, max_y, kDrawingWidth / span};
  const double width = kDrawingWidth + 2 * kMargin;
  const double drawing_height = (max_y - min_y) * view.scale + 2 * kMargin;
  const double height = drawing_height + kLegendLine * double(report.places.size() + 2);

  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + TextOf(width) +
                    "\" height=\"" + TextOf(std::ceil(height)) +
                    "\" font-family=\"sans-serif\" font-size=\"12\">\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  svg += "<g fill=\"#e4e4e4\" stroke=\"#a0a0a0\" stroke-width=\"0.5\">\n";
  for (const auto& floor : walk.floors) {
    svg += "<polygon points=\"" + Points(walk, floor, view) + "\"/>\n";
  }
  svg += "</g>\n<g fill=\"none\" stroke=\"#2ca02c\" stroke-width=\"1.5\">\n";
  for (const auto& outline : walk.crossing_outlines) {
    svg += "<polygon points=\"" + Points(walk, outline, view) + "\"/>\n";
  }
  svg += "</g>\n";
  // Places at one point (a step and the drop back) are numbered one under
  // the other.
  std::map<std::pair<std::string, std::string>, int> marked;
  for (size_t i = 0; i < report.places.size(); ++i) {
    const PlayerPlace& place = report.places[i];
    const Point3& p = walk.crossings[place.crossing].point;
    const Mark mark = MarkOf(place.kind);
    const std::string x = view.X(p.x), y = view.Y(p.y);
    const int before = marked[{x, y}]++;
    svg += "<circle cx=\"" + x + "\" cy=\"" + y + "\" r=\"" + (before ? "3" : "5") + "\" fill=\"" +
           mark.colour + "\"/>\n<text x=\"" + x + "\" y=\"" + y + "\" dx=\"6\" dy=\"" +
           std::to_string(-6 + 13 * before) + "\" fill=\"" + mark.colour + "\">" +
           std::to_string(i + 1) + "</text>\n";
  }
  double y = drawing_height + kLegendLine;
  svg += "<text x=\"" + TextOf(kMargin) + "\" y=\"" + TextOf(y) + "\">" +
         Escaped(PlayerReportSentence(report)) + "</text>\n";
  for (size_t i = 0; i < report.places.size(); ++i) {
    const PlayerPlace& place = report.places[i];
    const Crossing& c = walk.crossings[place.crossing];
    const Mark mark = MarkOf(place.kind);
    y += kLegendLine;
    svg += "<circle cx=\"" + TextOf(kMargin + 5) + "\" cy=\"" + TextOf(y - 4) +
           "\" r=\"5\" fill=\"" + mark.colour + "\"/>\n<text x=\"" + TextOf(kMargin + 15) +
           "\" y=\"" + TextOf(y) + "\">" + std::to_string(i + 1) + ": " + mark.name + ", " +
           TextOf(place.size) + ", sector " + std::to_string(c.from_sector) + " to sector " +
           std::to_string(c.to_sector) + ", surface " + std::to_string(c.surface) + "</text>\n";
  }
  svg += "</svg>\n";
  return svg;
}

}  // namespace jk
