#pragma once

// A host that works until its k-th call and fails that call and every later one, like an Excel
// that has gone away (crashed, or its process ended) in the middle of a command. It wraps
// another host (the simulator) and hands out wrapped objects, so every call through any object
// it gave out is counted and cut off.

#include <memory>
#include <string>

#include "addin/host.h"

namespace morvane::fakes {

class GoneAwayGate {
 public:
  explicit GoneAwayGate(long long failFrom) : failFrom_(failFrom) {}
  void Enter() {
    if (++calls_ >= failFrom_) {
      throw host::HostError(static_cast<std::int32_t>(0x800706BA),
                            u"The RPC server is unavailable.");
    }
  }
  long long calls() const { return calls_; }

 private:
  long long failFrom_;
  long long calls_ = 0;
};

namespace gone_away {

using Gate = std::shared_ptr<GoneAwayGate>;

class Range;
std::shared_ptr<host::Range> Wrap(const Gate& gate, std::shared_ptr<host::Range> inner);
std::shared_ptr<host::Range> Unwrap(const std::shared_ptr<host::Range>& range);

class Enumerator : public host::CellEnumerator {
 public:
  Enumerator(Gate gate, std::unique_ptr<host::CellEnumerator> inner)
      : gate_(std::move(gate)), inner_(std::move(inner)) {}
  std::shared_ptr<host::Range> Next() override {
    gate_->Enter();
    return Wrap(gate_, inner_->Next());
  }

 private:
  Gate gate_;
  std::unique_ptr<host::CellEnumerator> inner_;
};

class Range : public host::Range {
 public:
  Range(Gate gate, std::shared_ptr<host::Range> inner)
      : gate_(std::move(gate)), inner_(std::move(inner)) {}
  std::shared_ptr<host::Range> SpecialCells(int type) override {
    gate_->Enter();
    return Wrap(gate_, inner_->SpecialCells(type));
  }
  std::unique_ptr<host::CellEnumerator> Cells() override {
    gate_->Enter();
    return std::make_unique<Enumerator>(gate_, inner_->Cells());
  }
  host::CellValue Value() override {
    gate_->Enter();
    return inner_->Value();
  }
  void SetValue(const host::CellValue& value) override {
    gate_->Enter();
    inner_->SetValue(value);
  }
  const std::shared_ptr<host::Range>& inner() const { return inner_; }

 private:
  Gate gate_;
  std::shared_ptr<host::Range> inner_;
};

inline std::shared_ptr<host::Range> Wrap(const Gate& gate, std::shared_ptr<host::Range> inner) {
  return inner ? std::make_shared<Range>(gate, std::move(inner)) : nullptr;
}

inline std::shared_ptr<host::Range> Unwrap(const std::shared_ptr<host::Range>& range) {
  const auto* wrapped = dynamic_cast<const Range*>(range.get());
  return wrapped ? wrapped->inner() : range;
}

class Sheet : public host::Sheet {
 public:
  Sheet(Gate gate, std::shared_ptr<host::Sheet> inner)
      : gate_(std::move(gate)), inner_(std::move(inner)) {}
  std::u16string Name() override {
    gate_->Enter();
    return inner_->Name();
  }
  void SetName(const std::u16string& name) override {
    gate_->Enter();
    inner_->SetName(name);
  }
  void SetVisible(bool visible) override {
    gate_->Enter();
    inner_->SetVisible(visible);
  }
  void CopyBefore(host::Sheet& before) override {
    gate_->Enter();
    auto* wrapped = dynamic_cast<Sheet*>(&before);
    inner_->CopyBefore(wrapped ? *wrapped->inner_ : before);
  }
  void Delete() override {
    gate_->Enter();
    inner_->Delete();
  }
  void Activate() override {
    gate_->Enter();
    inner_->Activate();
  }

 private:
  Gate gate_;
  std::shared_ptr<host::Sheet> inner_;
};

inline std::shared_ptr<host::Sheet> WrapSheet(const Gate& gate,
                                              std::shared_ptr<host::Sheet> inner) {
  return inner ? std::make_shared<Sheet>(gate, std::move(inner)) : nullptr;
}

class Sheets : public host::Sheets {
 public:
  Sheets(Gate gate, std::shared_ptr<host::Sheets> inner)
      : gate_(std::move(gate)), inner_(std::move(inner)) {}
  std::int32_t Count() override {
    gate_->Enter();
    return inner_->Count();
  }
  std::shared_ptr<host::Sheet> Item(std::int32_t index) override {
    gate_->Enter();
    return WrapSheet(gate_, inner_->Item(index));
  }
  std::shared_ptr<host::Sheet> Item(const std::u16string& name) override {
    gate_->Enter();
    return WrapSheet(gate_, inner_->Item(name));
  }

 private:
  Gate gate_;
  std::shared_ptr<host::Sheets> inner_;
};

}  // namespace gone_away

class GoneAwayHost : public host::Application {
 public:
  GoneAwayHost(std::shared_ptr<host::Application> inner, long long failFrom)
      : gate_(std::make_shared<GoneAwayGate>(failFrom)), inner_(std::move(inner)) {}

  long long calls() const { return gate_->calls(); }

  std::u16string Version() override {
    gate_->Enter();
    return inner_->Version();
  }
  std::int32_t WorkbooksCount() override {
    gate_->Enter();
    return inner_->WorkbooksCount();
  }
  std::shared_ptr<host::Sheet> ActiveSheet() override {
    gate_->Enter();
    return gone_away::WrapSheet(gate_, inner_->ActiveSheet());
  }
  std::shared_ptr<host::Sheets> Sheets() override {
    gate_->Enter();
    return std::make_shared<gone_away::Sheets>(gate_, inner_->Sheets());
  }
  std::shared_ptr<host::Range> Selection() override {
    gate_->Enter();
    return gone_away::Wrap(gate_, inner_->Selection());
  }
  double CountA(const std::shared_ptr<host::Range>& range) override {
    gate_->Enter();
    return inner_->CountA(gone_away::Unwrap(range));
  }
  std::shared_ptr<host::Range> Intersect(const std::shared_ptr<host::Range>& a,
                                         const std::shared_ptr<host::Range>& b) override {
    gate_->Enter();
    return gone_away::Wrap(gate_, inner_->Intersect(gone_away::Unwrap(a), gone_away::Unwrap(b)));
  }
  void SetEnableCancelKey(int value) override {
    gate_->Enter();
    inner_->SetEnableCancelKey(value);
  }
  void SetStatusBar(const std::u16string& text) override {
    gate_->Enter();
    inner_->SetStatusBar(text);
  }
  void SetScreenUpdating(bool value) override {
    gate_->Enter();
    inner_->SetScreenUpdating(value);
  }
  void SetCalculation(int value) override {
    gate_->Enter();
    inner_->SetCalculation(value);
  }
  void SetDisplayAlerts(bool value) override {
    gate_->Enter();
    inner_->SetDisplayAlerts(value);
  }
  // The wizard and the store never reach these; a call fails like any other after the cut.
  std::shared_ptr<host::ComAddIn> ComAddIn(const std::u16string& progId) override {
    gate_->Enter();
    return inner_->ComAddIn(progId);
  }
  std::shared_ptr<host::CommandBar> CommandBar(const std::u16string& name) override {
    gate_->Enter();
    return inner_->CommandBar(name);
  }

 private:
  gone_away::Gate gate_;
  std::shared_ptr<host::Application> inner_;
};

}  // namespace morvane::fakes
