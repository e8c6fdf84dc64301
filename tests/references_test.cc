// The model table, the scaled template list with the model lookup, the cog
// reference handler and the reference list clean-up.
#include <gtest/gtest.h>

#include "scaling/references.h"
#include "scaling_fixture.h"

namespace jk {
namespace {

using scaling_test::Handled;

ModelRow Model(const std::string& name, int64_t offset, bool level) {
  return {{name, offset, 1, true}, level};
}

std::vector<std::string> NamesAndOffsets(const std::vector<ModelRow>& rows) {
  std::vector<std::string> out;
  for (const ModelRow& row : rows) {
    out.push_back(row.entry.name + "@" + std::to_string(row.entry.offset) +
                  (row.from_level_archive ? " level" : " resource"));
  }
  return out;
}

class ModelLookupTest : public ::testing::Test {
 protected:
  std::vector<ModelRow> level_{Model("3do\\crate.3do", 10, true), Model("3do\\crate.3do", 11, true),
                               Model("3do\\sub\\arch.3do", 12, true)};
  std::vector<ModelRow> resource_{Model("3do\\crate.3do", 20, false),
                                  Model("3do\\lamp.3do", 21, false),
                                  Model("3do\\Door.3do", 22, false)};
  ModelTable table_{level_, resource_};
  ScaledTemplates templates_{&table_};
  std::vector<ModelRow> list_;
  ModelLookup lookup_{&templates_, &list_};
};

// The first row of a name wins, the level archive's before the resource's;
// names compare in any letter case, as the game finds its files.
TEST_F(ModelLookupTest, TableGivesTheFirstRowOfAName) {
  EXPECT_EQ(table_.Find("crate.3do"), &level_[0]);
  EXPECT_EQ(table_.Find("CRATE.3do"), &level_[0]);
  EXPECT_EQ(table_.Find("lamp.3do"), &resource_[1]);
  EXPECT_EQ(table_.Find("sub\\arch.3do"), &level_[2]);
  EXPECT_EQ(table_.Find("door.3do"), &resource_[2]);
  EXPECT_EQ(table_.Find("3do\\lamp.3do"), nullptr);
}

// Every stored template of the name (in any letter case), each model3d= in
// order; a row appended once is not appended again.
TEST_F(ModelLookupTest, AppendsTheRowsOfEveryTemplateOfTheName) {
  templates_.Append("crate _structure model3d=lamp.3do size=1 MODEL3D=crate.3do");
  templates_.Append("other _decor model3d=sub\\arch.3do");
  templates_.Append("crate _walkstruct model3d=missing.3do model3d=Door.3do");
  lookup_.Lookup("crate");
  lookup_.Lookup("nothing");
  lookup_.Lookup("Crate");
  EXPECT_EQ(NamesAndOffsets(list_),
            (std::vector<std::string>{"3do\\lamp.3do@21 resource", "3do\\crate.3do@10 level",
                                      "3do\\Door.3do@22 resource"}));
}

// The models named that no table row holds are collected, each once, in
// the order the thing lines meet them; a template without model3d= takes
// its base's.
TEST_F(ModelLookupTest, CollectsModelsNoArchiveHolds) {
  FirstSeenNames missing;
  ModelLookup lookup(&templates_, &list_, &missing);
  templates_.Append("lamp _decor model3d=gone.3do model3d=lamp.3do model3d=door.3do");
  templates_.Append("crate _structure model3d=crate.3do model3d=lost.3do");
  templates_.Append("bigcrate crate size=2", "crate");
  templates_.Append("unused _decor model3d=unused.3do");
  for (const char* name : {"bigcrate", "lamp", "crate", "lamp", "nothing"}) lookup.Lookup(name);
  EXPECT_EQ(missing.names(), (std::vector<std::string>{"lost.3do", "gone.3do"}));
  EXPECT_EQ(templates_.MissingModelsOf("bigcrate"), (std::vector<std::string>{"lost.3do"}));
}

// Cog lines add the first cog table row of their script, named in any
// letter case; lines stay as read.
TEST(CogReferenceHandlerTest, ListsScriptsOfTheLevelArchive) {
  std::vector<EntryRow> table{
      {"cog\\door.cog", 1, 1, true}, {"cog\\door.cog", 2, 1, true}, {"cog\\lift.cog", 3, 1, true}};
  std::vector<EntryRow> list;
  CogReferenceHandler handler(&table, &list);
  const char* lines[] = {"World cogs 4",    "#Num\tScript", "0:\tdoor.cog", "1: rules.cog 0x10",
                         "2:  lift.cog  5", "3: Door.cog",  "lone"};
  for (const char* line : lines) EXPECT_EQ(Handled(handler, line), line);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].name + "@" + std::to_string(list[0].offset), "cog\\door.cog@1");
  EXPECT_EQ(list[1].name + "@" + std::to_string(list[1].offset), "cog\\lift.cog@3");
  EXPECT_EQ(list[2].name + "@" + std::to_string(list[2].offset), "cog\\door.cog@1");
}

// A numbered cog line whose script neither archive holds is collected, once;
// the header, comments and other lines are not cog lines.
TEST(CogReferenceHandlerTest, CollectsScriptsNoArchiveHolds) {
  std::vector<EntryRow> table{{"cog\\door.cog", 1, 1, true}};
  std::vector<EntryRow> resource{{"cog\\rules.cog", 2, 1, true}};
  std::vector<EntryRow> list;
  FirstSeenNames missing;
  CogReferenceHandler handler(&table, &list, &resource, &missing);
  const char* lines[] = {
      "World cogs 6",   "#Num\tScript", "0:\tdoor.cog", "1: rules.cog 0x10", "2:  lost.cog",
      "10: Door.cog 5", "x: odd.cog",   "3: lost.cog",  ": none.cog",        "lone"};
  for (const char* line : lines) EXPECT_EQ(Handled(handler, line), line);
  EXPECT_EQ(missing.names(), (std::vector<std::string>{"lost.cog"}));
  ASSERT_EQ(list.size(), 2u);
}

// Repeated names go; the first row of each name stays, in order.
TEST(RemoveRepeatedRowsTest, KeepsFirstOccurrences) {
  std::vector<EntryRow> cogs{{"A", 1}, {"B", 2}, {"A", 3}, {"C", 4}, {"B", 5}};
  RemoveRepeatedRows(&cogs);
  std::vector<std::string> kept;
  for (const EntryRow& row : cogs) kept.push_back(row.name + std::to_string(row.offset));
  EXPECT_EQ(kept, (std::vector<std::string>{"A1", "B2", "C4"}));

  std::vector<ModelRow> models{Model("3do\\x.3do", 1, true), Model("3do\\x.3do", 2, false),
                               Model("3do\\X.3do", 3, false)};
  RemoveRepeatedRows(&models);
  EXPECT_EQ(NamesAndOffsets(models),
            (std::vector<std::string>{"3do\\x.3do@1 level", "3do\\X.3do@3 resource"}));

  std::vector<ModelRow> empty;
  RemoveRepeatedRows(&empty);
  EXPECT_TRUE(empty.empty());
}

}  // namespace
}  // namespace jk
