#include "addin/model/ui_port.h"

#include <stdexcept>

namespace morvane::ui {
namespace {
std::shared_ptr<Port> installed;
}

void Port::ShowWizard() {
  throw std::logic_error("this user interface has no conversion wizard");
}

std::unique_ptr<AboutWindow> Port::LoadAbout(AboutEvents&) {
  throw std::logic_error("this user interface has no About box");
}

std::intptr_t Port::OpenWithShell(const ShellRequest&) {
  throw std::logic_error("this user interface cannot reach the shell");
}

std::u16string Port::AddInVersion() {
  return {};
}

std::filesystem::path Port::AddInFolder() {
  return {};
}

void Install(std::shared_ptr<Port> port) {
  installed = std::move(port);
}

Port& Current() {
  if (!installed) {
    throw std::logic_error("no user interface installed");
  }
  return *installed;
}

}  // namespace morvane::ui
