#include "addin/com/dispatch_ribbon_control.h"

#include <memory>

#include "addin/com/excel/dispatch_call.h"
#include "addin/com/excel/member_ids.h"
#include "addin/com/excel/result_values.h"
#include "addin/model/errors.h"
#include "addin/model/host.h"

namespace morvane::com {

DispatchRibbonControl::DispatchRibbonControl(IDispatch* control) : control_(control) {}

std::u16string DispatchRibbonControl::Id() {
  if (!control_) {
    ThrowObjectNotSet();
  }
  const DispatchObject control(control_.get(), std::make_shared<TypeCatalog>());
  // The id is text; anything else is converted the way Automation converts it to a string.
  return TextOf(control.Invoke(u"Id", kGet), u"Id");
}

}  // namespace morvane::com
