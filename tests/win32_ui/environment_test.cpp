// Set-up for the whole program. Under Wine on a bare X server (no window manager), every
// visible top-level window that hides or closes makes Wine wait about two seconds for a window
// manager to acknowledge it; with a few dozen dialogs that is minutes. Wine's own setting for
// programs run without one ("Managed" = "N" in its X11 driver settings, here for this program
// only) removes the wait. Wine reads it once, when the display driver loads, which the common
// controls library makes happen before main: so when it is missing, this program sets it and
// runs itself again. Windows ignores the key.

#include <windows.h>

#include <cstdlib>
#include <string>

#include "support/run_again.h"

namespace {

constexpr wchar_t kProgramSettings[] =
    L"Software\\Wine\\AppDefaults\\win32_ui_tests.exe\\X11 Driver";
constexpr wchar_t kAllProgramsSettings[] = L"Software\\Wine\\X11 Driver";
constexpr wchar_t kRelaunched[] = L"MORVANE_UI_TESTS_RELAUNCHED";

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool Unmanaged(const wchar_t* key) {
  wchar_t value[8] = L"";
  DWORD size = sizeof value;
  return RegGetValueW(HKEY_CURRENT_USER, key, L"Managed", RRF_RT_REG_SZ, nullptr, value, &size) ==
             ERROR_SUCCESS &&
         (value[0] == L'N' || value[0] == L'n');
}

const bool kWindowsUnmanaged = [] {
  if (!UnderWine() || Unmanaged(kAllProgramsSettings) || Unmanaged(kProgramSettings) ||
      GetEnvironmentVariableW(kRelaunched, nullptr, 0) != 0) {
    return true;
  }
  if (RegSetKeyValueW(HKEY_CURRENT_USER, kProgramSettings, L"Managed", REG_SZ, L"N", sizeof L"N") !=
      ERROR_SUCCESS) {
    return false;  // slow, but the tests still run
  }
  SetEnvironmentVariableW(kRelaunched, L"1");
  ExitProcess(morvane::fakes::RunAgain(1));
}();

}  // namespace
