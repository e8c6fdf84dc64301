// jkrescale: the desktop program. Rescales one level of Jedi Knight or
// Mysteries of the Sith and starts the game on it. Its own folder is the
// work folder, where the settings file lives and every run writes; an
// installed program, which cannot write there, uses the user's data folder.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <string_view>

#include "desktop/qt_windows.h"
#include "launch/work_folder.h"
#include "platform/process.h"
#include "platform/real_file_system.h"
#include "platform/version.h"
#include "shell/settings.h"
#include "shell/shell.h"

int main(int argc, char** argv) {
  // Answered before any window: it needs no display.
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    std::printf("jkrescale %s\n", jk::kVersion);
    return 0;
  }
  QApplication app(argc, argv);
  app.setApplicationName(
      QString::fromUtf8(jk::kApplicationName.data(), qsizetype(jk::kApplicationName.size())));
  app.setOrganizationName(
      QString::fromUtf8(jk::kOrganisationName.data(), qsizetype(jk::kOrganisationName.size())));
  jk::RealFileSystem fs;
  std::string work_folder;
  if (jk::Status found = jk::FindWorkFolder(fs, &work_folder); !found.ok()) {
    QMessageBox::critical(nullptr, "jkrescale", QString::fromStdString(found.message()));
    return 1;
  }
  jk::QtWindowSystem windows;
  std::unique_ptr<jk::ProcessRunner> runner = jk::MakeSystemProcessRunner();
  jk::Shell shell(fs, windows, *runner, jk::DesktopEnvironment(fs, *runner, work_folder));
  shell.Run();
  return 0;
}
