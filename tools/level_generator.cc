#include "level_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace jk::levelgen {

namespace {

// The value a reader finds in SixDecimals(value).
double Rounded(double value) { return std::strtod(SixDecimals(value).c_str(), nullptr); }

// The lines of a text being written; each is ended with CR LF at the end.
class Lines {
 public:
  // Appends `line`; its number, counted from 1.
  int Add(std::string line) {
    lines_.push_back(std::move(line));
    return int(lines_.size());
  }
  std::string Text() const {
    std::string text;
    for (const std::string& line : lines_) text += line + "\r\n";
    return text;
  }

 private:
  std::vector<std::string> lines_;
};

// "a<sep>b<sep>c" of `values` in six decimals.
std::string Joined(const std::vector<double>& values, const char* separator) {
  std::string text;
  for (size_t i = 0; i < values.size(); ++i) text += (i ? separator : "") + SixDecimals(values[i]);
  return text;
}

struct Vec {
  double x = 0, y = 0, z = 0;
};

Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(Vec a) { return std::sqrt(Dot(a, a)); }
std::string Triple(Vec v, const char* separator) { return Joined({v.x, v.y, v.z}, separator); }

struct Box {
  Vec low, high;
  // Corner `i` (0 to 7): bit 0 picks the high x, bit 1 the high y, bit 2
  // the high z.
  Vec Corner(int i) const {
    return {(i & 1) ? high.x : low.x, (i & 2) ? high.y : low.y, (i & 4) ? high.z : low.z};
  }
};

// The faces of a box: their corners, counter-clockwise seen from outside,
// and their outward normals. Face 0 looks to -x and face 1 to +x: these are
// the faces that neighbouring sectors share.
struct Face {
  int corners[4];
  Vec normal;
};
constexpr Face kFaces[6] = {
    {{0, 4, 6, 2}, {-1, 0, 0}}, {{1, 3, 7, 5}, {1, 0, 0}},  {{0, 1, 5, 4}, {0, -1, 0}},
    {{2, 6, 7, 3}, {0, 1, 0}},  {{0, 2, 3, 1}, {0, 0, -1}}, {{4, 5, 7, 6}, {0, 0, 1}},
};

// ---- Levels ----

// The sectors' lengths along x, in turn; all span the same y and z, so that
// neighbours share a whole face. Multiples of 1/8, off the origin.
constexpr double kLengths[] = {1.0, 2.5, 0.75, 4.0, 1.5, 3.25};
constexpr double kFirstX = -1.375;
constexpr double kLowY = -0.25, kHighY = 1.0, kLowZ = 0.125, kHighZ = 0.875;
// How far a COLLIDEBOX lies inside its sector's box on each side.
constexpr double kCollideInset = 0.125;

std::vector<Box> SectorBoxes(const LevelOptions& options) {
  std::vector<Box> boxes;
  const double o = options.offset;
  const double size = options.sector_size;
  double x = kFirstX;
  for (int i = 0; i < std::max(0, options.sectors); ++i) {
    double length = size > 0 ? size : kLengths[size_t(i) % std::size(kLengths)];
    Vec low{o + x, o + kLowY, o + kLowZ};
    Vec high = size > 0 ? Vec{low.x + size, low.y + size, low.z + size}
                        : Vec{o + x + length, o + kHighY, o + kHighZ};
    boxes.push_back({low, high});
    x += length;
  }
  return boxes;
}

// What a sector's corners, read back at six decimals, give.
struct SectorGeometry {
  Vec corners[8];
  Vec low, high, center;
  double radius = 0;
};

SectorGeometry GeometryOf(const Box& box) {
  SectorGeometry g;
  for (int i = 0; i < 8; ++i) {
    Vec c = box.Corner(i);
    g.corners[i] = {Rounded(c.x), Rounded(c.y), Rounded(c.z)};
  }
  g.low = g.high = g.corners[0];
  Vec sum;
  for (const Vec& c : g.corners) {
    g.low = {std::min(g.low.x, c.x), std::min(g.low.y, c.y), std::min(g.low.z, c.z)};
    g.high = {std::max(g.high.x, c.x), std::max(g.high.y, c.y), std::max(g.high.z, c.z)};
    sum = {sum.x + c.x, sum.y + c.y, sum.z + c.z};
  }
  g.center = {sum.x / 8, sum.y / 8, sum.z / 8};
  for (const Vec& c : g.corners) g.radius = std::max(g.radius, Length(c - g.center));
  return g;
}

// The distance from the sector's center to the plane of its face `face`.
double FaceDistance(const SectorGeometry& g, int face) {
  const Face& f = kFaces[face];
  return std::fabs(Dot(f.normal, g.center - g.corners[f.corners[0]]));
}

// Adjoin 2k lies on the +x face of sector k and adjoin 2k + 1 on the -x
// face of sector k + 1; each is the other's mirror.
int AdjoinOf(int sector, int face, int sectors) {
  if (face == 1 && sector + 1 < sectors) return 2 * sector;
  if (face == 0 && sector > 0) return 2 * (sector - 1) + 1;
  return -1;
}

// The trailing comment `comment` when the level carries the game reader's
// forms, else nothing.
std::string Trailing(const LevelOptions& options, const char* comment) {
  return options.game_reader_forms ? comment : "";
}

void WriteHeader(Lines& out, const LevelOptions& options, GeneratedLevel& level) {
  out.Add("SECTION: HEADER");
  level.gravity_line = out.Add("World Gravity " + SixDecimals(4));
  out.Add("Ceiling Sky Z " + SixDecimals(15) + Trailing(options, " # was 7.5, size=0.3"));
  out.Add("Horizon Distance " + SixDecimals(200));
  out.Add("Horizon Pixels per Rev " + SixDecimals(768));
  out.Add("Horizon Sky Offset " + Joined({0, 0}, " "));
  out.Add("Ceiling Sky Offset " + Joined({0, 0}, " "));
  level.mipmap_line = out.Add("MipMap Distances " + Joined({1, 2, 3, 4}, " "));
  level.lod_line = out.Add("LOD Distances " + Joined({0.3, 0.6, 0.9, 1.2}, " "));
  out.Add("Perspective distance " + SixDecimals(2));
  out.Add("Gouraud distance " + SixDecimals(2));
  out.Add("");
}

void WriteVertices(Lines& out, const std::vector<SectorGeometry>& sectors,
                   const LevelOptions& options, GeneratedLevel& level) {
  out.Add("World vertices " + std::to_string(sectors.size() * 8));
  out.Add("#num:\tvertex:");
  if (options.game_reader_forms) out.Add("; 1: 4.0 5.0 6.0");
  for (const SectorGeometry& g : sectors) {
    for (const Vec& c : g.corners) {
      size_t index = level.vertex_lines.size();
      std::string line = std::to_string(index) + ":\t" + Triple(c, "\t");
      if (options.game_reader_forms && index == 0) line += "\t# corner 0: 1.0 2.0 3.0";
      if (options.game_reader_forms && index == 1) line = "1:," + Triple(c, ",");
      level.vertex_lines.push_back(out.Add(line));
    }
  }
  out.Add("");
  out.Add("World texture vertices 4");
  out.Add("#num:\tu:\tv:");
  const double kTexture[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int i = 0; i < 4; ++i) {
    out.Add(std::to_string(i) + ":\t" + Joined({kTexture[i][0], kTexture[i][1]}, "\t"));
  }
  out.Add("");
}

void WriteAdjoins(Lines& out, const std::vector<SectorGeometry>& sectors, double dist_error,
                  GeneratedLevel& level) {
  int count = sectors.empty() ? 0 : 2 * (int(sectors.size()) - 1);
  out.Add("World adjoins " + std::to_string(count));
  out.Add("#num:\tflags:\tmirror:\tdist:");
  for (int adjoin = 0; adjoin < count; ++adjoin) {
    // Even adjoins look out of the +x face of their sector, odd ones out of
    // the -x face of the next.
    int sector = adjoin / 2 + adjoin % 2;
    double dist = FaceDistance(sectors[size_t(sector)], adjoin % 2 == 0 ? 1 : 0) +
                  (adjoin % 2 == 0 ? dist_error : -dist_error);
    int mirror = adjoin ^ 1;
    level.adjoin_lines.push_back(out.Add(std::to_string(adjoin) + ":\t0x7\t" +
                                         std::to_string(mirror) + "\t" + SixDecimals(dist)));
  }
  out.Add("");
}

void WriteSurfaces(Lines& out, int sectors, const LevelOptions& options, GeneratedLevel& level) {
  out.Add("World surfaces " + std::to_string(sectors * 6));
  out.Add(
      "#num:\tmat:\tsurfflags:\tfaceflags:\tgeo:\tlight:\ttex:\tadjoin:\textralight:\tnverts:"
      "\tvertices:\tintensities:");
  for (int sector = 0; sector < sectors; ++sector) {
    for (int face = 0; face < 6; ++face) {
      int adjoin = AdjoinOf(sector, face, sectors);
      // An adjoin is an opening: no material, nothing drawn.
      std::string line = std::to_string(level.surface_lines.size()) + ":\t" +
                         (adjoin < 0 ? "0\t0x4\t0x4\t4" : "-1\t0x4\t0x0\t0") + "\t3\t4\t" +
                         std::to_string(adjoin) + "\t" + SixDecimals(0) + "\t4";
      for (int i = 0; i < 4; ++i) {
        line +=
            "\t" + std::to_string(sector * 8 + kFaces[face].corners[i]) + "," + std::to_string(i);
      }
      for (int i = 0; i < 4; ++i) line += "\t" + SixDecimals(0.5);
      if (level.surface_lines.empty()) line += Trailing(options, " # the first wall, 2.0 wide");
      level.surface_lines.push_back(out.Add(line));
    }
  }
  out.Add("#--- Surface normals ---");
  for (int surface = 0; surface < sectors * 6; ++surface) {
    level.normal_lines.push_back(
        out.Add(std::to_string(surface) + ":\t" + Triple(kFaces[surface % 6].normal, "\t")));
  }
  out.Add("");
}

void WriteSector(Lines& out, int index, const Box& box, const SectorGeometry& g,
                 const LevelOptions& options, SectorFacts& facts) {
  auto every = [index](int n) { return n > 0 && index % n == 0; };
  facts.sector_line = out.Add("SECTOR\t" + std::to_string(index));
  out.Add("FLAGS\t0x0");
  out.Add("AMBIENT LIGHT\t0.00");
  out.Add("EXTRA LIGHT\t0.00");
  out.Add("COLORMAP\t0");
  out.Add("TINT\t0.00\t0.00\t0.00");
  if (index == 1) out.Add("# a stray comment among the sector's lines");
  facts.boundbox_line = out.Add("BOUNDBOX\t" + Triple(g.low, " ") + " " + Triple(g.high, " "));
  if (every(options.collide_box_every)) {
    Vec in{kCollideInset, kCollideInset, kCollideInset};
    Vec low = {box.low.x + in.x, box.low.y + in.y, box.low.z + in.z};
    facts.collidebox_line =
        out.Add("COLLIDEBOX\t" + Triple(low, " ") + " " + Triple(box.high - in, " "));
  }
  if (every(options.sound_every))
    facts.sound_line = out.Add("SOUND\tambient.wav " + SixDecimals(1));
  facts.center_line = out.Add("CENTER\t" + Triple(g.center, " ") +
                              Trailing(options, index == 0 ? "\t#middle 1.0 1.0 1.0" : ""));
  facts.radius_line = out.Add("RADIUS\t" + SixDecimals(g.radius));
  facts.vertices_line = out.Add("VERTICES\t8");
  for (int i = 0; i < 8; ++i) out.Add(std::to_string(i) + ":\t" + std::to_string(index * 8 + i));
  facts.surfaces_line = out.Add("SURFACES\t" + std::to_string(index * 6) + "\t6");
  facts.radius = g.radius;
}

void WriteSectors(Lines& out, const std::vector<Box>& boxes,
                  const std::vector<SectorGeometry>& geometry, const LevelOptions& options,
                  GeneratedLevel& level) {
  out.Add("SECTION: SECTORS");
  out.Add("World sectors " + std::to_string(boxes.size()));
  for (size_t i = 0; i < boxes.size(); ++i) {
    if (i == 1) out.Add("");  // a blank line between two sectors
    level.sectors.emplace_back();
    WriteSector(out, int(i), boxes[i], geometry[i], options, level.sectors.back());
  }
  out.Add("");
}

// The actor, one template of each scenery base, and the door chain.
std::vector<std::pair<TemplateFacts, std::string>> TemplateList(int door_chain) {
  std::vector<std::pair<TemplateFacts, std::string>> list = {
      {{"walkplayer", "_walkplayer", "ky.3do", "ky.3do"},
       "type=player size=0.065000 movesize=0.065000 height=0.180000"},
      {{"lamp", "_decor", "lamp.3do", "lamp.3do"},
       "thingflags=0x400 size=0.030000 movesize=0.030000"},
      {{"crate", "_walkstruct", "crate.3do", "crate.3do"},
       "size=0.250000 movesize=0.250000 height=0.500000"},
  };
  std::string inherited;
  for (int k = 1; k <= door_chain; ++k) {
    std::string name = "door" + std::to_string(k);
    std::string base = k == 1 ? "_structure" : "door" + std::to_string(k - 1);
    std::string own = k == 3 ? "" : name + ".3do";
    if (!own.empty()) inherited = own;
    std::string params = "size=" + SixDecimals(0.05 * k) + " movesize=" + SixDecimals(0.05 * k);
    if (k == 1) params = "thingflags=0x8 " + params;
    if (k == 3) params += " height=" + SixDecimals(0.3);
    list.push_back({{name, base, own, inherited}, params});
  }
  return list;
}

// The templates of LevelOptions::moving_scenery.
std::vector<std::pair<TemplateFacts, std::string>> MovingSceneryTemplates() {
  return {
      {{"fan", "_structure", "", ""},
       "size=0.200000 puppet=fan.pup soundclass=fan.snd sprite=glow.spr treesize=0.250000"},
      {{"spark", "_decor", "", ""}, "soundclass=blast.snd sprite=blast.spr"},
      {{"trooper", "_actor", "", ""},
       "type=actor size=0.065000 puppet=trooper.pup soundclass=blast.snd sprite=blast.spr"},
  };
}

void WriteTemplates(Lines& out, const LevelOptions& options, GeneratedLevel& level) {
  auto list = TemplateList(options.door_chain);
  if (options.moving_scenery) {
    for (auto& scenery : MovingSceneryTemplates()) list.push_back(scenery);
  }
  out.Add("SECTION: TEMPLATES");
  out.Add("World templates " + std::to_string(list.size()));
  out.Add("#Name:\tBased On:\tParams:");
  for (auto& [facts, params] : list) {
    if (facts.name == "door1") out.Add("# the doors, each based on the one before");
    std::string line = facts.name + "\t" + facts.base + "\t" + params;
    if (!facts.own_model.empty()) line += " model3d=" + facts.own_model;
    if (facts.name == "door3") line += Trailing(options, " # size=0.3");
    out.Add(line);
    if (!facts.own_model.empty() && std::find(level.model_files.begin(), level.model_files.end(),
                                              facts.own_model) == level.model_files.end()) {
      level.model_files.push_back(facts.own_model);
    }
    level.templates.push_back(facts);
  }
  out.Add("end");
  out.Add("");
}

// One thing of each template, at the center of a sector in turn; every other
// one has a frame= parameter.
void WriteThings(Lines& out, const std::vector<SectorGeometry>& sectors,
                 const LevelOptions& options, GeneratedLevel& level) {
  out.Add("SECTION: THINGS");
  out.Add("World things " + std::to_string(level.templates.size()));
  out.Add("#num template: name: X: Y: Z: Pitch: Yaw: Roll: Sector: Flags:");
  for (size_t i = 0; i < level.templates.size(); ++i) {
    const std::string& name = level.templates[i].name;
    size_t sector = sectors.empty() ? 0 : i % sectors.size();
    Vec at = sectors.empty() ? Vec{0.25, 0.25, 0.25} : sectors[sector].center;
    Vec turn{0, double(i % 4) * 90, 0};
    std::string line = std::to_string(i) + ": " + name + " " + name + " " + Triple(at, " ") + " ";
    // The thing of the first door goes on on a second line after its position.
    const bool continued = options.game_reader_forms && name == "door1";
    std::string rest = Triple(turn, " ") + " " + std::to_string(sector) + " thingflags=0x" +
                       (name == "walkplayer" ? "401" : "8");
    bool framed = i % 2 == 1;
    if (framed) rest += " frame=(" + Triple(at, "/") + ":" + Triple(turn, "/") + ")";
    if (i == 0) rest += Trailing(options, " # at 1.0 2.0 3.0");
    ThingFacts facts{0, 0, name, framed};
    if (continued) {
      facts.line = out.Add(line + "\\ # its angles follow");
      facts.continued_line = out.Add("\t" + rest);
    } else {
      facts.line = out.Add(line + rest);
    }
    level.things.push_back(facts);
  }
  out.Add("end");
  out.Add("");
}

// The number of the first thing of template `name`; -1 for none.
int ThingOf(const GeneratedLevel& level, const std::string& name) {
  for (size_t i = 0; i < level.things.size(); ++i) {
    if (level.things[i].template_name == name) return int(i);
  }
  return -1;
}

void WriteCogs(Lines& out, const LevelOptions& options, GeneratedLevel& level) {
  level.cog_scripts = {"door.cog", "lift.cog"};
  if (options.moving_scenery) {
    level.cog_scripts.insert(level.cog_scripts.end(), {"mover.cog", "conveyor.cog", "actor.cog"});
  }
  out.Add("SECTION: COGS");
  out.Add("World cogs " + std::to_string(level.cog_scripts.size()));
  out.Add("#Num\tScript\tvalues");
  out.Add("0:\tdoor.cog\t12 13" + Trailing(options, " # the doors.cog"));
  out.Add("1:\tlift.cog\t" + SixDecimals(0.5));
  if (options.moving_scenery) {
    out.Add("2:\tmover.cog\t" + std::to_string(ThingOf(level, "fan")) + " 8.000000 3 1");
    out.Add("3:\tconveyor.cog\t4 5");
    out.Add("4:\tactor.cog\t" + std::to_string(ThingOf(level, "walkplayer")));
  }
  out.Add("end");
}

// ---- Models ----

// Mesh `m` of a model: a box a little larger than the one before, off its
// node's origin. Multiples of 1/64, exact at six decimals.
Box MeshBox(int m) {
  double half_x = 0.125 + 0.0625 * m;
  Vec middle{0.0625 * m, 0.03125, 0.125};
  return {{middle.x - half_x, middle.y - 0.1875, middle.z - 0.25},
          {middle.x + half_x, middle.y + 0.1875, middle.z + 0.25}};
}

constexpr const char* kMeshNames[] = {"body", "lid", "handle"};

// "     3:  0.125000 -0.250000 ..." : the number right-aligned, the values in
// columns, as model files lay them out.
std::string Row(int number, const std::vector<double>& values) {
  char head[32];
  std::snprintf(head, sizeof head, "%6d:", number);
  std::string line = head;
  for (double v : values) {
    char cell[64];
    std::snprintf(cell, sizeof cell, " %10s", SixDecimals(v).c_str());
    line += cell;
  }
  return line;
}

// The largest distance of mesh `m`'s vertices from its node's origin.
double MeshRadius(int m) {
  Box box = MeshBox(m);
  double radius = 0;
  for (int i = 0; i < 8; ++i) radius = std::max(radius, Length(box.Corner(i)));
  return radius;
}

void WriteMesh(Lines& out, int m, GeneratedModel& model) {
  Box box = MeshBox(m);
  out.Add("MESH " + std::to_string(m));
  out.Add(std::string("NAME ") + kMeshNames[m]);
  model.mesh_radius_lines.push_back(out.Add("RADIUS " + SixDecimals(MeshRadius(m))));
  out.Add("GEOMETRYMODE\t4");
  out.Add("LIGHTINGMODE\t3");
  out.Add("TEXTUREMODE\t3");
  out.Add("VERTICES 8");
  out.Add("# num:     x:         y:         z:      i:");
  for (int i = 0; i < 8; ++i) {
    Vec c = box.Corner(i);
    model.vertex_lines.push_back(out.Add(Row(i, {c.x, c.y, c.z, 0})));
  }
  out.Add("TEXTURE VERTICES 4");
  out.Add("# num:     u:         v:");
  const double kTexture[4][2] = {{0, 0}, {32, 0}, {32, 32}, {0, 32}};
  for (int i = 0; i < 4; ++i) {
    model.texture_vertex_lines.push_back(out.Add(Row(i, {kTexture[i][0], kTexture[i][1]})));
  }
  out.Add("VERTEX NORMALS");
  out.Add("# num:     x:         y:         z:");
  const double third = 1 / std::sqrt(3.0);
  for (int i = 0; i < 8; ++i) {
    Vec d{(i & 1) ? third : -third, (i & 2) ? third : -third, (i & 4) ? third : -third};
    model.vertex_normal_lines.push_back(out.Add(Row(i, {d.x, d.y, d.z})));
  }
  out.Add("FACES 6");
  out.Add("#  num:  material:   type:  geo:  light:   tex:  extralight:  verts:");
  for (int f = 0; f < 6; ++f) {
    char head[96];
    std::snprintf(head, sizeof head, "%6d: %9d  0x0000 %5d %7d %6d %12s %7d", f, 0, 4, 3, 0,
                  SixDecimals(0).c_str(), 4);
    std::string line = head;
    for (int i = 0; i < 4; ++i) {
      line += "  " + std::to_string(kFaces[f].corners[i]) + ", " + std::to_string(i);
    }
    model.face_lines.push_back(out.Add(line));
  }
  out.Add("FACE NORMALS");
  out.Add("#  num:     x:         y:         z:");
  for (int f = 0; f < 6; ++f) {
    const Vec& n = kFaces[f].normal;
    model.face_normal_lines.push_back(out.Add(Row(f, {n.x, n.y, n.z})));
  }
  out.Add("");
}

// Node `k` of the chain of `count` nodes: its offset from its parent, its
// yaw and its pivot, all non-zero.
struct Node {
  Vec offset, pivot;
  double yaw;
};
Node NodeOf(int k) {
  double step = k + 1;
  return {{0.0625 * step, -0.03125 * step, 0.125},
          {0.015625 * step, 0.03125, -0.015625 * step},
          15.0 * step};
}

void WriteHierarchy(Lines& out, int meshes, GeneratedModel& model) {
  int count = meshes + 1;
  out.Add("SECTION: HIERARCHYDEF");
  out.Add("HIERARCHY NODES " + std::to_string(count));
  out.Add(
      "#  num:   flags:   type:    mesh:  parent:  child:  sibling:  numChildren:        x:"
      "         y:         z:     pitch:       yaw:      roll:    pivotx:    pivoty:    pivotz:"
      "  hnodename:");
  for (int k = 0; k < count; ++k) {
    Node node = NodeOf(k);
    char head[128];
    std::snprintf(head, sizeof head, "%6d:  0x0000 0x00001 %8d %8d %7d %9d %13d", k,
                  k < meshes ? k : -1, k - 1, k + 1 < count ? k + 1 : -1, -1,
                  k + 1 < count ? 1 : 0);
    std::string line = head;
    for (double v : {node.offset.x, node.offset.y, node.offset.z, 0.0, node.yaw, 0.0, node.pivot.x,
                     node.pivot.y, node.pivot.z}) {
      char cell[64];
      std::snprintf(cell, sizeof cell, " %10s", SixDecimals(v).c_str());
      line += cell;
    }
    line += std::string("  ") + (k < meshes ? kMeshNames[k] : "tip");
    model.node_lines.push_back(out.Add(line));
  }
}

}  // namespace

