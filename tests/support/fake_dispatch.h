#pragma once

// Counting fakes for the tests of the COM glue: an IUnknown that counts AddRef and Release; a
// small IDispatch server, objects whose members come from a table (name -> DISPID, DISPID ->
// value or behaviour), which record every call and count every name lookup; an IEnumVARIANT
// that records its batch sizes; and an event source with one connection point.

#include <windows.h>

#include <gtest/gtest.h>
#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
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

// How a scripted Next answers: at most `most` elements a call, the HRESULT it returns (by the
// contract when not given: S_OK for a full batch, S_FALSE for fewer), whether it writes
// pCeltFetched, whether it refuses more than one element a call (E_INVALIDARG), and whether it
// starts over after the last item, never giving a batch of none.
struct NextScript {
  ULONG most = ~0UL;
  std::optional<HRESULT> hr = std::nullopt;
  bool writesFetched = true;
  bool refusesBatches = false;
  bool endless = false;
};

// Hands out its items in order, as its script says; records the batch size of every Next.
class FakeEnum final : public IEnumVARIANT {
 public:
  explicit FakeEnum(std::vector<ComPtr<IDispatch>> items, NextScript script = {})
      : items_(std::move(items)), script_(script) {}

  std::vector<ULONG> requested;
  ULONG references() const { return references_; }
  void DropItems() { items_.clear(); }

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
    if (script_.refusesBatches && count > 1) {
      return E_INVALIDARG;
    }
    ULONG given = 0;
    while (given < std::min(count, script_.most)) {
      if (next_ == items_.size()) {
        if (!script_.endless || items_.empty()) {
          break;
        }
        next_ = 0;
      }
      V_VT(&out[given]) = VT_DISPATCH;
      items_[next_++].copy_to(&V_DISPATCH(&out[given]));
      ++given;
    }
    if (script_.writesFetched && fetched != nullptr) {
      *fetched = given;
    }
    return script_.hr.value_or(given == count ? S_OK : S_FALSE);
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

 private:
  ULONG references_ = 1;
  std::vector<ComPtr<IDispatch>> items_;
  NextScript script_;
  std::size_t next_ = 0;
};

class AnsweringObject;

// Answers in place of another Excel: some members of every object reached from it answer as a
// test says (by member name, every read or call of it or only the n-th, counted across all
// objects; a put always goes through), and every enumerator it hands out follows `enumeration`.
// Everything else goes to the objects behind. It owns every object and enumerator it made and
// never frees one early, so their references can be counted to the end.
class MemberAnswers {
 public:
  ~MemberAnswers();

  // nth 0: every read or call of member; otherwise the nth only (from 1).
  void On(std::u16string member, FakeBehaviour answer, int nth = 0) {
    answers_.push_back({std::move(member), nth, std::move(answer)});
  }
  NextScript enumeration;

  // The object behind `inner` (AddRefs it), as the caller's first reference.
  ComPtr<IDispatch> Interpose(IDispatch* inner);
  // The object an interposed one stands for, or `object` itself.
  IDispatch* Behind(IDispatch* object) const;
  // The answer for a read or call of `id` on `object`, or nullptr to pass it on.
  const FakeBehaviour* AnswerFor(AnsweringObject& object, DISPID id);
  // An enumerator of the answering kind over what `inner` enumerates (the caller's reference).
  ComPtr<IUnknown> Enumerate(IEnumVARIANT& inner);

  // Whether every object and enumerator handed out has been released exactly as often as it
  // was referenced, once the test lets go of `root`; after this the enumerators hold nothing.
  ::testing::AssertionResult Balanced(ComPtr<IDispatch>& root);

 private:
  struct Answer {
    std::u16string member;
    int nth;
    FakeBehaviour behaviour;
  };
  std::vector<Answer> answers_;
  std::map<std::u16string, int> calls_;
  std::vector<AnsweringObject*> objects_;
  std::vector<std::unique_ptr<FakeEnum>> enumerators_;
};

class AnsweringObject final : public IDispatch {
 public:
  AnsweringObject(MemberAnswers& answers, IDispatch* inner) : answers_(answers), inner_(inner) {}

