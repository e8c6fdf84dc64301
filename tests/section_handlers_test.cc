// The vertex, template and thing handlers on level lines.
#include <gtest/gtest.h>

#include "scaling/references.h"
#include "scaling/sector_handler.h"
#include "scaling/template_handler.h"
#include "scaling/thing_handler.h"
#include "scaling/vertex_handler.h"
#include "scaling_fixture.h"

namespace jk {
namespace {

using scaling_test::Handled;

struct LineCase {
  const char* line;
  const char* expected;
};

// Vertex lines at factor 2; lines that are not vertex lines stay as read.
TEST(VertexHandlerTest, RewritesVertexLines) {
  const LineCase cases[] = {
      {"0:\t-0.5\t1.25\t2", "0: -1 2.5 4"},
      {"  7: 1 2 3", "7: 2 4 6"},       // indentation trimmed away
      {"1:\t1\t2\t3\t99", "1: 2 4 6"},  // a fifth field is dropped
      {"2:  1\t2\t3", "2: 0 2 4"},      // two blanks: empty x, the rest moves up
      {"3:\tabc\t1e2\t.5", "3: 0 200 1"},
      {"World vertices 8", "World vertices 8"},
      {"", ""},
  };
  VertexHandler handler(2);
  for (const LineCase& c : cases) EXPECT_EQ(Handled(handler, c.line), c.expected) << c.line;
}

// Classic rules: size parameters of templates based directly on a scenery
// base are scaled (keys in lower case) and their lines kept, unscaled, in
// order; all other lines stay as read.
TEST(TemplateHandlerTest, ClassicRulesScaleStructureTemplatesOnly) {
  const LineCase cases[] = {
      {"World templates 3", "World templates 3"},
      {"  crate  _structure\tsize=0.05 movesize=0.05 height=0.1 model3d=crate.3do",
       "crate _structure size=0.1 movesize=0.1 height=0.2 model3d=crate.3do"},
      {"lamp _decor SIZE=0.5 thingflags=0x1 MoveSize=x",
       "lamp _decor size=1 thingflags=0x1 movesize=0"},
      {"bridge _walkstruct height=3", "bridge _walkstruct height=6"},
      {"crate2 crate size=0.05", "crate2 crate size=0.05"},  // only the direct base counts
      {"lamp _Decor size=0.5", "lamp _Decor size=1"},        // the base in any case
      {"walker _actor size=0.1", "walker _actor size=0.1"},
      {"bare _structure", "bare _structure"},
  };
  std::vector<ModelRow> no_models;
  ModelTable table(no_models, no_models);
  ScaledTemplates templates(&table);
  TemplateHandler handler(2, &templates, ScaleRules::kClassic);
  for (const LineCase& c : cases) EXPECT_EQ(Handled(handler, c.line), c.expected);
  EXPECT_EQ(templates.lines(),
            (std::vector<std::string>{
                "crate  _structure\tsize=0.05 movesize=0.05 height=0.1 model3d=crate.3do",
                "lamp _decor SIZE=0.5 thingflags=0x1 MoveSize=x", "bridge _walkstruct height=3",
                "lamp _Decor size=0.5"}));
}

// Game-true rules: a template based on a scenery template defined earlier is
// scenery too, through any number of steps; it shows its base's models
// unless it names its own. Names compare in any letter case, and only
// earlier templates count.
TEST(TemplateHandlerTest, GameTrueRulesFollowChainsOfScenery) {
  const LineCase cases[] = {
      {"door3 door2 size=1", "door3 door2 size=1"},  // door2 is not defined yet
      {"door1 _structure size=0.05 model3d=door.3do", "door1 _structure size=0.1 model3d=door.3do"},
      {"door2 door1 movesize=0.5", "door2 door1 movesize=1"},
      {"door3\tdoor2  height=1 model3d=lid.3do", "door3 door2 height=2 model3d=lid.3do"},
      {"door4 Door1 size=1", "door4 Door1 size=2"},  // names in any case
      {"walker _walkplayer size=0.065", "walker _walkplayer size=0.065"},
      {"walker2 walker size=0.1", "walker2 walker size=0.1"},
  };
  std::vector<ModelRow> models{{{"3do\\door.3do", 1, 1, true}, true},
                               {{"3do\\lid.3do", 2, 1, true}, true}};
  std::vector<ModelRow> no_models;
  ModelTable table(models, no_models);
  ScaledTemplates templates(&table);
  TemplateHandler handler(2, &templates, ScaleRules::kGameTrue);
  for (const LineCase& c : cases) EXPECT_EQ(Handled(handler, c.line), c.expected) << c.line;
  auto names = [&](std::string_view name) {
    std::vector<std::string> found;
    for (const ModelRow* row : templates.ModelsOf(name)) found.push_back(row->entry.name);
    return found;
  };
  EXPECT_EQ(names("door2"), std::vector<std::string>{"3do\\door.3do"});
  EXPECT_EQ(names("DOOR3"), std::vector<std::string>{"3do\\lid.3do"});
  EXPECT_EQ(names("door4"), std::vector<std::string>{"3do\\door.3do"});
  EXPECT_EQ(templates.lines().size(), 4u);
}

// The coordinate rules on regular, short and irregular frame parameters.
TEST(FrameParameterTest, RewritesByTheCoordinateRules) {
  const LineCase cases[] = {
      {"frame=(1/2/3:0/90/0)", " frame=(2/4/6:0/90/0)"},
      {"FRAME=(1/2/3)", " frame=(2/4/6)"},
      {"frame=(1/2/3)junk", " frame=(2/4/6)"},
      {"frame=(1/5:0/0/0)", " frame=(2/10/10:0/0/0)"},  // one "/": y = z
      {"frame=(7:0/0/0)", " frame=(0/0/14:0/0/0)"},     // none: x = y = 0
      {"frame=(1/2/3/4)", " frame=(2/4/8)"},            // more: z after the last
      {"frame=(a/b/c:1)", " frame=(0/0/0:1)"},
      {"frame=:1/2/3:9)", " frame=(2/4/6:1/2/3:9)"},  // tail from the first ":"
      {"frame=(1/2/3", ""},                           // neither ":" nor ")"
      {"frame=", ""},
  };
  for (const LineCase& c : cases) {
    std::string out;
    AppendFrameParameter(c.line, ScaleFactor(2), &out);
    EXPECT_EQ(out, c.expected) << c.line;
  }
}

class ThingHandlerTest : public ::testing::Test {
 protected:
  ThingHandlerTest() { templates_.Append("crate _structure model3d=crate.3do"); }
  std::vector<ModelRow> level_models_{{{"3do\\crate.3do", 100, 10, true}, true}};
  std::vector<ModelRow> no_models_;
  ModelTable table_{level_models_, no_models_};
  ScaledTemplates templates_{&table_};
  std::vector<ModelRow> model_list_;
  ModelLookup lookup_{&templates_, &model_list_};
  ThingHandler handler_{2, &lookup_};
};

// Position and frames scaled, everything else copied.
TEST_F(ThingHandlerTest, ScalesPositionAndFrames) {
  EXPECT_EQ(Handled(handler_, "0: tpl thing1 1 2 3 0 90 0 5 frame=(1/2/3:0/90/0)"),
            "0: tpl thing1 2 4 6 0 90 0 5 frame=(2/4/6:0/90/0)");
  EXPECT_EQ(Handled(handler_,
                    "\t1:  tpl\tt 1 1 1 4 4 4 2 thingflags=0x4 frame=(1/1/1) Frame=(x) "
                    "frame=(1/2/3"),
            "1: tpl t 2 2 2 4 4 4 2 thingflags=0x4 frame=(2/2/2) frame=(0/0/0)");
  EXPECT_TRUE(model_list_.empty());
}

// Thing lines look their template's models up; shorter lines do neither.
TEST_F(ThingHandlerTest, LooksUpModelsOfThingLinesOnly) {
  EXPECT_EQ(Handled(handler_, "World things 2"), "World things 2");
  EXPECT_EQ(Handled(handler_, "0: crate c 1 2 3 0 0 0"), "0: crate c 1 2 3 0 0 0");
  EXPECT_TRUE(model_list_.empty());
  EXPECT_EQ(Handled(handler_, "0: crate c 1 2 3 0 0 0 1"), "0: crate c 2 4 6 0 0 0 1");
  ASSERT_EQ(model_list_.size(), 1u);
  EXPECT_EQ(model_list_[0].entry.name, "3do\\crate.3do");
}

// A handler that only lists the models looks them up and leaves the line as read.
TEST_F(ThingHandlerTest, ListingModelsOnlyLeavesTheLine) {
  handler_.OnlyListModels();
  EXPECT_EQ(Handled(handler_, "1: crate c 1 2 3 0 0 0 1"), "1: crate c 1 2 3 0 0 0 1");
  ASSERT_EQ(model_list_.size(), 1u);
  EXPECT_EQ(model_list_[0].entry.name, "3do\\crate.3do");
}

// Sector blocks: the boxes, the centre and the radius scaled with their
// keyword as read; everything else, SOUND among it, as read.
TEST(SectorHandlerTest, ScalesBoxesCentreAndRadius) {
  const LineCase cases[] = {
      {"World sectors 2", "World sectors 2"},
      {"SECTOR\t0", "SECTOR\t0"},
      {"TINT\t0.10\t0.20\t0.30", "TINT\t0.10\t0.20\t0.30"},
      {"BOUNDBOX\t-0.5 -1 0 0.5 1 0.25", "BOUNDBOX -1 -2 0 1 2 0.5"},
      {"  collidebox  -0.25 -0.5 0.125 0.25 0.5 0.2", "collidebox -0.5 -1 0.25 0.5 1 0.4"},
      {"SOUND\tdrip.wav 0.5", "SOUND\tdrip.wav 0.5"},
      {"CENTER\t0.125 0 0.1", "CENTER 0.25 0 0.2"},
      {"RADIUS\t1.118034", "RADIUS 2.236068"},
      {"RADIUS 1 2", "RADIUS 2 2"},  // one value; more fields stay as read
      {"BOUNDBOX 1 2", "BOUNDBOX 2 4"},
      {"VERTICES\t8", "VERTICES\t8"},
      {"0:\t12", "0:\t12"},
      {"SURFACES\t0\t6", "SURFACES\t0\t6"},
      {"RADIUSES 4", "RADIUSES 4"},
      {"", ""},
  };
  SectorHandler handler(2);
  for (const LineCase& c : cases) EXPECT_EQ(Handled(handler, c.line), c.expected) << c.line;
}

// Only the N lines after "World adjoins N" are adjoins; the surfaces and normals after them stay as
// read.
TEST(AdjoinHandlerTest, ScalesTheDistanceOfTheListedAdjoinsOnly) {
  const LineCase cases[] = {
      {"World adjoins 2", "World adjoins 2"},
      {"0:\t0x7\t1\t0.500000", "0: 0x7 1 1"},
      {"", ""},
      {"1:\t0x7\t0\t0.25", "1: 0x7 0 0.5"},
      {"2:\t0x7\t0\t0.25", "2:\t0x7\t0\t0.25"},
      {"World surfaces 1", "World surfaces 1"},
      {"0:\t0\t0x4\t0x4\t4\t3\t4\t0\t0.0\t4\t0,0\t1,1\t2,2\t3,3",
       "0:\t0\t0x4\t0x4\t4\t3\t4\t0\t0.0\t4\t0,0\t1,1\t2,2\t3,3"},
      {"0:\t0.0\t1.0\t0.0", "0:\t0.0\t1.0\t0.0"},
  };
  AdjoinHandler handler(2);
  for (const LineCase& c : cases) EXPECT_EQ(Handled(handler, c.line), c.expected) << c.line;
}

// A list shorter than its count ends at the surfaces' heading.
TEST(AdjoinHandlerTest, ShortListEndsAtTheSurfaces) {
  AdjoinHandler handler(2);
  EXPECT_EQ(Handled(handler, "World adjoins 3"), "World adjoins 3");
  EXPECT_EQ(Handled(handler, "0: 0x7 1 1"), "0: 0x7 1 2");
  EXPECT_EQ(Handled(handler, "World surfaces 4"), "World surfaces 4");
  EXPECT_EQ(Handled(handler, "0: 0 0x4 0x4 4"), "0: 0 0x4 0x4 4");
}

}  // namespace
}  // namespace jk
