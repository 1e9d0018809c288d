#include "addin/win32/design_units.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace morvane::win32 {

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) {
    ReleaseDC(nullptr, screen);
  }
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int ToPixels(double units, double unitsPerInch, int dpi) {
  return static_cast<int>(std::lround(units * dpi / unitsPerInch));
}

PixelRect ToPixels(const DesignRect& rect, double unitsPerInch, int dpi) {
  return {ToPixels(rect.left, unitsPerInch, dpi), ToPixels(rect.top, unitsPerInch, dpi),
          ToPixels(rect.width, unitsPerInch, dpi), ToPixels(rect.height, unitsPerInch, dpi)};
}

void PlaceItem(HWND dialog, int id, const PixelRect& rect) {
  if (HWND item = GetDlgItem(dialog, id)) {
    SetWindowPos(item, nullptr, rect.left, rect.top, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void SetClientSize(HWND window, int width, int height) {
  RECT frame{0, 0, width, height};
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  AdjustWindowRectEx(&frame, style, GetMenu(window) != nullptr, exStyle);
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CenterOnOwner(HWND window) {
  HWND owner = GetWindow(window, GW_OWNER);
  const bool overOwner = owner && IsWindowVisible(owner) && !IsIconic(owner);
  // The owner's monitor: a window not yet shown may still lie at the origin of another one.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(overOwner ? owner : window, MONITOR_DEFAULTTOPRIMARY),
                       &monitor)) {
    return;
  }
  const RECT area = monitor.rcWork;
  RECT around = area;
  if (overOwner) {
    GetWindowRect(owner, &around);
  }
  RECT own{};
  GetWindowRect(window, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  int left = around.left + ((around.right - around.left) - width) / 2;
  int top = around.top + ((around.bottom - around.top) - height) / 2;
  left = std::max<int>(area.left, std::min<int>(left, area.right - width));
  top = std::max<int>(area.top, std::min<int>(top, area.bottom - height));
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Font CreateDesignFont(const wchar_t* face, double points, int dpi) {
  LOGFONTW description{};
  description.lfHeight = -ToPixels(points, kPointsPerInch, dpi);  // negative: the em height
  description.lfWeight = FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfOutPrecision = OUT_DEFAULT_PRECIS;
  description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  description.lfQuality = DEFAULT_QUALITY;
  description.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  wcsncpy(description.lfFaceName, face, LF_FACESIZE - 1);
  return Font(CreateFontIndirectW(&description));
}

}  // namespace morvane::win32
