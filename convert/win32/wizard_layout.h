#pragma once

// frmMV as designed: every control's place and size in points, and its font.

#include "addin/win32/design_units.h"
#include "resources/dialog_ids.h"

namespace morvane::win32 {

// The form's inner (client) area, in points.
inline constexpr double kWizardWidthPoints = 148;
inline constexpr double kWizardHeightPoints = 142;

inline constexpr wchar_t kWizardFontFace[] = L"Tahoma";
inline constexpr double kWizardTextPoints = 8.25;
inline constexpr double kWizardOptionPoints = 9;

struct WizardItem {
  int id = 0;
  DesignRect points;        // on the form; for the options, inside Frame1
  bool inFrame = false;     // an option button, placed relative to Frame1
  bool optionFont = false;  // 9 points instead of 8.25
};

inline constexpr DesignRect kFrame1Points{6.5, 7.5, 133.5, 88.5};

// In tab order. STOP lies over CONVERT, offset by less than a point.
inline constexpr WizardItem kWizardItems[] = {
    {IDC_FRAME1, kFrame1Points},
    {IDC_OPTUC, {7, 6.5, 119.5, 14.5}, true, true},
    {IDC_OPTLC, {7, 26, 119.5, 14.5}, true, true},
    {IDC_OPTTC, {7, 46, 119.5, 14.5}, true, true},
    {IDC_OPTSC, {7, 65.5, 119.5, 14.5}, true, true},
    {IDC_CMDCONVERT, {7, 99.5, 135.5, 20.5}},
    {IDC_LABEL4, {6.5, 122, 104.5, 14.5}},
    {IDC_LBLPER, {112, 122.5, 30, 14.5}},
    {IDC_PROGRESSBAR1, {9, 123.5, 100.5, 11.5}},
    {IDC_COMMANDBUTTON1, {7.5, 100.5, 135.5, 20.5}},
};

// Where an item lies on the form, in points.
constexpr DesignRect OnForm(const WizardItem& item) {
  if (!item.inFrame) {
    return item.points;
  }
  return {kFrame1Points.left + item.points.left, kFrame1Points.top + item.points.top,
          item.points.width, item.points.height};
}

}  // namespace morvane::win32
