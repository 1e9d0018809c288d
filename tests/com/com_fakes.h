#pragma once

// Counting fakes for the COM glue's tests: an IUnknown that counts AddRef and Release, an
// IDispatch with text properties found by name, and a connection point container.

#include <windows.h>

#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace morvane::fakes {

// A COM object dies in its own Release, never through an interface: no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// Counts AddRef and Release and never deletes itself: it lives on the test's stack, and its
// count tells whether a holder leaked or released once too often.
class CountingUnknown : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv)
      return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown))
      return E_NOINTERFACE;
    AddRef();
    *ppv = static_cast<IUnknown*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    ++adds;
    return references();
  }
  ULONG STDMETHODCALLTYPE Release() override {
    ++releases;
    return references();
  }

  // References beyond the test's own.
  long extra() const { return static_cast<long>(adds) - static_cast<long>(releases); }
  ULONG references() const { return static_cast<ULONG>(1 + extra()); }

  ULONG adds = 0;
  ULONG releases = 0;
};

// An automation object with text properties read by name (matched without regard to case, as
// Automation does), a property that raises an error, and extra interfaces it claims to be.
class FakeDispatch : public IDispatch {
 public:
  void SetText(const std::wstring& name, const std::wstring& value) { texts_[Key(name)] = value; }
  void SetRaises(const std::wstring& name, HRESULT code, const std::wstring& description) {
    raises_[Key(name)] = {code, description};
  }
  // QueryInterface answers iid with this object as well.
  void Answer(const IID& iid) { answers_.push_back(iid); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv)
      return E_POINTER;
    *ppv = nullptr;
    queried.push_back(riid);
    bool known = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch);
    for (const IID& iid : answers_)
      known = known || IsEqualIID(riid, iid);
    if (!known)
      return E_NOINTERFACE;
    AddRef();
    *ppv = static_cast<IDispatch*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (count != 1)
      return E_INVALIDARG;
    const std::wstring key = Key(names[0]);
    looked_up.push_back(key);
    if (!texts_.count(key) && !raises_.count(key)) {
      ids[0] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    auto known = std::find(order_.begin(), order_.end(), key);
    if (known == order_.end())
      known = order_.insert(order_.end(), key);
    ids[0] = static_cast<DISPID>(known - order_.begin() + 1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT*) override {
    if (id < 1 || static_cast<std::size_t>(id) > order_.size())
      return DISP_E_MEMBERNOTFOUND;
    if (!(flags & DISPATCH_PROPERTYGET) || params->cArgs != 0)
      return DISP_E_MEMBERNOTFOUND;
    const std::wstring& key = order_[static_cast<std::size_t>(id - 1)];
    reads.push_back(key);
    if (onRead)
      onRead();
    locales.push_back(lcid);
    if (auto raised = raises_.find(key); raised != raises_.end()) {
      if (exception) {
        *exception = EXCEPINFO{};
        exception->scode = raised->second.first;
        exception->bstrDescription = SysAllocString(raised->second.second.c_str());
      }
      return DISP_E_EXCEPTION;
    }
    if (result) {
      VariantInit(result);
      V_VT(result) = VT_BSTR;
      V_BSTR(result) = SysAllocString(texts_[key].c_str());
    }
    return S_OK;
  }

  ULONG references() const { return references_; }

  std::vector<std::wstring> looked_up;  // every name asked for, lower case, in order
  std::vector<std::wstring> reads;      // property names read, lower case, in order
  std::vector<LCID> locales;            // the locale of each read
  std::vector<IID> queried;             // every interface asked for
  std::function<void()> onRead;         // runs inside every property read

 private:
  static std::wstring Key(std::wstring name) {
    for (wchar_t& c : name)
      c = static_cast<wchar_t>(towlower(c));
    return name;
  }

  ULONG references_ = 1;  // the test's own
  std::map<std::wstring, std::wstring> texts_;
  std::map<std::wstring, std::pair<HRESULT, std::wstring>> raises_;
  std::vector<std::wstring> order_;
  std::vector<IID> answers_;
};

// An event source with one connection point for one events interface.
class FakeEventSource : public IConnectionPointContainer, public IConnectionPoint {
 public:
  explicit FakeEventSource(const IID& events) : events_(events) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPointContainer)) {
      *ppv = static_cast<IConnectionPointContainer*>(this);
    } else if (IsEqualIID(riid, IID_IConnectionPoint)) {
      *ppv = static_cast<IConnectionPoint*>(this);
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
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override {
    *point = nullptr;
    if (!IsEqualIID(riid, events_))
      return CONNECT_E_NOCONNECTION;
    AddRef();
    *point = this;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
    *iid = events_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** c) override {
    AddRef();
    *c = this;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
    if (refuse != S_OK)
      return refuse;
    sink->AddRef();
    sinks_.push_back(sink);
    *cookie = nextCookie;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    unadvised.push_back(cookie);
    if (sinks_.empty())
      return CONNECT_E_NOCONNECTION;
    sinks_.back()->Release();
    sinks_.pop_back();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

  // The source as the IUnknown a caller holds.
  IUnknown* unknown() { return static_cast<IConnectionPointContainer*>(this); }
  ULONG references() const { return references_; }

  HRESULT refuse = S_OK;  // what Advise answers instead of connecting
  DWORD nextCookie = 7;   // the cookie Advise hands out
  std::vector<DWORD> unadvised;

 private:
  IID events_;
  ULONG references_ = 1;
  std::vector<IUnknown*> sinks_;
};
#pragma GCC diagnostic pop

}  // namespace morvane::fakes