  IDispatch* inner() const { return inner_.get(); }
  long references() const { return references_; }
  bool releasedTooOften() const { return releasedTooOften_; }
  // The member's DISPID as the object behind knows it; DISPID_UNKNOWN for a name it lacks.
  DISPID IdOf(const std::u16string& name) {
    const auto known = ids_.find(name);
    if (known != ids_.end()) {
      return known->second;
    }
    std::wstring wide(name.begin(), name.end());
    LPOLESTR names[] = {wide.data()};
    DISPID id = DISPID_UNKNOWN;
    inner_->GetIDsOfNames(IID_NULL, names, 1, 1033, &id);
    return ids_[name] = id;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) {
      return E_NOINTERFACE;
    }
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    releasedTooOften_ = releasedTooOften_ || references_ == 0;
    return static_cast<ULONG>(references_ = std::max(references_ - 1, 0L));
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return inner_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override {
    return inner_->GetIDsOfNames(iid, names, count, lcid, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override {
    // The arguments as the object behind must see them: its own objects, not ours.
    std::vector<Variant> args(params->cArgs);
    for (UINT i = 0; i < params->cArgs; ++i) {
      VariantCopy(args[i].get(), &params->rgvarg[i]);
      if (args[i].vt() == VT_DISPATCH && V_DISPATCH(args[i].get()) != nullptr) {
        args[i] = Variant::of_dispatch(answers_.Behind(V_DISPATCH(args[i].get())));
      }
    }
    if ((flags & DISPATCH_PROPERTYPUT) == 0) {
      if (const FakeBehaviour* answer = answers_.AnswerFor(*this, id)) {
        return (*answer)(FakeCall{id, flags, lcid, std::move(args), {}}, result, excepInfo);
      }
    }
    DISPPARAMS passed = *params;
    passed.rgvarg = args.empty() ? nullptr : args.front().get();
    const HRESULT hr = inner_->Invoke(id, iid, lcid, flags, &passed, result, excepInfo, argErr);
    if (SUCCEEDED(hr) && result != nullptr) {
      Interposed(*result);
    }
    return hr;
  }

 private:
  // What the object behind returned, as the answering kind: objects and enumerators alike.
  void Interposed(VARIANT& result) {
    if (V_VT(&result) == VT_DISPATCH && V_DISPATCH(&result) != nullptr) {
      ComPtr<IDispatch> object = answers_.Interpose(V_DISPATCH(&result));
      VariantClear(&result);
      V_VT(&result) = VT_DISPATCH;
      V_DISPATCH(&result) = object.release();
    } else if (V_VT(&result) == VT_UNKNOWN && V_UNKNOWN(&result) != nullptr) {
      ComPtr<IEnumVARIANT> inner;
      if (SUCCEEDED(V_UNKNOWN(&result)->QueryInterface(IID_IEnumVARIANT, inner.put_void()))) {
        ComPtr<IUnknown> enumerator = answers_.Enumerate(*inner.get());
        VariantClear(&result);
        V_VT(&result) = VT_UNKNOWN;
        V_UNKNOWN(&result) = enumerator.release();
      }
    }
  }

  MemberAnswers& answers_;
  ComPtr<IDispatch> inner_;
  std::map<std::u16string, DISPID> ids_;
  long references_ = 1;
  bool releasedTooOften_ = false;
};

inline MemberAnswers::~MemberAnswers() {
  for (AnsweringObject* object : objects_) {
    delete object;
  }
}

inline ComPtr<IDispatch> MemberAnswers::Interpose(IDispatch* inner) {
  objects_.push_back(new AnsweringObject(*this, inner));
  ComPtr<IDispatch> object;
  object.reset(objects_.back());
  return object;
}

inline IDispatch* MemberAnswers::Behind(IDispatch* object) const {
  for (AnsweringObject* answering : objects_) {
    if (static_cast<IDispatch*>(answering) == object) {
      return answering->inner();
    }
  }
  return object;
}

inline const FakeBehaviour* MemberAnswers::AnswerFor(AnsweringObject& object, DISPID id) {
  const FakeBehaviour* found = nullptr;
  for (const Answer& answer : answers_) {
    if (object.IdOf(answer.member) != id) {
      continue;
    }
    const int nth = ++calls_[answer.member];
    if (answer.nth == 0 || answer.nth == nth) {
      found = &answer.behaviour;
    }
  }
  return found;
}

inline ComPtr<IUnknown> MemberAnswers::Enumerate(IEnumVARIANT& inner) {
  std::vector<ComPtr<IDispatch>> items;
  for (;;) {
    VARIANT item;
    VariantInit(&item);
    ULONG fetched = 0;
    if (inner.Next(1, &item, &fetched) != S_OK || fetched == 0) {
      break;
    }
    items.push_back(Interpose(V_DISPATCH(&item)));
    VariantClear(&item);
  }
  enumerators_.push_back(std::make_unique<FakeEnum>(std::move(items), enumeration));
  ComPtr<IUnknown> enumerator;
  enumerators_.back()->QueryInterface(IID_IUnknown, enumerator.put_void());
  return enumerator;
}

inline ::testing::AssertionResult MemberAnswers::Balanced(ComPtr<IDispatch>& root) {
  root.reset();
  for (const auto& enumerator : enumerators_) {
    enumerator->DropItems();
    if (enumerator->references() != 1) {
      return ::testing::AssertionFailure() << "an enumerator holds " << enumerator->references();
    }
  }
  for (AnsweringObject* object : objects_) {
    if (object->references() != 0 || object->releasedTooOften()) {
      return ::testing::AssertionFailure()
             << "an object holds " << object->references()
             << (object->releasedTooOften() ? ", released once too often" : "");
    }
  }
  return ::testing::AssertionSuccess();
}

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
