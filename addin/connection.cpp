#include "addin/connection.h"

#include "addin/host_version.h"
#include "addin/menu.h"
#include "addin/model/continue_on_error.h"
#include "commands/cb_morvane.h"
#include "snapshot/main_code.h"

namespace morvane {

void OnConnection(std::shared_ptr<host::Application> application) {
  RunStep([&] { xlApp = std::move(application); });
  // A version that cannot be read counts as classic: the popup is then attempted, and each
  // of its steps fails quietly if the host is not what it seemed.
  if (TestOrTrue(IsClassicHost)) {
    RunStep(TarvelMB_Add);
  }
}

void OnDisconnection() {
  if (TestOrTrue(IsClassicHost)) {
    // A popup left behind outlives the add-in in the host's saved layout, with buttons nothing
    // answers. A host that refused once (busy, or a call rejected) is asked a second time.
    if (!RunStep(remMenuBar)) {
      RunStep(remMenuBar);
    }
  }
  RunStep([] { xlApp.reset(); });
  RunStep([] { colButtons.clear(); });
}

}  // namespace morvane
