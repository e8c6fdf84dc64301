// The shell on the real Qt widgets, driven with mouse and keyboard events
// on the offscreen platform.
#include <gmock/gmock.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>
#include <QTimer>

#include "desktop/qt_windows.h"
#include "platform/path.h"
#include "shell/controls.h"
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
    temp_.WriteArchive("game/extras.gob", ExtraArchive());
    jk_ = temp_.WriteFile("game/JK", "x");
    temp_.WriteFile("work/" + SettingsFileName(SettingsSuffix("qt")), jk_ + "\r\n");
    shell_ = std::make_unique<Shell>(
        fs_, ui_, runner_,
        ShellEnvironment{
            .work_folder = work_, .identity_text = "qt", .cleanup_pacing = kQuickCleanup});
    shell_->StartUp();
  }

  template <typename T>
  T* Find(const char* name) {
    T* widget = ui_.main_window_widget()->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  std::vector<std::string> ArchiveListItems() {
    std::vector<std::string> items;
    auto* archive_list = Find<QListWidget>("archive_list");
    for (int k = 0; k < archive_list->count(); ++k)
      items.push_back(archive_list->item(k)->text().toStdString());
    return items;
  }
  QPoint ItemPoint(int row) {
    auto* archive_list = Find<QListWidget>("archive_list");
    return archive_list->visualItemRect(archive_list->item(row)).center();
  }
  // Closes the next message box once it is shown, keeping its text.
  void AnswerNextMessageBox(std::string* text) {
    QTimer::singleShot(10, [this, text] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return AnswerNextMessageBox(text);
      *text = box->text().toStdString();
      box->accept();
    });
  }
  // A double-click as a user makes it: the first click, then the second.
  void DoubleClickArchiveList(int row) {
    QWidget* viewport = Find<QListWidget>("archive_list")->viewport();
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

// Every control is made from the table of the controls: it carries its
// name and shows its text, with its key marked, and its hint.
TEST_F(QtShellTest, ControlsComeFromTheTable) {
  for (const ControlInfo& control : kControls) {
    QWidget* window =
        control.window == WindowId::kMain ? ui_.main_window_widget() : ui_.progress_window_widget();
    auto* widget = window->findChild<QWidget*>(control.name);
    ASSERT_NE(widget, nullptr) << control.name;
    QString text;
    if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget)) text = group->title();
    if (*control.label != 0) EXPECT_EQ(text.toStdString(), MarkedLabel(control)) << control.name;
    if (*control.hint != 0) EXPECT_EQ(widget->toolTip().toStdString(), control.hint);
  }
  EXPECT_EQ(ui_.main_window_widget()->objectName(), "main_window");
  EXPECT_EQ(ui_.progress_window_widget()->objectName(), "progress_window");
}

// Typing in the game path field refreshes the lists at every keystroke and colours it.
TEST_F(QtShellTest, TypingInTheGamePathField) {
  auto* game_path_field = Find<QLineEdit>("game_path_field");
  EXPECT_THAT(ArchiveListItems(), ElementsAre("ep1.gob"));
  QTest::keyClick(game_path_field, Qt::Key_End);
  QTest::keyClicks(game_path_field, "2");
  EXPECT_EQ(game_path_field->text().toStdString(), jk_ + "2");
  EXPECT_EQ(ui_.main_window().controls().game_path_field.Background(), kLightRed);
  EXPECT_THAT(ArchiveListItems(), ElementsAre("ep1.gob"));
  QTest::keyClick(game_path_field, Qt::Key_Backspace);
  EXPECT_EQ(ui_.main_window().controls().game_path_field.Background(), kWhite);
}

