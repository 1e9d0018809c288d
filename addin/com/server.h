#pragma once

// The in-process server's four entry points, as dll_main.cpp exports them.

#include <windows.h>

namespace morvane::com {

// Connect's class object; CLASS_E_CLASSNOTAVAILABLE for any other class.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);
// S_OK once no object and no lock holds the module; it then releases the platform services.
HRESULT CanUnloadNow();
// Registration for the current user, of the module the code lives in.
HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace morvane::com
