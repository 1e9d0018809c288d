#pragma once

// A host that hands every call to another one. Tests derive from it and override only the
// members whose behaviour they change.

#include <memory>
#include <string>

#include "addin/model/host.h"

namespace morvane::fakes {

class ForwardingApplication : public host::Application {
 public:
  explicit ForwardingApplication(std::shared_ptr<host::Application> inner)
      : inner_(std::move(inner)) {}

  std::u16string Version() override { return inner_->Version(); }
  std::int32_t WorkbooksCount() override { return inner_->WorkbooksCount(); }
  std::shared_ptr<host::Sheet> ActiveSheet() override { return inner_->ActiveSheet(); }
  std::shared_ptr<host::Sheets> Sheets() override { return inner_->Sheets(); }
  std::shared_ptr<host::Range> Selection() override { return inner_->Selection(); }
  double CountA(const std::shared_ptr<host::Range>& range) override {
    return inner_->CountA(range);
  }
  std::shared_ptr<host::Range> Intersect(const std::shared_ptr<host::Range>& a,
                                         const std::shared_ptr<host::Range>& b) override {
    return inner_->Intersect(a, b);
  }
  void SetEnableCancelKey(int value) override { inner_->SetEnableCancelKey(value); }
  void SetStatusBar(const std::u16string& text) override { inner_->SetStatusBar(text); }
  void SetScreenUpdating(bool value) override { inner_->SetScreenUpdating(value); }
  void SetCalculation(int value) override { inner_->SetCalculation(value); }
  void SetDisplayAlerts(bool value) override { inner_->SetDisplayAlerts(value); }
  std::shared_ptr<host::ComAddIn> ComAddIn(const std::u16string& progId) override {
    return inner_->ComAddIn(progId);
  }
  std::shared_ptr<host::CommandBar> CommandBar(const std::u16string& name) override {
    return inner_->CommandBar(name);
  }

 protected:
  host::Application& inner() { return *inner_; }

 private:
  std::shared_ptr<host::Application> inner_;
};

}  // namespace morvane::fakes