// Adding 0 turns a negative zero into "0.000000".
std::string SixDecimals(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6f", value + 0.0);
  return text;
}

GeneratedLevel MakeLevel(const LevelOptions& options) {
  GeneratedLevel level;
  std::vector<Box> boxes = SectorBoxes(options);
  std::vector<SectorGeometry> geometry;
  for (const Box& box : boxes) geometry.push_back(GeometryOf(box));

  Lines out;
  out.Add("# A synthetic level of " + std::to_string(boxes.size()) + " sectors");
  out.Add("SECTION: JK");
  out.Add("VERSION 1");
  out.Add("");
  WriteHeader(out, options, level);
  out.Add("SECTION: GEORESOURCE");
  out.Add("World Colormaps 1");
  out.Add("0:\tdflt.cmp");
  out.Add("");
  WriteVertices(out, geometry, options, level);
  WriteAdjoins(out, geometry, options.dist_error, level);
  WriteSurfaces(out, int(boxes.size()), options, level);
  WriteSectors(out, boxes, geometry, options, level);
  WriteTemplates(out, options, level);
  WriteThings(out, geometry, options, level);
  WriteCogs(out, options, level);
  level.text = out.Text();
  return level;
}

namespace {

// A script's lines, with the scaled arguments noted as they are added.
class ScriptLines {
 public:
  void Add(std::string line) { lines_.Add(std::move(line)); }
  // Adds a line with one call to `function` whose arguments `scaled` the
  // run multiplies.
  void AddCall(std::string line, const std::string& function, std::vector<size_t> scaled) {
    int at = lines_.Add(std::move(line));
    for (size_t argument : scaled) script_.scaled.push_back({at, function, argument});
  }
  GeneratedScript Done(std::vector<std::pair<std::string, double>> values) {
    script_.text = lines_.Text();
    script_.values = std::move(values);
    return script_;
  }

