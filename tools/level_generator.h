// Synthetic levels (.jkl) and models (.3do) for the tests, written the way
// the common editors write them: every line ends in CR LF, every number has
// six decimals, and every list is headed by its column titles.
//
// A level is a row of boxes along x, one sector each. Each box has its own
// eight corners among the world vertices and six quad surfaces with outward
// normals; consecutive boxes share a face, which carries an adjoin on each
// side. The box sizes and positions are multiples of 1/8 (unless the
// options give others), so that every coordinate is exact at six decimals,
// and they lie off the origin, so that no center is 0. BOUNDBOX, CENTER,
// RADIUS and every adjoin's dist (but for the error the options may ask
// for) are what the six-decimal vertices give, written with six decimals.
//
// Besides the text, a generated level and model tell where their lines are,
// so that a test can change one value and know which line it changed.
#ifndef JKRESCALE_TOOLS_LEVEL_GENERATOR_H_
#define JKRESCALE_TOOLS_LEVEL_GENERATOR_H_

#include <string>
#include <vector>

namespace jk::levelgen {

struct LevelOptions {
  // The number of sectors (boxes); 0 gives a level without geometry.
  int sectors = 3;
  // Sectors 0, n, 2n... have a COLLIDEBOX line, a box inside their own;
  // 0 for none.
  int collide_box_every = 2;
  // Sectors 0, n, 2n... have a SOUND line; 0 for none.
  int sound_every = 3;
  // The length of the template chain door1 (based on _structure), door2
  // (based on door1), door3 (based on door2)... door3 has no model3d= of its
  // own.
  int door_chain = 3;
  // Added to every coordinate of the geometry: 2500 puts the level in the
  // thousands, where numbers carry fewer decimals.
  double offset = 0;
  // When above 0, every sector is a cube of this size in place of the
  // boxes of various lengths.
  double sector_size = 0;
  // Each adjoin's dist is written this much off the true distance, up for
  // even adjoins and down for odd ones, as editors write dist roughly.
  double dist_error = 0;
  // Lines in every form the game reads besides the editors' own: ";"
  // comment lines, trailing "#" comments (after a vertex, a surface, a
  // sector's CENTER, a template, a thing and a cog line, and the sky
  // height), a vertex whose fields are separated by commas, and a thing
  // line continued on the next line with "\". The comments hold numbers and
  // size= parameters that no scale run may touch.
  bool game_reader_forms = false;
  // Scenery that moves, sounds and glows (see kMovingScenery below): the
  // templates fan (_structure), spark (_decor) and trooper (_actor), a
  // thing of each, and cog lines for the scripts MakeMoverScript,
  // MakeConveyorScript and MakeActorScript.
  bool moving_scenery = false;
};

// Where a sector's lines are (line numbers count from 1), and its radius.
struct SectorFacts {
  int sector_line = 0;
  int boundbox_line = 0;
  int collidebox_line = 0;  // 0: the sector has none
  int sound_line = 0;       // 0: the sector has none
  int center_line = 0;
  int radius_line = 0;
  int vertices_line = 0;
  int surfaces_line = 0;
  // The largest distance of its corners from its center, unrounded.
  double radius = 0;
};

struct TemplateFacts {
  std::string name;
  std::string base;
  // Its own model3d= value; "" when it has none.
  std::string own_model;
  // The model its things show: its own, else the nearest base's in the
  // level; "" when neither has one.
  std::string model;
};

struct ThingFacts {
  int line = 0;
  // The line that continues it (game_reader_forms); 0 when it has none.
  int continued_line = 0;
  std::string template_name;
  bool has_frame = false;
};

struct GeneratedLevel {
  std::string text;
  // The line of each world vertex, adjoin and surface (by index), and of
  // each surface normal.
  std::vector<int> vertex_lines;
  std::vector<int> adjoin_lines;
  std::vector<int> surface_lines;
  std::vector<int> normal_lines;
  std::vector<SectorFacts> sectors;
  std::vector<TemplateFacts> templates;
  std::vector<ThingFacts> things;
  // Every model3d= value of the templates, each once, in order of first
  // appearance: the models a scale run of the level looks for.
  std::vector<std::string> model_files;
  std::vector<std::string> cog_scripts;
  // The line of each header value: "World Gravity", "MipMap Distances"...
  int gravity_line = 0;
  int mipmap_line = 0;
  int lod_line = 0;
};

GeneratedLevel MakeLevel(const LevelOptions& options = {});

// `value` with six decimals, as the editors write every number ("0.000000"
// for a negative zero).
std::string SixDecimals(double value);

// Where a model's lines are (line numbers count from 1).
struct GeneratedModel {
  std::string text;
  int radius_line = 0;  // the model's RADIUS
  int insert_offset_line = 0;
  std::vector<int> mesh_radius_lines;
  // Lines of every mesh, in mesh order.
  std::vector<int> vertex_lines;
  std::vector<int> texture_vertex_lines;
  std::vector<int> vertex_normal_lines;
  std::vector<int> face_lines;
  std::vector<int> face_normal_lines;
  std::vector<int> node_lines;
};

// ---- Scenery that moves, sounds and glows ----
//
// With LevelOptions::moving_scenery the level's scenery uses these files:
//   fan.pup (by fan, scenery): fan.key, swing.key
//   trooper.pup (by trooper, an actor): swing.key, walk.key
//   fan.snd (by fan), glow.spr (by fan): the scenery's alone
//   blast.snd, blast.spr (by spark, scenery, and by trooper): shared
// and its cogs section names mover.cog (which plays fan.key on the fan
// thing), conveyor.cog (a stock script, for the resource archive) and
// actor.cog (which plays swing.key on the player).

// A call argument that a scale run multiplies: its line (from 1), the
// function as written, and which argument (from 0).
struct ScaledArgument {
  int line = 0;
  std::string function;
  size_t argument = 0;
};

struct GeneratedScript {
  std::string text;
  std::vector<ScaledArgument> scaled;
  // The values that the level's cog line and the script's defaults give
  // the symbols the scaled arguments use.
  std::vector<std::pair<std::string, double>> values;
};

// mover.cog: speeds as a symbol, a literal and expressions, calls in three
// letter cases, sound ranges as symbols and negative literals, a PlayKey,
// and calls inside a comment and a quoted text that stay.
GeneratedScript MakeMoverScript();
// conveyor.cog: SlideSurface and PlaySoundPos with literals.
GeneratedScript MakeConveyorScript();
// actor.cog: a PlayKey on a thing symbol and nothing else to scale.
GeneratedScript MakeActorScript();

struct GeneratedText {
  std::string text;
  // The lines whose fields `fields` (from 0) hold lengths.
  std::vector<int> position_lines, velocity_lines;
};
// A keyframe of two nodes with two entries each; position_lines hold x y
// z in fields 3 to 5, velocity_lines vx vy vz in fields 0 to 2.
GeneratedText MakeKeyframe(const std::string& name);
// A puppet naming `keyframes`.
std::string MakePuppet(const std::vector<std::string>& keyframes);
// A sound class: position_lines hold minradius and maxradius (fields 3
// and 4).
GeneratedText MakeSoundClass();
// A sprite: its one line in position_lines (fields 2, 3, 8, 9, 10).
GeneratedText MakeSprite();

// A model named `name` ("door1.3do") with `meshes` meshes (1 to 3; others
// are taken as the nearest), each a box of 8 vertices, 4 texture vertices and
// 6 faces with their normals, a non-zero INSERT OFFSET, and a chain of
// meshes + 1 hierarchy nodes (the last without a mesh), each with non-zero
// x y z, a yaw and a non-zero pivot.
GeneratedModel MakeModel(const std::string& name, int meshes = 2);

}  // namespace jk::levelgen

#endif  // JKRESCALE_TOOLS_LEVEL_GENERATOR_H_
