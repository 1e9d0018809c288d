#pragma once

// A failed host call, HostError, and the errors Excel, Office and Automation raise, with their
// HRESULTs and description texts, in one place: the simulated Excel raises them, the IDispatch
// adapter maps Excel's failures onto them, and the add-in raises some of them itself, so that a
// mistake reaches the host exactly as the same mistake in Excel's own macro language would.
// hostsim/README.md says where each text comes from.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace morvane::host {

// A failed host call: the HRESULT (for Excel errors the scode of its EXCEPINFO) and the host's
// description text.
class HostError : public std::runtime_error {
 public:
  HostError(std::int32_t hresult, std::u16string description);

  std::int32_t hresult() const { return hresult_; }
  const std::u16string& description() const { return description_; }

 private:
  std::int32_t hresult_;
  std::u16string description_;
};

}  // namespace morvane::host

namespace morvane::errors {

// The macro language's run-time error n, as the HRESULT a COM client sees: FACILITY_CONTROL.
constexpr std::int32_t VbaError(std::uint16_t number) {
  return static_cast<std::int32_t>(0x800A0000u | number);
}

// Excel's run-time error 1004, the one it raises for almost everything; its texts below.
inline constexpr std::int32_t kExcelError = VbaError(1004);
// Error 91: a call through an empty object reference.
inline constexpr std::int32_t kObjectNotSet = VbaError(91);
// Error 400: a form that is already on screen cannot be shown modally again.
inline constexpr std::int32_t kFormAlreadyShown = VbaError(400);
// Error 438: the object does not have the member (late binding on the wrong object).
inline constexpr std::int32_t kNoSuchMember = VbaError(438);
// VBA_E_IGNORE: Excel is busy (cell-edit mode, a modal dialog, a call from another thread).
inline constexpr std::int32_t kExcelBusy = VbaError(0xC472);
// Automation's and the system's own codes.
inline constexpr std::int32_t kTypeMismatch = static_cast<std::int32_t>(0x80020005);
inline constexpr std::int32_t kBadIndex = static_cast<std::int32_t>(0x8002000B);
inline constexpr std::int32_t kDisconnected = static_cast<std::int32_t>(0x80010108);
inline constexpr std::int32_t kFail = static_cast<std::int32_t>(0x80004005);
inline constexpr std::int32_t kOutOfMemory = static_cast<std::int32_t>(0x8007000E);
inline constexpr std::int32_t kInvalidArgument = static_cast<std::int32_t>(0x80070057);

// Texts of error 1004.
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

// The texts of the other codes, where a caller composes its own description with them.
inline constexpr char16_t kTypeMismatchText[] = u"Type mismatch";
inline constexpr char16_t kBadIndexText[] = u"Invalid index.";
inline constexpr char16_t kDisconnectedText[] =
    u"The object invoked has disconnected from its clients.";

// Error 1004 with the given text.
host::HostError Excel(std::u16string text);
host::HostError ObjectNotSet();
host::HostError NoSuchMember();
host::HostError TypeMismatch();
// A call on an object whose sheet was deleted or whose workbook was closed.
host::HostError Disconnected();
// An item that a collection does not hold (VBA's "Subscript out of range").
host::HostError BadIndex();
// A null object argument; an Office collection asked for an item it does not hold.
host::HostError InvalidArgument();
// A call on a command bar control that was deleted.
host::HostError Unspecified();

}  // namespace morvane::errors

namespace morvane {

// What a call through an empty object reference raises: error 91.
[[noreturn]] void ThrowObjectNotSet();
[[noreturn]] void ThrowFormAlreadyShown();

// The object behind a reference, or error 91 when the reference is empty (a control that could
// not be added, an item the host did not find).
template <class T>
T& RequireObject(const std::shared_ptr<T>& object) {
  if (!object) {
    ThrowObjectNotSet();
  }
  return *object;
}

}  // namespace morvane
