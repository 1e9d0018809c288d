#pragma once

// The built Morvane.dll, loaded once for the whole test program the way COM loads it: by path,
// then through its exports. It stays loaded until the program ends, as COM keeps an in-process
// server loaded until CoFreeUnusedLibraries.

#include <windows.h>

#include <string>

#include "addin/com/base/com_ptr.h"

namespace morvane::testing_dll {

class MorvaneDll {
 public:
  static MorvaneDll& Get() {
    static MorvaneDll dll;
    return dll;
  }

  HMODULE module() const { return module_; }
  // The DLL's full path, as GetModuleFileNameW gives it to the DLL itself.
  const std::wstring& path() const { return path_; }
  // The DLL's folder, with a trailing backslash.
  std::wstring folder() const { return path_.substr(0, path_.find_last_of(L'\\') + 1); }

  template <class Fn>
  Fn* Export(const char* name) const {
    return reinterpret_cast<Fn*>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const {
    return Export<HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**)>("DllGetClassObject")(clsid,
                                                                                         riid, ppv);
  }
  HRESULT CanUnloadNow() const { return Export<HRESULT STDAPICALLTYPE()>("DllCanUnloadNow")(); }

  // A new Connect, through the class object as COM creates it.
  template <class T>
  com::ComPtr<T> Create(REFCLSID clsid, REFIID riid) const {
    com::ComPtr<IClassFactory> factory;
    if (FAILED(GetClassObject(clsid, IID_IClassFactory, factory.put_void())))
      return {};
    com::ComPtr<T> object;
    factory->CreateInstance(nullptr, riid, object.put_void());
    return object;
  }

 private:
  MorvaneDll() {
    // The test program lies in <build>/tests/com, the DLL in <build>/addin/com.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"..\\..\\addin\\com\\Morvane.dll";
    module_ = LoadLibraryW(path.c_str());
    if (module_) {
      wchar_t loaded[MAX_PATH] = {};
      GetModuleFileNameW(module_, loaded, MAX_PATH);
      path_ = loaded;
    }
  }

  HMODULE module_ = nullptr;
  std::wstring path_;
};

}  // namespace morvane::testing_dll
