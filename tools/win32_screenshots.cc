// jkrescale-win32-screenshots GAME_FOLDER EXPANSION_FOLDER OUT_FOLDER: real
// captures of the Windows program's windows for the README, taken from the
// screen as the system shows them (under Wine in scripts/windows-screenshots.sh):
//   OUT_FOLDER/windows-main-window-archives.bmp  the main window with the
//                                                episode archives
//   OUT_FOLDER/windows-main-window-levels.bmp    an archive opened, a level
//                                                picked
//   OUT_FOLDER/windows-progress-window.bmp       the progress window, models
//                                                being scaled
// The folders are demo folders of jkrescale-demo, with their JK.EXE and
// JKM.EXE in place. The run starts no game; its messages go to standard
// error.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <thread>
#include <vector>

#include "desktop/win32_windows.h"
#include "fake_process_runner.h"
#include "platform/arguments.h"
#include "platform/real_file_system.h"
#include "platform/wide_text.h"
#include "shell/progress_presenter.h"
#include "shell/settings.h"
#include "shell/shell.h"

namespace {

class QuietDialogs : public jk::Dialogs {
 public:
  std::string OpenFile(const std::string&, const std::string&, const std::string&) override {
    return "";
  }
  std::string SaveArchive(const std::string&, const std::string&, const std::string&) override {
    return "";
  }
  int Choose(const std::string&, const std::string&, const std::vector<std::string>&) override {
    return -1;
  }
  void Message(const std::string& text) override {
    std::fprintf(stderr, "jkrescale-win32-screenshots: message: %s\n", text.c_str());
  }
  bool Ask(const std::string& question) override {
    Message(question);
    return false;
  }
  void Notice(const std::string& text) override { Message(text); }
  void About(const std::string& text) override { Message(text); }
};

// The real windows, with the dialogs kept quiet.
class ScreenshotWindows : public jk::WindowSystem {
 public:
  explicit ScreenshotWindows(jk::Win32WindowSystem* real) : real_(real) {}
  jk::MainWindow& main_window() override { return real_->main_window(); }
  jk::ProgressWindow& progress_window() override { return real_->progress_window(); }
  jk::Dialogs& dialogs() override { return dialogs_; }
  void RunUntilClosed() override {}
  void PumpEvents() override { real_->PumpEvents(); }
  void Log(const std::string& line) override { real_->Log(line); }
  void RunInBackground(std::function<void()> work, std::function<void()> done) override {
    real_->RunInBackground(std::move(work), std::move(done));
  }