 private:
  Lines lines_;
  GeneratedScript script_;
};

}  // namespace

GeneratedScript MakeMoverScript() {
  ScriptLines out;
  out.Add("# mover.cog: a fan that turns, made by jkrescale's level generator");
  out.Add("flags=0x240");
  out.Add("symbols");
  out.Add("message\tstartup");
  out.Add("thing\tfan\t\t\tlinkid=1");
  out.Add("flex\tspeed=4.0\t\tdesc=speed");
  out.Add("surface\tbelt");
  out.Add("vector\tdir");
  out.Add("flex\tnear=1.0");
  out.Add("flex\tfar=4.0\t\tlocal");
  out.Add("keyframe\tspin=fan.key");
  out.Add("sound\thum=fan.wav");
  out.Add("end");
  out.Add("");
  out.Add("# ========================================================");
  out.Add("code");
  out.Add("startup:");
  out.Add("   // MoveToFrame(fan, 1, speed) in a comment is no call");
  out.AddCall("   MoveToFrame(fan, 1, speed);", "MoveToFrame", {2});
  out.AddCall("   movetoframe(fan, 0, 0.5);  # a literal", "movetoframe", {2});
  out.AddCall("   SKIPTOFRAME(fan, 2, (speed + 2) / 2);", "SKIPTOFRAME", {2});
  out.AddCall("   SlideWall(belt, dir, speed * 0.5);", "SlideWall", {2});
  out.AddCall("   PlaySoundThing(hum, fan, 1.0, near, far, 0);", "PlaySoundThing", {3, 4});
  out.AddCall("   PlaySoundPos(hum, GetThingPos(fan), 1.0, -1, -1.0, 0);", "PlaySoundPos", {3, 4});
  out.Add("   PlayKey(fan, spin, 1, 0x4);");
  out.Add("   Print(\"MoveToFrame(fan, 1, 9)\");");
  out.Add("   Sleep(2.0);");
  out.Add("   /* SlideWall(belt, dir, 7); */");
  out.Add("   return;");
  out.Add("");
  out.Add("end");
  // mover.cog's cog line gives fan, speed 8, belt 3, dir 1: near keeps its
  // default, far is local.
  return out.Done({{"speed", 8}, {"near", 1}, {"far", 4}});
}