// A double-click on an archive shows its levels and makes the back button usable.
TEST_F(QtShellTest, DoubleClickingAnArchive) {
  DoubleClickArchiveList(0);
  EXPECT_THAT(ArchiveListItems(), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
  EXPECT_TRUE(Find<QPushButton>("back_button")->isEnabled());
  EXPECT_EQ(Find<QLabel>("list_caption")->text(), "&Levels in ep1.gob (pick one):");
  QTest::mouseClick(Find<QPushButton>("back_button"), Qt::LeftButton);
  EXPECT_THAT(ArchiveListItems(), ElementsAre("ep1.gob"));
  EXPECT_FALSE(Find<QPushButton>("back_button")->isEnabled());
}

// Picking a level enables Scale and play; clicking it runs the scale and the game.
TEST_F(QtShellTest, PickingALevelAndScaling) {
  DoubleClickArchiveList(0);
  auto* scale_button = Find<QPushButton>("scale_button");
  EXPECT_FALSE(scale_button->isEnabled());
  QTest::mouseClick(Find<QListWidget>("archive_list")->viewport(), Qt::LeftButton, {},
                    ItemPoint(1));
  EXPECT_TRUE(scale_button->isEnabled());
  std::vector<std::string> during_game;
  runner_.on_run = [&](const ProgramStart&) {
    during_game = Listing(work_);
    return Status::Ok();
  };
  QTest::mouseClick(scale_button, Qt::LeftButton);
  EXPECT_THAT(log_, ElementsAre("run: " + jk_ +
                                " -debug con -verbose 2 -devmode -windowgui "
                                "-path " +
                                work_));
  EXPECT_THAT(during_game, ::testing::Contains("jkl/two.jkl"));
  EXPECT_FALSE(ui_.progress_window_widget()->isVisible());
  EXPECT_TRUE(ui_.main_window_widget()->isEnabled());
  EXPECT_THAT(Listing(work_), ElementsAre(SettingsFileName(SettingsSuffix("qt"))));
}

// While the game runs, every control is greyed out but the status line,
// which says so in the window's own text colour; closing the window says
// why it stays. Afterwards the focus is on Scale and play.
TEST_F(QtShellTest, WhileTheGameRuns) {
  DoubleClickArchiveList(0);
  QTest::mouseClick(Find<QListWidget>("archive_list")->viewport(), Qt::LeftButton, {},
                    ItemPoint(1));
  auto* scale = Find<QPushButton>("scale_button");
  auto* status = Find<QLabel>("status_line");
  bool scale_enabled = true, status_enabled = false;
  std::string status_text, message;
  runner_.on_run = [&](const ProgramStart&) {
    scale_enabled = scale->isEnabled();
    status_enabled = status->isEnabled();
    status_text = status->text().toStdString();
    AnswerNextMessageBox(&message);
    ui_.main_window_widget()->close();
    return Status::Ok();
  };
  QTest::mouseClick(scale, Qt::LeftButton);
  EXPECT_FALSE(scale_enabled);
  EXPECT_TRUE(status_enabled);
  EXPECT_EQ(status_text, kWaitingForTheGame);
  EXPECT_EQ(message, kCannotCloseYet);
  EXPECT_TRUE(ui_.main_window_widget()->isVisible());
  EXPECT_EQ(ui_.main_window_widget()->focusWidget(), scale);
}

// What the run left out is in the status line while the game runs, in
// front of the waiting note.
TEST_F(QtShellTest, TheStatusLineSaysWhatWasLeftOutWhileTheGameRuns) {
  temp_.WriteArchive("game/Episode/ep1.gob", ArchiveLeavingOutAModel());
  DoubleClickArchiveList(0);
  QTest::mouseClick(Find<QListWidget>("archive_list")->viewport(), Qt::LeftButton, {},
                    ItemPoint(0));
  std::string status;
  runner_.on_run = [&](const ProgramStart&) {
    status = Find<QLabel>("status_line")->text().toStdString();
    return Status::Ok();
  };
  QTest::mouseClick(Find<QPushButton>("scale_button"), Qt::LeftButton);
  EXPECT_EQ(status,
            "Not found in any archive, so not scaled: models gone.3do. Waiting for the game to "
            "end…");
}

// Everything in the way of a run is named in one message, with what to do.
TEST_F(QtShellTest, WhatIsInTheWayInOneMessage) {
  std::filesystem::create_directories(FsPath(NativeJoin(work_, "cog")));
  std::filesystem::create_directories(FsPath(NativeJoin(work_, "misc")));
  DoubleClickArchiveList(0);
  QTest::mouseClick(Find<QListWidget>("archive_list")->viewport(), Qt::LeftButton, {},
                    ItemPoint(0));
  std::string text;
  AnswerNextMessageBox(&text);
  QTest::mouseClick(Find<QPushButton>("scale_button"), Qt::LeftButton);
  // The box may break a path after each separator (a zero-width space).
  for (size_t at; (at = text.find("\u200B")) != std::string::npos;) text.erase(at, 3);
  EXPECT_EQ(text, "'" + NativeJoin(work_, "cog") + "', '" + NativeJoin(work_, "misc") +
                      "': are in the work folder already and were not left by an earlier run of "
                      "jkrescale; they would be replaced, so nothing was done; move them "
                      "elsewhere, or delete them if they are not yours");
  EXPECT_TRUE(runner_.runs.empty());
}

// An archive that cannot be read is listed greyed, with why as its
// tooltip, and can be neither picked nor opened.
TEST_F(QtShellTest, DamagedArchiveIsGreyed) {
  temp_.WriteFile("game/Episode/broken.gob", EpisodeArchive().Build().substr(0, 30));
  QTest::mouseClick(Find<QPushButton>("refresh_button"), Qt::LeftButton);
  EXPECT_THAT(ArchiveListItems(), ElementsAre("broken.gob", "ep1.gob"));
  QListWidgetItem* broken = Find<QListWidget>("archive_list")->item(0);
  EXPECT_FALSE(broken->flags() & Qt::ItemIsEnabled);
  EXPECT_FALSE(broken->flags() & Qt::ItemIsSelectable);
  EXPECT_EQ(broken->toolTip().toStdString(),
            "This archive cannot be read, so it can be neither opened nor copied: damaged "
            "archive: its directory of 3 entries does not lie inside its 30 bytes");
  DoubleClickArchiveList(0);
  EXPECT_THAT(ArchiveListItems(), ElementsAre("broken.gob", "ep1.gob"));
  EXPECT_EQ(ui_.main_window().controls().archive_list.SelectedIndex(), -1);
}

// The line under the factor says what the factor changes once the level
// picked has been read in the background, and follows the typing at once.
TEST_F(QtShellTest, ThePlayerLineFollowsTheFactor) {
  DoubleClickArchiveList(0);
  auto* factor_field = Find<QLineEdit>("factor_field");
  factor_field->clear();
  QTest::keyClicks(factor_field, "2");
  QTest::mouseClick(Find<QListWidget>("archive_list")->viewport(), Qt::LeftButton, {},
                    ItemPoint(0));
  auto* line = Find<QLabel>("player_line");
  for (int k = 0; k < 500 && line->text().isEmpty(); ++k) {
    QTest::qWait(10);  // the window goes on taking events meanwhile
  }
  EXPECT_EQ(line->text().toStdString(),
            "At ×2: no step too high to climb, no opening too small, no drop that hurts.");
  QTest::keyClicks(factor_field, ".5");
  EXPECT_EQ(line->text().toStdString(),
            "At ×2.5: no step too high to climb, no opening too small, no drop that hurts.");
  EXPECT_GT(line->geometry().top(), factor_field->geometry().bottom());
}

// A bad factor turns the factor field light red; a good one white again.
TEST_F(QtShellTest, BadFactorColoursTheFactorField) {
  DoubleClickArchiveList(0);
  QTest::mouseClick(Find<QListWidget>("archive_list")->viewport(), Qt::LeftButton, {},
                    ItemPoint(0));
  auto* factor_field = Find<QLineEdit>("factor_field");
  factor_field->clear();
  QTest::keyClicks(factor_field, "x");
  std::string message;
  AnswerNextMessageBox(&message);
  QTest::mouseClick(Find<QPushButton>("scale_button"), Qt::LeftButton);
  EXPECT_EQ(message, "scale factor 'x': not a number from 0.001 to 1000");
  EXPECT_EQ(ui_.main_window().controls().factor_field.Background(), kLightRed);
  EXPECT_THAT(log_, IsEmpty());
  QTest::keyClick(factor_field, Qt::Key_Backspace);
  QTest::keyClicks(factor_field, "1.5");
  EXPECT_EQ(ui_.main_window().controls().factor_field.Background(), kWhite);
}

// The factor field shows "0.001" and "1000.5" whole, however narrow the
// window.
TEST_F(QtShellTest, TheFactorFieldFitsItsNumbers) {
  ui_.main_window_widget()->resize(1, 1);  // as narrow as it goes
  QCoreApplication::processEvents();
  auto* factor = Find<QLineEdit>("factor_field");
  QStyleOptionFrame frame;
  frame.initFrom(factor);
  frame.rect = factor->rect();
  frame.lineWidth = factor->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, factor);
  // Inside its frame a line edit keeps 2 pixels a side for its cursor.
  int room =
      factor->style()->subElementRect(QStyle::SE_LineEditContents, &frame, factor).width() - 4;
  for (const char* text : {"0.001", "1000.5"}) {
    EXPECT_LE(factor->fontMetrics().horizontalAdvance(text), room) << text;
  }
}

