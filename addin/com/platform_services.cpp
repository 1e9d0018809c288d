#include "addin/com/platform_services.h"

#include <windows.h>

#include "about/frm_ug.h"
#include "addin/com/base/module_lifetime.h"
#include "addin/com/win32_ui.h"
#include "addin/model/ui_port.h"
#include "addin/model/user_locale.h"

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
  ui::Install(win32::CreateWin32Ui(ModuleHandle()));
  installed = true;
}

void ReleasePlatformServices() {
  if (!installed)
    return;
  // The About form's window lives on for BrowseTo; it must go while the code that owns its
  // window procedure is still loaded.
  frmUG::Instance().Unload();
  ui::Install(nullptr);
  InstallDecimalSeparatorReader(nullptr);
  installed = false;
}

}  // namespace morvane::com
