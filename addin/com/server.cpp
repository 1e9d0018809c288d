#include "addin/com/server.h"

#include "addin/com/base/com_error.h"
#include "addin/com/base/com_object.h"
#include "addin/com/base/module_lifetime.h"
#include "addin/com/connect.h"
#include "addin/com/identity.h"
#include "addin/com/platform_services.h"
#include "addin/com/registration.h"

namespace morvane::com {
namespace {

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
 public:
  static constexpr InterfaceEntry<ClassFactory> kInterfaces[] = {
      {&IID_IUnknown, As<ClassFactory, IClassFactory>},
      {&IID_IClassFactory, As<ClassFactory, IClassFactory>},
  };

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    return com_boundary([&] {
      if (!ppv)
        return E_POINTER;
      *ppv = nullptr;
      if (outer)
        return CLASS_E_NOAGGREGATION;
      InstallPlatformServices();
      return CreateConnect(riid, ppv);
    });
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    return com_boundary([&] {
      LockModule(lock != FALSE);
      return S_OK;
    });
  }
};

}  // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  return com_boundary([&] {
    if (!ppv)
      return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(clsid, kClsidConnect))
      return CLASS_E_CLASSNOTAVAILABLE;
    PinModule();
    return MakeComObject<ClassFactory>()->QueryInterface(riid, ppv);
  });
}

HRESULT CanUnloadNow() {
  return com_boundary([] {
    if (ModuleInUse())
      return S_FALSE;
    ReleasePlatformServices();
    return S_OK;
  });
}

HRESULT RegisterServer() {
  return com_boundary([] {
    com::RegisterServer(ModulePath());
    return S_OK;
  });
}

HRESULT UnregisterServer() {
  return com_boundary([] {
    com::UnregisterServer(ModulePath());
    return S_OK;
  });
}

}  // namespace morvane::com
