#pragma once

// Late-bound calls as an Automation client makes them: the name looked up first, arguments in
// reverse order in rgvarg, a property put's value named DISPID_PROPERTYPUT.

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/com_holders.h"

namespace morvane::e2e {

struct DispatchOutcome {
  HRESULT hr = E_FAIL;
  Variant value;
  // From EXCEPINFO when hr is DISP_E_EXCEPTION.
  HRESULT scode = S_OK;
  std::wstring source;
  std::wstring description;
  UINT argError = 0xdeadbeef;  // untouched unless the callee set it
};

// One argument, by position or (with a name) by parameter name. Copies the value.
struct DispatchArg {
  DispatchArg(const VARIANT& value, std::wstring name = {});
  DispatchArg(const DispatchArg& other);
  DispatchArg& operator=(const DispatchArg&) = delete;
  ~DispatchArg();

  VARIANT value;
  std::wstring name;
};

DispatchArg TextArg(std::wstring_view text, std::wstring name = {});
DispatchArg IntArg(std::int32_t value, std::wstring name = {});
DispatchArg BoolArg(bool value, std::wstring name = {});
DispatchArg ObjectArg(IDispatch* object, std::wstring name = {});  // AddRefs

// Calls `member` with DISPATCH_METHOD|DISPATCH_PROPERTYGET, or DISPATCH_PROPERTYPUT when `put`
// holds the value to store.
DispatchOutcome CallMember(IDispatch* object, std::wstring_view member,
                           const std::vector<DispatchArg>& args = {}, LCID lcid = 0x0409);
DispatchOutcome PutMember(IDispatch* object, std::wstring_view member, const DispatchArg& value,
                          const std::vector<DispatchArg>& args = {}, LCID lcid = 0x0409);

// The object a successful call returned (empty for Nothing or a failure).
ComPtr<IDispatch> ObjectOf(const DispatchOutcome& outcome);
std::wstring TextOf(const DispatchOutcome& outcome);

}  // namespace morvane::e2e
