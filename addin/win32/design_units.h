#pragma once

// The forms were designed in points (the wizard) and twips (the About box); Windows places
// windows in pixels. These turn one into the other at the screen's resolution, so a form keeps
// its designed size on a screen of any resolution.

#include "addin/win32/gdi_object.h"

struct HWND__;

namespace morvane::win32 {

inline constexpr double kPointsPerInch = 72;
inline constexpr double kTwipsPerInch = 1440;

// A rectangle in the form's design unit.
struct DesignRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The screen's logical resolution in dots per inch (96 on a standard screen).
int ScreenDpi();

// Rounded to the nearest pixel. Each edge and extent is rounded on its own, as the form's
// designer stored them.
int ToPixels(double units, double unitsPerInch, int dpi);
PixelRect ToPixels(const DesignRect& rect, double unitsPerInch, int dpi);

// Moves and sizes the dialog item `id` of `dialog` (client coordinates).
void PlaceItem(HWND__* dialog, int id, const PixelRect& rect);
// Sizes a window so that its client area has this size, whatever its frame.
void SetClientSize(HWND__* window, int width, int height);
// Centres a window over its owner, or on its monitor's work area when it has no visible owner,
// keeping it inside that work area.
void CenterOnOwner(HWND__* window);

// A regular-weight font of this face and size in points. Fractional sizes (8.25) round to the
// nearest pixel height, as the designer's font sizes do. Empty when GDI cannot make it.
Font CreateDesignFont(const wchar_t* face, double points, int dpi);

}  // namespace morvane::win32
