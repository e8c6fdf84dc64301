// The synthetic levels and models: their lines where the facts say, their
// geometry as the boxes make it, and the lists a scale run reads.
#include "level_generator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "scaling/text.h"

namespace jk::levelgen {
namespace {

using Names = std::vector<std::string>;

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

struct Point {
  double x, y, z;
  auto operator<=>(const Point&) const = default;
};

// The x y z after the first field of a vertex or normal line.
Point PointOf(const std::string& line) {
  auto f = SplitOnWhiteSpace(Trim(line));
  return {ValueOf(f[1]), ValueOf(f[2]), ValueOf(f[3])};
}

// The vertex indices of a surface line's "vertex,texture vertex" pairs.
std::vector<int> SurfaceVertices(const std::string& line) {
  auto f = SplitOnWhiteSpace(line);
  std::vector<int> vertices;
  for (int i = 0; i < int(ValueOf(f[9])); ++i) vertices.push_back(int(ValueOf(f[10 + i])));
  return vertices;
}

// A one-sector level: the box's corners, its values and no adjoin.
TEST(LevelGeneratorTest, OneSectorLines) {
  GeneratedLevel level = MakeLevel({.sectors = 1});
  auto lines = SplitLines(level.text);
  ASSERT_EQ(level.vertex_lines.size(), 8u);
  const SectorFacts& s = level.sectors.at(0);
  EXPECT_EQ(lines[level.vertex_lines[0] - 1], "0:\t-1.375000\t-0.250000\t0.125000");
  EXPECT_EQ(lines[level.vertex_lines[7] - 1], "7:\t-0.375000\t1.000000\t0.875000");
  EXPECT_EQ(lines[s.boundbox_line - 1],
            "BOUNDBOX\t-1.375000 -0.250000 0.125000 -0.375000 1.000000 0.875000");
  EXPECT_EQ(lines[s.collidebox_line - 1],
            "COLLIDEBOX\t-1.250000 -0.125000 0.250000 -0.500000 0.875000 0.750000");
  EXPECT_EQ(lines[s.sound_line - 1], "SOUND\tambient.wav 1.000000");
  EXPECT_EQ(lines[s.center_line - 1], "CENTER\t-0.875000 0.375000 0.500000");
  // sqrt(0.5² + 0.625² + 0.375²)
  EXPECT_EQ(lines[s.radius_line - 1], "RADIUS\t0.883883");
  EXPECT_EQ(lines[s.surfaces_line - 1], "SURFACES\t0\t6");
  EXPECT_TRUE(level.adjoin_lines.empty());
  EXPECT_NE(level.text.find("\r\nWorld adjoins 0\r\n"), std::string::npos);
}

// Neighbours share a face; its two adjoins mirror each other and measure
// half of their own box's length.
TEST(LevelGeneratorTest, NeighboursShareAFace) {
  GeneratedLevel level = MakeLevel({.sectors = 2});
  auto lines = SplitLines(level.text);
  ASSERT_EQ(level.adjoin_lines.size(), 2u);
  EXPECT_EQ(lines[level.adjoin_lines[0] - 1], "0:\t0x7\t1\t0.500000");
  EXPECT_EQ(lines[level.adjoin_lines[1] - 1], "1:\t0x7\t0\t1.250000");
  EXPECT_EQ(SplitOnWhiteSpace(lines[level.surface_lines[1] - 1])[7], "0");
  EXPECT_EQ(SplitOnWhiteSpace(lines[level.surface_lines[6] - 1])[7], "1");
  std::set<Point> left, right;
  for (int v : SurfaceVertices(lines[level.surface_lines[1] - 1])) {
    left.insert(PointOf(lines[level.vertex_lines[v] - 1]));
  }
  for (int v : SurfaceVertices(lines[level.surface_lines[6] - 1])) {
    right.insert(PointOf(lines[level.vertex_lines[v] - 1]));
  }
  EXPECT_EQ(left.size(), 4u);
  EXPECT_EQ(left, right);
}

// Every surface's normal points out of its box and agrees with the order
// of its corners (counter-clockwise seen from outside).
TEST(LevelGeneratorTest, NormalsPointOutward) {
  GeneratedLevel level = MakeLevel({.sectors = 4});
  auto lines = SplitLines(level.text);
  ASSERT_EQ(level.normal_lines.size(), 24u);
  for (size_t s = 0; s < 24; ++s) {
    Point n = PointOf(lines[level.normal_lines[s] - 1]);
    Point center = PointOf(lines[level.sectors[s / 6].center_line - 1]);
    std::vector<Point> p;
    for (int v : SurfaceVertices(lines[level.surface_lines[s] - 1])) {
      p.push_back(PointOf(lines[level.vertex_lines[v] - 1]));
    }
    ASSERT_EQ(p.size(), 4u);
    Point a{p[1].x - p[0].x, p[1].y - p[0].y, p[1].z - p[0].z};
    Point b{p[2].x - p[0].x, p[2].y - p[0].y, p[2].z - p[0].z};
    Point cross{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    EXPECT_GT(cross.x * n.x + cross.y * n.y + cross.z * n.z, 0) << "surface " << s;
    Point out{p[0].x - center.x, p[0].y - center.y, p[0].z - center.z};
    EXPECT_GT(out.x * n.x + out.y * n.y + out.z * n.z, 0) << "surface " << s;
  }
}

// COLLIDEBOX and SOUND lines go to every n-th sector, or to none.
TEST(LevelGeneratorTest, CollideBoxesAndSounds) {
  GeneratedLevel level = MakeLevel({.sectors = 7, .collide_box_every = 2, .sound_every = 3});
  std::string collide, sound;
  for (const SectorFacts& s : level.sectors) {
    collide += s.collidebox_line ? 'C' : '-';
    sound += s.sound_line ? 'S' : '-';
  }
  EXPECT_EQ(collide, "C-C-C-C");
  EXPECT_EQ(sound, "S--S--S");
  level = MakeLevel({.sectors = 3, .collide_box_every = 0, .sound_every = 0});
  EXPECT_EQ(level.text.find("COLLIDEBOX"), std::string::npos);
  EXPECT_EQ(level.text.find("SOUND"), std::string::npos);
}

// The door chain: each based on the one before, door3 showing door2's model.
TEST(LevelGeneratorTest, TemplateChain) {
  GeneratedLevel level = MakeLevel({.door_chain = 4});
  Names described;
  for (const TemplateFacts& t : level.templates) {
    described.push_back(t.name + " " + t.base + " [" + t.own_model + "] " + t.model);
  }
  EXPECT_EQ(described,
            (Names{"walkplayer _walkplayer [ky.3do] ky.3do", "lamp _decor [lamp.3do] lamp.3do",
                   "crate _walkstruct [crate.3do] crate.3do",
                   "door1 _structure [door1.3do] door1.3do", "door2 door1 [door2.3do] door2.3do",
                   "door3 door2 [] door2.3do", "door4 door3 [door4.3do] door4.3do"}));
  EXPECT_EQ(level.model_files,
            (Names{"ky.3do", "lamp.3do", "crate.3do", "door1.3do", "door2.3do", "door4.3do"}));
  EXPECT_NE(
      level.text.find("\r\ndoor3\tdoor2\tsize=0.150000 movesize=0.150000 height=0.300000\r\n"),
      std::string::npos);
  EXPECT_EQ(level.things.size(), 7u);
  EXPECT_TRUE(level.things[1].has_frame);
  EXPECT_NE(SplitLines(level.text)[level.things[1].line - 1].find(
                " frame=(0.875000/0.375000/0.500000:0.000000/90.000000/0.000000)"),
            std::string::npos);
}

// CR LF ends every line, and a comment line heads every list.
TEST(LevelGeneratorTest, LineBreaksAndColumnTitles) {
  GeneratedLevel level = MakeLevel({.sectors = 2});
  ASSERT_TRUE(level.text.ends_with("end\r\n"));
  for (size_t i = level.text.find('\n'); i != std::string::npos; i = level.text.find('\n', i + 1)) {
    ASSERT_EQ(level.text[i - 1], '\r') << "at byte " << i;
  }
  auto lines = SplitLines(level.text);
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    if (lines[i].starts_with("World ") && !lines[i].starts_with("World sectors") &&
        !lines[i].starts_with("World Colormaps") && !lines[i].starts_with("World Gravity")) {
      EXPECT_EQ(lines[i + 1][0], '#') << lines[i];
    }
  }
}

// A model's meshes, offset and hierarchy, with the counts asked for.
TEST(ModelGeneratorTest, MeshesAndHierarchy) {
  GeneratedModel model = MakeModel("door1.3do", 3);
  auto lines = SplitLines(model.text);
  EXPECT_EQ(lines[0], "# MODEL door1.3do made by jkrescale's level generator");
  EXPECT_EQ(lines[model.insert_offset_line - 1], "INSERT OFFSET 0.015625 -0.031250 0.125000");
  EXPECT_EQ(model.mesh_radius_lines.size(), 3u);
  EXPECT_EQ(model.vertex_lines.size(), 24u);
  EXPECT_EQ(model.face_lines.size(), 18u);
  EXPECT_EQ(lines[model.vertex_lines[0] - 1],
            "     0:  -0.125000  -0.156250  -0.125000   0.000000");
  ASSERT_EQ(model.node_lines.size(), 4u);
  EXPECT_EQ(lines[model.node_lines[0] - 2][0], '#');
  for (int line : model.node_lines) {
    auto f = SplitOnWhiteSpace(Trim(lines[line - 1]));
    ASSERT_EQ(f.size(), 18u);
    for (size_t i : {8, 9, 10, 14, 15, 16}) EXPECT_NE(ValueOf(f[i]), 0) << lines[line - 1];
  }
  EXPECT_EQ(MakeModel("x.3do", 9).mesh_radius_lines.size(), 3u);
  EXPECT_EQ(MakeModel("x.3do", 0).mesh_radius_lines.size(), 1u);
}

}  // namespace
}  // namespace jk::levelgen
