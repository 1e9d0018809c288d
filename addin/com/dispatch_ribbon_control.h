#pragma once

// The pressed ribbon control as the portable ribbon handler reads it, over the IRibbonControl
// the host passes to RibbonHandler.

#include "addin/com/base/com_ptr.h"
#include "addin/ribbon.h"

struct IDispatch;

namespace morvane::com {

class DispatchRibbonControl final : public RibbonControl {
 public:
  // AddRefs the control for as long as this adapter lives; null is accepted and fails on use.
  explicit DispatchRibbonControl(IDispatch* control);
  // The control's Id, read by name through IDispatch: Office's IRibbonControl is dual, and a
  // control that offers only IDispatch answers too. Fails with host::HostError.
  std::u16string Id() override;

 private:
  ComPtr<IDispatch> control_;
};

}  // namespace morvane::com
