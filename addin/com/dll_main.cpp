// Morvane.dll's entry points. Everything behind them lives in the morvane_com library.

#include <windows.h>

#include <olectl.h>

#include <string>
#include <string_view>

#include "addin/com/base/module_lifetime.h"
#include "addin/com/server.h"
#include "addin/model/trace.h"
#include "addin/win32/wide_text.h"

namespace {

// Inside Excel there is no console: the add-in's developer notes go to the debugger.
void ToDebugger(std::string_view line) {
  const std::wstring text = L"Morvane: " + morvane::win32::WideFromUtf8(line) + L"\n";
  OutputDebugStringW(text.c_str());
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    morvane::SetTraceSink(ToDebugger);
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
