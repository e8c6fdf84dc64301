// The dialogs on Win32: the system's open-file and save-file dialogs and
// message boxes, and the dialog that offers a choice, built in memory.
// Part of the Win32 window system (win32_windows.h); Windows only.
#ifndef JKRESCALE_DESKTOP_WIN32_DIALOGS_H_
#define JKRESCALE_DESKTOP_WIN32_DIALOGS_H_

#include <windows.h>

#include <string>
#include <vector>

#include "desktop/win32_top_window.h"
#include "shell/window_interfaces.h"

namespace jk {

class Win32Dialogs : public Dialogs {
 public:
  Win32Dialogs(HINSTANCE instance, const TopWindow* main, const TopWindow* progress)
      : instance_(instance), main_(main), progress_(progress) {}

  std::string OpenFile(const std::string& title, const std::string& folder,
                       const std::string& proposed_name) override;
  std::string SaveArchive(const std::string& title, const std::string& folder,
                          const std::string& proposed_name) override;
  int Choose(const std::string& title, const std::string& text,
             const std::vector<std::string>& items) override;
  bool Ask(const std::string& question) override;
  void Message(const std::string& text) override;
  void Notice(const std::string& text) override;
  void About(const std::string& text) override;

 private:
  struct FileDialogKind {
    const wchar_t* filter;  // as the system takes it: pairs of texts
    bool save;              // else open
  };
  std::string FileDialog(const FileDialogKind& kind, const std::string& title,
                         const std::string& folder, const std::string& proposed_name);
  // The window the dialog belongs to: the progress window while it shows,
  // else the main window while it is open.
  HWND Owner() const {
    HWND progress = progress_->hwnd();
    if (progress != nullptr && IsWindowVisible(progress)) return progress;
    return main_->hwnd();
  }

  HINSTANCE instance_;
  const TopWindow* main_;
  const TopWindow* progress_;
};

}  // namespace jk

#endif  // JKRESCALE_DESKTOP_WIN32_DIALOGS_H_
