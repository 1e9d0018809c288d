// Morvane.dll's entry points. Everything behind them lives in the morvane_com library.

#include <windows.h>

#include <olectl.h>

#include "addin/com/base/module_lifetime.h"
#include "addin/com/server.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    // The module's own path locates the type library and the ribbon markup.
    morvane::com::SetModuleHandle(module);
    DisableThreadLibraryCalls(module);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* ppv) {
  return morvane::com::GetClassObject(clsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
  return morvane::com::CanUnloadNow();
}

STDAPI DllRegisterServer() {
  return morvane::com::RegisterServer();
}

STDAPI DllUnregisterServer() {
  return morvane::com::UnregisterServer();
}
