// Sheet and Sheets: host objects over a workbook's sheet list.

#include <algorithm>
#include <stdexcept>

#include "addin/model/errors.h"
#include "hostsim/sheet_names.h"
#include "hostsim/state.h"
#include "hostsim/text_scan.h"
#include "hostsim/workbook_ops.h"

namespace morvane::sim {
namespace {

class SheetObject : public host::Sheet {
 public:
  SheetObject(std::shared_ptr<Excel::State> state, std::shared_ptr<SheetData> sheet)
      : state_(std::move(state)), sheet_(std::move(sheet)) {}

  const std::shared_ptr<SheetData>& data() const { return sheet_; }

  std::u16string Name() override {
    state_->Enter("Sheet.Name");
    return Live()->name;
  }

  void SetName(const std::u16string& name) override {
    state_->Enter("Sheet.SetName");
    RenameSheet(WorkbookOf(), *Live(), name);
  }

  void SetVisible(bool visible) override {
    state_->Enter("Sheet.SetVisible");
    SetVisibility(WorkbookOf(), Live(), visible ? kSheetVisible : kSheetHidden);
  }

  void CopyAfter(host::Sheet& after) override {
    state_->Enter("Sheet.CopyAfter");
    auto* target = dynamic_cast<SheetObject*>(&after);
    if (target == nullptr) {
      throw errors::TypeMismatch();
    }
    const auto copy = CopySheetAfter(Live(), *target->Live());
    if (copy->visibility == kSheetVisible) {
      state_->activeWorkbook = copy->workbook.lock();
    }
  }

  void Delete() override {
    state_->Enter("Sheet.Delete");
    DeleteSheet(WorkbookOf(), Live(), state_->settings.displayAlerts, state_->confirmationsShown);
  }

  std::shared_ptr<host::Range> UsedRange() override {
    state_->Enter("Sheet.UsedRange");
    const auto& sheet = Live();
    // An empty sheet's used range is A1.
    return MakeRange(state_, sheet, {sheet->cells.UsedRange().value_or(Area{})});
  }

  std::shared_ptr<host::Range> Range(const std::u16string& address) override {
    state_->Enter("Sheet.Range");
    const auto& sheet = Live();
    try {
      const std::optional<std::string> ascii = scan::Ascii(address);
      if (ascii) {
        return MakeRange(state_, sheet, ParseAddress(*ascii));
      }
    } catch (const std::invalid_argument&) {
    }
    throw errors::Excel(errors::kApplicationDefined);
  }

  void Activate() override {
    state_->Enter("Sheet.Activate");
    Workbook& workbook = WorkbookOf();
    ActivateSheet(workbook, Live());
    state_->activeWorkbook = sheet_->workbook.lock();
  }

 private:
  const std::shared_ptr<SheetData>& Live() const {
    if (!sheet_->alive) {
      throw errors::Disconnected();
    }
    return sheet_;
  }

  Workbook& WorkbookOf() const {
    const std::shared_ptr<Workbook> workbook = Live()->workbook.lock();
    if (!workbook) {
      throw errors::Disconnected();
    }
    return *workbook;
  }

  std::shared_ptr<Excel::State> state_;
  std::shared_ptr<SheetData> sheet_;
};

// The Sheets collection of one workbook, as Excel's Sheets object belongs to its workbook.
class SheetsObject : public host::Sheets {
 public:
  SheetsObject(std::shared_ptr<Excel::State> state, std::shared_ptr<Workbook> workbook)
      : state_(std::move(state)), workbook_(std::move(workbook)) {}

  std::int32_t Count() override {
    state_->Enter("Sheets.Count");
    return static_cast<std::int32_t>(Live().sheets.size());
  }

  std::shared_ptr<host::Sheet> Item(std::int32_t index) override {
    state_->Enter("Sheets.Item");
    const Workbook& workbook = Live();
    if (index < 1 || static_cast<std::size_t>(index) > workbook.sheets.size()) {
      throw errors::BadIndex();
    }
    return MakeSheet(state_, workbook.sheets[static_cast<std::size_t>(index) - 1]);
  }

  std::shared_ptr<host::Sheet> Item(const std::u16string& name) override {
    state_->Enter("Sheets.Item");
    for (const auto& sheet : Live().sheets) {
      if (SameSheetName(sheet->name, name)) {
        return MakeSheet(state_, sheet);
      }
    }
    throw errors::BadIndex();
  }

 private:
  const Workbook& Live() const {
    const bool open = std::find(state_->workbooks.begin(), state_->workbooks.end(), workbook_) !=
                      state_->workbooks.end();
    if (!open) {
      throw errors::Disconnected();
    }
    return *workbook_;
  }

  std::shared_ptr<Excel::State> state_;
  std::shared_ptr<Workbook> workbook_;
};

}  // namespace

std::shared_ptr<host::Sheet> MakeSheet(std::shared_ptr<Excel::State> state,
                                       std::shared_ptr<SheetData> sheet) {
  return std::make_shared<SheetObject>(std::move(state), std::move(sheet));
}

std::shared_ptr<host::Sheets> MakeSheets(std::shared_ptr<Excel::State> state,
                                         std::shared_ptr<Workbook> workbook) {
  return std::make_shared<SheetsObject>(std::move(state), std::move(workbook));
}

}  // namespace morvane::sim
