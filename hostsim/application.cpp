// The host side of the simulated Excel: the members of Application.

#include "addin/model/errors.h"
#include "hostsim/areas.h"
#include "hostsim/state.h"

namespace morvane::sim {
namespace {

bool SameProgId(const std::u16string& a, const std::u16string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t l, char16_t r) {
           const auto fold = [](char16_t c) {
             return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c;
           };
           return fold(l) == fold(r);
         });
}

}  // namespace

std::shared_ptr<Excel> Excel::Create() {
  return std::shared_ptr<Excel>(new Excel());
}

Excel::Excel() : state_(std::make_shared<State>()) {
  state_->bars = BuiltInCommandBars();
}

Excel::~Excel() {
  // Handlers often hold host objects, which hold the state: end the connections so that the
  // state does not keep itself alive through them.
  for (const auto& sink : state_->clickSinks) {
    sink->connected = false;
  }
  state_->clickSinks.clear();
  std::vector<std::shared_ptr<ControlData>> pending;
  for (const auto& bar : state_->bars) {
    pending.push_back(bar->root);
  }
  while (!pending.empty()) {
    const auto control = pending.back();
    pending.pop_back();
    control->sinks.clear();
    pending.insert(pending.end(), control->children.begin(), control->children.end());
  }
}

std::u16string Excel::Version() {
  state_->Enter("Application.Version");
  return state_->version;
}

std::int32_t Excel::WorkbooksCount() {
  state_->Enter("Application.WorkbooksCount");
  return static_cast<std::int32_t>(state_->workbooks.size());
}

std::shared_ptr<host::Sheet> Excel::ActiveSheet() {
  state_->Enter("Application.ActiveSheet");
  if (!state_->activeWorkbook || !state_->activeWorkbook->activeSheet) {
    return nullptr;
  }
  return MakeSheet(state_, state_->activeWorkbook->activeSheet);
}

std::shared_ptr<host::Sheets> Excel::Sheets() {
  state_->Enter("Application.Sheets");
  if (!state_->activeWorkbook) {
    throw errors::Excel(errors::kSheetsFailed);
  }
  return MakeSheets(state_, state_->activeWorkbook);
}

std::shared_ptr<host::Range> Excel::Selection() {
  state_->Enter("Application.Selection");
  if (!state_->activeWorkbook || !state_->activeWorkbook->activeSheet) {
    return nullptr;
  }
  const auto& sheet = state_->activeWorkbook->activeSheet;
  switch (sheet->selection.kind) {
    case SelectionState::Kind::Cells:
      return MakeRange(state_, sheet, sheet->selection.areas);
    case SelectionState::Kind::Shape:
      return MakeShapeSelection(state_);
    case SelectionState::Kind::Nothing:
      return nullptr;
  }
  return nullptr;
}

double Excel::CountA(const std::shared_ptr<host::Range>& range) {
  state_->Enter("Application.CountA");
  const std::optional<RangeParts> parts = PartsOf(range);
  if (!parts) {
    throw errors::Excel(errors::kCountAFailed);
  }
  if (!parts->sheet->alive) {
    throw errors::Disconnected();
  }
  // Each area counts on its own, as COUNTA counts each area of a union reference.
  double count = 0;
  for (const Area& area : parts->areas) {
    parts->sheet->cells.ForEachIn(area, [&](CellKey, const CellContent& cell) {
      if (IsNonEmpty(cell)) {
        ++count;
      }
    });
  }
  return count;
}

std::shared_ptr<host::Range> Excel::Intersect(const std::shared_ptr<host::Range>& a,
                                              const std::shared_ptr<host::Range>& b) {
  state_->Enter("Application.Intersect");
  if (!a || !b) {
    throw errors::InvalidArgument();
  }
  const std::optional<RangeParts> first = PartsOf(a);
  const std::optional<RangeParts> second = PartsOf(b);
  if (!first || !second) {
    throw errors::TypeMismatch();
  }
  if (!first->sheet->alive || !second->sheet->alive) {
    throw errors::Disconnected();
  }
  if (first->sheet != second->sheet) {
    throw errors::Excel(errors::kIntersectFailed);
  }
  std::vector<Area> overlap = IntersectAreas(first->areas, second->areas);
  if (overlap.empty()) {
    return nullptr;
  }
  return MakeRange(state_, first->sheet, std::move(overlap));
}

void Excel::SetEnableCancelKey(int value) {
  state_->Enter("Application.SetEnableCancelKey");
  if (value < 0 || value > 2) {
    throw errors::Excel(errors::kEnableCancelKeyFailed);
  }
  state_->settings.enableCancelKey = value;
  state_->settingsLog.push_back({"EnableCancelKey", value});
}

void Excel::SetStatusBar(const std::u16string& text) {
  state_->Enter("Application.SetStatusBar");
  state_->settings.statusBar = text;
  state_->settings.statusBarIsCustom = true;
  state_->settingsLog.push_back({"StatusBar", text});
}

void Excel::SetScreenUpdating(bool value) {
  state_->Enter("Application.SetScreenUpdating");
  state_->settings.screenUpdating = value;
  state_->settingsLog.push_back({"ScreenUpdating", value});
}

void Excel::SetCalculation(int value) {
  state_->Enter("Application.SetCalculation");
  const bool known = value == host::kCalculationAutomatic || value == host::kCalculationManual ||
                     value == 2;  // xlCalculationSemiautomatic
  // Calculation belongs to the open workbooks: with none open there is nothing to set.
  if (state_->workbooks.empty() || !known) {
    throw errors::Excel(errors::kCalculationFailed);
  }
  state_->settings.calculation = value;
  state_->settingsLog.push_back({"Calculation", value});
}

void Excel::SetDisplayAlerts(bool value) {
  state_->Enter("Application.SetDisplayAlerts");
  state_->settings.displayAlerts = value;
  state_->settingsLog.push_back({"DisplayAlerts", value});
}

std::shared_ptr<host::ComAddIn> Excel::ComAddIn(const std::u16string& progId) {
  state_->Enter("Application.ComAddIn");
  for (const ComAddInEntry& entry : state_->comAddIns) {
    if (SameProgId(entry.progId, progId)) {
      return MakeComAddIn(state_, entry.progId);
    }
  }
  throw errors::BadIndex();
}

std::shared_ptr<host::CommandBar> Excel::CommandBar(const std::u16string& name) {
  state_->Enter("Application.CommandBar");
  for (const auto& bar : state_->bars) {
    if (SameCaption(bar->name, name)) {
      return MakeCommandBar(state_, bar);
    }
  }
  throw errors::InvalidArgument();
}

}  // namespace morvane::sim
