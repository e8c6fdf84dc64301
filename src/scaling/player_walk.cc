#include "scaling/player_walk.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <unordered_map>

#include "archives/archive_tables.h"
#include "archives/gob_archive.h"
#include "platform/ascii.h"
#include "platform/path.h"
#include "scaling/fields.h"
#include "scaling/game_text.h"
#include "scaling/level_sections.h"
#include "scaling/references.h"
#include "scaling/template_table.h"
#include "scaling/text.h"

namespace jk {

namespace {

// Surface and adjoin flags the player's motion depends on.
constexpr uint32_t kFloorFlag = 0x1;
constexpr uint32_t kNoFallDamageFlag = 0x80;
constexpr uint32_t kMovementFlag = 0x2;

// The engine's constants of the player's motion.
constexpr double kMinimumHeightAboveRadius = 0.005;

// An adjoin whose normal leans more than this towards the vertical is an
// opening in a floor or a ceiling, which the report does not judge.
constexpr double kMostlyHorizontal = 0.7;

// An integer field, decimal or "0x" hexadecimal; `fallback` when it is none.
int64_t IntegerOf(std::string_view text, int64_t fallback) {
  int base = 10;
  bool negative = !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  int64_t value = 0;
  if (text.empty() || text[0] == '-' || !ParseInteger(text, &value, base)) return fallback;
  return negative ? -value : value;
}

// The "name=value" parameters of a template and its chain, in lower case.
using TemplateParams = std::unordered_map<std::string, std::string>;

// Where a surface line holds its vertex count, 0 for nowhere: after the
// extra light, which is one value (field 9) or, with colour, four (field
// 12); the count must be at least 3 and its pairs of vertex and texture
// vertex must follow.
size_t VertexCountField(const Fields& f) {
  for (size_t at : {size_t(9), size_t(12)}) {
    if (f.size() <= at) break;
    const int64_t count = IntegerOf(f[at], -1);
    if (count >= 3 && uint64_t(count) <= (f.size() - at - 1) / 2) return at;
  }
  return 0;
}

struct SurfaceRow {
  uint32_t flags = 0;
  int64_t adjoin = -1;
  int64_t sector = -1;
  uint32_t first = 0;  // into the reader's vertex index pool
  uint32_t count = 0;
};

struct AdjoinRow {
  uint32_t flags = 0;
  int64_t mirror = -1;
  int64_t surface = -1;
};

// The geometry of one polygon: its normal by Newell's method (not unit).
Point3 NormalOf(const std::vector<Point3>& vertices, const int32_t* indices, uint32_t count) {
  Point3 n;
  for (uint32_t i = 0; i < count; ++i) {
    const Point3& a = vertices[size_t(indices[i])];
    const Point3& b = vertices[size_t(indices[(i + 1) % count])];
    n.x += (a.y - b.y) * (a.z + b.z);
    n.y += (a.z - b.z) * (a.x + b.x);
    n.z += (a.x - b.x) * (a.y + b.y);
  }
  return n;
}

double Norm(Point3 v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// The distance in x and y from (x, y) to the polygon seen from above; 0
// inside it.
double DistanceFromAbove(const std::vector<Point3>& vertices, const int32_t* indices,
                         uint32_t count, double x, double y) {
  bool inside = false;
  double nearest = std::numeric_limits<double>::infinity();
  for (uint32_t i = 0, j = count - 1; i < count; j = i++) {
    const Point3& a = vertices[size_t(indices[i])];
    const Point3& b = vertices[size_t(indices[j])];
    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
      inside = !inside;
    }
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    nearest = std::min(nearest, std::hypot(x - (a.x + t * dx), y - (a.y + t * dy)));
  }
  return inside ? 0 : nearest;
}

class WalkReader {
 public:
  explicit WalkReader(PlayerWalk* walk) : walk_(walk) {}

  void Take(std::string_view line);
  void Finish();

 private:
  enum class Section { kOther, kHeader, kGeoresource, kSectors, kTemplates, kThings };
  enum class List { kNone, kVertices, kAdjoins, kSurfaces, kNormals };

  void GeoresourceLine();
  void SectorLine();
  void TemplateLine();
  void ThingLine();

