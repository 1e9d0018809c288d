#include "addin/com/platform_services.h"

#include <windows.h>

#include "about/frm_ug.h"
#include "addin/com/module_lifetime.h"
#include "addin/ui_port.h"
#include "addin/user_locale.h"

#if MORVANE_HAVE_WIN32_UI
#include "addin/win32/win32_ui.h"
#endif

namespace morvane::com {
namespace {

bool installed = false;

// The user's decimal separator, asked afresh each time so a change in the regional settings
// takes effect at once. The locale may name up to three characters; the version texts only
// need the first.
char16_t ReadUserDecimalSeparator() {
  wchar_t separator[4] = {};
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4) <= 1) {
    return u'.';
  }
  return static_cast<char16_t>(separator[0]);
}

}  // namespace

void InstallPlatformServices() {
  if (installed)
    return;
  InstallDecimalSeparatorReader(ReadUserDecimalSeparator);
#if MORVANE_HAVE_WIN32_UI
  ui::Install(win32::CreateWin32Ui(ModuleHandle()));
#endif
  installed = true;
}

void ReleasePlatformServices() {
  if (!installed)
    return;
  // The About form's window lives on for BrowseTo; it must go while the code that owns its
  // window procedure is still loaded.
  frmUG::Instance().Unload();
#if MORVANE_HAVE_WIN32_UI
  ui::Install(nullptr);
#endif
  InstallDecimalSeparatorReader(nullptr);
  installed = false;
}

}  // namespace morvane::com
