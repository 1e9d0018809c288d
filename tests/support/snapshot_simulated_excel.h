#pragma once

// A test fixture with a simulated Excel connected as xlApp and a user interface that records
// the message boxes it is asked to show.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "addin/model/ui_port.h"
#include "hostsim/excel.h"
#include "snapshot/main_code.h"

namespace morvane::fakes {

class RecordedMessages : public ui::Port {
 public:
  void ShowMessage(const std::u16string& text) override { shown.push_back(text); }
  std::vector<std::u16string> shown;
};

class SimulatedExcelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    excel = sim::Excel::Create();
    xlApp = excel;
    messages = std::make_shared<RecordedMessages>();
    ui::Install(messages);
  }

  void TearDown() override {
    xlApp.reset();
    ui::Install(nullptr);
  }

  bool SheetExists(const std::u16string& name) const {
    for (const auto& sheet : excel->SheetNames()) {
      if (sheet == name) {
        return true;
      }
    }
    return false;
  }

  std::shared_ptr<sim::Excel> excel;
  std::shared_ptr<RecordedMessages> messages;
};

}  // namespace morvane::fakes