  // The value of `key` in template `name` or its chain; null when none.
  const std::string* Param(std::string_view name, const std::string& key) const;
  void FindPlayer();
  struct Floor {
    bool found = false;
    double z = 0;
    uint32_t flags = 0;
  };
  Floor FloorAt(int64_t sector, const Point3& point) const;
  void AddCrossing(int64_t surface_index);

  PlayerWalk* walk_;
  Fields fields_;
  Section section_ = Section::kOther;
  List list_ = List::kNone;
  int64_t surfaces_declared_ = 0;
  std::vector<SurfaceRow> surfaces_;
  std::vector<int32_t> pool_;
  std::vector<AdjoinRow> adjoins_;
  int64_t sector_ = -1;
  int64_t sectors_ = 0;
  std::vector<std::vector<size_t>> sector_floors_;
  TemplateTable<TemplateParams> templates_;
  std::string first_thing_template_;  // of the first thing whose template is a player
  bool player_thing_found_ = false;
};

void WalkReader::Take(std::string_view line) {
  // What the game reads of the line: no comment, commas as separators.
  const GameLine game = ReadGameLine(line);
  std::string_view trimmed = Trim(game.data);
  if (game.is_comment_line || trimmed.empty()) return;
  const LevelHeader header = RecogniseLevelHeader(game.data);
  if (IsSectionHeader(header) || header == LevelHeader::kEnd) {
    section_ = header == LevelHeader::kHeaderSection        ? Section::kHeader
               : header == LevelHeader::kGeoresourceSection ? Section::kGeoresource
               : header == LevelHeader::kSectorsSection     ? Section::kSectors
               : header == LevelHeader::kTemplatesSection   ? Section::kTemplates
               : header == LevelHeader::kThingsSection      ? Section::kThings
                                                            : Section::kOther;
    list_ = List::kNone;
    sector_ = -1;
    return;
  }
  SplitFields(trimmed, &fields_);
  if (header != LevelHeader::kNone) {
    if (section_ == Section::kHeader && fields_.size() > 2 &&
        BeginsWith(trimmed, "world gravity")) {
      walk_->gravity = ValueOf(fields_[2]);
    }
    list_ = header == LevelHeader::kWorldVertices   ? List::kVertices
            : header == LevelHeader::kWorldAdjoins  ? List::kAdjoins
            : header == LevelHeader::kWorldSurfaces ? List::kSurfaces
                                                    : List::kNone;
    if (list_ == List::kSurfaces) {
      surfaces_declared_ = fields_.size() > 2 ? IntegerOf(fields_[2], 0) : 0;
    }
    return;
  }
  switch (section_) {
    case Section::kGeoresource:
      return GeoresourceLine();
    case Section::kSectors:
      return SectorLine();
    case Section::kTemplates:
      return TemplateLine();
    case Section::kThings:
      return ThingLine();
    case Section::kHeader:
    case Section::kOther:
      return;
  }
}

void WalkReader::GeoresourceLine() {
  const Fields& f = fields_;
  if (list_ == List::kSurfaces && int64_t(surfaces_.size()) >= surfaces_declared_) {
    list_ = List::kNormals;
  }
  switch (list_) {
    case List::kVertices: {
      Point3 v;
      if (f.size() > 3) v = {ValueOf(f[1]), ValueOf(f[2]), ValueOf(f[3])};
      walk_->vertices.push_back(v);
      return;
    }
    case List::kAdjoins: {
      AdjoinRow adjoin;
      if (f.size() > 2) {
        adjoin.flags = uint32_t(IntegerOf(f[1], 0));
        adjoin.mirror = IntegerOf(f[2], -1);
      }
      adjoins_.push_back(adjoin);
      return;
    }
    case List::kSurfaces: {
      // num mat surfflags faceflags geo light tex adjoin extralight nverts,
      // then nverts pairs of vertex and texture vertex.
      SurfaceRow surface;
      if (const size_t at = VertexCountField(f)) {
        surface.flags = uint32_t(IntegerOf(f[2], 0));
        surface.adjoin = IntegerOf(f[7], -1);
        const int64_t count = IntegerOf(f[at], 0);
        const int64_t vertices = int64_t(walk_->vertices.size());
        surface.first = uint32_t(pool_.size());
        for (int64_t i = 0; i < count; ++i) {
          const int64_t index = IntegerOf(f[at + 1 + 2 * size_t(i)], -1);
          if (index < 0 || index >= vertices) {
            pool_.resize(surface.first);
            break;
          }
          pool_.push_back(int32_t(index));
        }
        surface.count = uint32_t(pool_.size() - surface.first);
      }
      if (surface.adjoin >= 0 && surface.adjoin < int64_t(adjoins_.size()) &&
          adjoins_[size_t(surface.adjoin)].surface < 0) {
        adjoins_[size_t(surface.adjoin)].surface = int64_t(surfaces_.size());
      } else {
        surface.adjoin = -1;
      }
      surfaces_.push_back(surface);
      return;
    }
    case List::kNormals:
    case List::kNone:
      return;
  }
}

void WalkReader::SectorLine() {
  const Fields& f = fields_;
  if (BeginsWith(f[0], "sector") && f[0].size() == 6) {
    sector_ = sectors_++;
    sector_floors_.emplace_back();
    return;
  }
  if (sector_ < 0 || !(BeginsWith(f[0], "surfaces") && f[0].size() == 8) || f.size() < 3) return;
  const int64_t first = IntegerOf(f[1], -1);
  const int64_t count = IntegerOf(f[2], -1);
  const int64_t total = int64_t(surfaces_.size());
  if (first < 0 || count < 0 || first >= total) return;
  for (int64_t i = first; i < std::min(total, first + count); ++i) {
    SurfaceRow& surface = surfaces_[size_t(i)];
    if (surface.sector >= 0) continue;  // the first sector to claim it keeps it
    surface.sector = sector_;
    if ((surface.flags & kFloorFlag) && surface.count >= 3) {
      sector_floors_[size_t(sector_)].push_back(size_t(i));
    }
  }
}

void WalkReader::TemplateLine() {
  const Fields& f = fields_;
  if (f.size() < 2) return;
  TemplateParams& params = templates_.Add(f[0], f[1]);
  // The last of a key on a line wins, as the engine reads them in turn.
  for (size_t i = 2; i < f.size(); ++i) {
    const size_t equals = f[i].find('=');
    if (equals == std::string_view::npos) continue;
    params[ToLowerAscii(f[i].substr(0, equals))] = ToLowerAscii(f[i].substr(equals + 1));
  }
}

void WalkReader::ThingLine() {
  if (player_thing_found_ || fields_.size() < 2) return;
  const std::string name = ToLowerAscii(fields_[1]);
  const std::string* type = Param(name, "type");
  if (type && *type == "player") {
    first_thing_template_ = name;
    player_thing_found_ = true;
  }
}

const std::string* WalkReader::Param(std::string_view name, const std::string& key) const {
  const TemplateParams* params = templates_.Find(name);
  if (!params) return nullptr;
  auto value = params->find(key);
  return value == params->end() ? nullptr : &value->second;
}

void WalkReader::FindPlayer() {
  std::string name = first_thing_template_;
  if (name.empty()) {
    const auto& rows = templates_.rows();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
      auto type = it->values.find("type");
      if (type != it->values.end() && type->second == "player") {
        name = ToLowerAscii(it->name);
        break;
      }
    }
  }
  if (name.empty()) return;
  PlayerBody& player = walk_->player;
  player.found = true;
  player.template_name = name;
  if (const std::string* size = Param(name, "size")) player.radius = ValueOf(*size);
  if (const std::string* move_size = Param(name, "movesize")) player.radius = ValueOf(*move_size);
  if (const std::string* height = Param(name, "height")) {
    player.has_height = player.height_known = true;
    player.height = ValueOf(*height);
  }
  if (const std::string* jump = Param(name, "jumpspeed")) player.jump_speed = ValueOf(*jump);
  if (const std::string* model = Param(name, "model3d")) player.model = *model;
}

WalkReader::Floor WalkReader::FloorAt(int64_t sector, const Point3& point) const {
  Floor best;
  Floor lowest_above;
  const double tolerance = 1e-4 + 1e-7 * (std::fabs(point.x) + std::fabs(point.y));
  const auto& vertices = walk_->vertices;
  for (size_t index : sector_floors_[size_t(sector)]) {
    const SurfaceRow& s = surfaces_[index];
    const int32_t* indices = pool_.data() + s.first;
    const Point3 n = NormalOf(vertices, indices, s.count);
    if (std::fabs(n.z) <= 1e-9 * Norm(n) || Norm(n) == 0) continue;  // a wall marked as floor
    if (DistanceFromAbove(vertices, indices, s.count, point.x, point.y) > tolerance) continue;
    const Point3& on = vertices[size_t(indices[0])];
    const double z = on.z - (n.x * (point.x - on.x) + n.y * (point.y - on.y)) / n.z;
    if (!std::isfinite(z)) continue;
    if (z <= point.z + tolerance) {
      if (!best.found || z > best.z) best = {true, z, s.flags};
    } else if (!lowest_above.found || z < lowest_above.z) {
      lowest_above = {true, z, s.flags};
    }
  }
  return best.found ? best : lowest_above;
}

void WalkReader::AddCrossing(int64_t surface_index) {
  const SurfaceRow& surface = surfaces_[size_t(surface_index)];
  const AdjoinRow& adjoin = adjoins_[size_t(surface.adjoin)];
  if (!(adjoin.flags & kMovementFlag) || surface.sector < 0 || surface.count < 3) return;
  if (adjoin.mirror < 0 || adjoin.mirror >= int64_t(adjoins_.size())) return;
  const AdjoinRow& mirror = adjoins_[size_t(adjoin.mirror)];
  if (mirror.surface < 0 || surfaces_[size_t(mirror.surface)].sector < 0) return;

  const auto& vertices = walk_->vertices;
  const int32_t* indices = pool_.data() + surface.first;
  const Point3 normal = NormalOf(vertices, indices, surface.count);
  const double length = Norm(normal);
  if (!(length > 0) || std::fabs(normal.z) >= kMostlyHorizontal * length) return;

  Crossing c;
  c.adjoin = surface.adjoin;
  c.surface = surface_index;
  c.from_sector = surface.sector;
  c.to_sector = surfaces_[size_t(mirror.surface)].sector;
  // The lowest point, and the extent across: along the horizontal line of
  // the adjoin's plane.
  const double across_x = -normal.y / length, across_y = normal.x / length;
  const double across_length = std::hypot(across_x, across_y);
  double top = -std::numeric_limits<double>::infinity();
  double left = std::numeric_limits<double>::infinity(), right = -left;
  c.point = vertices[size_t(indices[0])];
  for (uint32_t i = 0; i < surface.count; ++i) {
    const Point3& v = vertices[size_t(indices[i])];
    if (v.z < c.point.z) c.point = v;
    top = std::max(top, v.z);
    const double along = (v.x * across_x + v.y * across_y) / across_length;
    left = std::min(left, along);
    right = std::max(right, along);
  }
  const Floor from = FloorAt(c.from_sector, c.point);
  const Floor to = FloorAt(c.to_sector, c.point);
  if (from.found && to.found) {
    c.has_rise = true;
    c.rise = to.z - from.z;
    c.soft_landing = (to.flags & kNoFallDamageFlag) != 0;
  }
  // A passage is one opening: given with the crossing of its lower adjoin.
  const bool mirror_moves = (mirror.flags & kMovementFlag) != 0;
  if (!mirror_moves || c.adjoin < adjoin.mirror) {
    c.is_opening = true;
    double bottom = c.point.z;
    if (from.found) bottom = std::max(bottom, from.z);
    if (to.found) bottom = std::max(bottom, to.z);
    c.opening_height = top - bottom;
    c.opening_width = right - left;
  }
  walk_->crossings.push_back(c);
  walk_->crossing_outlines.emplace_back(indices, indices + surface.count);
}

void WalkReader::Finish() {
  FindPlayer();
  for (const auto& floors : sector_floors_) {
    for (size_t index : floors) {
      const SurfaceRow& s = surfaces_[index];
      walk_->floors.emplace_back(pool_.data() + s.first, pool_.data() + s.first + s.count);
    }
  }
  for (size_t i = 0; i < surfaces_.size(); ++i) {
    if (surfaces_[i].adjoin >= 0) AddCrossing(int64_t(i));
  }
}

// Calls `on_line` with each line of `text`, without its line break.
template <typename OnLine>
void ForEachLine(std::string_view text, OnLine on_line) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    on_line(line);
    start = end + 1;
  }
}

