#pragma once

// A simulated Excel that lists the add-in among its COM add-ins (switching it off runs the
// add-in's disconnection, as Excel does), and a scripted user interface.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "about/frm_ug.h"
#include "addin/connection.h"
#include "addin/model/add_in_identity.h"
#include "addin/model/user_locale.h"
#include "addin/model/utf8.h"
#include "commands/cb_morvane.h"
#include "hostsim/excel.h"
#include "snapshot/main_code.h"
#include "support/ui_fake_port.h"

namespace morvane::testing {

inline constexpr char16_t kMenuBar[] = u"Worksheet Menu Bar";
inline constexpr char16_t kPopup[] = u"&Morvane";

class ConnectedAddInTest : public ::testing::Test {
 protected:
  void SetUp() override {
    excel = sim::Excel::Create();
    ui = fakes::InstallFakeUi();
    excel->RegisterComAddIn(std::u16string(kProgId), [this] {
      OnDisconnection();
      if (afterDisconnection) {
        afterDisconnection();
      }
    });
  }

  void TearDown() override {
    colButtons.clear();
    xlApp.reset();
    frmUG::Instance().Unload();
    ui::Install(nullptr);
    InstallDecimalSeparatorReader({});
  }

  void Connect(const std::u16string& version) {
    excel->SetVersion(version);
    OnConnection(excel);
  }

  // The bar's controls captioned "&Morvane".
  std::vector<sim::ControlView> Popups() const {
    std::vector<sim::ControlView> popups;
    for (const sim::ControlView& control : excel->BarControls(kMenuBar)) {
      if (control.caption == kPopup) {
        popups.push_back(control);
      }
    }
    return popups;
  }

  // Clicks a button of the popup; returns CancelDefault.
  bool ClickMenu(const std::u16string& caption) {
    return excel->Click(kMenuBar, {kPopup, caption});
  }

  std::shared_ptr<sim::Excel> excel;
  std::shared_ptr<fakes::FakeUi> ui;
  // Runs inside the host's disconnection of the add-in, after OnDisconnection.
  std::function<void()> afterDisconnection;
};

}  // namespace morvane::testing
