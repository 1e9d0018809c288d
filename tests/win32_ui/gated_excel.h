#pragma once

// The simulated Excel with a Rendezvous point before every visited cell and at the closing
// steps. Convert enumerates the cells of the range it gets from Intersect, and its closing
// steps begin with Calculation := automatic; everything else goes straight to the simulator.

#include <memory>

#include "addin/model/host.h"
#include "hostsim/excel.h"
#include "support/forwarding_application.h"
#include "win32_ui/rendezvous.h"

namespace morvane::uitest {

class GatedCells final : public host::CellEnumerator {
 public:
  GatedCells(std::unique_ptr<host::CellEnumerator> cells, Rendezvous& gates,
             std::shared_ptr<int> visited)
      : cells_(std::move(cells)), gates_(gates), visited_(std::move(visited)) {}

  std::shared_ptr<host::Range> Next() override {
    auto cell = cells_->Next();
    if (cell) {
      gates_.Reach(++*visited_);
    }
    return cell;
  }

 private:
  std::unique_ptr<host::CellEnumerator> cells_;
  Rendezvous& gates_;
  std::shared_ptr<int> visited_;  // shared by the areas of one range
};

class GatedRange final : public host::Range {
 public:
  GatedRange(std::shared_ptr<host::Range> range, Rendezvous& gates,
             std::shared_ptr<int> visited = std::make_shared<int>(0))
      : range_(std::move(range)), gates_(gates), visited_(std::move(visited)) {}

  std::shared_ptr<host::Range> SpecialCells(int type) override {
    return range_->SpecialCells(type);
  }
  std::unique_ptr<host::CellEnumerator> Cells() override {
    return std::make_unique<GatedCells>(range_->Cells(), gates_, visited_);
  }
  host::CellValue Value() override { return range_->Value(); }
  void SetValue(const host::CellValue& value) override { range_->SetValue(value); }
  std::u16string NumberFormat() override { return range_->NumberFormat(); }
  std::u16string Address() override { return range_->Address(); }
  host::CellValues Values() override { return range_->Values(); }
  std::int32_t AreaCount() override { return range_->AreaCount(); }
  std::shared_ptr<host::Range> Area(std::int32_t index) override {
    return std::make_shared<GatedRange>(range_->Area(index), gates_, visited_);
  }
  host::CellBlock Bounds() override { return range_->Bounds(); }

  const std::shared_ptr<host::Range>& inner() const { return range_; }

 private:
  std::shared_ptr<host::Range> range_;
  Rendezvous& gates_;
  std::shared_ptr<int> visited_;
};

class GatedExcel final : public fakes::ForwardingApplication {
 public:
  GatedExcel(std::shared_ptr<sim::Excel> excel, Rendezvous& gates)
      : ForwardingApplication(std::move(excel)), gates_(gates) {}

  double CountA(const std::shared_ptr<host::Range>& range) override {
    return inner().CountA(Unwrapped(range));
  }
  std::shared_ptr<host::Range> Intersect(const std::shared_ptr<host::Range>& a,
                                         const std::shared_ptr<host::Range>& b) override {
    auto overlap = inner().Intersect(Unwrapped(a), Unwrapped(b));
    return overlap ? std::make_shared<GatedRange>(std::move(overlap), gates_) : nullptr;
  }
  void SetCalculation(int value) override {
    if (value == host::kCalculationAutomatic) {
      gates_.Reach(kClosingSteps);
    }
    inner().SetCalculation(value);
  }

 private:
  static std::shared_ptr<host::Range> Unwrapped(const std::shared_ptr<host::Range>& range) {
    if (auto gated = std::dynamic_pointer_cast<GatedRange>(range)) {
      return gated->inner();
    }
    return range;
  }

  Rendezvous& gates_;
};

}  // namespace morvane::uitest
