#pragma once

// Counting fakes for the tests of the COM glue: an IUnknown that counts AddRef and Release; a
// small IDispatch server, objects whose members come from a table (name -> DISPID, DISPID ->
// value or behaviour), which record every call and count every name lookup; an IEnumVARIANT
// that records its batch sizes; and an event source with one connection point.

#include <windows.h>

#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "addin/com/base/com_ptr.h"
#include "addin/com/base/variant.h"
#include "office.h"

// The fakes are COM objects, which die in their own Release, never through an interface: no
// virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace morvane::fakes {

using com::ComPtr;
using com::Variant;

// Counts AddRef and Release and never deletes itself: it lives on the test's stack, and its
// count tells whether a holder leaked or released once too often.
class CountingUnknown : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown)) {
      return E_NOINTERFACE;
    }
    AddRef();
    *ppv = static_cast<IUnknown*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++adds, references(); }
  ULONG STDMETHODCALLTYPE Release() override { return ++releases, references(); }

  // References beyond the test's own.
  long extra() const { return static_cast<long>(adds) - static_cast<long>(releases); }
  ULONG references() const { return static_cast<ULONG>(1 + extra()); }

  ULONG adds = 0;
  ULONG releases = 0;
};

// Type information with a GUID (GUID_NULL: none), made the way a type library makes it.
inline ComPtr<ITypeInfo> MakeTypeInfo(const GUID& guid) {
  ComPtr<ICreateTypeLib2> library;
  com::Check(CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, const_cast<LPOLESTR>(L"x"),
                            library.put()),
             "CreateTypeLib2");
  ComPtr<ICreateTypeInfo> created;
  com::Check(library->CreateTypeInfo(const_cast<LPOLESTR>(L"T"), TKIND_DISPATCH, created.put()),
             "CreateTypeInfo");
  if (!IsEqualGUID(guid, GUID_NULL)) {
    com::Check(created->SetGuid(guid), "SetGuid");
  }
  return created.query<ITypeInfo>("QueryInterface(ITypeInfo)");
}

// The members of one kind of object, shared by its objects, with the lookups made on them.
struct FakeType {
  std::map<std::u16string, DISPID> names;
  ComPtr<ITypeInfo> info;  // null: the objects give no type information
  std::map<std::u16string, int> lookups;
  std::vector<LCID> lookupLocales;
  int typeInfoRequests = 0;
};

inline std::shared_ptr<FakeType> Type(std::map<std::u16string, DISPID> names = {},
                                      ComPtr<ITypeInfo> info = nullptr) {
  auto type = std::make_shared<FakeType>();
  type->names = std::move(names);
  type->info = std::move(info);
  return type;
}

// A type whose members are numbered in the order given.
inline std::shared_ptr<FakeType> Members(std::initializer_list<const char16_t*> names) {
  std::map<std::u16string, DISPID> numbered;
  for (const char16_t* name : names) {
    numbered.emplace(name, static_cast<DISPID>(numbered.size() + 1));
  }
  return Type(std::move(numbered));
}

struct FakeCall {
  DISPID id;
  WORD flags;
  LCID lcid;
  std::vector<Variant> rgvarg;  // as the caller laid them out: last argument first
  std::vector<DISPID> named;
};

// An argument as the tests spell it: "I4 10", "BSTR text", "True", "object", "missing".
inline std::string Describe(const VARIANT& v) {
  switch (V_VT(&v)) {
    case VT_I4:
      return "I4 " + std::to_string(V_I4(&v));
    case VT_BOOL:
      return V_BOOL(&v) == VARIANT_TRUE ? "True" : V_BOOL(&v) == VARIANT_FALSE ? "False" : "bool?";
    case VT_BSTR:
      return "BSTR " + std::string(V_BSTR(&v), V_BSTR(&v) + SysStringLen(V_BSTR(&v)));
    case VT_DISPATCH:
      return V_DISPATCH(&v) ? "object" : "Nothing";
    case VT_ERROR:
      return V_ERROR(&v) == DISP_E_PARAMNOTFOUND ? "missing" : "error";
    default:
      return "vt " + std::to_string(V_VT(&v));
  }
}

