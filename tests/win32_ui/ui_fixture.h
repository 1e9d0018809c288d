#pragma once

// The Win32 user interface installed as the add-in's user interface, with the dialog templates
// of this test program, and the simulated Excel behind a Rendezvous as xlApp.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "addin/com/win32_ui.h"
#include "addin/model/ui_port.h"
#include "addin/win32/design_units.h"
#include "hostsim/excel.h"
#include "resources/dialog_ids.h"
#include "snapshot/main_code.h"
#include "win32_ui/gated_excel.h"
#include "win32_ui/modal_driver.h"
#include "win32_ui/rendezvous.h"

namespace morvane::uitest {

// Where a child window lies in its parent's client area.
using Placement = win32::PixelRect;

inline Placement PlacementOf(HWND child) {
  RECT box{};
  GetWindowRect(child, &box);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&box), 2);
  return {box.left, box.top, box.right - box.left, box.bottom - box.top};
}

inline Placement ClientSizeOf(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {0, 0, client.right, client.bottom};
}

// The font a control was given: face and height in pixels (negative: the em height).
struct FontSeen {
  std::wstring face;
  long height = 0;
  long weight = 0;
};
inline FontSeen FontOf(HWND control) {
  const auto font = reinterpret_cast<HFONT>(Ask(control, WM_GETFONT));
  LOGFONTW description{};
  if (!font || !GetObjectW(font, sizeof description, &description)) {
    return {};
  }
  return {description.lfFaceName, description.lfHeight, description.lfWeight};
}

// A top-level window of the test's own, to stand for the host's main window.
class OwnerWindow {
 public:
  OwnerWindow() {
    window_ = CreateWindowExW(0, L"Static", L"Host window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                              40, 500, 400, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(window_);
    SetActiveWindow(window_);
  }
  ~OwnerWindow() { DestroyWindow(window_); }
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_;
};

class Win32UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port = win32::CreateWin32Ui(GetModuleHandleW(nullptr));
    ui::Install(port);
  }
  void TearDown() override {
    xlApp.reset();
    ui::Install(nullptr);
  }

  std::shared_ptr<ui::Port> port;
};

// The wizard over a simulated Excel with one workbook.
class WizardTest : public Win32UiTest {
 protected:
  void SetUp() override {
    Win32UiTest::SetUp();
    excel = sim::Excel::Create();
    excel->AddWorkbook({u"Sheet1"});
    xlApp = std::make_shared<GatedExcel>(excel, gates);
  }

  // Puts the texts into A1, A2, ... and selects them.
  void SelectTexts(const std::vector<std::u16string>& texts) {
    for (std::size_t row = 0; row < texts.size(); ++row) {
      excel->Put(u"Sheet1", CellName(row), texts[row]);
    }
    excel->Select("A1:" + CellName(texts.size() - 1));
  }

  static std::string CellName(std::size_t row) {
    std::string name(1, 'A');
    name += std::to_string(row + 1);
    return name;
  }

  std::u16string TextAt(std::size_t row) const {
    const host::CellValue value = excel->Cell(u"Sheet1", CellName(row)).value;
    const auto* text = std::get_if<std::u16string>(&value);
    return text ? *text : u"<not text>";
  }

  // Shows the wizard; `script` runs on the helper thread with the wizard's window and must end
  // with the wizard closed.
  void ShowWizardWhile(const std::function<void(HWND wizard)>& script) {
    WhileModal([] { ui::Current().ShowWizard(); },
               [&] {
                 HWND wizard = WaitForWizard();
                 if (!wizard) {
                   ADD_FAILURE() << "the wizard did not appear";
                   return;
                 }
                 script(wizard);
               });
  }

  static bool IsWizard(HWND window) { return GetDlgItem(window, IDC_CMDCONVERT) != nullptr; }
  static HWND WaitForWizard() { return WaitForWindow(L"Morvane", IsWizard); }
  static bool WaitUntilClosed(HWND window) {
    return WaitUntil([window] { return !IsWindow(window); });
  }

  std::shared_ptr<sim::Excel> excel;
  Rendezvous gates;
};

}  // namespace morvane::uitest

namespace morvane::win32 {

inline std::ostream& operator<<(std::ostream& out, const PixelRect& p) {
  return out << "{" << p.left << ", " << p.top << ", " << p.width << " x " << p.height << "}";
}

}  // namespace morvane::win32
