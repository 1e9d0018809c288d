#include "snapshot/connected_host.h"

#include "snapshot/main_code.h"

namespace morvane {

std::shared_ptr<host::Application> ConnectedHost() {
  if (!xlApp) {
    throw host::HostError(kObjectNotSet, u"Object variable or With block variable not set");
  }
  return xlApp;
}

}  // namespace morvane