GeneratedScript MakeConveyorScript() {
  ScriptLines out;
  out.Add("# conveyor.cog: a stock script of the resource archive");
  out.Add("symbols");
  out.Add("message\tstartup");
  out.Add("surface\tbelt");
  out.Add("sound\trumble=belt.wav");
  out.Add("end");
  out.Add("code");
  out.Add("startup:");
  out.AddCall("   SlideSurface(belt, 90, 2.5);", "SlideSurface", {2});
  out.AddCall("   PlaySoundPos(rumble, GetSurfaceCenter(belt), 0.8, 5, 30, 0x1);", "PlaySoundPos",
              {3, 4});
  out.Add("   return;");
  out.Add("end");
  return out.Done({});
}

GeneratedScript MakeActorScript() {
  ScriptLines out;
  out.Add("# actor.cog: plays a keyframe on an actor");
  out.Add("symbols");
  out.Add("message\tstartup");
  out.Add("thing\tvictim");
  out.Add("keyframe\twave=swing.key");
  out.Add("end");
  out.Add("code");
  out.Add("startup:");
  out.Add("   PlayKey(victim, wave, 1, 0);");
  out.Add("   return;");
  out.Add("end");
  return out.Done({});
}

GeneratedText MakeKeyframe(const std::string& name) {
  GeneratedText key;
  Lines out;
  out.Add("# KEYFRAME '" + name + "' made by jkrescale's level generator");
  out.Add("SECTION: HEADER");
  out.Add("FLAGS 0x0000");
  out.Add("TYPE  0x0001");
  out.Add("FRAMES 30");
  out.Add("FPS 15.000");
  out.Add("JOINTS 2");
  out.Add("");
  out.Add("SECTION: MARKERS");
  out.Add("MARKERS 1");
  out.Add("29.000000 0");
  out.Add("");
  out.Add("SECTION: KEYFRAME NODES");
  out.Add("NODES 2");
  for (int node = 0; node < 2; ++node) {
    out.Add("");
    out.Add("NODE " + std::to_string(node));
    out.Add("MESH NAME part" + std::to_string(node));
    out.Add("ENTRIES 2");
    out.Add("");
    out.Add("# num:  frame:  flags:  x:  y:  z:  p:  y:  r:");
    for (int entry = 0; entry < 2; ++entry) {
      double at = 0.125 * (node + 1) + 0.5 * entry;
      key.position_lines.push_back(
          out.Add("  " + std::to_string(entry) + ":  " + std::to_string(15 * entry) + "  0x0000  " +
                  Triple({at, -at, 0.25}, " ") + "  " + Triple({0, 45.0 * entry, 90}, " ")));
      key.velocity_lines.push_back(
          out.Add("        " + Triple({0.0625, -0.25, at}, " ") + "  " + Triple({0, 3, 0}, " ")));
    }
  }
  key.text = out.Text();
  return key;
}

