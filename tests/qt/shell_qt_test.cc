// The shell on the real Qt widgets, driven with mouse and keyboard events
// on the offscreen platform.
#include <gmock/gmock.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "platform/qt_ui.h"
#include "shell_fixture.h"

namespace jk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class QtShellTest : public ::testing::Test {
 protected:
  QtShellTest() : game_folder_(temp_.Path("game/")), work_(temp_.Path("work")) {
    std::filesystem::create_directories(work_);
    temp_.WriteArchive("game/Episode/ep1.gob", EpisodeArchive());
    temp_.WriteArchive("game/Resource/res2.gob", ExtraArchive());
    jk_ = temp_.WriteFile("game/JK", "x");
    temp_.WriteFile("work/" + SettingsFileName(SettingsSuffix("qt")), jk_ + "\r\n");
    shell_ = std::make_unique<Shell>(fs_, ui_, runner_, ShellEnvironment{work_, "qt"});
    shell_->set_cleanup_pacing({3, std::chrono::milliseconds(0)});
    shell_->StartUp();
  }

  template <typename T>
  T* Find(const char* name) {
    T* widget = ui_.frm1_widget()->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  std::vector<std::string> Lb1Items() {
    std::vector<std::string> items;
    auto* lb1 = Find<QListWidget>("lb1");
    for (int k = 0; k < lb1->count(); ++k) items.push_back(lb1->item(k)->text().toStdString());
    return items;
  }
  QPoint ItemPoint(int row) {
    auto* lb1 = Find<QListWidget>("lb1");
    return lb1->visualItemRect(lb1->item(row)).center();
  }
  // A double-click as a user makes it: the first click, then the second.
  void DoubleClickLb1(int row) {
    QWidget* viewport = Find<QListWidget>("lb1")->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, ItemPoint(row));
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, ItemPoint(row));
  }

  TempFolder temp_;
  std::string game_folder_, work_, jk_;
  RealFileSystem fs_;
  QtWindowSystem ui_;
  FakeLog log_;
  FakeProcessRunner runner_{&log_};
  std::unique_ptr<Shell> shell_;
};

// Every control carries its name.
TEST_F(QtShellTest, ControlsAreNamed) {
  for (const char* name : {"lb1", "lb2", "ed1", "ed2", "scaleby", "cmd1", "cmd2", "chk1",
                           "brs_jk", "brs_mots", "lbl1", "lbl2", "lbl3", "lbl4", "lbl5"}) {
    EXPECT_NE(ui_.frm1_widget()->findChild<QWidget*>(name), nullptr) << name;
  }
  EXPECT_EQ(ui_.frm1_widget()->objectName(), "frm1");
  EXPECT_EQ(ui_.frm2_widget()->objectName(), "frm2");
}

// Typing in ed1 refreshes the lists at every keystroke and colours it.
TEST_F(QtShellTest, TypingInEd1) {
  auto* ed1 = Find<QLineEdit>("ed1");
  EXPECT_THAT(Lb1Items(), ElementsAre("ep1.gob"));
  QTest::keyClick(ed1, Qt::Key_End);
  QTest::keyClicks(ed1, "2");
  EXPECT_EQ(shell_->game_path(), jk_ + "2");
  EXPECT_EQ(ui_.frm1().ed1().Background(), kLightRed);
  EXPECT_THAT(Lb1Items(), ElementsAre("ep1.gob"));
  QTest::keyClick(ed1, Qt::Key_Backspace);
  EXPECT_EQ(ui_.frm1().ed1().Background(), kWhite);
}

