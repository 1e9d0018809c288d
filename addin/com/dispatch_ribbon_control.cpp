#include "addin/com/dispatch_ribbon_control.h"

#include <oleauto.h>

#include <memory>

#include "addin/com/excel/dispatch_call.h"
#include "addin/com/excel/member_ids.h"
#include "addin/host.h"
#include "snapshot/connected_host.h"

namespace morvane::com {

DispatchRibbonControl::DispatchRibbonControl(IDispatch* control) : control_(control) {}

std::u16string DispatchRibbonControl::Id() {
  if (!control_) {
    throw host::HostError(kObjectNotSet, u"Object variable or With block variable not set");
  }
  const DispatchObject control(control_.get(), std::make_shared<TypeCatalog>());
  Variant id = control.Invoke(u"Id", kGet);
  // The id is text; anything else is converted the way Automation converts it to a string.
  if (id.vt() != VT_BSTR) {
    if (const HRESULT hr = VariantChangeType(id.get(), id.get(), 0, VT_BSTR); FAILED(hr)) {
      throw host::HostError(hr, u"Type mismatch");
    }
  }
  const BSTR text = V_BSTR(id.get());
  const std::wstring_view view(text ? text : L"", SysStringLen(text));
  return std::u16string(view.begin(), view.end());
}

}  // namespace morvane::com
