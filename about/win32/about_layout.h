#pragma once

// frmUG as designed: places in twips (1440 to the inch, 15 to a pixel at 96 dpi), colours and
// fonts.

#include "addin/win32/design_units.h"

namespace morvane::win32 {

constexpr unsigned long Rgb(int red, int green, int blue) {
  return static_cast<unsigned long>(red) | (static_cast<unsigned long>(green) << 8) |
         (static_cast<unsigned long>(blue) << 16);
}

// The client area.
inline constexpr double kAboutWidthTwips = 8985;
inline constexpr double kAboutHeightTwips = 3570;

inline constexpr DesignRect kShape1Twips{120, 120, 8685, 2655};
inline constexpr DesignRect kLabel2Twips{240, 195, 8400, 2505};
inline constexpr DesignRect kShape2Twips{165, 2850, 8685, 570};
inline constexpr DesignRect kLabel21Twips{1290, 3045, 6300, 210};
// Line1 runs from (285, 3030) to (8595, 3045).
inline constexpr double kLine1FromXTwips = 285;
inline constexpr double kLine1FromYTwips = 3030;
inline constexpr double kLine1ToXTwips = 8595;
inline constexpr double kLine1ToYTwips = 3045;

inline constexpr unsigned long kAboutBackground = Rgb(255, 192, 255);
// The panels: a lighter tint of the background inside a grey outline.
inline constexpr unsigned long kPanelFill = Rgb(255, 236, 255);
inline constexpr unsigned long kPanelOutline = Rgb(192, 192, 192);
inline constexpr unsigned long kLine1Colour = Rgb(192, 192, 192);
inline constexpr unsigned long kLabel2Text = Rgb(64, 64, 64);
inline constexpr unsigned long kLabel21Text = Rgb(0, 0, 192);

inline constexpr wchar_t kAboutFontFace[] = L"Trebuchet MS";
inline constexpr double kLabel2Points = 9;
inline constexpr double kLabel21Points = 8.25;

}  // namespace morvane::win32