std::string MakePuppet(const std::vector<std::string>& keyframes) {
  Lines out;
  out.Add("# puppet made by jkrescale's level generator");
  out.Add("mode=0");
  const char* submodes[] = {"stand", "walk", "run", "fidget"};
  for (size_t i = 0; i < keyframes.size(); ++i) {
    out.Add(std::string(submodes[i % 4]) + "\t" + keyframes[i] + "\t0x0\t1\t4");
  }
  out.Add("");
  out.Add("joints");
  out.Add("0 0");
  out.Add("end");
  return out.Text();
}

GeneratedText MakeSoundClass() {
  GeneratedText snd;
  Lines out;
  out.Add("# sound class made by jkrescale's level generator");
  snd.position_lines.push_back(out.Add("startmove\tmove01.wav\t0x0\t0.75\t3.5\t1.0"));
  snd.position_lines.push_back(out.Add("moving   hum01.wav  0x1  1.25  6.0  0.8  # loud"));
  snd.position_lines.push_back(out.Add("stopmove\tstop01.wav\t0x0\t0.5\t2.5"));
  snd.text = out.Text();
  return snd;
}

GeneratedText MakeSprite() {
  GeneratedText spr;
  Lines out;
  out.Add("# sprite made by jkrescale's level generator");
  spr.position_lines.push_back(
      out.Add("glow.mat  0  0.125  0.25  4  0  3  0.5  0.0625  -0.125  0.5"));
  spr.text = out.Text();
  return spr;
}