Status ReadWhole(InputFile& file, int64_t offset, int64_t length, std::string* text) {
  JK_RETURN_IF_ERROR(file.Seek(offset));
  return file.Read(size_t(length), text);
}

}  // namespace

double PlayerBody::StandingHeight() const {
  return std::max(height, radius + kMinimumHeightAboveRadius);
}

void ReadPlayerWalk(std::string_view level_text, PlayerWalk* walk) {
  *walk = PlayerWalk();
  WalkReader reader(walk);
  ForEachLine(level_text, [&](std::string_view line) { reader.Take(line); });
  reader.Finish();
}

bool ApplyModelInsertOffset(std::string_view model_text, PlayerWalk* walk) {
  bool found = false;
  Fields fields;
  ForEachLine(model_text, [&](std::string_view line) {
    std::string_view trimmed = Trim(ReadGameLine(line).data);
    if (found || !BeginsWith(trimmed, "insert offset")) return;
    SplitFields(trimmed, &fields);
    if (fields.size() < 5) return;
    found = true;
    if (walk->player.has_height) return;
    walk->player.height = ValueOf(fields[4]);
    walk->player.height_known = true;
  });
  return found;
}

Status ReadPlayerWalkFile(FileSystem& fs, const std::string& path, PlayerWalk* walk) {
  std::unique_ptr<InputFile> file;
  JK_RETURN_IF_ERROR(fs.OpenRead(path, &file));
  std::string text;
  JK_RETURN_IF_ERROR(ReadWhole(*file, 0, file->Length(), &text));
  ReadPlayerWalk(text, walk);
  if (walk->player.has_height || walk->player.model.empty()) return Status::Ok();
  // A scale run writes the level into "jkl" and the models beside it in "3do".
  std::string folder = FolderOf(path);
  if (!folder.empty()) folder.pop_back();
  const std::string model = JoinPath(JoinPath(FolderOf(folder), "3do"), walk->player.model);
  std::unique_ptr<InputFile> model_file;
  if (!fs.IsFile(model) || !fs.OpenRead(model, &model_file).ok()) return Status::Ok();
  std::string model_text;
  if (ReadWhole(*model_file, 0, model_file->Length(), &model_text).ok()) {
    ApplyModelInsertOffset(model_text, walk);
  }
  return Status::Ok();
}

