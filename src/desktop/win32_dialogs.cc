#include "desktop/win32_dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>

#include "desktop/win32_windows.h"
#include "platform/wide_text.h"
#include "shell/controls.h"

namespace jk {

// The system's open-file or save-file dialog: the chosen path, or "" when
// cancelled. A name typed without an extension gets the proposed one's.
std::string Win32Dialogs::FileDialog(const FileDialogKind& kind, const std::string& title,
                                     const std::string& folder, const std::string& proposed_name) {
  // Room for the longest path the system takes.
  std::wstring file = WideOf(proposed_name);
  file.resize(32768, L'\0');
  std::wstring wide_title = WideOf(title);
  std::wstring start = WideOf(folder);
  size_t dot = proposed_name.find_last_of(".\\/");
  std::wstring extension;
  if (dot != std::string::npos && proposed_name[dot] == '.') {
    extension = WideOf(proposed_name.substr(dot + 1));
  }
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = Owner();
  dialog.lpstrFilter = kind.filter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = DWORD(file.size());
  dialog.lpstrInitialDir = start.empty() ? nullptr : start.c_str();
  dialog.lpstrTitle = wide_title.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  // A save dialog does not ask before it replaces a file: the program
  // checks the path first, and then asks itself (Ask).
  dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                 OFN_NOCHANGEDIR | OFN_DONTADDTORECENT | (kind.save ? 0 : OFN_FILEMUSTEXIST);
  if (!(kind.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return "";
  return Utf8Of(file.c_str());
}

std::string Win32Dialogs::OpenFile(const std::string& title, const std::string& folder,
                                   const std::string& proposed_name) {
  static constexpr FileDialogKind kProgram{L"Programs (*.exe)\0*.exe\0All files (*.*)\0*.*\0",
                                           false};
  return FileDialog(kProgram, title, folder, proposed_name);
}

std::string Win32Dialogs::SaveArchive(const std::string& title, const std::string& folder,
                                      const std::string& proposed_name) {
  static constexpr FileDialogKind kArchive{
      L"Episode archives (*.gob, *.goo)\0*.gob;*.goo\0All files (*.*)\0*.*\0", true};
  return FileDialog(kArchive, title, folder, proposed_name);
}

namespace {

// A dialog template built in memory: the header, then each control,
// every part on a four-byte boundary.
class DialogTemplate {
 public:
  DialogTemplate(const std::wstring& title, short width, short height, WORD controls) {
    DLGTEMPLATE header{};
    header.style = DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    header.cdit = controls;
    header.cx = width;
    header.cy = height;
    Append(&header, sizeof header);
    Word(0);  // no menu
    Word(0);  // the system's dialog class
    Text(title);
    Word(8);  // the font: 8 points of the shell's dialog font
    Text(L"MS Shell Dlg");
  }

  // A control of one of the system's predefined classes (0x80 button,
  // 0x82 static, 0x83 list box).
  void Add(WORD predefined_class, const std::wstring& text, DWORD style, short x, short y,
           short width, short height, WORD id) {
    Align();
    DLGITEMTEMPLATE item{};
    item.style = WS_CHILD | WS_VISIBLE | style;
    item.x = x;
    item.y = y;
    item.cx = width;
    item.cy = height;
    item.id = id;
    Append(&item, sizeof item);
    Word(0xFFFF);
    Word(predefined_class);
    Text(text);
    Word(0);  // no creation data
  }

  const DLGTEMPLATE* get() { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Append(const void* data, size_t size) {
    size_t at = bytes_;
    bytes_ += size;
    words_.resize((bytes_ + 3) / 4);
    std::memcpy(reinterpret_cast<char*>(words_.data()) + at, data, size);
  }
  void Word(WORD word) { Append(&word, sizeof word); }
  void Text(const std::wstring& text) { Append(text.c_str(), (text.size() + 1) * sizeof(wchar_t)); }
  void Align() { bytes_ = (bytes_ + 3) / 4 * 4; }

  std::vector<DWORD> words_;
  size_t bytes_ = 0;
};

constexpr WORD kChoiceList = 100;

struct ChooseRequest {
  const std::vector<std::string>* items;
};

INT_PTR CALLBACK ChooseDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  HWND list = GetDlgItem(dialog, kChoiceList);
  switch (message) {
    case WM_INITDIALOG: {
      const auto* request = reinterpret_cast<const ChooseRequest*>(lparam);
      int widest = 0;
      HDC dc = GetDC(list);
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
      for (const std::string& item : *request->items) {
        std::wstring wide = WideOf(item);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
        widest = std::max(widest, int(size.cx));
      }
      SelectObject(dc, old);
      ReleaseDC(list, dc);
      // A path longer than the list is wide scrolls into view.
      SendMessageW(list, LB_SETHORIZONTALEXTENT, widest + 8, 0);
      SendMessageW(list, LB_SETCURSEL, 0, 0);
      SetFocus(list);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK:
          EndDialog(dialog, SendMessageW(list, LB_GETCURSEL, 0, 0));
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, -1);
          return TRUE;
        case kChoiceList:
          if (HIWORD(wparam) == LBN_DBLCLK) {
            EndDialog(dialog, SendMessageW(list, LB_GETCURSEL, 0, 0));
            return TRUE;
          }
          break;
      }
      break;
  }
  return FALSE;
}

// A long path has no blank to wrap at, and a message box breaks its lines
// at blanks only: a line break after a separator keeps each stretch of text
// without a blank shorter than kLongestStretch characters.
std::wstring WrappableText(const std::string& text) {
  constexpr size_t kLongestStretch = 64;
  std::wstring wide = WideOf(text);
  std::wstring wrappable;
  size_t stretch = 0;
  for (size_t i = 0; i < wide.size(); ++i) {
    wchar_t c = wide[i];
    wrappable += c;
    stretch = c == L' ' || c == L'\n' ? 0 : stretch + 1;
    if (c != L'\\' && c != L'/') continue;
    size_t next = wide.find_first_of(L"\\/ \n", i + 1);
    size_t ahead = (next == std::wstring::npos ? wide.size() : next) - i;
    if (stretch + ahead > kLongestStretch) {
      wrappable += L'\n';
      stretch = 0;
    }
  }
  return wrappable;
}

}  // namespace

// The text over the list, OK and Cancel at the bottom right; sizes in
// dialog units, which follow the dialog's font.
int Win32Dialogs::Choose(const std::string& title, const std::string& text,
                         const std::vector<std::string>& items) {
  constexpr short kWidth = 340, kHeight = 170, kMargin = 7, kButtonWidth = 50, kButtonHeight = 14;
  constexpr short kTextHeight = 32;
  constexpr short kInner = kWidth - 2 * kMargin;
  constexpr short kButtonsTop = kHeight - kMargin - kButtonHeight;
  constexpr short kListTop = kMargin + kTextHeight + 4;
  DialogTemplate dialog(WideOf(title), kWidth, kHeight, 4);
  dialog.Add(0x82, WrappableText(text), SS_LEFT, kMargin, kMargin, kInner, kTextHeight, 0xFFFF);
  dialog.Add(0x83, L"",
             WS_TABSTOP | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
             kMargin, kListTop, kInner, kButtonsTop - 4 - kListTop, kChoiceList);
  dialog.Add(0x80, L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, kWidth - kMargin - 2 * kButtonWidth - 4,
             kButtonsTop, kButtonWidth, kButtonHeight, IDOK);
  dialog.Add(0x80, L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, kWidth - kMargin - kButtonWidth,
             kButtonsTop, kButtonWidth, kButtonHeight, IDCANCEL);
  ChooseRequest request{&items};
  INT_PTR picked = DialogBoxIndirectParamW(instance_, dialog.get(), Owner(), ChooseDialogProc,
                                           reinterpret_cast<LPARAM>(&request));
  return picked >= 0 && picked < INT_PTR(items.size()) ? int(picked) : -1;
}

bool Win32Dialogs::Ask(const std::string& question) {
  // No is the second button, and the default.
  return MessageBoxW(Owner(), WrappableText(question).c_str(), WideOf(kProgramTitle).c_str(),
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void Win32Dialogs::Message(const std::string& text) {
  MessageBoxW(Owner(), WrappableText(text).c_str(), WideOf(kProgramTitle).c_str(),
              MB_OK | MB_ICONWARNING);
}

void Win32Dialogs::Notice(const std::string& text) {
  MessageBoxW(Owner(), WrappableText(text).c_str(), WideOf(kProgramTitle).c_str(),
              MB_OK | MB_ICONINFORMATION);
}

void Win32Dialogs::About(const std::string& text) {
  std::wstring wide = WideOf(text);
  MSGBOXPARAMSW box{};
  box.cbSize = sizeof box;
  box.hwndOwner = Owner();
  box.hInstance = instance_;
  box.lpszText = wide.c_str();
  std::wstring title = WideOf(kAboutTitle);
  box.lpszCaption = title.c_str();
  // The program's own icon beside the text.
  box.dwStyle = MB_OK | MB_USERICON;
  box.lpszIcon = MAKEINTRESOURCEW(kIconResource);
  MessageBoxIndirectW(&box);
}

}  // namespace jk
