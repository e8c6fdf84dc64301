#include "scaling/level_check.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <memory>
#include <string_view>

#include "platform/ascii.h"
#include "scaling/fields.h"
#include "scaling/game_limits.h"
#include "scaling/game_text.h"
#include "scaling/level_sections.h"
#include "scaling/text.h"

namespace jk {

namespace {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};
Vec3 Minus(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(Vec3 a) { return std::sqrt(Dot(a, a)); }

// A whole field that is a decimal integer (an index or a count).
// Whether `text` is an index into a list of `size` items; the index.
bool ParseIndex(std::string_view text, size_t size, int64_t* index) {
  return ParseInteger(text, index) && *index >= 0 && uint64_t(*index) < size;
}

std::string Texts(const double* values, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    if (i) text += ' ';
    AppendTextOf(values[i], &text);
  }
  return text;
}

std::string Counted(int64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// What the check keeps of each surface: the adjoin it names and its plane.
struct Surface {
  int64_t adjoin = -1;        // -1 for none, or when out of range
  int64_t first_vertex = -1;  // -1 when out of range
  int64_t sector = -1;        // the sector whose SURFACES holds it
  bool has_normal = false;    // a normal line with a direction was read
  Vec3 normal;
};

struct Adjoin {
  int64_t line = 0;
  bool has_dist = false;
  double dist = 0;
  int64_t surface = -1;  // the surface that names it
  bool reached = false;  // that surface lies in a sector
  // What its sector gives, once measured: the distance from its CENTER to
  // the surface's plane, its radius R and the magnitude of its coordinates.
  bool measured = false;
  int64_t sector = -1;
  double distance = 0;
  double sector_radius = 0;
  double magnitude = 0;
};

// A BOUNDBOX, CENTER or RADIUS line of the sector being read.
struct ValueLine {
  int64_t line = 0;  // 0: not met
  bool complete = false;
  std::array<double, 6> values{};
};

// The sector being read: its values and vertex indices until it ends.
struct Sector {
  int64_t index = 0;
  int64_t line = 0;
  ValueLine boundbox, center, radius;
  int64_t vertices_line = 0;
  int64_t vertices_declared = 0;
  int64_t vertices_listed = 0;
  std::vector<int64_t> vertices;  // those in range
  int64_t surfaces_line = 0;
  int64_t first_surface = 0, surface_count = 0;
};

// What a sector's vertices give.
struct Measured {
  std::array<double, 6> box;  // minima, then maxima
  Vec3 center;
  double radius = 0;
  double magnitude = 0;  // the largest absolute coordinate
};

double Magnitude(const Vec3& v) {
  return std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
}

enum class Section { kOther, kHeader, kGeoresource, kSectors };
enum class List { kNone, kVertices, kAdjoins, kSurfaces, kNormals };

// Takes a level's lines one at a time. The lists of the geometry resource
// come before the sectors, so a sector is checked as soon as it ends; what
// is kept are the vertices, the adjoins and the surfaces' planes.
class LevelChecker {
 public:
  explicit LevelChecker(LevelCheckReport* report) : report_(report) {}

  void ReadLine(std::string_view line);
  // Checks the last sector and the adjoins.
  void Finish();

 private:
  void Report(int64_t line, std::string text) { report_->findings.push_back({line, text}); }

  void Limit(int64_t line, std::string text) { report_->limits.push_back({line, text}); }
  void CheckLineLimits(std::string_view line, std::string_view trimmed);
  void HeaderLine(std::string_view trimmed, const Fields& fields);
  void CheckCoordinateLimits();
  void ListHeader(LevelHeader header, const Fields& fields);
  void GeoresourceLine(const Fields& fields);
  void VertexLine(const Fields& fields);
  void AdjoinLine(const Fields& fields);
  void SurfaceLine(const Fields& fields);
  void SurfaceVertices(const Fields& fields, Surface& surface);
  void NormalLine(const Fields& fields);

  void SectorLine(const Fields& fields);
  void ReadValues(const Fields& fields, size_t count, ValueLine* value);
  void SectorVertex(const Fields& fields);
  void FinishSector();
  Measured Measure() const;
  void CheckValue(const ValueLine& value, const char* name, const double* expected, size_t count,
                  const char* meaning, double tolerance);
  // The sector's surfaces and their adjoins, measured from `center`.
  void MeasureSurfaces(const Vec3& center, const Measured& measured);
  void MeasureAdjoin(int64_t surface_index, const Vec3& center, const Measured& measured);
  // The adjoins' dists, once every sector's radius is known.
  void CheckAdjoins();

  std::string SectorName() const { return "sector " + std::to_string(sector_.index); }

  LevelCheckReport* report_;
  int64_t line_ = 0;
  Section section_ = Section::kOther;
  List list_ = List::kNone;
  int64_t surfaces_declared_ = 0;
  int64_t normals_read_ = 0;
  std::vector<Vec3> vertices_;
  std::vector<Adjoin> adjoins_;
  std::vector<Surface> surfaces_;
  bool in_sector_ = false;
  Sector sector_;
  std::vector<double> sector_radii_;
  Fields game_fields_;
  // The farthest vertex from the origin along any axis: its index, line and
  // that coordinate; and how many lie beyond each limit.
  int64_t farthest_vertex_ = -1;
  int64_t farthest_line_ = 0;
  double farthest_ = 0;
  int64_t beyond_smooth_ = 0, beyond_working_ = 0;
};

void LevelChecker::ReadLine(std::string_view line) {
  ++line_;
  // What the game reads of the line: no comment, commas as separators.
  const GameLine game = ReadGameLine(line);
  std::string_view trimmed = Trim(game.data);
  CheckLineLimits(line, trimmed);
  if (game.is_comment_line || trimmed.empty()) return;
  const LevelHeader header = RecogniseLevelHeader(game.data);
  if (IsSectionHeader(header) || header == LevelHeader::kEnd) {
    FinishSector();
    section_ = header == LevelHeader::kGeoresourceSection ? Section::kGeoresource
               : header == LevelHeader::kSectorsSection   ? Section::kSectors
               : header == LevelHeader::kHeaderSection    ? Section::kHeader
                                                          : Section::kOther;
    list_ = List::kNone;
    return;
  }
  Fields fields = SplitFields(trimmed);
  if (header != LevelHeader::kNone) {
    // "World vertices 8", "World texture vertices 4"...: the list that
    // follows. The surfaces' count says where their normals begin.
    if (section_ == Section::kGeoresource) ListHeader(header, fields);
  } else if (section_ == Section::kGeoresource) {
    GeoresourceLine(fields);
  } else if (section_ == Section::kSectors) {
    SectorLine(fields);
  } else if (section_ == Section::kHeader) {
    HeaderLine(trimmed, fields);
  }
}

void LevelChecker::CheckLineLimits(std::string_view line, std::string_view trimmed) {
  if (line.size() > kLongestGameLine) {
    Limit(line_, "the line has " + std::to_string(line.size()) + " characters, more than the " +
                     std::to_string(kLongestGameLine) + " the game reads");
  }
  if (trimmed.empty()) return;
  SplitFields(trimmed, &game_fields_);
  if (game_fields_.size() > kMostGameFields) {
    Limit(line_, "the line has " + std::to_string(game_fields_.size()) + " fields, more than the " +
                     std::to_string(kMostGameFields) + " the game reads");
  }
}

void LevelChecker::HeaderLine(std::string_view trimmed, const Fields& fields) {
  if (!BeginsWith(trimmed, "ceiling sky z") || fields.size() < 4) return;
  const double sky = ValueOf(fields[3]);
  if (sky > kHighestSky) {
    Limit(line_, "Ceiling Sky Z " + TextOf(sky) + " is above the " + TextOf(kHighestSky) +
                     " the game draws");
  }
}

void LevelChecker::CheckCoordinateLimits() {
  if (farthest_ <= kSmoothMotionLimit) return;
  const bool breaks = farthest_ > kWorkingMotionLimit;
  const int64_t beyond = breaks ? beyond_working_ : beyond_smooth_;
  Limit(farthest_line_,
        "vertex " + std::to_string(farthest_vertex_) + ": " + TextOf(farthest_) + " is beyond ±" +
            TextOf(breaks ? kWorkingMotionLimit : kSmoothMotionLimit) +
            (breaks ? ", where the game's motion breaks" : ", where the game's motion is jerky") +
            " (" + Counted(beyond, "vertex is", "vertices are") + ")");
}

void LevelChecker::ListHeader(LevelHeader header, const Fields& fields) {
  list_ = header == LevelHeader::kWorldVertices   ? List::kVertices
          : header == LevelHeader::kWorldAdjoins  ? List::kAdjoins
          : header == LevelHeader::kWorldSurfaces ? List::kSurfaces
                                                  : List::kNone;
  if (list_ == List::kSurfaces &&
      !(fields.size() > 2 && ParseInteger(fields[2], &surfaces_declared_))) {
    surfaces_declared_ = 0;
  }
}

void LevelChecker::GeoresourceLine(const Fields& fields) {
  if (list_ == List::kSurfaces && int64_t(surfaces_.size()) >= surfaces_declared_) {
    list_ = List::kNormals;
  }
  switch (list_) {
    case List::kVertices:
      return VertexLine(fields);
    case List::kAdjoins:
      return AdjoinLine(fields);
    case List::kSurfaces:
      return SurfaceLine(fields);
    case List::kNormals:
      return NormalLine(fields);
    case List::kNone:
      return;
  }
}

void LevelChecker::VertexLine(const Fields& fields) {
  if (fields.size() < 4) {
    Report(line_, "vertex " + std::to_string(vertices_.size()) + ": fewer than 3 coordinates");
  }
  // A short line still takes its place, so that later indices stay right.
  double xyz[3] = {};
  for (size_t i = 1; i < 4 && i < fields.size(); ++i) xyz[i - 1] = ValueOf(fields[i]);
  const double far = std::max({std::fabs(xyz[0]), std::fabs(xyz[1]), std::fabs(xyz[2])});
  beyond_smooth_ += far > kSmoothMotionLimit;
  beyond_working_ += far > kWorkingMotionLimit;
  if (far > farthest_) {
    farthest_ = far;
    farthest_vertex_ = int64_t(vertices_.size());
    farthest_line_ = line_;
  }
  vertices_.push_back({xyz[0], xyz[1], xyz[2]});
}

void LevelChecker::AdjoinLine(const Fields& fields) {
  Adjoin adjoin;
  adjoin.line = line_;
  adjoin.has_dist = fields.size() >= 4;
  if (adjoin.has_dist) {
    adjoin.dist = ValueOf(fields[3]);
  } else {
    Report(line_, "adjoin " + std::to_string(adjoins_.size()) + ": no dist");
  }
  adjoins_.push_back(adjoin);
  ++report_->adjoins;
}

void LevelChecker::SurfaceLine(const Fields& fields) {
  const std::string name = "surface " + std::to_string(surfaces_.size());
  Surface surface;
  // num mat surfflags faceflags geo light tex adjoin extralight nverts
  // and then the "vertex,texture vertex" pairs.
  if (fields.size() < 10) {
    Report(line_, name + ": fewer fields than a surface has");
    surfaces_.push_back(surface);
    return;
  }
  int64_t adjoin = -1;
  if (!ParseInteger(fields[7], &adjoin) || adjoin < -1 || adjoin >= int64_t(adjoins_.size())) {
    Report(line_, name + ": adjoin " + std::string(fields[7]) + " is not one of the " +
                      Counted(int64_t(adjoins_.size()), "world adjoin", "world adjoins"));
  } else if (adjoin >= 0 && adjoins_[size_t(adjoin)].surface >= 0) {
    Report(line_, name + ": adjoin " + std::to_string(adjoin) + " is named by surface " +
                      std::to_string(adjoins_[size_t(adjoin)].surface) + " too");
  } else if (adjoin >= 0) {
    surface.adjoin = adjoin;
    adjoins_[size_t(adjoin)].surface = int64_t(surfaces_.size());
  }
  SurfaceVertices(fields, surface);
  surfaces_.push_back(surface);
}

void LevelChecker::SurfaceVertices(const Fields& fields, Surface& surface) {
  const std::string name = "surface " + std::to_string(surfaces_.size());
  int64_t count = 0;
  // Each vertex is a pair of fields: the world vertex and the texture
  // vertex ("4,1").
  const int64_t pairs = (int64_t(fields.size()) - 10) / 2;
  if (!ParseInteger(fields[9], &count) || count < 1 || count > pairs) {
    Report(line_, name + ": " + std::string(fields[9]) + " vertices, but " +
                      Counted(int64_t(fields.size()) - 10, "field follows", "fields follow"));
    count = std::min<int64_t>(std::max<int64_t>(count, 0), pairs);
  }
  for (int64_t i = 0; i < count; ++i) {
    std::string_view vertex = fields[size_t(10 + 2 * i)];
    int64_t index = 0;
    if (!ParseIndex(vertex, vertices_.size(), &index)) {
      Report(line_, name + ": vertex " + std::string(vertex) + " is not one of the " +
                        Counted(int64_t(vertices_.size()), "world vertex", "world vertices"));
      return;  // one finding for the line is enough
    }
    if (i == 0) surface.first_vertex = index;
  }
}

void LevelChecker::NormalLine(const Fields& fields) {
  const int64_t index = normals_read_++;
  const std::string name = "normal " + std::to_string(index);
  if (index >= int64_t(surfaces_.size())) {
    Report(line_, name + ": there is no surface " + std::to_string(index));
    return;
  }
  if (fields.size() < 4) {
    Report(line_, name + ": fewer than 3 coordinates");
    return;
  }
  Vec3 normal{ValueOf(fields[1]), ValueOf(fields[2]), ValueOf(fields[3])};
  if (Length(normal) == 0) {
    Report(line_, name + ": 0 0 0 has no direction");
    return;
  }
  surfaces_[size_t(index)].normal = normal;
  surfaces_[size_t(index)].has_normal = true;
}

void LevelChecker::SectorLine(const Fields& fields) {
  std::string_view key = fields[0];
  if (EqualsIgnoringCase(key, "sector")) {
    FinishSector();
    sector_ = Sector();
    sector_.index = report_->sectors++;
    sector_.line = line_;
    in_sector_ = true;
    return;
  }
  if (!in_sector_) return;
  if (EqualsIgnoringCase(key, "boundbox")) {
    ReadValues(fields, 6, &sector_.boundbox);
  } else if (EqualsIgnoringCase(key, "center")) {
    ReadValues(fields, 3, &sector_.center);
  } else if (EqualsIgnoringCase(key, "radius")) {
    ReadValues(fields, 1, &sector_.radius);
  } else if (EqualsIgnoringCase(key, "vertices")) {
    sector_.vertices_line = line_;
    if (fields.size() < 2 || !ParseInteger(fields[1], &sector_.vertices_declared)) {
      sector_.vertices_declared = -1;
    }
  } else if (EqualsIgnoringCase(key, "surfaces")) {
    sector_.surfaces_line = line_;
    if (fields.size() < 3 || !ParseInteger(fields[1], &sector_.first_surface) ||
        !ParseInteger(fields[2], &sector_.surface_count)) {
      sector_.first_surface = sector_.surface_count = -1;
    }
  } else if (key.ends_with(':') && sector_.vertices_line) {
    SectorVertex(fields);
  }
}

void LevelChecker::ReadValues(const Fields& fields, size_t count, ValueLine* value) {
  value->line = line_;
  value->complete = fields.size() > count;
  if (!value->complete) {
    Report(line_, SectorName() + ": " + std::string(fields[0]) + " has " +
                      Counted(int64_t(fields.size()) - 1, "number", "numbers") + ", not " +
                      std::to_string(count));
    return;
  }
  for (size_t i = 0; i < count; ++i) value->values[i] = ValueOf(fields[i + 1]);
}

void LevelChecker::SectorVertex(const Fields& fields) {
  ++sector_.vertices_listed;
  std::string_view text = fields.size() > 1 ? fields[1] : "";
  int64_t index = 0;
  if (ParseIndex(text, vertices_.size(), &index)) {
    sector_.vertices.push_back(index);
  } else {
    Report(line_, SectorName() + ": vertex " + std::string(text) + " is not one of the " +
                      Counted(int64_t(vertices_.size()), "world vertex", "world vertices"));
  }
}

Measured LevelChecker::Measure() const {
  Measured m;
  const Vec3& first = vertices_[size_t(sector_.vertices.front())];
  m.box = {first.x, first.y, first.z, first.x, first.y, first.z};
  Vec3 sum;
  for (int64_t index : sector_.vertices) {
    const Vec3& v = vertices_[size_t(index)];
    const double xyz[3] = {v.x, v.y, v.z};
    for (int i = 0; i < 3; ++i) {
      m.box[size_t(i)] = std::min(m.box[size_t(i)], xyz[i]);
      m.box[size_t(i) + 3] = std::max(m.box[size_t(i) + 3], xyz[i]);
    }
    sum = {sum.x + v.x, sum.y + v.y, sum.z + v.z};
    m.magnitude = std::max(m.magnitude, Magnitude(v));
  }
  const double n = double(sector_.vertices.size());
  m.center = {sum.x / n, sum.y / n, sum.z / n};
  for (int64_t index : sector_.vertices) {
    m.radius = std::max(m.radius, Length(Minus(vertices_[size_t(index)], m.center)));
  }
  return m;
}

void LevelChecker::FinishSector() {
  if (!in_sector_) return;
  in_sector_ = false;
  const Sector& s = sector_;
  if (s.vertices_line && s.vertices_declared != s.vertices_listed) {
    Report(s.vertices_line, SectorName() + ": VERTICES says " +
                                std::to_string(s.vertices_declared) + " but lists " +
                                std::to_string(s.vertices_listed));
  }
  if (s.vertices.empty()) {
    Report(s.line, SectorName() + ": lists no world vertex");
    return;
  }
  Measured m = Measure();
  sector_radii_.push_back(m.radius);
  Vec3 written = m.center;
  if (s.center.line && s.center.complete) {
    written = {s.center.values[0], s.center.values[1], s.center.values[2]};
    m.magnitude = std::max(m.magnitude, Magnitude(written));
  }
  const double tolerance = kSectorSlack * (2 + 4 * m.radius) + kFloatStep * m.magnitude;
  const double center[3] = {m.center.x, m.center.y, m.center.z};
  CheckValue(s.boundbox, "BOUNDBOX", m.box.data(), 6, "the minimum and maximum of its vertices",
             tolerance);
  CheckValue(s.center, "CENTER", center, 3, "the average of its vertices", tolerance);
  // The engine measures from the CENTER as written: the RADIUS and the
  // adjoins' distances must agree with it, right or wrong.
  double radius = 0;
  for (int64_t index : s.vertices) {
    radius = std::max(radius, Length(Minus(vertices_[size_t(index)], written)));
  }
  CheckValue(s.radius, "RADIUS", &radius, 1, "the largest distance from its CENTER to its vertices",
             tolerance);
  MeasureSurfaces(written, m);
}

void LevelChecker::CheckValue(const ValueLine& value, const char* name, const double* expected,
                              size_t count, const char* meaning, double tolerance) {
  if (!value.line) {
    Report(sector_.line, SectorName() + ": no " + name);
    return;
  }
  if (!value.complete) return;  // reported when read
  for (size_t i = 0; i < count; ++i) {
    if (std::fabs(value.values[i] - expected[i]) > tolerance) {
      Report(value.line, SectorName() + ": " + name + " " + Texts(value.values.data(), count) +
                             " is not " + meaning + ", " + Texts(expected, count));
      return;
    }
  }
}

void LevelChecker::MeasureSurfaces(const Vec3& center, const Measured& measured) {
  const Sector& s = sector_;
  if (!s.surfaces_line) return;  // its adjoins are reported as reached by no sector
  if (s.first_surface < 0 || s.surface_count < 0 ||
      s.surface_count > int64_t(surfaces_.size()) - s.first_surface) {
    Report(s.surfaces_line,
           SectorName() + ": SURFACES " + std::to_string(s.first_surface) + " " +
               std::to_string(s.surface_count) + " is not within the " +
               Counted(int64_t(surfaces_.size()), "world surface", "world surfaces"));
    return;
  }
  bool overlap_reported = false;
  for (int64_t i = s.first_surface; i < s.first_surface + s.surface_count; ++i) {
    Surface& surface = surfaces_[size_t(i)];
    if (surface.sector >= 0) {
      if (!overlap_reported) {
        Report(s.surfaces_line, SectorName() + ": surface " + std::to_string(i) +
                                    " belongs to sector " + std::to_string(surface.sector) +
                                    " already");
      }
      overlap_reported = true;
      continue;
    }
    surface.sector = s.index;
    if (surface.adjoin >= 0) MeasureAdjoin(i, center, measured);
  }
}

void LevelChecker::MeasureAdjoin(int64_t surface_index, const Vec3& center,
                                 const Measured& measured) {
  const Surface& surface = surfaces_[size_t(surface_index)];
  Adjoin& adjoin = adjoins_[size_t(surface.adjoin)];
  adjoin.reached = true;
  if (!adjoin.has_dist || surface.first_vertex < 0) return;  // reported when read
  if (!surface.has_normal) {
    Report(adjoin.line, "adjoin " + std::to_string(surface.adjoin) + ": surface " +
                            std::to_string(surface_index) + " has no normal");
    return;
  }
  const Vec3& on_plane = vertices_[size_t(surface.first_vertex)];
  adjoin.measured = true;
  adjoin.sector = sector_.index;
  adjoin.distance =
      std::fabs(Dot(surface.normal, Minus(center, on_plane))) / Length(surface.normal);
  adjoin.sector_radius = measured.radius;
  adjoin.magnitude = std::max(measured.magnitude, std::fabs(adjoin.dist));
}

// The median of the sectors' radii: a length that grows with the level as a
// whole, small sectors and all.
double TypicalRadius(std::vector<double> radii) {
  if (radii.empty()) return 0;
  auto middle = radii.begin() + std::ptrdiff_t(radii.size() / 2);
  std::nth_element(radii.begin(), middle, radii.end());
  return *middle;
}

void LevelChecker::CheckAdjoins() {
  const double typical = TypicalRadius(sector_radii_);
  for (size_t i = 0; i < adjoins_.size(); ++i) {
    const Adjoin& adjoin = adjoins_[i];
    const std::string name = "adjoin " + std::to_string(i);
    if (adjoin.surface < 0) {
      Report(adjoin.line, name + ": no surface names it");
    } else if (!adjoin.reached) {
      Report(adjoin.line, name + ": surface " + std::to_string(adjoin.surface) +
                              ", which names it, is in no sector");
    } else if (adjoin.measured) {
      const double tolerance =
          kDistSlack * std::max(adjoin.sector_radius, typical) + kFloatStep * adjoin.magnitude;
      if (std::fabs(adjoin.dist - adjoin.distance) > tolerance) {
        Report(adjoin.line, name + ": dist " + TextOf(adjoin.dist) +
                                " is not the distance from the CENTER of sector " +
                                std::to_string(adjoin.sector) + " to the plane of surface " +
                                std::to_string(adjoin.surface) + ", " + TextOf(adjoin.distance));
      }
    }
  }
}

void LevelChecker::Finish() {
  FinishSector();
  CheckAdjoins();
  CheckCoordinateLimits();
  std::stable_sort(report_->limits.begin(), report_->limits.end(),
                   [](const LevelFinding& a, const LevelFinding& b) { return a.line < b.line; });
  std::stable_sort(report_->findings.begin(), report_->findings.end(),
                   [](const LevelFinding& a, const LevelFinding& b) { return a.line < b.line; });
}

}  // namespace

Status CheckLevel(FileSystem& fs, const std::string& path, LevelCheckReport* report) {
  *report = LevelCheckReport();
  std::unique_ptr<InputFile> file;
  JK_RETURN_IF_ERROR(fs.OpenRead(path, &file));
  LevelChecker checker(report);
  const int64_t end = file->Length();
  std::string line;
  while (file->Position() < end) {
    JK_RETURN_IF_ERROR(file->ReadLine(end, &line));
    checker.ReadLine(line);
  }
  checker.Finish();
  return Status::Ok();
}

std::string FindingLine(const std::string& path, const LevelFinding& finding) {
  return path + ":" + std::to_string(finding.line) + ": " + finding.text;
}

std::string SummaryLine(const std::string& path, const LevelCheckReport& report) {
  const int64_t found = int64_t(report.findings.size());
  std::string line =
      path + ": " + Counted(report.sectors, "sector", "sectors") + " and " +
      Counted(report.adjoins, "adjoin", "adjoins") + " checked: " +
      (found == 0 ? "consistent" : Counted(found, "inconsistency", "inconsistencies"));
  if (!report.limits.empty()) {
    line += "; " + Counted(int64_t(report.limits.size()), "line", "lines") +
            " beyond the game's limits";
  }
  return line;
}

}  // namespace jk
