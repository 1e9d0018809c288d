#include "tests/e2e/served_object.h"

#include <cwchar>
#include <exception>
#include <string>

#include "addin/model/host.h"
#include "addin/win32/wide_text.h"
#include "tests/e2e/bench_counters.h"

namespace morvane::e2e {
namespace {

std::atomic<long> liveObjects{0};

// Where Excel's errors say they come from.
constexpr const wchar_t* kErrorSource = L"Microsoft Excel";

bool IsOmitted(const VARIANT& value) {
  return V_VT(&value) == VT_ERROR && V_ERROR(&value) == DISP_E_PARAMNOTFOUND;
}

const VARIANT* Dereferenced(const VARIANT* value) {
  if (value != nullptr && V_VT(value) == (VT_VARIANT | VT_BYREF)) {
    return V_VARIANTREF(value);
  }
  return value;
}

std::size_t CountOf(const ParamNames& names) {
  std::size_t n = 0;
  while (n < names.size() && names[n] != nullptr) {
    ++n;
  }
  return n;
}

void FillException(EXCEPINFO* exception, HRESULT scode, const std::wstring& description) {
  if (exception == nullptr) {
    return;
  }
  *exception = EXCEPINFO{};
  exception->scode = scode;
  exception->bstrSource = SysAllocString(kErrorSource);
  exception->bstrDescription =
      SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
}

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; *text != 0; ++text) {
    out += static_cast<char>(*text);  // member and class names are ASCII
  }
  return out;
}

}  // namespace

std::u16string Utf16(BSTR text) {
  return win32::FromWide({text ? text : L"", SysStringLen(text)});
}

void NotModelled(const std::u16string& what) {
  throw host::HostError(errors::kFail, u"simulated Excel does not model " + what);
}

// --- Call ---------------------------------------------------------------------------------------

Call::Call(const DISPPARAMS& params, const ParamNames& names, bool isPut, VARIANT* result)
    : result_(result) {
  const std::size_t declared = CountOf(names);
  args_.assign(declared, nullptr);
  rgIndex_.assign(declared, -1);
  const UINT named = params.cNamedArgs;
  const UINT positional = params.cArgs - named;
  // A put names its value DISPID_PROPERTYPUT; without it there is no value to put.
  if (isPut && (named == 0 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)) {
    throw DispatchFault{DISP_E_PARAMNOTFOUND};
  }
  if (positional > declared) {
    throw DispatchFault{DISP_E_BADPARAMCOUNT};
  }
  // Positional arguments come last in rgvarg, in reverse order.
  for (UINT k = 0; k < positional; ++k) {
    const int at = static_cast<int>(params.cArgs - 1 - k);
    args_[k] = &params.rgvarg[at];
    rgIndex_[k] = at;
  }
  for (UINT j = 0; j < named; ++j) {
    const DISPID id = params.rgdispidNamedArgs[j];
    if (isPut && id == DISPID_PROPERTYPUT) {
      putValue_ = &params.rgvarg[j];
      putIndex_ = static_cast<int>(j);
    } else if (id >= 0 && static_cast<std::size_t>(id) < declared && args_[id] == nullptr) {
      args_[id] = &params.rgvarg[j];
      rgIndex_[id] = static_cast<int>(j);
    } else {
      throw DispatchFault{DISP_E_PARAMNOTFOUND, static_cast<int>(j)};
    }
  }
  if (isPut && putValue_ == nullptr) {
    throw DispatchFault{DISP_E_PARAMNOTFOUND};
  }
}

const VARIANT* Call::Arg(std::size_t i) const {
  if (i >= args_.size()) {
    return nullptr;
  }
  const VARIANT* value = Dereferenced(args_[i]);
  return (value == nullptr || IsOmitted(*value)) ? nullptr : value;
}

com::Variant Call::Converted(const VARIANT& value, VARTYPE type, int rgIndex) const {
  com::Variant out;
  com::Variant source;
  HRESULT hr = VariantCopyInd(source.get(), const_cast<VARIANT*>(&value));
  if (SUCCEEDED(hr)) {
    hr = VariantChangeType(out.get(), source.get(), 0, type);
  }
  if (FAILED(hr)) {
    throw DispatchFault{DISP_E_TYPEMISMATCH, rgIndex};
  }
  return out;
}

