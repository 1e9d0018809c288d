#pragma once

// The simulated Excel with a Rendezvous point before every visited cell and at the closing
// steps. Convert enumerates the cells of the range it gets from Intersect, and its closing
// steps begin with Calculation := automatic; everything else goes straight to the simulator.

#include <memory>

#include "addin/host.h"
#include "hostsim/excel.h"
#include "win32_ui/rendezvous.h"

namespace morvane::uitest {

class GatedCells final : public host::CellEnumerator {
 public:
  GatedCells(std::unique_ptr<host::CellEnumerator> cells, Rendezvous& gates)
      : cells_(std::move(cells)), gates_(gates) {}

  std::shared_ptr<host::Range> Next() override {
    auto cell = cells_->Next();
    if (cell) {
      gates_.Reach(++visited_);
    }
    return cell;
  }

 private:
  std::unique_ptr<host::CellEnumerator> cells_;
  Rendezvous& gates_;
  int visited_ = 0;
};

class GatedRange final : public host::Range {
 public:
  GatedRange(std::shared_ptr<host::Range> range, Rendezvous& gates)
      : range_(std::move(range)), gates_(gates) {}

  std::shared_ptr<host::Range> SpecialCells(int type) override {
    return range_->SpecialCells(type);
  }
  std::unique_ptr<host::CellEnumerator> Cells() override {
    return std::make_unique<GatedCells>(range_->Cells(), gates_);
  }
  host::CellValue Value() override { return range_->Value(); }
  void SetValue(const host::CellValue& value) override { range_->SetValue(value); }

  const std::shared_ptr<host::Range>& inner() const { return range_; }

 private:
  std::shared_ptr<host::Range> range_;
  Rendezvous& gates_;
};

class GatedExcel final : public host::Application {
 public:
  GatedExcel(std::shared_ptr<sim::Excel> excel, Rendezvous& gates)
      : excel_(std::move(excel)), gates_(gates) {}

  std::u16string Version() override { return excel_->Version(); }
  std::int32_t WorkbooksCount() override { return excel_->WorkbooksCount(); }
  std::shared_ptr<host::Sheet> ActiveSheet() override { return excel_->ActiveSheet(); }
  std::shared_ptr<host::Sheets> Sheets() override { return excel_->Sheets(); }
  std::shared_ptr<host::Range> Selection() override { return excel_->Selection(); }
  double CountA(const std::shared_ptr<host::Range>& range) override {
    return excel_->CountA(Unwrapped(range));
  }
  std::shared_ptr<host::Range> Intersect(const std::shared_ptr<host::Range>& a,
                                         const std::shared_ptr<host::Range>& b) override {
    auto overlap = excel_->Intersect(Unwrapped(a), Unwrapped(b));
    return overlap ? std::make_shared<GatedRange>(std::move(overlap), gates_) : nullptr;
  }
  void SetEnableCancelKey(int value) override { excel_->SetEnableCancelKey(value); }
  void SetStatusBar(const std::u16string& text) override { excel_->SetStatusBar(text); }
  void SetScreenUpdating(bool value) override { excel_->SetScreenUpdating(value); }
  void SetCalculation(int value) override {
    if (value == host::kCalculationAutomatic) {
      gates_.Reach(kClosingSteps);
    }
    excel_->SetCalculation(value);
  }
  void SetDisplayAlerts(bool value) override { excel_->SetDisplayAlerts(value); }
  std::shared_ptr<host::ComAddIn> ComAddIn(const std::u16string& progId) override {
    return excel_->ComAddIn(progId);
  }
  std::shared_ptr<host::CommandBar> CommandBar(const std::u16string& name) override {
    return excel_->CommandBar(name);
  }

 private:
  static std::shared_ptr<host::Range> Unwrapped(const std::shared_ptr<host::Range>& range) {
    if (auto gated = std::dynamic_pointer_cast<GatedRange>(range)) {
      return gated->inner();
    }
    return range;
  }

  std::shared_ptr<sim::Excel> excel_;
  Rendezvous& gates_;
};

}  // namespace morvane::uitest
