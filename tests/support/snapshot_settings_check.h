#pragma once

// Checks that the host is not left suspended after a command, allowing for the one write the
// test itself made Excel refuse.

#include <gtest/gtest.h>

#include <string>

#include "hostsim/excel.h"

namespace morvane::fakes {

// Whether a write of this setting was refused: the host was called for it more often than it
// recorded a write.
inline bool SettingWriteRefused(const sim::Excel& excel, const std::string& member) {
  long long logged = 0;
  for (const auto& write : excel.SettingsLog()) {
    logged += write.member == member ? 1 : 0;
  }
  return excel.CallCount("Application.Set" + member) > logged;
}

inline void ExpectHostNotSuspended(const sim::Excel& excel) {
  const sim::Settings& settings = excel.CurrentSettings();
  EXPECT_TRUE(settings.screenUpdating || SettingWriteRefused(excel, "ScreenUpdating"));
  EXPECT_TRUE(settings.displayAlerts || SettingWriteRefused(excel, "DisplayAlerts"));
  EXPECT_TRUE(settings.calculation == host::kCalculationAutomatic ||
              SettingWriteRefused(excel, "Calculation"));
}

}  // namespace morvane::fakes