// The progress window shows its text and its bar as they are set.
TEST_F(QtShellTest, ProgressWindowShowsTextAndBar) {
  ui_.progress_window().Show();
  ui_.progress_window().SetProgress("Scaling models: 3 of 4", 0.75);
  auto* text = ui_.progress_window_widget()->findChild<QLabel*>("progress_text");
  auto* bar = ui_.progress_window_widget()->findChild<QProgressBar*>("progress_bar");
  ASSERT_NE(text, nullptr);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(text->text(), "Scaling models: 3 of 4");
  EXPECT_EQ(bar->value() * 4, bar->maximum() * 3);
  ui_.progress_window().Close();
  EXPECT_FALSE(ui_.progress_window().Visible());
}

// Enter or Space on an episode archive opens it; Enter in the factor field
// is Scale and play once a level is picked.
TEST_F(QtShellTest, TheKeyboardOpensArchivesAndScales) {
  auto* list = Find<QListWidget>("archive_list");
  list->setFocus();
  list->setCurrentRow(0);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_THAT(ArchiveListItems(), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
  QTest::mouseClick(Find<QPushButton>("back_button"), Qt::LeftButton);
  list->setCurrentRow(0);
  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_THAT(ArchiveListItems(), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));

  auto* factor = Find<QLineEdit>("factor_field");
  QTest::keyClick(factor, Qt::Key_Return);  // no level picked: nothing
  EXPECT_THAT(log_, IsEmpty());
  list->setCurrentRow(1);
  QTest::keyClick(factor, Qt::Key_Return);
  EXPECT_THAT(log_, ElementsAre("run: " + jk_ + " -debug con -verbose 2 -devmode -windowgui " +
                                "-path " + work_));
}

