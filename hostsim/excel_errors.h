#pragma once

// The errors the simulated Excel raises, with Excel's own description texts where they are
// known (hostsim/README.md lists where each text comes from).

#include <string>

#include "addin/model/host.h"

namespace morvane::sim::errors {

// Texts of Excel's run-time error 1004 (HRESULT 0x800A03EC).
inline constexpr char16_t kNoCellsFound[] = u"No cells were found.";
inline constexpr char16_t kApplicationDefined[] = u"Application-defined or object-defined error";
inline constexpr char16_t kInvalidSheetName[] =
    u"You typed an invalid name for a sheet or chart. Make sure that:\n"
    u"\u2022 The name that you type does not exceed 31 characters.\n"
    u"\u2022 The name does not contain any of the following characters: : \\ / ? * [ or ]\n"
    u"\u2022 You did not leave the name blank.";
inline constexpr char16_t kSheetNameTaken[] = u"That name is already taken. Try a different one.";
inline constexpr char16_t kWorkbookProtected[] = u"Workbook is protected and cannot be changed.";
inline constexpr char16_t kDeleteFailed[] = u"Delete method of Worksheet class failed";
inline constexpr char16_t kSetVisibleFailed[] =
    u"Unable to set the Visible property of the Worksheet class";
inline constexpr char16_t kActivateFailed[] = u"Activate method of Worksheet class failed";
inline constexpr char16_t kCalculationFailed[] =
    u"Unable to set the Calculation property of the Application class";
inline constexpr char16_t kEnableCancelKeyFailed[] =
    u"Unable to set the EnableCancelKey property of the Application class";
inline constexpr char16_t kCountAFailed[] =
    u"Unable to get the CountA property of the WorksheetFunction class";
inline constexpr char16_t kSpecialCellsFailed[] =
    u"Unable to get the SpecialCells property of the Range class";
inline constexpr char16_t kIntersectFailed[] =
    u"Method 'Intersect' of object '_Application' failed";
inline constexpr char16_t kSheetsFailed[] = u"Method 'Sheets' of object '_Application' failed";
inline constexpr char16_t kProtectedCell[] =
    u"The cell or chart you're trying to change is on a protected sheet. To make a change, "
    u"unprotect the sheet. You might be requested to enter a password.";

// Error 1004 with the given text.
host::HostError Excel(const std::u16string& text);
// VBA error 438: the object (a shape standing in for a range, a button asked for its
// controls) does not have the member.
host::HostError NoSuchMember();
// A call on a sheet that was deleted or whose workbook was closed (RPC_E_DISCONNECTED).
host::HostError Disconnected();
// An item that a collection does not hold (DISP_E_BADINDEX, VBA's "Subscript out of range").
host::HostError BadIndex();
// An Office collection asked for an item it does not hold, or given an argument out of range.
host::HostError InvalidArgument();
host::HostError TypeMismatch();
// A call on a command bar control that was deleted.
host::HostError DeletedControl();

}  // namespace morvane::sim::errors
