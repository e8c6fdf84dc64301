// The game's sky and coordinate limits, as a scale run watches them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scaling/game_limits.h"
#include "scaling/header_step.h"
#include "scaling/thing_handler.h"
#include "scaling/vertex_handler.h"

namespace jk {
namespace {

// The highest sky and the farthest coordinate beyond their limits make one
// sentence each; values within them none.
TEST(LimitWatchTest, WarnsOfTheHighestSkyAndTheFarthestCoordinate) {
  const struct {
    std::vector<double> skies, coordinates;
    std::vector<std::string> warnings;
  } kCases[] = {
      {{15, 1000}, {-10000, 9999.5}, {}},
      {{1500, 1200}, {}, {"Ceiling Sky Z would be 1500, above the 1000 the game draws"}},
      {{},
       {12000, -10000.5},
       {"a coordinate would be 12000, more than 10000 from the origin, where the game's motion "
        "turns jerky"}},
      {{1000.25},
       {-40000, 35000},
       {"Ceiling Sky Z would be 1000.25, above the 1000 the game draws",
        "a coordinate would be -40000, more than 30000 from the origin, where the game's "
        "motion breaks"}},
  };
  for (const auto& c : kCases) {
    LimitWatch watch;
    for (double sky : c.skies) watch.NoteSky(sky);
    for (double coordinate : c.coordinates) watch.NoteCoordinate(coordinate);
    EXPECT_EQ(watch.Warnings(), c.warnings);
  }
}

// Written coordinates are read only when they can pass the limit, and then
// exactly.
TEST(LimitWatchTest, ReadsWrittenCoordinatesBeyondTheLimit) {
  LimitWatch watch;
  for (const char* text : {"9999.99999", "-9999", "10000", "0.5", "-10000.0001", "123"}) {
    watch.NoteWrittenCoordinate(text);
  }
  EXPECT_EQ(watch.Warnings(),
            std::vector<std::string>{"a coordinate would be -10000.0001, more than 10000 from "
                                     "the origin, where the game's motion turns jerky"});
}

// The header step tells the sky height it writes, under either rules; the
// vertex and thing handlers tell the coordinates they write.
TEST(LimitWatchTest, LevelStepsTellWhatTheyWrite) {
  LimitWatch game_true, classic, none;
  HeaderStep(2, false, ScaleRules::kGameTrue, &game_true).Apply("Ceiling Sky Z 600.0 # sky");
  HeaderStep(2, false, ScaleRules::kClassic, &classic).Apply("  ceiling sky z\t1100");
  HeaderStep(2, false, ScaleRules::kClassic, &none).Apply("Ceiling Sky Offset 900 900");
  EXPECT_EQ(game_true.Warnings(),
            std::vector<std::string>{"Ceiling Sky Z would be 1200, above the 1000 the game draws"});
  EXPECT_EQ(classic.Warnings(),
            std::vector<std::string>{"Ceiling Sky Z would be 1100, above the 1000 the game draws"});
  EXPECT_TRUE(none.Warnings().empty());

  LimitWatch vertices;
  VertexHandler vertex_handler(2, &vertices);
  for (std::string line : {"0: 1 -6000 3", "1: 5500 1 1", "2: 1 1 -6500"}) {
    vertex_handler.HandleLine(line);
  }
  EXPECT_EQ(vertices.Warnings(),
            std::vector<std::string>{"a coordinate would be -13000, more than 10000 from the "
                                     "origin, where the game's motion turns jerky"});

  std::vector<ModelRow> no_models, model_list;
  ModelTable table(no_models, no_models);
  ScaledTemplates templates(&table);
  ModelLookup lookup(&templates, &model_list);
  LimitWatch things;
  ThingHandler thing_handler(4, &lookup, &things);
  std::string thing = "0: crate crate 1 2 -8000 0 0 0 0 frame=(1/1/9000:0/0/0)";
  thing_handler.HandleLine(thing);
  EXPECT_EQ(things.Warnings(),
            std::vector<std::string>{"a coordinate would be 36000, more than 30000 from the "
                                     "origin, where the game's motion breaks"});
}

}  // namespace
}  // namespace jk