// The keys act on the item under the cursor, which a list always has:
// Alt+A goes to the episode archives, where Enter opens the first; the
// list of its levels has its cursor on the first too, and after Alt+L
// Space picks it.
TEST_F(QtShellTest, EnterAndSpaceActOnTheItemUnderTheCursor) {
  ui_.main_window_widget()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(ui_.main_window_widget()));
  auto* factor = Find<QLineEdit>("factor_field");
  auto* list = Find<QListWidget>("archive_list");
  factor->setFocus();
  QTest::keyClick(factor, Qt::Key_A, Qt::AltModifier);
  ASSERT_TRUE(list->hasFocus());
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_THAT(ArchiveListItems(), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
  EXPECT_EQ(list->currentRow(), 0);
  factor->setFocus();
  QTest::keyClick(factor, Qt::Key_L, Qt::AltModifier);
  ASSERT_TRUE(list->hasFocus());
  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_EQ(ui_.main_window().controls().archive_list.SelectedIndex(), 0);
  EXPECT_TRUE(Find<QPushButton>("scale_button")->isEnabled());
}

// Alt and a letter that names no control does nothing: in the level view
// Alt+A (the episode archives' key) and Alt+Z type nothing into the
// focused field, and the list stays as it was.
TEST_F(QtShellTest, AltKeysThatNameNothingDoNothing) {
  DoubleClickArchiveList(0);
  for (const char* name : {"game_path_field", "factor_field"}) {
    auto* field = Find<QLineEdit>(name);
    QString before = field->text();
    field->setFocus();
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClick(field, Qt::Key_A, Qt::AltModifier);
    QTest::keyClick(field, Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(field->text(), before) << name;
  }
  EXPECT_THAT(ArchiveListItems(), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
}

// Every key taken with Alt belongs to one control only, in both modes of
// the archive list.
TEST_F(QtShellTest, EveryKeyIsUnique) {
  auto keys = [this] {
    std::vector<QChar> found;
    QWidget* window = ui_.main_window_widget();
    std::vector<QString> texts;
    for (auto* label : window->findChildren<QLabel*>()) texts.push_back(label->text());
    for (auto* button : window->findChildren<QAbstractButton*>()) texts.push_back(button->text());
    for (const QString& text : texts) {
      for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') found.push_back(text[i + 1].toLower());
        ++i;
      }
    }
    return found;
  };
  for (int mode = 0; mode < 2; ++mode) {
    std::vector<QChar> found = keys();
    std::vector<QChar> unique = found;
    std::sort(unique.begin(), unique.end());
    unique.erase(std::unique(unique.begin(), unique.end()), unique.end());
    EXPECT_EQ(found.size(), unique.size()) << "mode " << mode;
    EXPECT_GE(found.size(), 10u);
    DoubleClickArchiveList(0);
  }
}

// A list that takes the focus puts its cursor on an item, so the user sees
// where the focus is.
TEST_F(QtShellTest, ListsShowTheFocus) {
  for (const char* name : {"archive_list", "extra_list"}) {
    auto* list = Find<QListWidget>(name);
    list->setCurrentRow(-1);
    ui_.main_window_widget()->activateWindow();
    list->setFocus();
    QCoreApplication::processEvents();
    EXPECT_GE(list->currentRow(), 0) << name;
    EXPECT_EQ(list->focusPolicy() & Qt::TabFocus, Qt::TabFocus) << name;
  }
}

// Cancel, and closing the window, ask the run to stop; the window stays
// until the run closes it, and a new run starts afresh.
TEST_F(QtShellTest, ProgressWindowCancels) {
  QWidget* window = ui_.progress_window_widget();
  ui_.progress_window().Show();
  EXPECT_FALSE(ui_.progress_window().CancelRequested());
  QTest::mouseClick(window->findChild<QPushButton*>("cancel_button"), Qt::LeftButton);
  EXPECT_TRUE(ui_.progress_window().CancelRequested());
  ui_.progress_window().Show();
  EXPECT_FALSE(ui_.progress_window().CancelRequested());
  window->close();
  EXPECT_TRUE(ui_.progress_window().CancelRequested());
  EXPECT_TRUE(window->isVisible());
  ui_.progress_window().Close();
  EXPECT_FALSE(window->isVisible());
}

// The progress window is wide enough for its longest text in the system's
// font; sizes are in the font's units, so they grow with the display's scale.
TEST_F(QtShellTest, ProgressTextFits) {
  ui_.progress_window().Show();
  ui_.progress_window().SetProgress("Scaling models: 12345 of 12345", 0.5);
  auto* text = ui_.progress_window_widget()->findChild<QLabel*>("progress_text");
  ASSERT_NE(text, nullptr);
  EXPECT_LE(text->fontMetrics().horizontalAdvance(text->text()), text->width());
  ui_.progress_window().Close();
}

// A message about a long path wraps inside its dialog, which stays on the
// screen.
TEST_F(QtShellTest, LongMessagesWrap) {
  std::string path = "/" + std::string(40, 'a');
  for (int i = 0; i < 6; ++i) path += "/" + std::string(40, char('b' + i));
  int width = 0, screen = 0;
  QTimer::singleShot(10, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    width = box->width();
    screen = box->screen()->availableGeometry().width();
    box->accept();
  });
  ui_.dialogs().Message("'" + path +
                        "': is 300 characters long, more than the 127 the game "
                        "can open; move jkrescale to a shorter folder");
  EXPECT_GT(width, 0);
  EXPECT_LE(width, screen);
}