GeneratedModel MakeModel(const std::string& name, int meshes) {
  meshes = std::clamp(meshes, 1, 3);
  GeneratedModel model;
  Lines out;
  out.Add("# MODEL " + name + " made by jkrescale's level generator");
  out.Add("SECTION: HEADER");
  out.Add("3DO 2.1");
  out.Add("");
  out.Add("SECTION: MODELRESOURCE");
  out.Add("MATERIALS 1");
  out.Add("#  num:  name:");
  out.Add("     0:  dflt.mat");
  out.Add("");
  out.Add("SECTION: GEOMETRYDEF");
  // A radius that encloses every mesh wherever the nodes put it: the largest
  // mesh radius and every node's offset and pivot.
  double radius = 0;
  for (int m = 0; m < meshes; ++m) radius = std::max(radius, MeshRadius(m));
  for (int k = 0; k <= meshes; ++k) radius += Length(NodeOf(k).offset) + Length(NodeOf(k).pivot);
  model.radius_line = out.Add("RADIUS " + SixDecimals(radius));
  model.insert_offset_line = out.Add("INSERT OFFSET " + Triple({0.015625, -0.03125, 0.125}, " "));
  out.Add("GEOSETS 1");
  out.Add("GEOSET 0");
  out.Add("MESHES " + std::to_string(meshes));
  for (int m = 0; m < meshes; ++m) WriteMesh(out, m, model);
  WriteHierarchy(out, meshes, model);
  model.text = out.Text();
  return model;
}

}  // namespace jk::levelgen
