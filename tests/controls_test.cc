// The table of the controls: the keys it gives, and the fakes made from it.
#include "shell/controls.h"

#include <gtest/gtest.h>

#include <set>

#include "fake_windows.h"
#include "platform/path.h"
#include "shell/shell.h"

namespace jk {
namespace {

TEST(MarkedTextTest, MarksTheFirstLetterOfTheKeyAndDoublesAmpersands) {
  struct Case {
    const char* text;
    char key;
    const char* marked;
  };
  for (const Case& c :
       {Case{"Scale and play", 's', "&Scale and play"},
        Case{"Save as mod...", 'o', "Save as m&od..."}, Case{"About (F1)", 't', "Abou&t (F1)"},
        Case{"Browse...", 'e', "Brows&e..."}, Case{"Cancel", 0, "Cancel"},
        Case{"Q&A.gob", 0, "Q&&A.gob"}, Case{"Q&A.gob", 'a', "Q&&&A.gob"}}) {
    EXPECT_EQ(MarkedText(c.text, c.key), c.marked) << c.text;
  }
}

// The key of a control is a letter of its label, and no two controls of a
// window share a key, whichever caption the archive list has.
TEST(ControlTableTest, EveryKeyIsInItsLabelAndUnique) {
  std::set<char> keys;
  for (const ControlInfo& control : kControls) {
    if (control.key == 0) continue;
    EXPECT_NE(ToLowerAscii(control.label).find(control.key), std::string::npos) << control.name;
    EXPECT_TRUE(keys.insert(control.key).second) << control.name;
  }
  std::string episodes = ToLowerAscii(kEpisodesCaption);
  std::string levels = ToLowerAscii(LevelsCaption("x.gob"));
  for (const std::string& caption : {episodes, levels}) {
    char key = caption[caption.find('&') + 1];
    EXPECT_EQ(keys.count(key), 0u) << caption;
  }
}

// The fake windows show the labels and hints of the table.
TEST(ControlTableTest, TheFakesAreMadeFromIt) {
  FakeWindowSystem ui;
  FakeMainWindow& window = ui.main_window_;
  EXPECT_EQ(window.scale_button_.name, "scale_button");
  EXPECT_EQ(window.scale_button_.label, MarkedLabel(InfoOf(ControlId::kScaleButton)));
  EXPECT_EQ(window.start_in_level_check_box_.label,
            MarkedLabel(InfoOf(ControlId::kStartInLevelCheckBox)));
  EXPECT_EQ(window.factor_field_.name, "factor_field");
}

}  // namespace
}  // namespace jk