// "Start in the level" is for OpenJKDF2 only, and unticked while greyed
// out; a click on it is kept in the settings. Save as mod is usable once a
// level is picked.
TEST_F(QtShellTest, StartInTheLevelAndSaveAsMod) {
  auto* start_in_level = Find<QCheckBox>("start_in_level_check_box");
  EXPECT_FALSE(start_in_level->isEnabled());
  EXPECT_FALSE(start_in_level->isChecked());
  std::string engine = temp_.WriteFile("game/openjkdf2", "x");
  Find<QLineEdit>("game_path_field")->setText(QString::fromStdString(engine));
  EXPECT_TRUE(start_in_level->isEnabled());
  EXPECT_TRUE(start_in_level->isChecked());
  QTest::mouseClick(start_in_level, Qt::LeftButton);
  EXPECT_FALSE(start_in_level->isChecked());
  EXPECT_EQ(ReadFile(JoinPath(work_, SettingsFileName(SettingsSuffix("qt")))),
            engine + "\r\n\r\nstart-in-level=0\r\n");

  auto* save_mod = Find<QPushButton>("save_mod_button");
  EXPECT_FALSE(save_mod->isEnabled());
  DoubleClickArchiveList(0);
  QTest::mouseClick(Find<QListWidget>("archive_list")->viewport(), Qt::LeftButton, {},
                    ItemPoint(0));
  EXPECT_TRUE(save_mod->isEnabled());
}