// A call's arguments in call order (DISPPARAMS holds them last first).
inline std::vector<std::string> ArgumentsOf(const FakeCall& call) {
  std::vector<std::string> described;
  for (auto arg = call.rgvarg.rbegin(); arg != call.rgvarg.rend(); ++arg) {
    described.push_back(Describe(*arg->get()));
  }
  return described;
}

// What a member does when no stored value answers it.
using FakeBehaviour = std::function<HRESULT(const FakeCall&, VARIANT* result, EXCEPINFO*)>;

class FakeObject final : public IDispatch {
 public:
  // The caller owns the first reference.
  static ComPtr<FakeObject> Create(std::shared_ptr<FakeType> type) {
    ComPtr<FakeObject> object;
    object.reset(new FakeObject(std::move(type)));
    return object;
  }

  void Set(const std::u16string& name, Variant value) { values_[Id(name)] = std::move(value); }
  void On(const std::u16string& name, FakeBehaviour behaviour) {
    behaviours_[Id(name)] = std::move(behaviour);
  }
  // Answers QueryInterface(iid) as well: with implementation (a connection point container,
  // say), or without one with this object itself.
  void Expose(REFIID iid, IUnknown* implementation = nullptr) {
    exposed_.emplace_back(iid, ComPtr<IUnknown>(implementation));
  }
  const Variant& Value(const std::u16string& name) { return values_[Id(name)]; }
  const std::vector<FakeCall>& calls() const { return calls_; }
  const FakeCall& LastCall() const { return calls_.back(); }
  void ClearCalls() { calls_.clear(); }  // and the references their arguments hold
  ULONG references() const { return references_; }
  FakeType& type() { return *type_; }
  // Whether member was called (read, written or run) at all.
  bool Called(const std::u16string& name) const {
    const DISPID id = Id(name);
    return std::any_of(calls_.begin(), calls_.end(),
                       [id](const FakeCall& c) { return c.id == id; });
  }

  std::vector<IID> queried;  // every interface asked for

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    queried.push_back(iid);
    bool self = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch);
    for (const auto& [exposedIid, implementation] : exposed_) {
      if (IsEqualIID(iid, exposedIid)) {
        if (implementation) {
          return implementation->QueryInterface(iid, out);
        }
        self = true;
      }
    }
    if (!self) {
      return E_NOINTERFACE;
    }
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      delete this;
    }
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = type_->info ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    *info = nullptr;
    ++type_->typeInfoRequests;
    if (!type_->info) {
      return E_NOTIMPL;
    }
    type_->info.copy_to(info);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID lcid,
                                          DISPID* ids) override {
    const std::u16string name(names[0], names[0] + lstrlenW(names[0]));
    ++type_->lookups[name];
    type_->lookupLocales.push_back(lcid);
    const auto found = type_->names.find(name);
    *ids = found == type_->names.end() ? DISPID_UNKNOWN : found->second;
    return found == type_->names.end() ? DISP_E_UNKNOWNNAME : S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excepInfo, UINT*) override {
    FakeCall call{id, flags, lcid, {}, {}};
    for (UINT i = 0; i < params->cArgs; ++i) {
      Variant copy;
      VariantCopy(copy.get(), &params->rgvarg[i]);
      call.rgvarg.push_back(std::move(copy));
    }
    call.named.assign(params->rgdispidNamedArgs, params->rgdispidNamedArgs + params->cNamedArgs);
    calls_.push_back(std::move(call));
    const FakeCall& recorded = calls_.back();
    if (const auto behaviour = behaviours_.find(id); behaviour != behaviours_.end()) {
      return behaviour->second(recorded, result, excepInfo);
    }
    const auto value = values_.find(id);
    if ((flags & DISPATCH_PROPERTYPUT) != 0 && params->cArgs == 1) {
      values_[id] = recorded.rgvarg[0].copy();
      return S_OK;
    }
    if (value == values_.end()) {
      return DISP_E_MEMBERNOTFOUND;
    }
    return result ? VariantCopy(result, value->second.get()) : S_OK;
  }

 private:
  explicit FakeObject(std::shared_ptr<FakeType> type) : type_(std::move(type)) {}
  ~FakeObject() = default;
  DISPID Id(const std::u16string& name) const { return type_->names.at(name); }

  ULONG references_ = 1;
  std::shared_ptr<FakeType> type_;
  std::map<DISPID, Variant> values_;
  std::map<DISPID, FakeBehaviour> behaviours_;
  std::vector<FakeCall> calls_;
  std::vector<std::pair<IID, ComPtr<IUnknown>>> exposed_;
};

