// A module without the dialog templates: the forms fail instead of pretending to have been
// shown, so the command that asked for them fails as well.

#include <gtest/gtest.h>

#include <stdexcept>

#include "win32_ui/ui_fixture.h"

namespace morvane::uitest {
namespace {

class NoEvents : public ui::AboutEvents {
 public:
  void Label21_Click() override {}
};

TEST(MissingTemplates, TheFormsFailWhenTheModuleHasNoDialogTemplates) {
  const auto port = win32::CreateWin32Ui(GetModuleHandleW(L"ntdll.dll"));
  NoEvents events;
  EXPECT_THROW(port->ShowWizard(), std::runtime_error);
  EXPECT_THROW(port->LoadAbout(events), std::runtime_error);
}

}  // namespace
}  // namespace morvane::uitest
