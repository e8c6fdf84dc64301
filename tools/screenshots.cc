// jkrescale-screenshots GAME_FOLDER EXPANSION_FOLDER OUT_FOLDER: real
// captures of the desktop program's windows for the README, made with Qt's
// grab on whatever platform Qt runs on (offscreen in scripts/screenshots.sh):
//   OUT_FOLDER/frm1-archives.png  frm1 with the episode archives listed
//   OUT_FOLDER/frm1-levels.png    frm1 with an archive opened, a level picked
//   OUT_FOLDER/frm2-progress.png  frm2 during a scale run
// The folders are demo folders of jkrescale-demo, with their JK and JKM in
// place. The run starts no game, and its messages go to standard error.
#include <QApplication>
#include <QPixmap>
#include <QWidget>
#include <cstdio>
#include <filesystem>

#include "platform/fake_ui.h"
#include "platform/qt_ui.h"
#include "platform/real_file_system.h"
#include "shell/settings.h"
#include "shell/shell.h"

namespace {

// Forwards to frm2's drawing area and grabs the window after each pump; the
// last capture that shows a percentage wins, else the last capture.
class CapturingSurface : public jk::DrawingSurface {
 public:
  CapturingSurface(jk::DrawingSurface& inner, QWidget* window) : inner_(inner), window_(window) {}
  void FillBox(double x0, double y0, double x1, double y1, jk::Colour colour) override {
    inner_.FillBox(x0, y0, x1, y1, colour);
  }
  void DrawText(double x, double y, const std::string& text, jk::Colour colour) override {
    inner_.DrawText(x, y, text, colour);
    text_ = text;
  }
  void PumpEvents() override {
    inner_.PumpEvents();
    QPixmap shot = window_->grab();
    if (text_.find('%') != std::string::npos || !has_percentage_) capture_ = shot;
    has_percentage_ |= text_.find('%') != std::string::npos;
  }
  const QPixmap& capture() const { return capture_; }

 private:
  jk::DrawingSurface& inner_;
  QWidget* window_;
  std::string text_;
  QPixmap capture_;
  bool has_percentage_ = false;
};

class CapturingForm : public jk::ProgressForm {
 public:
  CapturingForm(jk::ProgressForm& inner, QWidget* window)
      : inner_(inner), surface_(inner.Surface(), window) {}
  void Show() override { inner_.Show(); }
  void Close() override { inner_.Close(); }
  bool Visible() const override { return inner_.Visible(); }
  jk::DrawingSurface& Surface() override { return surface_; }
  const QPixmap& capture() const { return surface_.capture(); }

 private:
  jk::ProgressForm& inner_;
  CapturingSurface surface_;
};

class QuietDialogs : public jk::Dialogs {
 public:
  std::string OpenFile(const std::string&, const std::string&, const std::string&) override {
    return "";
  }
  void Message(const std::string& text) override {
    std::fprintf(stderr, "jkrescale-screenshots: message: %s\n", text.c_str());
  }
};

// The real windows, with frm2 captured and the dialogs kept quiet.
class ScreenshotWindows : public jk::WindowSystem {
 public:
  ScreenshotWindows() : frm2_(qt_.frm2(), qt_.frm2_widget()) {}
  jk::MainWindow& frm1() override { return qt_.frm1(); }
  jk::ProgressForm& frm2() override { return frm2_; }
  jk::Dialogs& dialogs() override { return dialogs_; }
  void RunUntilClosed() override {}
  void PumpEvents() override { qt_.PumpEvents(); }
  void Log(const std::string& line) override { qt_.Log(line); }

  jk::QtWindowSystem qt_;
  CapturingForm frm2_;
  QuietDialogs dialogs_;
};

bool Save(const QPixmap& shot, const std::string& path) {
  bool saved = shot.save(QString::fromStdString(path));
  std::printf("%s %s (%dx%d)\n", saved ? "wrote" : "could not write", path.c_str(),
              shot.width(), shot.height());
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
  if (!jk::WriteSettings(fs, work.string(), suffix, {game + "/JK", expansion + "/JKM"}).ok()) {
    return 1;
  }
  ScreenshotWindows ui;
  jk::FakeLog log;
  jk::FakeProcessRunner runner(&log);
  jk::Shell shell(fs, ui, runner, {work.string(), "screenshots"});
  shell.StartUp();
  QWidget* frm1 = ui.qt_.frm1_widget();
  QApplication::processEvents();
  bool ok = Save(frm1->grab(), out + "/frm1-archives.png");

  jk::MainWindow& window = ui.frm1();
  window.lb1().SetSelectedIndex(0);
  shell.lb1_DblClick();
  window.lb1().SetSelectedIndex(0);
  window.lb2().SetSelectedIndex(1);
  window.scaleby().SetText("2");
  QApplication::processEvents();
  ok = Save(frm1->grab(), out + "/frm1-levels.png") && ok;

  shell.cmd1_Click();
  ok = Save(ui.frm2_.capture(), out + "/frm2-progress.png") && ok;
  shell.End();
  files::remove_all(work);
  return ok ? 0 : 1;
}
