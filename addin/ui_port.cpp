#include "addin/ui_port.h"

#include <stdexcept>

namespace morvane::ui {
namespace {
std::shared_ptr<Port> installed;
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
