#include "snapshot/connected_host.h"

#include "addin/model/errors.h"
#include "snapshot/main_code.h"

namespace morvane {

std::shared_ptr<host::Application> ConnectedHost() {
  if (!xlApp) {
    ThrowObjectNotSet();
  }
  return xlApp;
}

std::shared_ptr<host::Sheet> ActiveSheetOf(host::Application& app) {
  auto sheet = app.ActiveSheet();
  if (!sheet) {
    ThrowObjectNotSet();
  }
  return sheet;
}

}  // namespace morvane