// Hands out its items in order; records the batch size of every Next.
class FakeEnum final : public IEnumVARIANT {
 public:
  explicit FakeEnum(std::vector<ComPtr<IDispatch>> items) : items_(std::move(items)) {}

  std::vector<ULONG> requested;
  ULONG references() const { return references_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumVARIANT)) {
      *out = static_cast<IEnumVARIANT*>(this);
      AddRef();
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }  // owned by the test
  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
    requested.push_back(count);
    ULONG given = 0;
    for (; given < count && next_ < items_.size(); ++given, ++next_) {
      V_VT(&out[given]) = VT_DISPATCH;
      items_[next_].copy_to(&V_DISPATCH(&out[given]));
    }
    *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

 private:
  ULONG references_ = 1;
  std::vector<ComPtr<IDispatch>> items_;
  std::size_t next_ = 0;
};

// An event source with one connection point for one events interface (a button's
// _CommandBarButtonEvents unless told otherwise), raising Click as Office does. Advise asks the
// sink for the events interface, as Office does, and holds that reference until Unadvise. Owned
// by the test.
class FakeEventSource final : public IConnectionPointContainer, public IConnectionPoint {
 public:
  explicit FakeEventSource(const IID& events = DIID__CommandBarButtonEvents) : events_(events) {}

  HRESULT refuse = S_OK;  // what Advise answers instead of connecting
  DWORD nextCookie = 1;   // the cookie Advise hands out next
  std::vector<DWORD> unadvised;

  // The source as the IUnknown a caller holds.
  IUnknown* unknown() { return static_cast<IConnectionPointContainer*>(this); }
  ULONG references() const { return references_; }
  std::size_t connected() const { return sinks_.size(); }
  // The sink connected first, as the events interface Office calls.
  ComPtr<IDispatch> Sink() const {
    return ComPtr<IUnknown>(sinks_.begin()->second).query<IDispatch>("sink");
  }

  // Click(ctrl, cancel) on every connected sink: rgvarg[1] = Ctrl, rgvarg[0] = &CancelDefault.
  // Holds no reference of its own while a sink runs, as a source need not.
  HRESULT Click(IDispatch* ctrl, VARIANT_BOOL& cancel) {
    HRESULT hr = S_OK;
    for (const auto& [cookie, unused] : std::map<DWORD, IUnknown*>(sinks_)) {
      const auto sink = sinks_.find(cookie);
      if (sink != sinks_.end()) {
        hr = RaiseClick(static_cast<IDispatch*>(sink->second), ctrl, cancel);
      }
    }
    return hr;
  }
  static HRESULT RaiseClick(IDispatch* sink, IDispatch* ctrl, VARIANT_BOOL& cancel) {
    VARIANT args[2];
    V_VT(&args[1]) = VT_DISPATCH;
    V_DISPATCH(&args[1]) = ctrl;
    V_VT(&args[0]) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&args[0]) = &cancel;
    DISPPARAMS params{args, nullptr, 2, 0};
    return sink->Invoke(1, IID_NULL, 1033, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPointContainer)) {
      *out = static_cast<IConnectionPointContainer*>(this);
    } else if (IsEqualIID(iid, IID_IConnectionPoint)) {
      *out = static_cast<IConnectionPoint*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    *point = nullptr;
    if (!IsEqualIID(iid, events_)) {
      return CONNECT_E_NOCONNECTION;
    }
    *point = this;
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
    if (refuse != S_OK) {
      return refuse;
    }
    IUnknown* events = nullptr;
    if (FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(&events)))) {
      return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = nextCookie++;
    sinks_[*cookie] = events;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    const auto sink = sinks_.find(cookie);
    if (sink == sinks_.end()) {
      return CONNECT_E_NOCONNECTION;
    }
    unadvised.push_back(cookie);
    IUnknown* events = sink->second;
    sinks_.erase(sink);
    events->Release();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

 private:
  IID events_;
  ULONG references_ = 1;
  std::map<DWORD, IUnknown*> sinks_;
};
}  // namespace morvane::fakes

#pragma GCC diagnostic pop
