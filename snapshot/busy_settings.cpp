#include "snapshot/busy_settings.h"

#include <array>
#include <string>

#include "addin/model/continue_on_error.h"
#include "addin/model/host.h"
#include "snapshot/connected_host.h"

namespace morvane {
namespace {

using SettingWrite = void (*)(host::Application&);

constexpr std::array<SettingWrite, 5> kBusyWrites = {
    [](host::Application& app) { app.SetEnableCancelKey(host::kCancelKeyErrorHandler); },
    [](host::Application& app) { app.SetStatusBar(std::u16string(kBusyStatusText)); },
    [](host::Application& app) { app.SetScreenUpdating(false); },
    [](host::Application& app) { app.SetCalculation(host::kCalculationManual); },
    [](host::Application& app) { app.SetDisplayAlerts(false); },
};

}  // namespace

void ApplyBusySettings() {
  for (const SettingWrite write : kBusyWrites) {
    write(*ConnectedHost());
  }
}

void ApplyBusySettingsEachStep() noexcept {
  for (const SettingWrite write : kBusyWrites) {
    RunStep([write] { write(*ConnectedHost()); });
  }
}

std::exception_ptr ApplyNormalSettings(std::u16string_view statusText) noexcept {
  std::exception_ptr firstFailure;
  const auto tryWrite = [&firstFailure](auto&& write) {
    try {
      write(*ConnectedHost());
    } catch (...) {
      if (!firstFailure) {
        firstFailure = std::current_exception();
      }
    }
  };
  tryWrite([](host::Application& app) { app.SetCalculation(host::kCalculationAutomatic); });
  tryWrite([statusText](host::Application& app) { app.SetStatusBar(std::u16string(statusText)); });
  tryWrite([](host::Application& app) { app.SetScreenUpdating(true); });
  tryWrite([](host::Application& app) { app.SetDisplayAlerts(true); });
  return firstFailure;
}

}  // namespace morvane
