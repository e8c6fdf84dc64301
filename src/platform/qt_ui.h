// The window system on Qt 6 Widgets: frm1 and frm2 as real windows, the
// file dialog and message boxes, and Qt's event loop. The widgets carry the
// control names of the program as their object names ("lb1", "ed1",
// "cmd1", ...), so tests and tools find them with findChild.
//
// A QApplication must exist before a QtWindowSystem is made.
#ifndef JKRESCALE_PLATFORM_QT_UI_H_
#define JKRESCALE_PLATFORM_QT_UI_H_

#include <memory>
#include <string>

#include "platform/ui.h"

class QWidget;

namespace jk {

class QtMainWindow;
class QtProgressForm;
class QtDialogs;

class QtWindowSystem : public WindowSystem {
 public:
  QtWindowSystem();
  ~QtWindowSystem() override;

  MainWindow& frm1() override;
  ProgressForm& frm2() override;
  Dialogs& dialogs() override;
  void RunUntilClosed() override;
  void PumpEvents() override;
  void Log(const std::string& line) override;

  // The windows themselves, for tests and screenshots.
  QWidget* frm1_widget();
  QWidget* frm2_widget();

 private:
  std::unique_ptr<QtMainWindow> frm1_;
  std::unique_ptr<QtProgressForm> frm2_;
  std::unique_ptr<QtDialogs> dialogs_;
};

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_QT_UI_H_
