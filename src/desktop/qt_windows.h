// The window system on Qt 6 Widgets: the main window and the progress
// window as real windows, the file dialog and message boxes, and Qt's event
// loop. Each widget carries the name of its part of the window interfaces
// as its object name ("archive_list", "game_path_field", "scale_button",
// ...), so that tests and tools find it with findChild.
//
// A QApplication must exist before a QtWindowSystem is made.
#ifndef JKRESCALE_DESKTOP_QT_WINDOWS_H_
#define JKRESCALE_DESKTOP_QT_WINDOWS_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/window_interfaces.h"

class QInputDialog;
class QWidget;

namespace jk {

class QtMainWindow;
class QtProgressWindow;
class QtDialogs;
class BackgroundWork;

// The dialog of Dialogs::Choose: `text` over a list of `items`, the first
// picked, with OK and Cancel. Its picked item is its textValue().
std::unique_ptr<QInputDialog> MakeChooseDialog(QWidget* parent, const std::string& title,
                                               const std::string& text,
                                               const std::vector<std::string>& items);

class QtWindowSystem : public WindowSystem {
 public:
  QtWindowSystem();
  ~QtWindowSystem() override;

  MainWindow& main_window() override;
  ProgressWindow& progress_window() override;
  Dialogs& dialogs() override;
  void RunUntilClosed() override;
  void PumpEvents() override;
  void Log(const std::string& line) override;
  void RunInBackground(std::function<void()> work, std::function<void()> done) override;

  // The windows themselves, for tests and screenshots.
  QWidget* main_window_widget();
  QWidget* progress_window_widget();

 private:
  std::unique_ptr<QtMainWindow> main_window_;
  std::unique_ptr<QtProgressWindow> progress_window_;
  std::unique_ptr<QtDialogs> dialogs_;
  std::unique_ptr<BackgroundWork> background_;
};

}  // namespace jk

#endif  // JKRESCALE_DESKTOP_QT_WINDOWS_H_