// The main window opens in the middle of the screen, placed there by the
// program rather than left to the window manager, so that a dialog shown
// at once, as the installed games found on the first start are, opens
// over it.
TEST_F(QtShellTest, TheGamesDialogOpensOverTheMainWindow) {
  QWidget* window = ui_.main_window_widget();
  QRect main = window->frameGeometry();
  QRect free = window->screen()->availableGeometry();
  EXPECT_NEAR(main.center().y(), free.center().y(), 4);
  EXPECT_TRUE(free.contains(main.topLeft()));
  QRect dialog;
  QTimer::singleShot(10, [&] {
    auto* shown = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(shown, nullptr);
    dialog = shown->frameGeometry();
    shown->reject();
  });
  ui_.dialogs().Choose(kFoundGamesTitle, kFoundGamesText, {"Jedi Knight, Steam: C:\\JK.EXE"});
  EXPECT_TRUE(main.contains(dialog.center()));
  EXPECT_NEAR(dialog.center().y(), main.center().y(), 4);
}

// A path changed in the level view shows the episodes; the status line and
// the red field's hint say what is missing, the factor field's likewise,
// and both go with their reasons.
TEST_F(QtShellTest, TheStatusLineSaysWhatIsMissing) {
  DoubleClickArchiveList(0);
  auto* game = Find<QLineEdit>("game_path_field");
  auto* status = Find<QLabel>("status_line");
  QTest::keyClick(game, Qt::Key_End);
  QTest::keyClick(game, Qt::Key_Backspace);
  std::string missing = "JK.EXE was not found at " + jk_.substr(0, jk_.size() - 1);
  EXPECT_THAT(ArchiveListItems(), ElementsAre("ep1.gob"));
  EXPECT_EQ(status->text().toStdString(), missing);
  EXPECT_EQ(game->toolTip().toStdString(), missing);
  QTest::keyClicks(game, jk_.substr(jk_.size() - 1).c_str());
  EXPECT_EQ(status->text().toStdString(), "");
  EXPECT_EQ(game->toolTip().toStdString(), "");

  auto* factor = Find<QLineEdit>("factor_field");
  factor->clear();
  QTest::keyClicks(factor, "0");
  EXPECT_EQ(status->text().toStdString(), kBadFactor);
  EXPECT_EQ(factor->toolTip().toStdString(), kBadFactor);
  QTest::keyClicks(factor, ".5");
  EXPECT_EQ(status->text().toStdString(), "");
  EXPECT_EQ(factor->toolTip().toStdString(), kFactorHint);
}

