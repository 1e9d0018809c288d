#include "commands/commands.h"

#include "about/frm_ug.h"
#include "about/web_addresses.h"
#include "addin/model/add_in_identity.h"
#include "addin/model/errors.h"
#include "addin/model/ui_port.h"
#include "snapshot/connected_host.h"
#include "snapshot/main_code.h"

namespace morvane::commands {
namespace {

// The wizard is one form: while it is on screen it cannot be shown a second time.
bool wizardOnScreen = false;

}  // namespace

void ShowWizard() {
  if (wizardOnScreen) {
    ThrowFormAlreadyShown();
  }
  wizardOnScreen = true;
  try {
    ui::Current().ShowWizard();
  } catch (...) {
    wizardOnScreen = false;
    throw;
  }
  wizardOnScreen = false;
}

void ShowAbout() {
  frmUG::Instance().Show();
}

void OpenUserGuide() {
  frmUG::Instance().OpenPage(about::kUserGuidePage);
}

void SwitchOff() {
  RequireObject(ConnectedHost()->ComAddIn(std::u16string(kProgId))).SetConnect(false);
}

}  // namespace morvane::commands
