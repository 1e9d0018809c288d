// The test side of the simulated Excel: setting up workbooks and cells, looking at what the
// add-in did, clicking buttons and restarting. None of these is a host call.

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "hostsim/sheet_names.h"
#include "hostsim/state.h"
#include "hostsim/typed_dates.h"
#include "hostsim/workbook_ops.h"

namespace morvane::sim {
namespace {

void CloseWorkbook(const std::shared_ptr<Workbook>& workbook) {
  for (const auto& sheet : workbook->sheets) {
    sheet->alive = false;
  }
}

ControlView ViewOf(const ControlData& control) {
  ControlView view = control.view;
  view.controls.clear();
  for (const auto& child : control.children) {
    view.controls.push_back(ViewOf(*child));
  }
  return view;
}

// Removes temporary controls (and everything inside them) at the end of a session.
void DropTemporary(ControlData& control) {
  for (const auto& child : control.children) {
    if (child->view.temporary) {
      child->deleted = true;
    } else {
      DropTemporary(*child);
    }
  }
  std::erase_if(control.children, [](const auto& child) { return child->deleted; });
}

void EndConnections(ControlData& control) {
  control.sinks.clear();
  for (const auto& child : control.children) {
    EndConnections(*child);
  }
}

// Runs a host-side rule for test setup, reporting a refusal as the test's mistake.
template <typename Action>
void AsSetup(Action&& action) {
  try {
    action();
  } catch (const host::HostError& error) {
    throw std::invalid_argument(std::string("refused by the host: ") + error.what());
  }
}

}  // namespace

void Excel::SetVersion(std::u16string version) {
  state_->version = std::move(version);
}

void Excel::AddWorkbook(const std::vector<std::u16string>& sheetNames) {
  if (sheetNames.empty()) {
    throw std::invalid_argument("a workbook holds at least one sheet");
  }
  auto workbook = std::make_shared<Workbook>();
  for (const std::u16string& name : sheetNames) {
    const bool taken = std::any_of(workbook->sheets.begin(), workbook->sheets.end(),
                                   [&](const auto& s) { return SameSheetName(s->name, name); });
    if (!IsValidSheetName(name) || taken) {
      throw std::invalid_argument("invalid or repeated sheet name");
    }
    auto sheet = std::make_shared<SheetData>();
    sheet->name = name;
    sheet->workbook = workbook;
    workbook->sheets.push_back(std::move(sheet));
  }
  workbook->activeSheet = workbook->sheets.front();
  state_->workbooks.push_back(workbook);
  state_->activeWorkbook = std::move(workbook);
}

void Excel::CloseActiveWorkbook() {
  const std::shared_ptr<Workbook> workbook = state_->activeWorkbook;
  if (!workbook) {
    throw std::out_of_range("no workbook is open");
  }
  CloseWorkbook(workbook);
  std::erase(state_->workbooks, workbook);
  state_->activeWorkbook = state_->workbooks.empty() ? nullptr : state_->workbooks.back();
}

int Excel::WorkbookCount() const {
  return static_cast<int>(state_->workbooks.size());
}

std::vector<std::u16string> Excel::SheetNames() const {
  std::vector<std::u16string> names;
  for (const auto& sheet : state_->ActiveWorkbookOrThrow().sheets) {
    names.push_back(sheet->name);
  }
  return names;
}

std::u16string Excel::ActiveSheetName() const {
  if (!state_->activeWorkbook || !state_->activeWorkbook->activeSheet) {
    return u"";
  }
  return state_->activeWorkbook->activeSheet->name;
}

int Excel::SheetVisibility(const std::u16string& sheet) const {
  return state_->SheetOrThrow(sheet)->visibility;
}

void Excel::SetSheetVisibility(const std::u16string& sheet, int visibility) {
  Workbook& workbook = state_->ActiveWorkbookOrThrow();
  const auto data = state_->SheetOrThrow(sheet);
  // Setting up may hide sheets of a protected workbook; one sheet must still stay visible.
  struct RestoreProtection {
    Workbook& workbook;
    bool wasProtected;
    ~RestoreProtection() { workbook.structureProtected = wasProtected; }
  } restore{workbook, std::exchange(workbook.structureProtected, false)};
  AsSetup([&] { SetVisibility(workbook, data, visibility); });
}

void Excel::ActivateSheet(const std::u16string& sheet) {
  Workbook& workbook = state_->ActiveWorkbookOrThrow();
  const auto data = state_->SheetOrThrow(sheet);
  AsSetup([&] { sim::ActivateSheet(workbook, data); });
}

void Excel::AddName(const std::u16string& name, const std::u16string& sheet) {
  state_->ActiveWorkbookOrThrow().names.push_back({name, {}, true, state_->SheetOrThrow(sheet)});
}

std::u16string Excel::NameRefersTo(const std::u16string& name,
                                   const std::u16string& localTo) const {
  for (const DefinedName& each : state_->ActiveWorkbookOrThrow().names) {
    const auto scope = each.localTo.lock();
    const bool inScope = localTo.empty() ? each.workbookLevel
                                         : !each.workbookLevel && scope && scope->name == localTo;
    if (each.name == name && inScope) {
      const auto target = each.refersTo.lock();
      return target && target->alive ? target->name : u"#REF!";
    }
  }
  return {};
}

void Excel::ProtectStructure(bool protect) {
  state_->ActiveWorkbookOrThrow().structureProtected = protect;
}

void Excel::ProtectSheet(const std::u16string& sheet, bool protect) {
  state_->SheetOrThrow(sheet)->isProtected = protect;
}

bool Excel::SheetProtected(const std::u16string& sheet) const {
  return state_->SheetOrThrow(sheet)->isProtected;
}

int Excel::ConfirmationsShown() const {
  return state_->confirmationsShown;
}

void Excel::Put(const std::u16string& sheet, const std::string& a1, const CellValue& value,
                const std::u16string& numberFormat) {
  const auto data = state_->SheetOrThrow(sheet);
  const CellKey key = ParseCell(a1);
  CellContent cell = data->cells.Get(key);
  cell.value = value;
  cell.formula.clear();
  cell.prefix = false;
  cell.numberFormat = numberFormat;
  data->cells.Set(key, std::move(cell));
}

void Excel::Type(const std::u16string& sheet, const std::string& a1, const std::u16string& text) {
  const auto data = state_->SheetOrThrow(sheet);
  const CellKey key = ParseCell(a1);
  CellContent cell = data->cells.Get(key);
  WriteValue(cell, text, CurrentYear());
  data->cells.Set(key, std::move(cell));
}

void Excel::PutFormula(const std::u16string& sheet, const std::string& a1,
                       const std::u16string& formula, const CellValue& cachedResult) {
  if (formula.empty()) {
    throw std::invalid_argument("a formula has text");
  }
  const auto data = state_->SheetOrThrow(sheet);
  const CellKey key = ParseCell(a1);
  CellContent cell = data->cells.Get(key);
  cell.formula = formula;
  cell.value = cachedResult;
  cell.prefix = false;
  data->cells.Set(key, std::move(cell));
}

void Excel::SetNumberFormat(const std::u16string& sheet, const std::string& a1,
                            const std::u16string& numberFormat) {
  const auto data = state_->SheetOrThrow(sheet);
  const CellKey key = ParseCell(a1);
  CellContent cell = data->cells.Get(key);
  cell.numberFormat = numberFormat;
  data->cells.Set(key, std::move(cell));
}

void Excel::SetLocked(const std::u16string& sheet, const std::string& a1, bool locked) {
  const auto data = state_->SheetOrThrow(sheet);
  const CellKey key = ParseCell(a1);
  CellContent cell = data->cells.Get(key);
  cell.locked = locked;
  data->cells.Set(key, std::move(cell));
}

CellContent Excel::Cell(const std::u16string& sheet, const std::string& a1) const {
  return state_->SheetOrThrow(sheet)->cells.Get(ParseCell(a1));
}

std::map<std::string, CellContent> Excel::Cells(const std::u16string& sheet) const {
  std::map<std::string, CellContent> cells;
  for (const auto& [key, content] : state_->SheetOrThrow(sheet)->cells.All()) {
    cells.emplace(FormatCell(key), content);
  }
  return cells;
}

void Excel::Select(const std::string& a1Areas) {
  Workbook& workbook = state_->ActiveWorkbookOrThrow();
  workbook.activeSheet->selection = {SelectionState::Kind::Cells, ParseAddress(a1Areas)};
}

void Excel::SelectShape() {
  state_->ActiveWorkbookOrThrow().activeSheet->selection = {SelectionState::Kind::Shape, {}};
}

void Excel::SelectNothing() {
  state_->ActiveWorkbookOrThrow().activeSheet->selection = {SelectionState::Kind::Nothing, {}};
}

std::string Excel::SelectionAddress() const {
  if (!state_->activeWorkbook) {
    return "";
  }
  const SelectionState& selection = state_->activeWorkbook->activeSheet->selection;
  return selection.kind == SelectionState::Kind::Cells ? FormatAddress(selection.areas) : "";
}

std::string Excel::AddressOf(const std::shared_ptr<host::Range>& range) const {
  const std::optional<RangeParts> parts = PartsOf(range);
  return parts ? FormatAddress(parts->areas) : "";
}

std::u16string Excel::SheetOf(const std::shared_ptr<host::Range>& range) const {
  const std::optional<RangeParts> parts = PartsOf(range);
  return parts ? parts->sheet->name : u"";
}

const Settings& Excel::CurrentSettings() const {
  return state_->settings;
}

const std::vector<SettingWrite>& Excel::SettingsLog() const {
  return state_->settingsLog;
}

void Excel::ClearSettingsLog() {
  state_->settingsLog.clear();
}

void Excel::RegisterComAddIn(const std::u16string& progId, std::function<void()> onDisconnect) {
  state_->comAddIns.push_back({progId, true, std::move(onDisconnect)});
}

bool Excel::ComAddInConnected(const std::u16string& progId) const {
  for (const ComAddInEntry& entry : state_->comAddIns) {
    if (entry.progId == progId) {
      return entry.connected;
    }
  }
  throw std::out_of_range("no such COM add-in listed");
}

std::vector<ControlView> Excel::BarControls(const std::u16string& bar) const {
  for (const auto& data : state_->bars) {
    if (data->name == bar) {
      return ViewOf(*data->root).controls;
    }
  }
  throw std::out_of_range("no such command bar");
}

bool Excel::BarVisible(const std::u16string& bar) const {
  for (const auto& data : state_->bars) {
    if (data->name == bar) {
      return data->visible;
    }
  }
  throw std::out_of_range("no such command bar");
}

bool Excel::Click(const std::u16string& bar, const std::vector<std::u16string>& captionPath) {
  std::shared_ptr<ControlData> control;
  for (const auto& data : state_->bars) {
    if (data->name == bar) {
      control = data->root;
    }
  }
  if (!control) {
    throw std::out_of_range("no such command bar");
  }
  for (const std::u16string& caption : captionPath) {
    const auto& children = control->children;
    const auto it = std::find_if(children.begin(), children.end(), [&](const auto& child) {
      return SameCaption(child->view.caption, caption);
    });
    if (it == children.end()) {
      throw std::out_of_range("no control with that caption on the path");
    }
    if (!(*it)->view.visible) {
      throw std::logic_error("a hidden control cannot be clicked");
    }
    control = *it;
  }
  if (control->view.type != host::kControlButton) {
    throw std::logic_error("only a button raises Click");
  }
  // The connection point raises a copy of its list: a handler may end connections (its own
  // included), and each handler stays alive until its call returns. A connection ended before
  // its turn is not called.
  const std::vector<std::shared_ptr<ClickSink>> sinks = control->sinks;
  const std::shared_ptr<host::CommandBarControl> ctrl = MakeControl(state_, control);
  bool cancelDefault = false;
  for (const auto& sink : sinks) {
    if (sink->connected) {
      sink->handler(ctrl, cancelDefault);
    }
  }
  return cancelDefault;
}

int Excel::LiveClickConnections() const {
  return static_cast<int>(state_->clickSinks.size());
}

void Excel::SimulateRestart() {
  for (const auto& workbook : state_->workbooks) {
    CloseWorkbook(workbook);
  }
  state_->workbooks.clear();
  state_->activeWorkbook = nullptr;
  for (const auto& sink : state_->clickSinks) {
    sink->connected = false;
  }
  state_->clickSinks.clear();
  for (const auto& bar : state_->bars) {
    EndConnections(*bar->root);
    DropTemporary(*bar->root);
  }
  state_->settings = Settings{};
}

}  // namespace morvane::sim
