#pragma once

// Late-bound calls as an Automation client makes them: the name looked up first, arguments in
// reverse order in rgvarg, a property put's value named DISPID_PROPERTYPUT. Unlike the add-in's
// own caller, it passes named arguments and hands back the raw outcome, for the tests that
// check how the simulated Excel answers.

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <utility>
#include <vector>

#include "addin/com/base/com_ptr.h"
#include "addin/com/base/variant.h"

namespace morvane::e2e {

struct DispatchOutcome {
  HRESULT hr = E_FAIL;
  com::Variant value;
  // From EXCEPINFO when hr is DISP_E_EXCEPTION.
  HRESULT scode = S_OK;
  std::wstring source;
  std::wstring description;
  UINT argError = 0xdeadbeef;  // untouched unless the callee set it
};

// One argument, by position or (with a name) by parameter name. A copy copies the value.
struct DispatchArg {
  DispatchArg(com::Variant argValue, std::wstring argName = {})
      : value(std::move(argValue)), name(std::move(argName)) {}
  DispatchArg(const DispatchArg& other) : value(other.value.copy()), name(other.name) {}
  DispatchArg& operator=(const DispatchArg&) = delete;

  com::Variant value;
  std::wstring name;
};

DispatchArg TextArg(std::u16string_view text, std::wstring name = {});
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
com::ComPtr<IDispatch> ObjectOf(const DispatchOutcome& outcome);
std::wstring TextOf(const DispatchOutcome& outcome);

}  // namespace morvane::e2e
