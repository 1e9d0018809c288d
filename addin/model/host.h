#pragma once

// The host object model the add-in uses: exactly the members of Excel's and Office's automation
// interfaces that the add-in calls, and nothing more. Two implementations exist: the IDispatch
// adapter over the real Excel (Windows only) and the simulated Excel in hostsim/.
//
// Every member either returns or throws HostError (addin/model/errors.h). Objects are shared: a
// host object stays valid for as long as someone holds it, like a COM reference.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "addin/model/errors.h"

namespace morvane::host {

// Excel's cell error values, by their CVErr numbers (the VT_ERROR scode is 0x800A0000 + n).
enum class ErrorValue : std::int32_t {
  Null = 2000,
  Div0 = 2007,
  Value = 2015,
  Ref = 2023,
  Name = 2029,
  Num = 2036,
  NA = 2042,
};

struct Empty {
  friend bool operator==(Empty, Empty) = default;
};
// A date-formatted number: Excel's serial date (VT_DATE).
struct Date {
  double serial = 0;
  friend bool operator==(Date, Date) = default;
};
// A currency-formatted number: VT_CY, a 64-bit integer scaled by 10,000.
struct Currency {
  std::int64_t scaled = 0;
  friend bool operator==(Currency, Currency) = default;
};

// What a cell's Value gives and takes: empty, text, number, date, logical, currency, error.
using CellValue = std::variant<Empty, std::u16string, double, Date, bool, Currency, ErrorValue>;

// XlCellType for SpecialCells: cells holding constants of every kind, and formula cells.
inline constexpr int kCellTypeConstants = 2;
inline constexpr int kCellTypeFormulas = -4123;

// XlCalculation, XlEnableCancelKey.
inline constexpr int kCalculationAutomatic = -4105;
inline constexpr int kCalculationManual = -4135;
inline constexpr int kCancelKeyErrorHandler = 2;

// MsoControlType and MsoButtonStyle values the add-in uses.
inline constexpr int kControlButton = 1;
inline constexpr int kControlPopup = 10;
inline constexpr int kButtonIconAndCaption = 3;

class Range;

// The values of a block of cells, row by row: rows * columns of them.
struct CellValues {
  std::int32_t rows = 0;
  std::int32_t columns = 0;
  std::vector<CellValue> values;
};

// Where a one-area range lies: its top-left cell's 1-based row and column (Row, Column) and its
// size (Rows.Count, Columns.Count).
struct CellBlock {
  std::int32_t row = 1;
  std::int32_t column = 1;
  std::int32_t rows = 1;
  std::int32_t columns = 1;
  friend bool operator==(const CellBlock&, const CellBlock&) = default;
};

// Pulls the cells of a range one at a time, in the host's order (the _NewEnum of a Range).
class CellEnumerator {
 public:
  virtual ~CellEnumerator() = default;
  // The next cell as a one-cell range, or nullptr after the last one.
  virtual std::shared_ptr<Range> Next() = 0;
};

// A range of cells. What Excel's Selection gives may be another kind of object (a shape, a
// chart): its adapter is still a Range, and every member fails as late binding would.
class Range {
 public:
  virtual ~Range() = default;
  // SpecialCells(type) with no value argument: constants of every kind.
  virtual std::shared_ptr<Range> SpecialCells(int type) = 0;
  virtual std::unique_ptr<CellEnumerator> Cells() = 0;
  // Value of a one-cell range.
  virtual CellValue Value() = 0;
  virtual void SetValue(const CellValue& value) = 0;
  // NumberFormat of a one-cell range, as Excel's English format code ("General", "@").
  virtual std::u16string NumberFormat() = 0;
  // Address with its arguments omitted: absolute, A1 style ("$A$1", "$A$1:$B$3").
  virtual std::u16string Address() = 0;
  // Value of the first area read whole: Excel gives a multi-cell area's values as a 2-D array,
  // 1-based (rows, then columns), and one cell's value alone; both read as a block here.
  virtual CellValues Values() = 0;
  // Areas.Count, and Areas.Item(index), 1-based: each area a one-area range, in order.
  virtual std::int32_t AreaCount() = 0;
  virtual std::shared_ptr<Range> Area(std::int32_t index) = 0;
  // The first area's position and size.
  virtual CellBlock Bounds() = 0;
};

class Sheet {
 public:
  virtual ~Sheet() = default;
  virtual std::u16string Name() = 0;
  virtual void SetName(const std::u16string& name) = 0;
  // Visible := True (xlSheetVisible) or False (xlSheetHidden).
  virtual void SetVisible(bool visible) = 0;
  // Copy with After given (Before omitted); Excel makes the copy the active sheet.
  virtual void CopyAfter(Sheet& after) = 0;
  virtual void Delete() = 0;
  virtual void Activate() = 0;
  // The worksheet's UsedRange, and its Range(address) for an A1 address.
  virtual std::shared_ptr<host::Range> UsedRange() = 0;
  virtual std::shared_ptr<host::Range> Range(const std::u16string& address) = 0;
};

// The active workbook's Sheets collection (worksheets and chart sheets alike).
class Sheets {
 public:
  virtual ~Sheets() = default;
  virtual std::int32_t Count() = 0;
  virtual std::shared_ptr<Sheet> Item(std::int32_t index) = 0;  // 1-based
  virtual std::shared_ptr<Sheet> Item(const std::u16string& name) = 0;
};

class CommandBarControl;

// The connection of a Click handler to a button; released, it disconnects.
class EventConnection {
 public:
  virtual ~EventConnection() = default;
};

// Click(Ctrl, CancelDefault) of _CommandBarButtonEvents.
using ClickHandler =
    std::function<void(const std::shared_ptr<CommandBarControl>& ctrl, bool& cancelDefault)>;

// The optional arguments of CommandBarControls.Add; an empty one is omitted in the call.
struct ControlAddArgs {
  std::optional<int> type;
  std::optional<int> id;
  std::optional<std::u16string> parameter;
  std::optional<int> before;
  std::optional<bool> temporary;
};

class CommandBarControls {
 public:
  virtual ~CommandBarControls() = default;
  virtual std::shared_ptr<CommandBarControl> Add(const ControlAddArgs& args) = 0;
  // Item by caption, matched as the host matches it.
  virtual std::shared_ptr<CommandBarControl> Item(const std::u16string& caption) = 0;
};

// A command bar control: a popup or a button. Members a kind does not have fail.
class CommandBarControl {
 public:
  virtual ~CommandBarControl() = default;
  virtual void SetCaption(const std::u16string& caption) = 0;
  virtual std::u16string Tag() = 0;
  virtual void SetTag(const std::u16string& tag) = 0;
  virtual void SetFaceId(int faceId) = 0;
  virtual void SetStyle(int style) = 0;
  virtual void SetParameter(const std::u16string& parameter) = 0;
  virtual void SetBeginGroup(bool beginGroup) = 0;
  virtual void SetVisible(bool visible) = 0;
  // Delete with its temporary argument omitted.
  virtual void Delete() = 0;
  // A popup's own controls.
  virtual std::shared_ptr<CommandBarControls> Controls() = 0;
  // Connects a handler to the button's Click event (the button as _CommandBarButton).
  virtual std::unique_ptr<EventConnection> ConnectClick(ClickHandler handler) = 0;
};

class CommandBar {
 public:
  virtual ~CommandBar() = default;
  virtual void SetVisible(bool visible) = 0;
  virtual std::shared_ptr<CommandBarControls> Controls() = 0;
};

// An entry of Application.COMAddIns.
class ComAddIn {
 public:
  virtual ~ComAddIn() = default;
  // Connect := false makes the host disconnect the add-in.
  virtual void SetConnect(bool connect) = 0;
};

// Excel's Application. Settings are written with locale 1033.
class Application {
 public:
  virtual ~Application() = default;
  virtual std::u16string Version() = 0;
  virtual std::int32_t WorkbooksCount() = 0;
  virtual std::shared_ptr<Sheet> ActiveSheet() = 0;
  virtual std::shared_ptr<host::Sheets> Sheets() = 0;
  // The selection, or nullptr when nothing is selected (Nothing).
  virtual std::shared_ptr<Range> Selection() = 0;
  // WorksheetFunction.CountA with one argument.
  virtual double CountA(const std::shared_ptr<Range>& range) = 0;
  // Intersect of two ranges: nullptr when they do not meet (Nothing).
  virtual std::shared_ptr<Range> Intersect(const std::shared_ptr<Range>& a,
                                           const std::shared_ptr<Range>& b) = 0;

  virtual void SetEnableCancelKey(int value) = 0;
  virtual void SetStatusBar(const std::u16string& text) = 0;
  virtual void SetScreenUpdating(bool value) = 0;
  virtual void SetCalculation(int value) = 0;
  virtual void SetDisplayAlerts(bool value) = 0;

  // COMAddIns.Item(progId).
  virtual std::shared_ptr<host::ComAddIn> ComAddIn(const std::u16string& progId) = 0;
  // CommandBars.Item(name).
  virtual std::shared_ptr<host::CommandBar> CommandBar(const std::u16string& name) = 0;
};

}  // namespace morvane::host