std::optional<std::int32_t> Call::IntArg(std::size_t i) const {
  const VARIANT* value = Arg(i);
  if (value == nullptr) {
    return std::nullopt;
  }
  return V_I4(Converted(*value, VT_I4, rgIndex_[i]).get());
}

std::optional<bool> Call::BoolArg(std::size_t i) const {
  const VARIANT* value = Arg(i);
  if (value == nullptr) {
    return std::nullopt;
  }
  return V_BOOL(Converted(*value, VT_BOOL, rgIndex_[i]).get()) != VARIANT_FALSE;
}

std::optional<std::u16string> Call::TextArg(std::size_t i) const {
  const VARIANT* value = Arg(i);
  if (value == nullptr) {
    return std::nullopt;
  }
  return Utf16(V_BSTR(Converted(*value, VT_BSTR, rgIndex_[i]).get()));
}

IDispatch* Call::ObjectArg(std::size_t i) const {
  const VARIANT* value = Arg(i);
  if (value == nullptr) {
    throw DispatchFault{DISP_E_PARAMNOTFOUND};
  }
  switch (V_VT(value)) {
    case VT_DISPATCH:
      return V_DISPATCH(value);
    case VT_DISPATCH | VT_BYREF:
      return *V_DISPATCHREF(value);
    default:
      throw DispatchFault{DISP_E_TYPEMISMATCH, rgIndex_[i]};
  }
}

std::int32_t Call::NeedInt(std::size_t i) const {
  const std::optional<std::int32_t> value = IntArg(i);
  if (!value) {
    throw DispatchFault{DISP_E_PARAMNOTFOUND};
  }
  return *value;
}

std::u16string Call::NameArg(std::size_t i, const char16_t* collection) const {
  const VARIANT* index = Arg(i);
  if (index == nullptr) {
    throw DispatchFault{DISP_E_PARAMNOTFOUND};
  }
  if (V_VT(index) != VT_BSTR) {
    NotModelled(std::u16string(collection) + u".Item by position");
  }
  return *TextArg(i);
}

const VARIANT& Call::PutValue() const {
  return *Dereferenced(putValue_);
}

std::int32_t Call::PutInt() const {
  return V_I4(Converted(PutValue(), VT_I4, putIndex_).get());
}

bool Call::PutBool() const {
  return V_BOOL(Converted(PutValue(), VT_BOOL, putIndex_).get()) != VARIANT_FALSE;
}

std::u16string Call::PutText() const {
  return Utf16(V_BSTR(Converted(PutValue(), VT_BSTR, putIndex_).get()));
}

void Call::Return(com::Variant value) {
  if (result_ != nullptr) {
    *result_ = value.release();
  }
}

void Call::ReturnText(const std::u16string& text) {
  Return(com::Variant::of_string(text));
}

void Call::ReturnObject(com::ComPtr<IDispatch> object) {
  Return(com::Variant::of_dispatch(object.get()));
}

// --- ServedObject
// ---------------------------------------------------------------------------------

ServedObject::ServedObject(std::shared_ptr<ServedHost> host, const wchar_t* className,
                           std::span<const Member> members)
    : host_(std::move(host)), className_(className), members_(members) {}

ServedObject::~ServedObject() = default;

LiveToken::LiveToken() {
  ++liveObjects;
}

LiveToken::~LiveToken() {
  --liveObjects;
}

long ServedObject::Live() {
  return liveObjects.load();
}

ServedObject* ServedObject::From(IUnknown* unknown) {
  if (unknown == nullptr) {
    return nullptr;
  }
  ServedObject* served = nullptr;
  if (FAILED(unknown->QueryInterface(kServedObjectIid, reinterpret_cast<void**>(&served)))) {
    return nullptr;
  }
  served->Release();  // the caller holds `unknown`, which keeps the object alive
  return served;
}

void* ServedObject::ExtraInterface(REFIID) {
  return nullptr;
}

