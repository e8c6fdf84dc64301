#include "desktop/win32_dpi.h"

namespace jk {

namespace {

// The functions of Windows 10 (1607) and later that take a DPI, looked up
// at run time so that the program still starts on older systems.
struct DpiFunctions {
  UINT(WINAPI* get_dpi_for_window)(HWND) = nullptr;
  int(WINAPI* get_system_metrics_for_dpi)(int, UINT) = nullptr;
  BOOL(WINAPI* adjust_window_rect_ex_for_dpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  BOOL(WINAPI* system_parameters_info_for_dpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
};

template <typename Function>
void Look(HMODULE module, const char* name, Function* function) {
  // Through void*: a FARPROC is no pointer to any particular function type.
  *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const DpiFunctions& Functions() {
  static const DpiFunctions functions = [] {
    DpiFunctions f;
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return f;
    Look(user32, "GetDpiForWindow", &f.get_dpi_for_window);
    Look(user32, "GetSystemMetricsForDpi", &f.get_system_metrics_for_dpi);
    Look(user32, "AdjustWindowRectExForDpi", &f.adjust_window_rect_ex_for_dpi);
    Look(user32, "SystemParametersInfoForDpi", &f.system_parameters_info_for_dpi);
    return f;
  }();
  return functions;
}

UINT SystemDpi() {
  WindowDc screen(nullptr);
  int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return dpi > 0 ? UINT(dpi) : kDefaultDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
  if (Functions().get_dpi_for_window != nullptr) {
    UINT dpi = Functions().get_dpi_for_window(window);
    if (dpi != 0) return dpi;
  }
  return SystemDpi();
}

int MetricForDpi(int index, UINT dpi) {
  if (Functions().get_system_metrics_for_dpi != nullptr) {
    return Functions().get_system_metrics_for_dpi(index, dpi);
  }
  return MulDiv(GetSystemMetrics(index), int(dpi), int(SystemDpi()));
}

void AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD ex_style, UINT dpi) {
  if (Functions().adjust_window_rect_ex_for_dpi != nullptr) {
    Functions().adjust_window_rect_ex_for_dpi(rect, style, FALSE, ex_style, dpi);
    return;
  }
  AdjustWindowRectEx(rect, style, FALSE, ex_style);
}

UniqueFont CreateMessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  bool found = false;
  if (Functions().system_parameters_info_for_dpi != nullptr) {
    found = Functions().system_parameters_info_for_dpi(SPI_GETNONCLIENTMETRICS, sizeof metrics,
                                                       &metrics, 0, dpi) != FALSE;
  }
  if (!found && SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    // The system's own DPI is what SystemParametersInfoW measures in.
    metrics.lfMessageFont.lfHeight =
        MulDiv(metrics.lfMessageFont.lfHeight, int(dpi), int(SystemDpi()));
    found = true;
  }
  if (!found) {
    // 9 points of the default GUI face, as a last resort.
    metrics.lfMessageFont = LOGFONTW{};
    metrics.lfMessageFont.lfHeight = -MulDiv(9, int(dpi), 72);
    metrics.lfMessageFont.lfWeight = FW_NORMAL;
    metrics.lfMessageFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(metrics.lfMessageFont.lfFaceName, L"Segoe UI", LF_FACESIZE);
  }
  return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

FontMetrics MeasureFont(HWND window, HFONT font) {
  WindowDc dc(window);
  Selection selected(dc.get(), font);
  TEXTMETRICW text{};
  GetTextMetricsW(dc.get(), &text);
  // The average width as the dialog manager computes it: over the 52
  // letters, rounded.
  static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE letters{}, digit{};
  GetTextExtentPoint32W(dc.get(), kLetters, 52, &letters);
  GetTextExtentPoint32W(dc.get(), L"0", 1, &digit);
  FontMetrics metrics;
  metrics.char_width = (letters.cx / 26 + 1) / 2;
  metrics.line_height = text.tmHeight;
  metrics.digit_width = digit.cx;
  return metrics;
}

int TextWidth(HWND window, HFONT font, const std::wstring& text) {
  WindowDc dc(window);
  Selection selected(dc.get(), font);
  RECT rect{0, 0, 0, 0};
  DrawTextW(dc.get(), text.c_str(), int(text.size()), &rect, DT_CALCRECT | DT_SINGLELINE);
  return rect.right - rect.left;
}

}  // namespace jk
