#include "tests/e2e/dispatch_call.h"

namespace morvane::e2e {
namespace {

DispatchOutcome Call(IDispatch* object, std::wstring_view member, WORD flags,
                     const DispatchArg* putValue, const std::vector<DispatchArg>& args, LCID lcid) {
  DispatchOutcome out;
  std::vector<std::wstring> names{std::wstring(member)};
  for (const DispatchArg& arg : args) {
    if (!arg.name.empty()) {
      names.push_back(arg.name);
    }
  }
  std::vector<LPOLESTR> namePointers;
  for (std::wstring& name : names) {
    namePointers.push_back(name.data());
  }
  std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);
  out.hr = object->GetIDsOfNames(IID_NULL, namePointers.data(),
                                 static_cast<UINT>(namePointers.size()), lcid, ids.data());
  if (FAILED(out.hr)) {
    return out;
  }
  // rgvarg: named arguments first (the put value before them), then positional ones reversed.
  std::vector<VARIANT> rgvarg;
  std::vector<DISPID> namedIds;
  if (putValue != nullptr) {
    rgvarg.push_back(*putValue->value.get());
    namedIds.push_back(DISPID_PROPERTYPUT);
  }
  std::size_t nameIndex = 1;
  for (const DispatchArg& arg : args) {
    if (!arg.name.empty()) {
      rgvarg.push_back(*arg.value.get());
      namedIds.push_back(ids[nameIndex++]);
    }
  }
  for (auto arg = args.rbegin(); arg != args.rend(); ++arg) {
    if (arg->name.empty()) {
      rgvarg.push_back(*arg->value.get());
    }
  }
  DISPPARAMS params{rgvarg.data(), namedIds.data(), static_cast<UINT>(rgvarg.size()),
                    static_cast<UINT>(namedIds.size())};
  EXCEPINFO exception{};
  out.hr =
      object->Invoke(ids[0], IID_NULL, lcid, flags, &params,
                     putValue != nullptr ? nullptr : out.value.put(), &exception, &out.argError);
  if (out.hr == DISP_E_EXCEPTION) {
    out.scode = exception.scode;
    out.source = exception.bstrSource ? exception.bstrSource : L"";
    out.description = exception.bstrDescription ? exception.bstrDescription : L"";
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return out;
}

}  // namespace

DispatchArg TextArg(std::u16string_view text, std::wstring name) {
  return {com::Variant::of_string(text), std::move(name)};
}

DispatchArg IntArg(std::int32_t value, std::wstring name) {
  return {com::Variant::of_int(value), std::move(name)};
}

DispatchArg BoolArg(bool value, std::wstring name) {
  return {com::Variant::of_bool(value), std::move(name)};
}

DispatchArg ObjectArg(IDispatch* object, std::wstring name) {
  return {com::Variant::of_dispatch(object), std::move(name)};
}

DispatchOutcome CallMember(IDispatch* object, std::wstring_view member,
                           const std::vector<DispatchArg>& args, LCID lcid) {
  return Call(object, member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, args, lcid);
}

DispatchOutcome PutMember(IDispatch* object, std::wstring_view member, const DispatchArg& value,
                          const std::vector<DispatchArg>& args, LCID lcid) {
  return Call(object, member, DISPATCH_PROPERTYPUT, &value, args, lcid);
}

com::ComPtr<IDispatch> ObjectOf(const DispatchOutcome& outcome) {
  if (FAILED(outcome.hr) || outcome.value.vt() != VT_DISPATCH) {
    return {};
  }
  return com::ComPtr<IDispatch>(V_DISPATCH(outcome.value.get()));
}

std::wstring TextOf(const DispatchOutcome& outcome) {
  if (FAILED(outcome.hr) || outcome.value.vt() != VT_BSTR) {
    return L"<not text>";
  }
  const BSTR text = V_BSTR(outcome.value.get());
  return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

}  // namespace morvane::e2e
