#include "walk_level_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "level_generator.h"

namespace jk::levelgen {

namespace {

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

struct P {
  double x, y, z;
};

struct Surface {
  std::vector<P> corners;
  uint32_t flags = 0x4;
  int adjoin = -1;
  P normal;
};

struct Sector {
  std::vector<Surface> surfaces;
};

// A rectangle at x = `x` over y [y0, y1] and z [z0, z1], facing `nx`.
Surface EndPiece(double x, double y0, double y1, double z0, double z1, double nx) {
  Surface s;
  s.corners = {{x, y0, z0}, {x, y1, z0}, {x, y1, z1}, {x, y0, z1}};
  s.normal = {nx, 0, 0};
  return s;
}

// The end face of a room at x, split around the passage's rectangle (if
// any): the passage piece first, carrying `adjoin`.
void AddEnd(Sector& sector, double x, const Room& room, bool has_passage, double py0, double py1,
            double pz0, double pz1, double nx, int adjoin) {
  const double y0 = -room.width / 2, y1 = room.width / 2;
  if (!has_passage) {
    sector.surfaces.push_back(EndPiece(x, y0, y1, room.floor, room.ceiling, nx));
    return;
  }
  Surface passage = EndPiece(x, py0, py1, pz0, pz1, nx);
  passage.adjoin = adjoin;
  passage.flags = 0x4;
  sector.surfaces.push_back(passage);
  if (pz0 > room.floor) sector.surfaces.push_back(EndPiece(x, y0, y1, room.floor, pz0, nx));
  if (pz1 < room.ceiling) sector.surfaces.push_back(EndPiece(x, y0, y1, pz1, room.ceiling, nx));
  if (py0 > y0) sector.surfaces.push_back(EndPiece(x, y0, py0, pz0, pz1, nx));
  if (py1 < y1) sector.surfaces.push_back(EndPiece(x, py1, y1, pz0, pz1, nx));
}

}  // namespace

WalkLevel MakeWalkLevel(const WalkLevelOptions& options) {
  const auto& rooms = options.rooms;
  const size_t n = rooms.size();
  WalkLevel level;
  level.forward_surfaces.assign(n > 0 ? n - 1 : 0, -1);
  level.backward_surfaces.assign(n > 0 ? n - 1 : 0, -1);

  // The passages: their rectangles and adjoin numbers.
  struct Passage {
    bool open = false;
    double x = 0, y0 = 0, y1 = 0, z0 = 0, z1 = 0;
    int adjoin = -1;  // the forward one; the backward one is adjoin + 1
  };
  std::vector<Passage> passages(n > 0 ? n - 1 : 0);
  std::vector<double> starts(n, 0);
  int adjoins = 0;
  for (size_t i = 0; i < n; ++i) {
    if (i > 0) starts[i] = starts[i - 1] + rooms[i - 1].length;
  }
  for (size_t i = 0; i + 1 < n; ++i) {
    Passage& p = passages[i];
    const Room& a = rooms[i];
    const Room& b = rooms[i + 1];
    p.x = starts[i + 1];
    const double half = std::min(a.width, b.width) / 2;
    p.y0 = -half, p.y1 = half;
    p.z0 = std::max(a.floor, b.floor), p.z1 = std::min(a.ceiling, b.ceiling);
    p.open = p.z1 > p.z0;
    if (p.open) {
      p.adjoin = adjoins;
      adjoins += 2;
    }
  }

  std::vector<Sector> sectors(n);
  for (size_t i = 0; i < n; ++i) {
    const Room& r = rooms[i];
    const double x0 = starts[i], x1 = starts[i] + r.length;
    const double y0 = -r.width / 2, y1 = r.width / 2;
    Sector& s = sectors[i];
    Surface floor;
    floor.corners = {{x0, y0, r.floor}, {x0, y1, r.floor}, {x1, y1, r.floor}, {x1, y0, r.floor}};
    floor.flags = 0x4 | 0x1 | r.floor_flags;
    floor.normal = {0, 0, 1};
    s.surfaces.push_back(floor);
    Surface ceiling;
    ceiling.corners = {
        {x0, y0, r.ceiling}, {x1, y0, r.ceiling}, {x1, y1, r.ceiling}, {x0, y1, r.ceiling}};
    ceiling.normal = {0, 0, -1};
    s.surfaces.push_back(ceiling);
    for (double y : {y0, y1}) {
      Surface wall;
      wall.corners = {{x0, y, r.floor}, {x1, y, r.floor}, {x1, y, r.ceiling}, {x0, y, r.ceiling}};
      wall.normal = {0, y < 0 ? 1.0 : -1.0, 0};
      s.surfaces.push_back(wall);
    }
    const Passage* back = i > 0 ? &passages[i - 1] : nullptr;
    const Passage* ahead = i + 1 < n ? &passages[i] : nullptr;
    AddEnd(s, x0, r, back && back->open, back ? back->y0 : 0, back ? back->y1 : 0,
           back ? back->z0 : 0, back ? back->z1 : 0, 1, back ? back->adjoin + 1 : -1);
    AddEnd(s, x1, r, ahead && ahead->open, ahead ? ahead->y0 : 0, ahead ? ahead->y1 : 0,
           ahead ? ahead->z0 : 0, ahead ? ahead->z1 : 0, -1, ahead ? ahead->adjoin : -1);
  }

  // Numbering: vertices and surfaces in sector order.
  std::vector<P> vertices;
  std::vector<std::string> surface_lines, normal_lines;
  std::vector<int> adjoin_surface(size_t(adjoins), -1);
  std::vector<std::pair<int, int>> sector_surfaces;  // first, count
  std::vector<std::vector<int>> sector_vertices(n);
  for (size_t i = 0; i < n; ++i) {
    sector_surfaces.push_back({int(surface_lines.size()), int(sectors[i].surfaces.size())});
    for (const Surface& s : sectors[i].surfaces) {
      const int index = int(surface_lines.size());
      std::string line = std::to_string(index) + ":\t" + (s.adjoin >= 0 ? "-1" : "0") + "\t" +
                         Hex(s.flags) + "\t0x4\t4\t3\t4\t" + std::to_string(s.adjoin) + "\t" +
                         (options.colour_extra_light ? "0.1\t0.2\t0.3\t0.4" : SixDecimals(0)) +
                         "\t" + std::to_string(s.corners.size());
      for (size_t k = 0; k < s.corners.size(); ++k) {
        sector_vertices[i].push_back(int(vertices.size()));
        line += "\t" + std::to_string(vertices.size()) + "," + std::to_string(k % 4);
        vertices.push_back(s.corners[k]);
      }
      const int lights = options.expansion ? 4 : 1;
      for (size_t k = 0; k < s.corners.size() * size_t(lights); ++k)
        line += "\t" + SixDecimals(0.5);
      surface_lines.push_back(line);
      normal_lines.push_back(std::to_string(index) + ":\t" + SixDecimals(s.normal.x) + "\t" +
                             SixDecimals(s.normal.y) + "\t" + SixDecimals(s.normal.z));
      if (s.adjoin >= 0) {
        adjoin_surface[size_t(s.adjoin)] = index;
        if (s.adjoin % 2 == 0) {
          level.forward_surfaces[i] = index;
        } else {
          level.backward_surfaces[i - 1] = index;
        }
      }
    }
  }

  // The sectors' values, from the vertices they list.
  struct Values {
    P low, high, center;
    double radius = 0;
  };
  std::vector<Values> values(n);
  for (size_t i = 0; i < n; ++i) {
    Values& v = values[i];
    const auto& list = sector_vertices[i];
    if (list.empty()) continue;
    v.low = v.high = vertices[size_t(list[0])];
    P sum{0, 0, 0};
    for (int index : list) {
      const P& p = vertices[size_t(index)];
      v.low = {std::min(v.low.x, p.x), std::min(v.low.y, p.y), std::min(v.low.z, p.z)};
      v.high = {std::max(v.high.x, p.x), std::max(v.high.y, p.y), std::max(v.high.z, p.z)};
      sum = {sum.x + p.x, sum.y + p.y, sum.z + p.z};
    }
    const double count = double(list.size());
    v.center = {sum.x / count, sum.y / count, sum.z / count};
    for (int index : list) {
      const P& p = vertices[size_t(index)];
      v.radius =
          std::max(v.radius, std::hypot(p.x - v.center.x, p.y - v.center.y, p.z - v.center.z));
    }
  }

  std::string t;
  auto add = [&t](const std::string& line) { t += line + "\r\n"; };
  add("# A synthetic level of " + std::to_string(n) + " rooms for the player report");
  add("SECTION: JK");
  add("VERSION 1");
  add("");
  add("SECTION: HEADER");
  add("World Gravity " + SixDecimals(options.gravity));
  add("Ceiling Sky Z " + SixDecimals(15));
  add("");
  add("SECTION: GEORESOURCE");
  add("World Colormaps 1");
  add("0:\tdflt.cmp");
  add("World vertices " + std::to_string(vertices.size()));
  add("#num:\tvertex:");
  for (size_t i = 0; i < vertices.size(); ++i) {
    const P& p = vertices[i];
    add(std::to_string(i) + ":\t" + SixDecimals(p.x) + "\t" + SixDecimals(p.y) + "\t" +
        SixDecimals(p.z));
  }
  add("World texture vertices 4");
  add("#num:\tu:\tv:");
  for (int i = 0; i < 4; ++i)
    add(std::to_string(i) + ":\t" + SixDecimals(i & 1) + "\t" + SixDecimals(i / 2));
  add("World adjoins " + std::to_string(adjoins));
  add("#num:\tflags:\tmirror:\tdist:");
  for (int a = 0; a < adjoins; ++a) {
    const size_t passage = size_t(a / 2);
    size_t room = a % 2 == 0 ? passage : passage + 1;
    const double dist = std::fabs(values[room].center.x - passages[passage].x);
    add(std::to_string(a) + ":\t" + Hex(rooms[passage].passage_flags) + "\t" +
        std::to_string(a ^ 1) + "\t" + SixDecimals(dist));
  }
  add("World surfaces " + std::to_string(surface_lines.size()));
  add("#num:\tmat:\tsurfflags:\tfaceflags:\tgeo:\tlight:\ttex:\tadjoin:\textralight:\tnverts:"
      "\tvertices:\tintensities:");
  for (const std::string& line : surface_lines) add(line);
  add("#--- Surface normals ---");
  for (const std::string& line : normal_lines) add(line);
  add("");
  add("SECTION: SECTORS");
  add("World sectors " + std::to_string(n));
  for (size_t i = 0; i < n; ++i) {
    const Values& v = values[i];
    add("SECTOR\t" + std::to_string(i));
    add("FLAGS\t0x0");
    add("AMBIENT LIGHT\t0.00");
    add("BOUNDBOX\t" + SixDecimals(v.low.x) + " " + SixDecimals(v.low.y) + " " +
        SixDecimals(v.low.z) + " " + SixDecimals(v.high.x) + " " + SixDecimals(v.high.y) + " " +
        SixDecimals(v.high.z));
    add("CENTER\t" + SixDecimals(v.center.x) + " " + SixDecimals(v.center.y) + " " +
        SixDecimals(v.center.z));
    add("RADIUS\t" + SixDecimals(v.radius));
    add("VERTICES\t" + std::to_string(sector_vertices[i].size()));
    for (size_t k = 0; k < sector_vertices[i].size(); ++k) {
      add(std::to_string(k) + ":\t" + std::to_string(sector_vertices[i][k]));
    }
    add("SURFACES\t" + std::to_string(sector_surfaces[i].first) + "\t" +
        std::to_string(sector_surfaces[i].second));
  }
  add("");
  add("SECTION: TEMPLATES");
  add("World templates 3");
  add("#Name:\tBased On:\tParams:");
  add("_humanactor\tnone\ttype=actor size=" + SixDecimals(options.move_size) + " movesize=" +
      SixDecimals(options.move_size) + " jumpspeed=" + SixDecimals(options.jump_speed));
  add("_walkplayer\t_humanactor\ttype=player model3d=ky.3do" +
      (options.height > 0 ? " height=" + SixDecimals(options.height) : std::string()));
  add("walkplayer\t_walkplayer");
  add("end");
  add("");
  add("SECTION: THINGS");
  add("World things 1");
  add("#num template: name: X: Y: Z: Pitch: Yaw: Roll: Sector: Flags:");
  if (n > 0) {
    add("0: walkplayer walkplayer " + SixDecimals(rooms[0].length / 2) + " 0 " +
        SixDecimals(rooms[0].floor + 0.2) + " 0 0 0 0 thingflags=0x401");
  }
  add("end");
  level.text = t;
  return level;
}

std::vector<Room> RoomsOfEveryKind() {
  return {
      {.floor = 0},
      {.floor = 0.1},
      {.floor = 0.4},
      {.floor = -0.1},
      {.length = 1, .floor = -0.1, .ceiling = 0.1},
      {.floor = -0.1},
      {.floor = -0.1, .width = 0.16},
      {.floor = -0.1},
      {.floor = -1.1, .floor_flags = 0x80},
      {.floor = -2.1},
  };
}

std::string MakePlayerModel(double insert_z) {
  std::string model = MakeModel("ky.3do", 1).text;
  const std::string key = "INSERT OFFSET ";
  const size_t at = model.find(key);
  const size_t end = model.find("\r\n", at);
  return model.substr(0, at) + key + SixDecimals(0) + " " + SixDecimals(0) + " " +
         SixDecimals(insert_z) + model.substr(end);
}

}  // namespace jk::levelgen