HRESULT ServedObject::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) {
    return E_POINTER;
  }
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch) {
    *out = static_cast<IDispatch*>(this);
  } else if (iid == kServedObjectIid) {
    *out = this;
  } else {
    *out = ExtraInterface(iid);
  }
  if (*out == nullptr) {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG ServedObject::AddRef() {
  return ++refs_;
}

ULONG ServedObject::Release() {
  const ULONG left = --refs_;
  if (left == 0) {
    delete this;
  }
  return left;
}

HRESULT ServedObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) {
    return E_POINTER;
  }
  *count = 0;
  return S_OK;
}

HRESULT ServedObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) {
    *info = nullptr;
  }
  return E_NOTIMPL;
}

HRESULT ServedObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  ++Bench().namesLookedUp;
  const ServedTime timed;
  if (iid != IID_NULL) {
    return DISP_E_UNKNOWNINTERFACE;
  }
  if (names == nullptr || ids == nullptr || count == 0) {
    return E_INVALIDARG;
  }
  const Member* member = nullptr;
  for (const Member& candidate : members_) {
    if (_wcsicmp(candidate.name, names[0]) == 0) {
      member = &candidate;
      break;
    }
  }
  HRESULT hr = S_OK;
  ids[0] = member ? member->id : DISPID_UNKNOWN;
  if (member == nullptr) {
    hr = DISP_E_UNKNOWNNAME;
  }
  // Further names are parameter names; their DISPIDs are their positions.
  for (UINT n = 1; n < count; ++n) {
    ids[n] = DISPID_UNKNOWN;
    if (member != nullptr) {
      for (std::size_t p = 0; p < kMaxParams && member->params[p] != nullptr; ++p) {
        if (_wcsicmp(member->params[p], names[n]) == 0) {
          ids[n] = static_cast<DISPID>(p);
        }
      }
    }
    if (ids[n] == DISPID_UNKNOWN) {
      hr = DISP_E_UNKNOWNNAME;
    }
  }
  return hr;
}

const Member* ServedObject::Find(DISPID id) const {
  for (const Member& member : members_) {
    if (member.id == id) {
      return &member;
    }
  }
  return nullptr;
}

HRESULT ServedObject::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                             VARIANT* result, EXCEPINFO* exception, UINT* argError) {
  ++Bench().invokes;
  const ServedTime timed;
  if (iid != IID_NULL) {
    return DISP_E_UNKNOWNINTERFACE;
  }
  if (GetCurrentThreadId() != host_->uiThread) {
    return RPC_E_WRONG_THREAD;
  }
  if (params == nullptr) {
    return E_INVALIDARG;
  }
  const Member* member = Find(id);
  if (member == nullptr) {
    return DISP_E_MEMBERNOTFOUND;
  }
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  const auto handler = put ? member->put : member->get;
  if (handler == nullptr || (!put && (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0)) {
    return DISP_E_MEMBERNOTFOUND;
  }
  if (result != nullptr) {
    VariantInit(result);
  }
  host_->calls.Record(Narrow(className_) + "." + Narrow(member->name) + (put ? "=" : ""), lcid);
  // The call may release the last outside reference to this object (Exit disconnects the
  // add-in, which lets go of everything): keep it alive until the answer is written.
  com::ComPtr<IDispatch> keepAlive(this);
  try {
    Call call(*params, member->params, put, result);
    handler(*this, call);
    return S_OK;
  } catch (const DispatchFault& fault) {
    if (argError != nullptr && fault.argIndex >= 0) {
      *argError = static_cast<UINT>(fault.argIndex);
    }
    return fault.hr;
  } catch (const host::HostError& error) {
    FillException(exception, error.hresult(), win32::ToWide(error.description()));
  } catch (const std::exception& error) {
    // A fault of the simulator itself, not of Excel: say so plainly.
    const std::string what = error.what();
    FillException(exception, E_FAIL, L"simulated Excel: " + win32::WideFromUtf8(what));
  }
  if (result != nullptr) {
    VariantClear(result);
  }
  return DISP_E_EXCEPTION;
}

}  // namespace morvane::e2e
