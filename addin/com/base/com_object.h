#pragma once

// The one IUnknown implementation every COM class of the add-in shares.
//
//   class Sink final : public ComObject<Sink, IDispatch> {
//    public:
//     static constexpr InterfaceEntry<Sink> kInterfaces[] = {
//         {&IID_IUnknown, As<Sink, IDispatch>}, {&IID_IDispatch, As<Sink, IDispatch>}};
//     ...
//   };
//   ComPtr<Sink> sink = MakeComObject<Sink>(...);
//
// The first entry answers IID_IUnknown and so fixes the object's identity; list every other
// interface the object answers for, each cast to the base that implements it (with several
// IDispatch-derived bases, the entry for IID_IDispatch names the one whose Invoke it means).

#include <windows.h>

#include <unknwn.h>

#include <atomic>
#include <utility>

#include "addin/com/base/com_ptr.h"
#include "addin/com/base/module_lifetime.h"

namespace morvane::com {

template <class Derived>
struct InterfaceEntry {
  const IID* iid;
  IUnknown* (*cast)(Derived*);
};

// The cast for an entry of the table: the Derived object as its Interface base.
template <class Derived, class Interface>
IUnknown* As(Derived* object) {
  return static_cast<Interface*>(object);
}

// COM interfaces have no virtual destructor: a COM object is destroyed by its own Release,
// never through an interface pointer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
template <class Derived, class... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) final {
    if (!ppv)
      return E_POINTER;
    *ppv = nullptr;
    for (const InterfaceEntry<Derived>& entry : Derived::kInterfaces) {
      if (IsEqualIID(riid, *entry.iid)) {
        IUnknown* found = entry.cast(static_cast<Derived*>(this));
        found->AddRef();
        *ppv = found;
        return S_OK;
      }
    }
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() final { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() final {
    // Only the returned count decides; after the delete no member may be touched.
    const ULONG left = --references_;
    if (left == 0)
      delete static_cast<Derived*>(this);
    return left;
  }

 protected:
  ComObject() = default;
  ~ComObject() = default;

 private:
  std::atomic<ULONG> references_{1};  // the creator's reference, adopted by MakeComObject
  ModuleReference module_;
};
#pragma GCC diagnostic pop

// Creates a Derived and hands back the one reference it starts with.
template <class Derived, class... Args>
ComPtr<Derived> MakeComObject(Args&&... args) {
  ComPtr<Derived> object;
  object.reset(new Derived(std::forward<Args>(args)...));
  return object;
}

}  // namespace morvane::com
