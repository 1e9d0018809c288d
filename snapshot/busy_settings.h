#pragma once

// The host settings that suspend Excel while the add-in changes a workbook (no screen updates,
// no recalculation, no prompts, a status text), and the ones that end the suspension. The
// wizard and the snapshot store use the same writes in the same order; only the status text
// they leave behind differs.

#include <exception>
#include <string_view>

namespace morvane {

inline constexpr std::u16string_view kBusyStatusText = u"Processing...!";
// What undo and redo leave in the status bar. It stays as a custom text: the status bar is
// not handed back to Excel.
inline constexpr std::u16string_view kStoreDoneStatusText = u"Ready";
// What the wizard leaves in the status bar.
inline constexpr std::u16string_view kWizardDoneStatusText = u"";

// EnableCancelKey, StatusBar, ScreenUpdating, Calculation (manual), DisplayAlerts, in this
// order. The first failure ends the sequence and goes to the caller.
void ApplyBusySettings();
// The same writes, each one tried even when an earlier one failed; nothing is reported.
void ApplyBusySettingsEachStep() noexcept;

// Calculation (automatic, whatever it was before), StatusBar, ScreenUpdating, DisplayAlerts,
// in this order. Every write is tried even when an earlier one fails, so one refused write
// never leaves Excel suspended; the first failure is returned for the caller to report or
// drop. EnableCancelKey is left as the busy settings made it.
[[nodiscard]] std::exception_ptr ApplyNormalSettings(std::u16string_view statusText) noexcept;

}  // namespace morvane
