#pragma once

// High-contrast mode as the loaded add-in sees it, for the pictures of its dialogs. Wine has
// no such mode (SPI_SETHIGHCONTRAST is a stub): the add-in's own import of
// SystemParametersInfoW is made to report it on, and the system colours take a high-contrast
// scheme, as Windows gives them in that mode. Both are put back when this goes, which must
// happen before the DLL unloads.

#include <windows.h>

#include <array>
#include <memory>

#include "tests/win32_ui/import_patch.h"

namespace morvane::e2e {

class HighContrastView {
 public:
  // Nothing happens when `addIn` is not loaded; Applied() then says so.
  explicit HighContrastView(HMODULE addIn) {
    if (!addIn) {
      return;
    }
    mode_ = std::make_unique<uitest::HighContrastForModule>(addIn);
    for (std::size_t i = 0; i < kElements.size(); ++i) {
      saved_[i] = GetSysColor(kElements[i]);
    }
    SetSysColors(static_cast<int>(kElements.size()), kElements.data(), kScheme.data());
  }
  ~HighContrastView() {
    if (mode_) {
      SetSysColors(static_cast<int>(kElements.size()), kElements.data(), saved_.data());
    }
  }
  HighContrastView(const HighContrastView&) = delete;
  HighContrastView& operator=(const HighContrastView&) = delete;

  bool Applied() const { return mode_ && mode_->Applied(); }

 private:
  // Windows' "High Contrast Black": white text on black, yellow links, cyan selection.
  static constexpr std::array<int, 7> kElements{COLOR_BTNFACE,      COLOR_BTNTEXT,  COLOR_WINDOW,
                                                COLOR_WINDOWTEXT,   COLOR_HOTLIGHT, COLOR_HIGHLIGHT,
                                                COLOR_HIGHLIGHTTEXT};
  static constexpr std::array<COLORREF, 7> kScheme{
      RGB(0, 0, 0),     RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255),
      RGB(255, 255, 0), RGB(26, 235, 255),  RGB(0, 0, 0)};

  std::unique_ptr<uitest::HighContrastForModule> mode_;
  std::array<COLORREF, 7> saved_{};
};

}  // namespace morvane::e2e