// The extra list starts with "NONE". The factor and the gravity choice
// are kept in the settings as they are set; a path typed, once its field
// is left.
TEST_F(QtShellTest, TheSettingsFollowTheWindow) {
  EXPECT_EQ(Find<QListWidget>("extra_list")->item(0)->text(), "NONE");
  std::string settings = JoinPath(work_, SettingsFileName(SettingsSuffix("qt")));
  auto* factor = Find<QLineEdit>("factor_field");
  factor->clear();
  QTest::keyClicks(factor, "2");
  QTest::mouseClick(Find<QCheckBox>("gravity_check_box"), Qt::LeftButton);
  EXPECT_EQ(ReadFile(settings), jk_ + "\r\n\r\nfactor=2\r\ngravity=1\r\n");

  ui_.main_window_widget()->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(ui_.main_window_widget()));
  auto* expansion = Find<QLineEdit>("expansion_path_field");
  expansion->setFocus();
  QTest::keyClicks(expansion, "/x");
  EXPECT_TRUE(expansion->hasFocus());
  EXPECT_EQ(ReadFile(settings), jk_ + "\r\n\r\nfactor=2\r\ngravity=1\r\n");
  factor->setFocus();
  EXPECT_EQ(ReadFile(settings), jk_ + "\r\n/x\r\nfactor=2\r\ngravity=1\r\n");
}

// The question before a mod replaces a file has Yes and No, No the
// default: Enter answers No.
TEST_F(QtShellTest, TheReplaceQuestionDefaultsToNo) {
  std::string text;
  bool no_is_default = false;
  std::function<void()> answer = [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return QTimer::singleShot(10, answer);
    text = box->text().toStdString();
    no_is_default = box->defaultButton() == box->button(QMessageBox::No);
    QTest::keyClick(box, Qt::Key_Return);
  };
  QTimer::singleShot(10, answer);
  EXPECT_FALSE(ui_.dialogs().Ask(ReplaceArchiveQuestion("canyon-x2.gob")));
  EXPECT_TRUE(no_is_default);
  EXPECT_EQ(text, ReplaceArchiveQuestion("canyon-x2.gob"));
}

// The dialog that offers the games found: a list, the first picked; the
// item picked is what the user clicked.
TEST_F(QtShellTest, ChooseDialog) {
  std::unique_ptr<QInputDialog> dialog =
      MakeChooseDialog(ui_.main_window_widget(), "Installed games found", "Pick one", {"a", "b"});
  dialog->show();
  auto* list = dialog->findChild<QListView*>();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(dialog->textValue(), "a");
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualRect(list->model()->index(1, 0)).center());
  EXPECT_EQ(dialog->textValue(), "b");
}

}  // namespace
}  // namespace jk