Status ReadPlayerWalkFromArchive(FileSystem& fs, const std::string& archive_path,
                                 const std::string& level, const std::string& resource_path,
                                 PlayerWalk* walk) {
  LevelArchiveTables tables;
  JK_RETURN_IF_ERROR(OpenLevelArchive(fs, archive_path, &tables));
  const EntryRow* row = tables.FindLevel(level);
  if (!row) return Status::Invalid("'" + tables.path + "': holds no level '" + level + "'");
  if (!row->inside) {
    return Status::Damaged(
        tables.path, "level '" + level + "': damaged archive, its data lies outside the file");
  }
  std::unique_ptr<GobArchive> archive;
  JK_RETURN_IF_ERROR(GobArchive::Open(fs, archive_path, &archive));
  std::string text;
  JK_RETURN_IF_ERROR(ReadWhole(archive->file(), row->offset, row->length, &text));
  ReadPlayerWalk(text, walk);
  if (walk->player.has_height || walk->player.model.empty()) return Status::Ok();

  std::vector<ModelRow> resource_models;
  std::unique_ptr<GobArchive> resource;
  if (!resource_path.empty()) {
    JK_RETURN_IF_ERROR(GobArchive::Open(fs, resource_path, &resource));
    JK_RETURN_IF_ERROR(CollectModels(*resource, /*from_level_archive=*/false, &resource_models));
  }
  ModelTable models(tables.models, resource_models);
  const ModelRow* model = models.Find(walk->player.model);
  if (!model || !model->entry.inside) return Status::Ok();
  InputFile& file = model->from_level_archive ? archive->file() : resource->file();
  std::string model_text;
  JK_RETURN_IF_ERROR(ReadWhole(file, model->entry.offset, model->entry.length, &model_text));
  ApplyModelInsertOffset(model_text, walk);
  return Status::Ok();
}

}  // namespace jk
