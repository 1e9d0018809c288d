#pragma once

// A pressed ribbon control with a chosen id, or one whose id cannot be read.

#include <exception>
#include <string>

#include "addin/ribbon.h"

namespace morvane::fakes {

class FakeRibbonControl : public RibbonControl {
 public:
  explicit FakeRibbonControl(std::u16string id) : id_(std::move(id)) {}
  static FakeRibbonControl Failing(std::exception_ptr failure) {
    FakeRibbonControl control(u"");
    control.failure_ = std::move(failure);
    return control;
  }

  std::u16string Id() override {
    if (failure_) {
      std::rethrow_exception(failure_);
    }
    return id_;
  }

 private:
  std::u16string id_;
  std::exception_ptr failure_;
};

}  // namespace morvane::fakes
