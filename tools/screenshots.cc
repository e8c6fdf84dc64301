// jkrescale-screenshots GAME_FOLDER EXPANSION_FOLDER OUT_FOLDER: real
// captures of the desktop program's windows for the README, made with Qt's
// grab on whatever platform Qt runs on (offscreen in scripts/screenshots.sh):
//   OUT_FOLDER/main-window-archives.png  the main window with the episode archives
//   OUT_FOLDER/main-window-levels.png    the main window with an archive opened,
//                                        a level picked and the factor 2, and
//                                        the line that says what it changes
//   OUT_FOLDER/main-window-waiting.png   the main window while the game runs
//   OUT_FOLDER/progress-window.png       the progress window, models being scaled
//   OUT_FOLDER/first-start-finds.png     the first start, offering the games
//                                        found (made-up installs)
// The folders are demo folders of jkrescale-demo, with their JK and JKM in
// place. The run starts no game, and its messages go to standard error.
#include <QApplication>
#include <QInputDialog>
#include <QPixmap>
#include <QThread>
#include <QWidget>
#include <cstdio>
#include <filesystem>

#include "desktop/qt_windows.h"
#include "fake_process_runner.h"
#include "platform/real_file_system.h"
#include "shell/progress_presenter.h"
#include "shell/settings.h"
#include "shell/shell.h"

namespace {

bool Save(const QPixmap& shot, const std::string& path);

// Answers every dialog at once; the dialog offering the games found is
// shown, captured into `choose_shot` and answered with its first item.
class QuietDialogs : public jk::Dialogs {
 public:
  std::string OpenFile(const std::string&, const std::string&, const std::string&) override {
    return "";
  }
  void Message(const std::string& text) override {
    std::fprintf(stderr, "jkrescale-screenshots: message: %s\n", text.c_str());
  }
  bool Ask(const std::string& question) override {
    Message(question);
    return false;
  }
  void Notice(const std::string& text) override { Message(text); }
  void About(const std::string& text) override { Message(text); }
  std::string SaveArchive(const std::string&, const std::string&, const std::string&) override {
    return "";
  }
  int Choose(const std::string& title, const std::string& text,
             const std::vector<std::string>& items) override {
    std::unique_ptr<QInputDialog> dialog = jk::MakeChooseDialog(nullptr, title, text, items);
    dialog->show();
    QApplication::processEvents();
    if (!choose_shot.empty()) saved = Save(dialog->grab(), choose_shot);
    return 0;
  }

  std::string choose_shot;
  bool saved = false;
};

// The real windows, with the progress window captured and the dialogs kept quiet.
class ScreenshotWindows : public jk::WindowSystem {
 public:
  jk::MainWindow& main_window() override { return qt_.main_window(); }
  jk::ProgressWindow& progress_window() override { return qt_.progress_window(); }
  jk::Dialogs& dialogs() override { return dialogs_; }
  void RunUntilClosed() override {}
  void PumpEvents() override { qt_.PumpEvents(); }
  void Log(const std::string& line) override { qt_.Log(line); }
  void RunInBackground(std::function<void()> work, std::function<void()> done) override {
    qt_.RunInBackground(std::move(work), std::move(done));
  }

  jk::QtWindowSystem qt_;
  QuietDialogs dialogs_;
};

bool Save(const QPixmap& shot, const std::string& path) {
  bool saved = shot.save(QString::fromStdString(path));
  std::printf("%s %s (%dx%d)\n", saved ? "wrote" : "could not write", path.c_str(), shot.width(),
              shot.height());
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: jkrescale-screenshots GAME_FOLDER EXPANSION_FOLDER OUT_FOLDER\n");
    return 2;
  }
  namespace files = std::filesystem;
  std::string game = files::absolute(argv[1]).string();
  std::string expansion = files::absolute(argv[2]).string();
  std::string out = argv[3];
  files::path work = files::temp_directory_path() / "jkrescale-screenshots";
  files::remove_all(work);
  files::create_directories(work);

  jk::RealFileSystem fs;
  long long suffix = jk::SettingsSuffix("screenshots");
  if (!jk::WriteSettings(fs, work.string(), suffix,
                         {.game_path = game + "/JK", .expansion_path = expansion + "/JKM"})
           .ok()) {
    return 1;
  }
  ScreenshotWindows ui;
  std::vector<std::string> log;
  jk::FakeProcessRunner runner(&log);
  jk::Shell shell(fs, ui, runner, {.work_folder = work.string(), .identity_text = "screenshots"});
  shell.StartUp();
  QWidget* main_window = ui.qt_.main_window_widget();
  QApplication::processEvents();
  bool ok = Save(main_window->grab(), out + "/main-window-archives.png");

  jk::MainWindowControls controls = ui.main_window().controls();
  controls.archive_list.SetSelectedIndex(0);
  shell.OnArchiveActivated();
  controls.archive_list.SetSelectedIndex(0);
  controls.extra_list.SetSelectedIndex(1);
  controls.factor_field.SetText("2");
  // The line under the factor once the level has been read (in the
  // background, a moment).
  for (int k = 0; k < 500 && controls.player_line.Text().empty(); ++k) {
    QThread::msleep(10);
    QApplication::processEvents();
  }
  QApplication::processEvents();  // and the window laid out again around it
  ok = Save(main_window->grab(), out + "/main-window-levels.png") && ok;

  // While the "game" runs: the main window waits for it.
  runner.on_run = [&](const jk::ProgramStart&) {
    QApplication::processEvents();
    ok = Save(main_window->grab(), out + "/main-window-waiting.png") && ok;
    return jk::Status::Ok();
  };
  shell.OnScaleAndPlay();

  // The demo's level is scaled in an instant: the progress window is shown
  // in a state of a longer run, through the program's own presenter.
  QWidget* progress = ui.qt_.progress_window_widget();
  ui.progress_window().Show();
  jk::ProgressPresenter presenter(&ui.progress_window(), &ui);
  presenter.LevelText(1);
  presenter.Models(12, 40);
  QApplication::processEvents();
  ok = Save(progress->grab(), out + "/progress-window.png") && ok;
  ui.progress_window().Close();
  shell.End();
  files::remove_all(work);

  // A first start, without settings, on a system with three installs.
  files::create_directories(work);
  ui.dialogs_.choose_shot = out + "/first-start-finds.png";
  std::string steam = "/home/player/.local/share/Steam/steamapps/common/";
  std::vector<jk::GameInstall> installs = {
      {jk::InstallKind::kSteam, jk::GameTitle::kJediKnight,
       steam + "Star Wars Jedi Knight/JediKnight.exe", steam + "Star Wars Jedi Knight"},
      {jk::InstallKind::kOpenJkdf2, jk::GameTitle::kJediKnight, "/usr/bin/openjkdf2",
       "/home/player/.local/share/OpenJKDF2/openjkdf2"},
      {jk::InstallKind::kSteam, jk::GameTitle::kMysteriesOfTheSith,
       steam + "Jedi Knight Mysteries of the Sith/JediKnightM.exe",
       steam + "Jedi Knight Mysteries of the Sith"}};
  jk::ShellEnvironment first_start{.work_folder = work.string(), .identity_text = "first"};
  first_start.find_games = [&] { return jk::GameSearch{installs, false}; };
  jk::Shell first(fs, ui, runner, first_start);
  first.StartUp();
  ok = ui.dialogs_.saved && ok;
  files::remove_all(work);
  return ok ? 0 : 1;
}
