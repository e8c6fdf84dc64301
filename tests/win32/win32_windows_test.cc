// The shell on the real Win32 windows, driven with the messages a user's
// clicks and keys make, and read back through the controls themselves.
#include <gmock/gmock.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cwctype>

#include "desktop/win32_layout.h"
#include "desktop/win32_windows.h"
#include "platform/path.h"
#include "platform/wide_text.h"
#include "shell/controls.h"
#include "shell_fixture.h"

namespace jk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// What the next message box showed, its default button among them; it is
// closed as soon as it shows, with OK or, for a question, with Enter.
struct AnsweredBox {
  bool press_enter = false;
  std::string text;
  int width = 0;
  int screen_width = 0;
  int default_button = 0;
};
AnsweredBox* answering = nullptr;

BOOL CALLBACK AnswerBox(HWND window, LPARAM) {
  wchar_t window_class[16] = L"";
  GetClassNameW(window, window_class, 16);
  if (std::wstring_view(window_class) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  RECT rect;
  GetWindowRect(window, &rect);
  answering->width = rect.right - rect.left;
  answering->screen_width = GetSystemMetrics(SM_CXSCREEN);
  // A message box shows its text in the static control 0xFFFF.
  wchar_t text[2048] = L"";
  GetDlgItemTextW(window, 0xFFFF, text, 2048);
  std::wstring shown = text;
  std::erase(shown, L'\n');
  answering->text = Utf8Of(shown);
  // The button drawn as the default one.
  for (int id : {IDOK, IDYES, IDNO}) {
    HWND button = GetDlgItem(window, id);
    if (button != nullptr && (GetWindowLongPtrW(button, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON) {
      answering->default_button = id;
    }
  }
  bool press_enter = answering->press_enter;
  answering = nullptr;
  if (!press_enter) {
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return FALSE;
  }
  // Enter, where the box has put the focus.
  HWND focus = GetFocus() != nullptr ? GetFocus() : window;
  PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageW(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
  return FALSE;
}

void CALLBACK LookForBox(HWND, UINT, UINT_PTR timer, DWORD) {
  if (answering != nullptr) EnumThreadWindows(GetCurrentThreadId(), AnswerBox, 0);
  if (answering == nullptr) KillTimer(nullptr, timer);
}

// How the next choice dialog is answered: the item to pick (-1 for
// Cancel), and what it showed.
struct AnsweredChoice {
  int pick = -1;
  std::string title;
  std::vector<std::string> items;
};
AnsweredChoice* choosing = nullptr;

BOOL CALLBACK AnswerChoice(HWND window, LPARAM) {
  wchar_t window_class[16] = L"";
  GetClassNameW(window, window_class, 16);
  if (std::wstring_view(window_class) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  HWND list = FindWindowExW(window, nullptr, L"ListBox", nullptr);
  if (list == nullptr) return TRUE;
  wchar_t text[512] = L"";
  GetWindowTextW(window, text, 512);
  choosing->title = Utf8Of(text);
  for (int k = 0; k < SendMessageW(list, LB_GETCOUNT, 0, 0); ++k) {
    SendMessageW(list, LB_GETTEXT, k, reinterpret_cast<LPARAM>(text));
    choosing->items.push_back(Utf8Of(text));
  }
  if (choosing->pick >= 0) {
    SendMessageW(list, LB_SETCURSEL, choosing->pick, 0);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
  } else {
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  }
  choosing = nullptr;
  return FALSE;
}

void CALLBACK LookForChoice(HWND, UINT, UINT_PTR timer, DWORD) {
  if (choosing != nullptr) EnumThreadWindows(GetCurrentThreadId(), AnswerChoice, 0);
  if (choosing == nullptr) KillTimer(nullptr, timer);
}

class Win32ShellTest : public ::testing::Test {
 protected:
  Win32ShellTest() : work_(temp_.Path("work")) {
    std::filesystem::create_directories(FsPath(work_));
    temp_.WriteArchive("game/Episode/ep1.gob", EpisodeArchive());
    temp_.WriteArchive("game/Resource/res2.gob", ExtraArchive());
    temp_.WriteArchive("game/extras.gob", ExtraArchive());
    jk_ = temp_.WriteFile("game/JK.EXE", "x");
    temp_.WriteFile("work/" + SettingsFileName(SettingsSuffix("win32")), jk_ + "\r\n");
    Status made = Win32WindowSystem::Create(GetModuleHandleW(nullptr), &ui_);
    EXPECT_TRUE(made.ok()) << made.message();
    shell_ = std::make_unique<Shell>(fs_, *ui_, runner_,
                                     ShellEnvironment{work_, "win32", kQuickCleanup});
    shell_->StartUp();
    Pump();
  }

  HWND Main() { return ui_->main_window_handle(); }
  HWND Control(const char* name) {
    HWND control = FindControl(Main(), name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  HWND ProgressControl(const char* name) {
    return FindControl(ui_->progress_window_handle(), name);
  }
  void Pump() { ui_->PumpEvents(); }
  std::vector<std::string> Items(const char* name = "archive_list") {
    std::vector<std::string> items;
    HWND list = Control(name);
    for (int k = 0; k < SendMessageW(list, LB_GETCOUNT, 0, 0); ++k) {
      wchar_t text[512] = L"";
      SendMessageW(list, LB_GETTEXT, k, reinterpret_cast<LPARAM>(text));
      items.push_back(Utf8Of(text));
    }
    return items;
  }
  std::string Text(HWND control) {
    wchar_t text[1024] = L"";
    GetWindowTextW(control, text, 1024);
    return Utf8Of(text);
  }
  void Click(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
    Pump();
  }
  // A click on item `item` of the archive list, and a double-click.
  void ClickItem(int item, bool twice = false) {
    HWND list = Control("archive_list");
    RECT rect;
    SendMessageW(list, LB_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rect));
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
    if (twice) {
      SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
      SendMessageW(list, WM_LBUTTONUP, 0, at);
    }
    Pump();
  }
  // Characters typed into a field, one message each (8 is Backspace).
  void Type(HWND field, const std::wstring& text) {
    for (wchar_t c : text) SendMessageW(field, WM_CHAR, c, 1);
    Pump();
  }
  // A key pressed where the focus is, through the window's message loop.
  void Press(UINT key) {
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    Pump();
  }
  // Alt and a letter, as the system passes them on.
  void PressAlt(wchar_t letter) {
    PostMessageW(GetFocus() ? GetFocus() : Main(), WM_SYSCHAR, letter, 1 << 29);
    Pump();
  }
  // The colour the window gives a field to draw its background with.
  COLORREF PaintedBackground(const char* name) {
    HWND field = Control(name);
    HDC dc = GetDC(field);
    SendMessageW(Main(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(field));
    COLORREF colour = GetBkColor(dc);
    ReleaseDC(field, dc);
    return colour;
  }
  // Answers the next choice dialog once it shows.
  void AnswerNextChoice(AnsweredChoice* choice) {
    choosing = choice;
    SetTimer(nullptr, 0, 20, LookForChoice);
  }
  // Closes the next message box once it shows, keeping what it said.
  void AnswerNextMessageBox(AnsweredBox* box) {
    answering = box;
    SetTimer(nullptr, 0, 20, LookForBox);
  }
  // The hint the main window's tooltip shows for `control`.
  std::string Hint(HWND control) {
    HWND tooltip = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) {
          wchar_t window_class[32] = L"";
          GetClassNameW(window, window_class, 32);
          if (std::wstring_view(window_class) != TOOLTIPS_CLASSW) return TRUE;
          *reinterpret_cast<HWND*>(found) = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&tooltip));
    EXPECT_NE(tooltip, nullptr);
    wchar_t hint[256] = L"";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = Main();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = hint;
    SendMessageW(tooltip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    return Utf8Of(hint);
  }
  std::string SettingsText() {
    return ReadFile(JoinPath(work_, SettingsFileName(SettingsSuffix("win32"))));
  }

  TempFolder temp_;
  std::string work_, jk_;
  RealFileSystem fs_;
  std::unique_ptr<Win32WindowSystem> ui_;
  FakeLog log_;
  FakeProcessRunner runner_{&log_};
  std::unique_ptr<Shell> shell_;
};

// Every control is made from the table of the controls: it carries its
// name and shows its text, with its key marked; and the two windows carry
// their names.
TEST_F(Win32ShellTest, ControlsComeFromTheTable) {
  for (const ControlInfo& control : kControls) {
    HWND window = control.window == WindowId::kMain ? Main() : ui_->progress_window_handle();
    HWND made = FindControl(window, control.name);
    ASSERT_NE(made, nullptr) << control.name;
    EXPECT_EQ(ControlName(made), control.name);
    if (*control.label != 0) EXPECT_EQ(Text(made), MarkedLabel(control)) << control.name;
  }
  EXPECT_EQ(ControlName(Main()), "main_window");
  EXPECT_EQ(ControlName(ui_->progress_window_handle()), "progress_window");
  EXPECT_TRUE(IsWindowVisible(Main()));
}

// Typing in the game path field refreshes the lists at every keystroke and colours it.
TEST_F(Win32ShellTest, TypingInTheGamePathField) {
  HWND field = Control("game_path_field");
  EXPECT_THAT(Items(), ElementsAre("ep1.gob"));
  SendMessageW(field, EM_SETSEL, 0x7fff, 0x7fff);
  Type(field, L"2");
  EXPECT_EQ(Text(field), jk_ + "2");
  EXPECT_EQ(PaintedBackground("game_path_field"), RGB(255, 127, 127));
  EXPECT_THAT(Items(), ElementsAre("ep1.gob"));
  Type(field, L"\b");
  EXPECT_EQ(PaintedBackground("game_path_field"), RGB(255, 255, 255));
  // A path typed whole, as pasting does: the lists follow it.
  SetWindowTextW(field, WideOf(temp_.Path("none/JK.EXE")).c_str());
  Pump();
  EXPECT_THAT(Items(), IsEmpty());
}

// A double-click on an archive shows its levels and makes the back button usable.
TEST_F(Win32ShellTest, DoubleClickingAnArchive) {
  ClickItem(0, /*twice=*/true);
  EXPECT_THAT(Items(), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
  EXPECT_TRUE(IsWindowEnabled(Control("back_button")));
  EXPECT_EQ(Text(Control("list_caption")), "&Levels in ep1.gob (pick one):");
  Click(Control("back_button"));
  EXPECT_THAT(Items(), ElementsAre("ep1.gob"));
  EXPECT_FALSE(IsWindowEnabled(Control("back_button")));
  EXPECT_EQ(Text(Control("list_caption")), "Episode &archives (double-click one to open it):");
}

// Picking a level enables Scale and play; clicking it runs the scale and the game.
TEST_F(Win32ShellTest, PickingALevelAndScaling) {
  ClickItem(0, /*twice=*/true);
  HWND scale = Control("scale_button");
  EXPECT_FALSE(IsWindowEnabled(scale));
  ClickItem(1);
  EXPECT_TRUE(IsWindowEnabled(scale));
  std::vector<std::string> during_game;
  runner_.on_run = [&](const ProgramStart&) {
    during_game = Listing(work_);
    return Status::Ok();
  };
  Click(scale);
  ASSERT_EQ(runner_.runs.size(), 1u);
  EXPECT_EQ(runner_.runs[0].program, jk_);
  EXPECT_THAT(during_game, ::testing::Contains("jkl/two.jkl"));
  EXPECT_FALSE(IsWindowVisible(ui_->progress_window_handle()));
  EXPECT_TRUE(IsWindowEnabled(Main()));
  EXPECT_THAT(Listing(work_), ElementsAre(SettingsFileName(SettingsSuffix("win32"))));
}

// While the game runs, every control is greyed out but the status line,
// which says so; the window itself is not, so that closing it (its close
// box, Alt+F4) asks the shell, which says why it stays. Afterwards each
// control is back as it was, and the focus is on Scale and play (the run
// was started with Enter in the factor field).
TEST_F(Win32ShellTest, WhileTheGameRunsTheControlsAreGreyed) {
  ClickItem(0, /*twice=*/true);
  ClickItem(1);
  std::vector<std::string> enabled_during_game;
  bool window_enabled = false, still_open = false;
  AnsweredBox box;
  runner_.on_run = [&](const ProgramStart&) {
    for (const ControlInfo& control : kControls) {
      if (control.window == WindowId::kMain && IsWindowEnabled(Control(control.name))) {
        enabled_during_game.push_back(control.name);
      }
    }
    window_enabled = IsWindowEnabled(Main());
    AnswerNextMessageBox(&box);
    SendMessageW(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    still_open = Main() != nullptr;
    return Status::Ok();
  };
  SetFocus(Control("factor_field"));
  Press(VK_RETURN);
  ASSERT_EQ(runner_.runs.size(), 1u);
  EXPECT_THAT(enabled_during_game, ElementsAre("status_line"));
  EXPECT_TRUE(window_enabled);
  EXPECT_TRUE(still_open);
  EXPECT_EQ(box.text, kCannotCloseYet);
  EXPECT_TRUE(IsWindowEnabled(Control("archive_list")));
  EXPECT_TRUE(IsWindowEnabled(Control("scale_button")));
  EXPECT_FALSE(IsWindowEnabled(Control("start_in_level_check_box")));  // not OpenJKDF2
  EXPECT_EQ(GetFocus(), Control("scale_button"));
}

// What the run left out is in the status line while the game runs, in
// front of the waiting note.
TEST_F(Win32ShellTest, TheStatusLineSaysWhatWasLeftOutWhileTheGameRuns) {
  temp_.WriteArchive("game/Episode/ep1.gob", ArchiveLeavingOutAModel());
  ClickItem(0, /*twice=*/true);
  ClickItem(0);
  std::string status;
  runner_.on_run = [&](const ProgramStart&) {
    status = Text(Control("status_line"));
    return Status::Ok();
  };
  Click(Control("scale_button"));
  EXPECT_EQ(status,
            "Not found in any archive, so not scaled: models gone.3do. Waiting for the game to "
            "end…");
}

// Everything in the way of a run is named in one message, with what to do.
TEST_F(Win32ShellTest, WhatIsInTheWayInOneMessage) {
  std::filesystem::create_directories(FsPath(NativeJoin(work_, "cog")));
  std::filesystem::create_directories(FsPath(NativeJoin(work_, "misc")));
  ClickItem(0, /*twice=*/true);
  ClickItem(0);
  AnsweredBox box;
  AnswerNextMessageBox(&box);
  Click(Control("scale_button"));
  EXPECT_EQ(box.text, "'" + NativeJoin(work_, "cog") + "', '" + NativeJoin(work_, "misc") +
                          "': are in the work folder already and were not left by an earlier "
                          "run of jkrescale; they would be replaced, so nothing was done; move "
                          "them elsewhere, or delete them if they are not yours");
  EXPECT_TRUE(runner_.runs.empty());
}

// How the list draws item `index`: whether any of its pixels has the
// window's text colour, and whether any differs from the background.
struct ItemInk {
  bool text_colour = false;
  bool any = false;
};
ItemInk InkOfItem(HWND list, int index) {
  RECT item{};
  SendMessageW(list, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&item));
  RECT client{};
  GetClientRect(list, &client);
  HDC screen = GetDC(list);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  ItemInk ink;
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT), background = GetSysColor(COLOR_WINDOW);
  for (int y = item.top; y < item.bottom; ++y) {
    for (int x = item.left; x < item.right; ++x) {
      COLORREF pixel = GetPixel(dc, x, y);
      ink.text_colour |= pixel == text;
      ink.any |= pixel != background;
    }
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(list, screen);
  return ink;
}

// An archive that cannot be read is listed greyed, with why after its name;
// a list box lets it be picked, but opening it only says why.
TEST_F(Win32ShellTest, DamagedArchiveSaysWhy) {
  std::string broken =
      temp_.WriteFile("game/Episode/broken.gob", EpisodeArchive().Build().substr(0, 30));
  Click(Control("refresh_button"));
  std::string why =
      "This archive cannot be read, so it can be neither opened nor copied: damaged archive: its "
      "directory of 3 entries does not lie inside its 30 bytes";
  EXPECT_THAT(Items(), ElementsAre("broken.gob - " + why, "ep1.gob"));
  ItemInk damaged = InkOfItem(Control("archive_list"), 0);
  ItemInk readable = InkOfItem(Control("archive_list"), 1);
  EXPECT_TRUE(damaged.any);
  EXPECT_FALSE(damaged.text_colour);
  EXPECT_TRUE(readable.text_colour);
  AnsweredBox box;
  AnswerNextMessageBox(&box);
  ClickItem(0, /*twice=*/true);
  EXPECT_EQ(box.text, "'" + broken + "': " + why);
  EXPECT_THAT(Items(), ElementsAre("broken.gob - " + why, "ep1.gob"));
  EXPECT_FALSE(IsWindowEnabled(Control("back_button")));
}

// Save as mod... goes with a picked level; "Start in the level" only with
// OpenJKDF2 (unticked while greyed out), and a click on it is kept in the
// settings.
TEST_F(Win32ShellTest, SaveAsModAndStartInTheLevel) {
  HWND save = Control("save_mod_button");
  HWND start_in_level = Control("start_in_level_check_box");
  EXPECT_FALSE(IsWindowEnabled(start_in_level));
  EXPECT_EQ(SendMessageW(start_in_level, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  ClickItem(0, /*twice=*/true);
  EXPECT_FALSE(IsWindowEnabled(save));
  ClickItem(1);
  EXPECT_TRUE(IsWindowEnabled(save));
  // The box answers clicks once enabled, and no other call changes it.
  ui_->main_window().controls().start_in_level_check_box.SetEnabled(true);
  ui_->main_window().controls().start_in_level_check_box.SetChecked(true);
  EXPECT_EQ(SendMessageW(start_in_level, BM_GETCHECK, 0, 0), BST_CHECKED);
  Click(start_in_level);
  EXPECT_FALSE(ui_->main_window().controls().start_in_level_check_box.Checked());
}

// A path changed in the level view shows the episodes; the status line and
// the red field's hint say what is missing, the factor field's likewise,
// and both go with their reasons.
TEST_F(Win32ShellTest, TheStatusLineSaysWhatIsMissing) {
  ClickItem(0, /*twice=*/true);
  HWND game = Control("game_path_field");
  HWND status = Control("status_line");
  SendMessageW(game, EM_SETSEL, 0x7fff, 0x7fff);
  Type(game, L"\b");
  std::string missing = "JK.EXE was not found at " + jk_.substr(0, jk_.size() - 1);
  EXPECT_THAT(Items(), ElementsAre("ep1.gob"));
  EXPECT_EQ(Text(status), missing);
  EXPECT_EQ(Hint(game), missing);
  Type(game, L"E");
  EXPECT_EQ(Text(status), "");
  EXPECT_EQ(Hint(game), "");

  HWND factor = Control("factor_field");
  SetWindowTextW(factor, L"");
  Type(factor, L"0");
  EXPECT_EQ(Text(status), kBadFactor);
  EXPECT_EQ(Hint(factor), kBadFactor);
  Type(factor, L".5");
  EXPECT_EQ(Text(status), "");
  EXPECT_EQ(Hint(factor), kFactorHint);
}

// The extra list starts with "NONE". The factor and the gravity choice
// are kept in the settings as they are set; a path typed, once its field
// is left.
TEST_F(Win32ShellTest, TheSettingsFollowTheWindow) {
  EXPECT_EQ(Items("extra_list").at(0), "NONE");
  HWND factor = Control("factor_field");
  SetWindowTextW(factor, L"");
  Type(factor, L"2");
  Click(Control("gravity_check_box"));
  EXPECT_EQ(SettingsText(), jk_ + "\r\n\r\nfactor=2\r\ngravity=1\r\n");

  HWND expansion = Control("expansion_path_field");
  SetFocus(expansion);
  Type(expansion, L"C:\\x");
  EXPECT_EQ(SettingsText(), jk_ + "\r\n\r\nfactor=2\r\ngravity=1\r\n");
  SetFocus(factor);
  Pump();
  EXPECT_EQ(SettingsText(), jk_ + "\r\nC:\\x\r\nfactor=2\r\ngravity=1\r\n");
}

// The question before a mod replaces a file has Yes and No, No the
// default: Enter answers No.
TEST_F(Win32ShellTest, TheReplaceQuestionDefaultsToNo) {
  AnsweredBox question{.press_enter = true};
  AnswerNextMessageBox(&question);
  EXPECT_FALSE(ui_->dialogs().Ask(ReplaceArchiveQuestion("canyon-x2.gob")));
  EXPECT_EQ(question.default_button, IDNO);
  std::string shown = ReplaceArchiveQuestion("canyon-x2.gob");
  std::erase(shown, '\n');
  std::erase(question.text, '\r');
  EXPECT_EQ(question.text, shown);
}

// The choice dialog shows its items, the first picked, and says which one
// the user took, or that they cancelled.
TEST_F(Win32ShellTest, ChooseDialog) {
  std::vector<std::string> items = {"Jedi Knight, Steam: C:\\Games\\JK.EXE",
                                    "Jedi Knight, GOG: D:\\GOG\\JK.EXE"};
  AnsweredChoice second{.pick = 1};
  AnswerNextChoice(&second);
  EXPECT_EQ(ui_->dialogs().Choose("Installed games found", "Pick one.", items), 1);
  EXPECT_EQ(second.title, "Installed games found");
  EXPECT_EQ(second.items, items);
  AnsweredChoice cancel{.pick = -1};
  AnswerNextChoice(&cancel);
  EXPECT_EQ(ui_->dialogs().Choose("Installed games found", "Pick one.", items), -1);
}

// A bad factor turns the factor field light red and is refused; a good one is white again.
TEST_F(Win32ShellTest, BadFactorColoursTheFactorField) {
  ClickItem(0, /*twice=*/true);
  ClickItem(0);
  HWND factor = Control("factor_field");
  SetWindowTextW(factor, L"x");
  Pump();
  EXPECT_EQ(PaintedBackground("factor_field"), RGB(255, 127, 127));
  AnsweredBox box;
  AnswerNextMessageBox(&box);
  Click(Control("scale_button"));
  EXPECT_EQ(box.text, "scale factor 'x': not a number from 0.001 to 1000");
  EXPECT_THAT(log_, IsEmpty());
  SetWindowTextW(factor, L"");
  Type(factor, L"1.5");
  EXPECT_EQ(PaintedBackground("factor_field"), RGB(255, 255, 255));
}

// The progress window shows its text and its bar as they are set.
TEST_F(Win32ShellTest, ProgressWindowShowsTextAndBar) {
  ui_->progress_window().Show();
  EXPECT_TRUE(IsWindowVisible(ui_->progress_window_handle()));
  ui_->progress_window().SetProgress("Scaling models: 3 of 4", 0.75);
  HWND bar = ProgressControl("progress_bar");
  EXPECT_EQ(Text(ProgressControl("progress_text")), "Scaling models: 3 of 4");
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0) * 4, SendMessageW(bar, PBM_GETRANGE, FALSE, 0) * 3);
  ui_->progress_window().Close();
  EXPECT_FALSE(ui_->progress_window().Visible());
}

// Cancel, Escape and closing the window ask the run to stop; the window
// stays until the run closes it, and a new run starts afresh.
TEST_F(Win32ShellTest, ProgressWindowCancels) {
  ProgressWindow& progress = ui_->progress_window();
  progress.Show();
  EXPECT_FALSE(progress.CancelRequested());
  Click(ProgressControl("cancel_button"));
  EXPECT_TRUE(progress.CancelRequested());
  EXPECT_EQ(Text(ProgressControl("progress_text")), "Cancelling\xE2\x80\xA6");
  EXPECT_FALSE(IsWindowEnabled(ProgressControl("cancel_button")));
  progress.Show();
  EXPECT_FALSE(progress.CancelRequested());
  SetFocus(ProgressControl("cancel_button"));
  Press(VK_ESCAPE);
  EXPECT_TRUE(progress.CancelRequested());
  progress.Show();
  SendMessageW(ui_->progress_window_handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(progress.CancelRequested());
  EXPECT_TRUE(progress.Visible());
  progress.Close();
  EXPECT_FALSE(progress.Visible());
}

// The progress window is wide enough for its longest text in its font.
TEST_F(Win32ShellTest, ProgressTextFits) {
  HWND text = ProgressControl("progress_text");
  HDC dc = GetDC(text);
  HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)));
  SIZE needed;
  GetTextExtentPoint32W(dc, L"Scaling models: 12345 of 12345", 30, &needed);
  SelectObject(dc, before);
  ReleaseDC(text, dc);
  RECT rect;
  GetClientRect(text, &rect);
  EXPECT_LE(needed.cx, rect.right);
}

// Enter or Space on an episode archive opens it; Enter in the factor field
// is Scale and play once a level is picked.
TEST_F(Win32ShellTest, TheKeyboardOpensArchivesAndScales) {
  HWND list = Control("archive_list");
  SetFocus(list);
  Press(VK_RETURN);  // nothing selected: the item with the focus opens
  EXPECT_THAT(Items(), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
  Click(Control("back_button"));
  ui_->main_window().controls().archive_list.SetSelectedIndex(0);
  SetFocus(list);
  Press(VK_SPACE);
  EXPECT_THAT(Items(), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));

  SetFocus(Control("factor_field"));
  Press(VK_RETURN);  // no level picked: nothing
  EXPECT_THAT(runner_.runs, IsEmpty());
  ui_->main_window().controls().archive_list.SetSelectedIndex(1);
  SetFocus(Control("factor_field"));
  Press(VK_RETURN);
  ASSERT_EQ(runner_.runs.size(), 1u);
  EXPECT_EQ(runner_.runs[0].program, jk_);
}

// Alt and a caption's letter goes to its control, Alt and a button's
// letter clicks it, Tab goes on to the next control, F5 reads the disk again.
TEST_F(Win32ShellTest, TheKeyboardMovesAndClicks) {
  SetFocus(Control("about_button"));
  PressAlt(L'j');
  EXPECT_EQ(GetFocus(), Control("game_path_field"));
  Press(VK_TAB);
  EXPECT_EQ(GetFocus(), Control("browse_game_button"));
  PressAlt(L'f');
  EXPECT_EQ(GetFocus(), Control("factor_field"));
  PressAlt(L'a');
  EXPECT_EQ(GetFocus(), Control("archive_list"));
  PressAlt(L'x');
  EXPECT_EQ(GetFocus(), Control("extra_list"));
  temp_.WriteArchive("game/Episode/ep2.gob", EpisodeArchive());
  Press(VK_F5);
  EXPECT_THAT(Items(), ElementsAre("ep1.gob", "ep2.gob"));
  ui_->main_window().controls().archive_list.SetSelectedIndex(0);
  shell_->OnArchiveActivated();
  PressAlt(L'b');
  EXPECT_THAT(Items(), ElementsAre("ep1.gob", "ep2.gob"));
}

// Alt and a letter that names no control does nothing: in the level view
// Alt+A (the episode archives' key) and Alt+Z type nothing into the
// focused field, and the list stays as it was.
TEST_F(Win32ShellTest, AltKeysThatNameNothingDoNothing) {
  ClickItem(0, /*twice=*/true);
  for (const char* name : {"game_path_field", "factor_field"}) {
    HWND field = Control(name);
    std::string before = Text(field);
    SetFocus(field);
    PressAlt(L'a');
    PressAlt(L'z');
    EXPECT_EQ(Text(field), before) << name;
  }
  EXPECT_THAT(Items(), ElementsAre("jkl\\one.jkl", "jkl\\two.jkl"));
  PressAlt(L'b');
  EXPECT_THAT(Items(), ElementsAre("ep1.gob"));
}

// Every key taken with Alt belongs to one control only, in both modes of
// the archive list.
TEST_F(Win32ShellTest, EveryKeyIsUnique) {
  for (int mode = 0; mode < 2; ++mode) {
    std::vector<wchar_t> keys;
    for (HWND child = GetWindow(Main(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      std::wstring text = WideOf(Text(child));
      for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] != L'&') keys.push_back(wchar_t(std::towlower(text[i + 1])));
        ++i;
      }
    }
    std::vector<wchar_t> unique = keys;
    std::sort(unique.begin(), unique.end());
    unique.erase(std::unique(unique.begin(), unique.end()), unique.end());
    EXPECT_EQ(keys.size(), unique.size()) << "mode " << mode;
    EXPECT_EQ(keys.size(), 14u) << "mode " << mode;
    ClickItem(0, /*twice=*/true);
  }
}

// A list that takes the focus shows it on an item; both lists take Tab.
TEST_F(Win32ShellTest, ListsShowTheFocus) {
  for (const char* name : {"archive_list", "extra_list"}) {
    HWND list = Control(name);
    SetFocus(list);
    Pump();
    EXPECT_EQ(GetFocus(), list) << name;
    EXPECT_GE(SendMessageW(list, LB_GETCARETINDEX, 0, 0), 0) << name;
    EXPECT_TRUE(GetWindowLongPtrW(list, GWL_STYLE) & WS_TABSTOP) << name;
  }
}

// The number of pixels of a list drawn in another colour than its background.
int InkedPixels(HWND list) {
  RECT rect;
  GetClientRect(list, &rect);
  HDC screen = GetDC(list);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, rect.right, rect.bottom);
  HGDIOBJ before = SelectObject(dc, bitmap);
  SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  COLORREF background = GetPixel(dc, 0, 0);
  int inked = 0;
  for (int y = 0; y < rect.bottom; ++y) {
    for (int x = 0; x < rect.right; ++x) inked += GetPixel(dc, x, y) != background;
  }
  SelectObject(dc, before);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(list, screen);
  return inked;
}

// An empty list says why in its place; a list without a placeholder stays blank.
TEST_F(Win32ShellTest, EmptyListsSayWhy) {
  ui_->main_window().controls().game_path_field.SetText("");
  Pump();
  EXPECT_THAT(Items(), IsEmpty());
  EXPECT_GT(InkedPixels(Control("archive_list")), 50);
  EXPECT_EQ(InkedPixels(Control("extra_list")), 0);
}

// The path fields say what they want while empty; the factor field's hint is a tooltip.
TEST_F(Win32ShellTest, PlaceholdersAndHint) {
  wchar_t cue[64] = L"";
  SendMessageW(Control("game_path_field"), EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), 64);
  EXPECT_EQ(Utf8Of(cue), "Path of JK.EXE");
  EXPECT_EQ(Hint(Control("factor_field")), kFactorHint);
}

// Coming back to the window shows the lists as the disk has them; closing
// it asks the shell, which lets it close while no game runs.
TEST_F(Win32ShellTest, ActivationRefreshesAndClosingAsks) {
  temp_.WriteArchive("game/Episode/ep2.gob", EpisodeArchive());
  SendMessageW(Main(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_THAT(Items(), ElementsAre("ep1.gob", "ep2.gob"));
  SendMessageW(Main(), WM_CLOSE, 0, 0);
  EXPECT_EQ(Main(), nullptr);
}

// A message about a long path wraps inside its box, which stays on the screen.
TEST_F(Win32ShellTest, LongMessagesWrap) {
  std::string path = "C:";
  for (int i = 0; i < 7; ++i) path += "\\" + std::string(40, char('a' + i));
  AnsweredBox box;
  AnswerNextMessageBox(&box);
  std::string message = "'" + path +
                        "': is 300 characters long, more than the 127 the game can open; move "
                        "jkrescale to a shorter folder";
  ui_->dialogs().Message(message);
  EXPECT_EQ(box.text, message);
  EXPECT_GT(box.width, 0);
  EXPECT_LE(box.width, box.screen_width);
}

// The layout keeps every control inside the window and grows with the font.
TEST(Win32LayoutTest, GrowsWithTheFont) {
  FontMetrics font{7, 16, 8};
  MainTextWidths texts{150, 50, 120, 80, 60, 90, 70, 230};
  SIZE size = MainWindowInitialSize(font, texts);
  EXPECT_EQ(size.cx, 56 * 16);
  EXPECT_EQ(size.cy, 30 * 16);
  MainLayout layout = LayOutMainWindow(font, texts, size);
  EXPECT_LE(layout.scale.right, size.cx);
  EXPECT_LE(layout.status.bottom, size.cy);
  EXPECT_LT(layout.about.right, layout.scale.left);
  EXPECT_LT(layout.gravity.right, layout.about.left);
  EXPECT_LT(layout.archive_list.right, layout.extra_list.left);
  EXPECT_LT(layout.group.bottom, layout.list_caption.top);
  EXPECT_EQ(layout.scale.bottom - layout.scale.top, 28);  // 14 dialog units

  FontMetrics twice{14, 32, 16};
  MainTextWidths wider{300, 100, 240, 160, 120, 180, 140, 460};
  SIZE doubled = MainWindowMinimumSize(twice, wider);
  SIZE single = MainWindowMinimumSize(font, texts);
  EXPECT_NEAR(doubled.cx, 2 * single.cx, 4);
  EXPECT_NEAR(doubled.cy, 2 * single.cy, 4);
}

}  // namespace
}  // namespace jk
