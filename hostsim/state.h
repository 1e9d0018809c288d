#pragma once

// The whole simulated host, shared by the Excel object and every host object it hands out.
// Host objects keep the state alive, as a COM reference keeps Excel alive.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hostsim/address.h"
#include "hostsim/excel.h"
#include "hostsim/sheet_cells.h"

namespace morvane::sim {

struct Workbook;

// What a sheet has selected: cells, a drawing object, or nothing.
struct SelectionState {
  enum class Kind { Cells, Shape, Nothing };
  Kind kind = Kind::Cells;
  std::vector<Area> areas{AreaOf({1, 1})};
};

struct SheetData {
  std::u16string name;
  int visibility = kSheetVisible;
  bool isProtected = false;
  SheetCells cells;
  SelectionState selection;
  std::weak_ptr<Workbook> workbook;
  // False once the sheet is deleted or its workbook closed: its objects are then disconnected.
  bool alive = true;
};

// A defined name: workbook-level, or local to one sheet, referring to cells of one sheet. It
// follows that sheet object (renamed, it still refers to it) and is #REF! once the sheet goes.
struct DefinedName {
  std::u16string name;
  std::weak_ptr<SheetData> localTo;  // expired for a workbook-level name
  bool workbookLevel = true;
  std::weak_ptr<SheetData> refersTo;
};

struct Workbook {
  std::vector<std::shared_ptr<SheetData>> sheets;
  std::vector<DefinedName> names;
  std::shared_ptr<SheetData> activeSheet;
  bool structureProtected = false;
};

// One connected Click handler. Click raises a copy of the list, so a handler that ends its own
// connection (or another's) stays alive until its call returns.
struct ClickSink {
  host::ClickHandler handler;
  bool connected = true;
};

// A command bar control, or the root of a bar (whose children are the bar's controls).
struct ControlData {
  ControlView view;  // its `controls` member is unused; the children below are the truth
  std::vector<std::shared_ptr<ControlData>> children;
  std::weak_ptr<ControlData> parent;
  bool deleted = false;
  std::vector<std::shared_ptr<ClickSink>> sinks;
};

struct BarData {
  std::u16string name;
  bool visible = true;
  std::shared_ptr<ControlData> root = std::make_shared<ControlData>();
};

struct ComAddInEntry {
  std::u16string progId;
  bool connected = true;
  std::function<void()> onDisconnect;
};

struct Excel::State {
  std::u16string version = u"16.0";
  std::vector<std::shared_ptr<Workbook>> workbooks;
  std::shared_ptr<Workbook> activeWorkbook;
  int confirmationsShown = 0;

  Settings settings;
  std::vector<SettingWrite> settingsLog;

  std::vector<ComAddInEntry> comAddIns;
  std::vector<std::shared_ptr<BarData>> bars;
  // Every Click connection not yet released, in connection order.
  std::vector<std::shared_ptr<ClickSink>> clickSinks;

  std::map<std::string, long long> calls;
  long long totalCalls = 0;
  std::map<std::string, host::HostError> memberFaults;
  std::optional<std::pair<long long, host::HostError>> nthCallFault;
  std::optional<std::pair<long long, host::HostError>> goneFromCall;

  // Every host call starts here: it is counted, then fails if a fault is injected for it.
  void Enter(const char* member);

  // Test-side look-ups; they throw std::out_of_range for names the test got wrong.
  Workbook& ActiveWorkbookOrThrow() const;
  std::shared_ptr<SheetData> SheetOrThrow(const std::u16string& name) const;
};

// Sheet objects over a sheet's data; defined in sheet_objects.cpp.
std::shared_ptr<host::Sheet> MakeSheet(std::shared_ptr<Excel::State> state,
                                       std::shared_ptr<SheetData> sheet);
std::shared_ptr<host::Sheets> MakeSheets(std::shared_ptr<Excel::State> state,
                                         std::shared_ptr<Workbook> workbook);

// Range objects; defined in range_objects.cpp.
std::shared_ptr<host::Range> MakeRange(std::shared_ptr<Excel::State> state,
                                       std::shared_ptr<SheetData> sheet, std::vector<Area> areas);
// What Selection gives for a drawing object: a Range whose every member fails.
std::shared_ptr<host::Range> MakeShapeSelection(std::shared_ptr<Excel::State> state);
// The sheet and areas of a range made here, or nullopt for anything else (a shape, a foreign
// implementation, nullptr).
struct RangeParts {
  std::shared_ptr<SheetData> sheet;
  std::vector<Area> areas;
};
std::optional<RangeParts> PartsOf(const std::shared_ptr<host::Range>& range);

// Command bar objects; defined in command_bar_objects.cpp.
std::shared_ptr<host::CommandBar> MakeCommandBar(std::shared_ptr<Excel::State> state,
                                                 std::shared_ptr<BarData> bar);
std::shared_ptr<host::CommandBarControl> MakeControl(std::shared_ptr<Excel::State> state,
                                                     std::shared_ptr<ControlData> control);
// The bars a freshly installed Excel has, with the menu bar's built-in popups.
std::vector<std::shared_ptr<BarData>> BuiltInCommandBars();
// Caption matching as Office does it for Controls(caption): accelerator '&' and letter case
// ignored.
bool SameCaption(const std::u16string& a, const std::u16string& b);

std::shared_ptr<host::ComAddIn> MakeComAddIn(std::shared_ptr<Excel::State> state,
                                             std::u16string progId);

// Writes a value into one cell as a Value write does; protection is the caller's business.
void WriteValue(CellContent& cell, const host::CellValue& value, int currentYear);

}  // namespace morvane::sim