// A double-click on an archive shows its levels and makes cmd2 usable.
TEST_F(QtShellTest, DoubleClickingAnArchive) {
  DoubleClickLb1(0);
  EXPECT_THAT(Lb1Items(), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
  EXPECT_TRUE(Find<QPushButton>("cmd2")->isEnabled());
  EXPECT_EQ(Find<QLabel>("lbl3")->text(), "Levels in ep1.gob (pick one):");
  QTest::mouseClick(Find<QPushButton>("cmd2"), Qt::LeftButton);
  EXPECT_THAT(Lb1Items(), ElementsAre("ep1.gob"));
  EXPECT_FALSE(Find<QPushButton>("cmd2")->isEnabled());
}

// Picking a level enables cmd1; clicking it runs the scale and the game.
TEST_F(QtShellTest, PickingALevelAndScaling) {
  DoubleClickLb1(0);
  auto* cmd1 = Find<QPushButton>("cmd1");
  EXPECT_FALSE(cmd1->isEnabled());
  QTest::mouseClick(Find<QListWidget>("lb1")->viewport(), Qt::LeftButton, {}, ItemPoint(1));
  EXPECT_TRUE(cmd1->isEnabled());
  std::vector<std::string> during_game;
  runner_.on_run = [&](const ProgramStart&) {
    during_game = Listing(work_);
    return Status::Ok();
  };
  QTest::mouseClick(cmd1, Qt::LeftButton);
  EXPECT_THAT(log_, ElementsAre("run: " + jk_ + " -debug con -verbose 2 -devmode -windowgui "
                                "-path " + work_));
  EXPECT_THAT(during_game, ::testing::Contains("jkl/two.jkl"));
  EXPECT_FALSE(ui_.frm2_widget()->isVisible());
  EXPECT_TRUE(ui_.frm1_widget()->isEnabled());
  EXPECT_THAT(Listing(work_), ElementsAre(SettingsFileName(SettingsSuffix("qt"))));
}

// A bad factor turns scaleby light red; a good one white again.
TEST_F(QtShellTest, BadFactorColoursScaleby) {
  DoubleClickLb1(0);
  QTest::mouseClick(Find<QListWidget>("lb1")->viewport(), Qt::LeftButton, {}, ItemPoint(0));
  auto* scaleby = Find<QLineEdit>("scaleby");
  scaleby->clear();
  QTest::keyClicks(scaleby, "x");
  QTest::mouseClick(Find<QPushButton>("cmd1"), Qt::LeftButton);
  EXPECT_EQ(ui_.frm1().scaleby().Background(), kLightRed);
  EXPECT_THAT(log_, IsEmpty());
  QTest::keyClick(scaleby, Qt::Key_Backspace);
  QTest::keyClicks(scaleby, "1.5");
  EXPECT_EQ(ui_.frm1().scaleby().Background(), kWhite);
}

// frm2's drawing area keeps its bar and text when it is repainted.
TEST_F(QtShellTest, ProgressAreaKeepsItsDrawing) {
  ui_.frm2().Show();
  DrawingSurface& surface = ui_.frm2().Surface();
  surface.FillBox(0, 0, 100, 32, PackColour(200, 10, 20));
  surface.DrawText(0, 2, "Scaling level...", kWhite);
  surface.PumpEvents();
  QWidget* area = ui_.frm2_widget()->findChild<QWidget*>("frm2_drawing");
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->size(), QSize(200, 32));
  area->repaint();
  QImage shot = area->grab().toImage();
  EXPECT_EQ(shot.pixelColor(150, 30), ui_.frm2_widget()->palette().color(QPalette::Window));
  EXPECT_EQ(shot.pixelColor(90, 30), QColor(200, 10, 20));
  ui_.frm2().Close();
  EXPECT_FALSE(ui_.frm2().Visible());
}

// Counts the paint events of a widget.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

// The screen is updated at most about 30 times a second, but what a run
// drew last is painted before frm2 closes.
TEST_F(QtShellTest, ProgressAreaShowsItsLastStateBeforeClosing) {
  ui_.frm2().Show();
  QWidget* area = ui_.frm2_widget()->findChild<QWidget*>("frm2_drawing");
  ASSERT_NE(area, nullptr);
  QCoreApplication::processEvents();
  PaintCounter counter;
  area->installEventFilter(&counter);
  DrawingSurface& surface = ui_.frm2().Surface();
  surface.FillBox(0, 0, 10, 32, kWhite);
  surface.PumpEvents();
  EXPECT_EQ(counter.paints, 1);
  surface.FillBox(0, 0, 20, 32, kWhite);
  surface.PumpEvents();  // right after the last: not painted yet
  EXPECT_EQ(counter.paints, 1);
  ui_.frm2().Close();
  EXPECT_EQ(counter.paints, 2);
  area->removeEventFilter(&counter);
}

}  // namespace
}  // namespace jk
