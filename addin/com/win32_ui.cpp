#include "addin/com/win32_ui.h"

#include <windows.h>

#include <filesystem>

#include "about/win32/about_dialog.h"
#include "addin/com/base/module_lifetime.h"
#include "addin/win32/message_box.h"
#include "addin/win32/module_version.h"
#include "addin/win32/shell_launch.h"
#include "convert/win32/wizard_dialog.h"

namespace morvane::win32 {
namespace {

class Win32Ui final : public ui::Port {
 public:
  explicit Win32Ui(HINSTANCE module) : module_(module) {}

  void ShowMessage(const std::u16string& text) override { ShowMessageBox(text); }

  void ShowWizard() override { RunWizardDialog(module_); }

  std::unique_ptr<ui::AboutWindow> LoadAbout(ui::AboutEvents& events) override {
    return LoadAboutDialog(module_, events);
  }

  std::intptr_t OpenWithShell(const ui::ShellRequest& request) override {
    return ShellExecuteAnsi(request);
  }

  std::u16string AddInVersion() override { return ModuleFileVersion(module_); }

  std::filesystem::path AddInFolder() override {
    try {
      return std::filesystem::path(com::ModulePath()).parent_path();
    } catch (...) {
      return {};  // not known: the caller goes to the web page
    }
  }

 private:
  HINSTANCE module_;
};

}  // namespace

std::shared_ptr<ui::Port> CreateWin32Ui(HINSTANCE module) {
  return std::make_shared<Win32Ui>(module);
}

}  // namespace morvane::win32