 private:
  jk::Win32WindowSystem* real_;
  QuietDialogs dialogs_;
};

// Lets the windows draw themselves, and the display show it.
void Settle(jk::Win32WindowSystem& windows) {
  for (int i = 0; i < 10; ++i) {
    windows.PumpEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// Writes what the screen shows of `window`, frame included, as a 24-bit
// BMP file.
bool Capture(HWND window, const std::string& path) {
  RECT rect;
  GetWindowRect(window, &rect);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ before = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, before);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;  // bottom-up, as BMP files have it
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  int stride = (width * 3 + 3) / 4 * 4;
  std::vector<char> pixels(size_t(stride) * size_t(height));
  GetDIBits(memory, bitmap, 0, UINT(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = DWORD(file.bfOffBits + pixels.size());
  std::ofstream out(std::filesystem::path(jk::WideOf(path)), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(pixels.data(), std::streamsize(pixels.size()));
  bool written = bool(out);
  std::printf("%s %s (%dx%d)\n", written ? "wrote" : "could not write", path.c_str(), width,
              height);
  return written;
}

// The choice dialog is modal: a timer, which its message loop runs, takes
// its picture once it shows, and closes it.
std::string choice_shot;
bool choice_shot_written = false;

BOOL CALLBACK CaptureChoice(HWND window, LPARAM) {
  wchar_t window_class[16] = L"";
  GetClassNameW(window, window_class, 16);
  if (std::wstring_view(window_class) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  for (int i = 0; i < 10; ++i) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  choice_shot_written = Capture(window, choice_shot);
  choice_shot.clear();
  PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  return FALSE;
}

void CALLBACK LookForChoice(HWND, UINT, UINT_PTR timer, DWORD) {
  // CaptureChoice lets messages run, this timer's among them.
  static bool looking = false;
  if (looking) return;
  looking = true;
  if (!choice_shot.empty()) EnumThreadWindows(GetCurrentThreadId(), CaptureChoice, 0);
  looking = false;
  if (choice_shot.empty()) KillTimer(nullptr, timer);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args = jk::ProgramArguments(argc, argv);
  if (args.size() != 3) {
    std::fprintf(stderr,
                 "usage: jkrescale-win32-screenshots GAME_FOLDER EXPANSION_FOLDER OUT_FOLDER\n");
    return 2;
  }
  const std::string &game = args[0], &expansion = args[1], &out = args[2];
  namespace files = std::filesystem;
  files::path work = files::temp_directory_path() / "jkrescale-screenshots";
  files::remove_all(work);
  files::create_directories(work);
  std::string work_folder = jk::Utf8Of(work.wstring());

  jk::RealFileSystem fs;
  long long suffix = jk::SettingsSuffix("screenshots");
  if (!jk::WriteSettings(fs, work_folder, suffix, {game + "\\JK.EXE", expansion + "\\JKM.EXE"})
           .ok()) {
    return 1;
  }
  std::unique_ptr<jk::Win32WindowSystem> real;
  if (jk::Status made = jk::Win32WindowSystem::Create(GetModuleHandleW(nullptr), &real);
      !made.ok()) {
    std::fprintf(stderr, "jkrescale-win32-screenshots: %s\n", made.message().c_str());
    return 1;
  }
  ScreenshotWindows ui(real.get());
  std::vector<std::string> log;
  jk::FakeProcessRunner runner(&log);
  jk::Shell shell(fs, ui, runner, {work_folder, "screenshots", {}});
  shell.StartUp();
  HWND main = real->main_window_handle();
  SetWindowPos(main, nullptr, 16, 16, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Settle(*real);
  bool ok = Capture(main, out + "\\windows-main-window-archives.bmp");

  jk::MainWindow& window = ui.main_window();
  jk::MainWindowControls controls = window.controls();
  controls.archive_list.SetSelectedIndex(0);
  shell.OnArchiveActivated();
  controls.archive_list.SetSelectedIndex(0);
  controls.extra_list.SetSelectedIndex(1);
  controls.factor_field.SetText("2");
  SetFocus(jk::FindControl(main, "archive_list"));
  // The line under the factor once the level has been read (in the
  // background, a moment).
  for (int k = 0; k < 100 && controls.player_line.Text().empty(); ++k) Settle(*real);
  Settle(*real);
  ok = Capture(main, out + "\\windows-main-window-levels.bmp") && ok;

  // What the first start offers, with made-up installs.
  choice_shot = out + "\\windows-first-start-finds.bmp";
  SetTimer(nullptr, 0, 50, LookForChoice);
  real->dialogs().Choose(
      jk::kFoundGamesTitle, jk::kFoundGamesText,
      {"Jedi Knight, Steam: C:\\Program Files (x86)\\Steam\\steamapps\\common\\Star Wars "
       "Jedi Knight\\JediKnight.exe",
       "Jedi Knight, GOG: C:\\GOG Games\\Star Wars - Jedi Knight\\JK.EXE",
       "Mysteries of the Sith, Steam: C:\\Program Files (x86)\\Steam\\steamapps\\common\\Jedi "
       "Knight Mysteries of the Sith\\JediKnightM.exe"});
  ok = choice_shot_written && ok;

  // The demo's level is scaled in an instant: the progress window is shown
  // in a state of a longer run, through the program's own presenter.
  window.SetEnabled(false);
  ui.progress_window().Show();
  jk::ProgressPresenter presenter(&ui.progress_window(), &ui);
  presenter.LevelText(1);
  presenter.Models(12, 40);
  Settle(*real);
  ok = Capture(real->progress_window_handle(), out + "\\windows-progress-window.bmp") && ok;
  ui.progress_window().Close();
  window.SetEnabled(true);
  shell.End();
  files::remove_all(work);
  return ok ? 0 : 1;
}
