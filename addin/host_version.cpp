#include "addin/host_version.h"

#include "addin/model/errors.h"
#include "addin/model/user_locale.h"
#include "snapshot/connected_host.h"
#include "snapshot/main_code.h"

namespace morvane {
namespace {

constexpr double kLastClassicVersion = 11.0;

}  // namespace

bool IsClassicHost() {
  std::optional<double> version =
      ReadVersionNumber(ConnectedHost()->Version(), UserDecimalSeparator());
  return !version || *version <= kLastClassicVersion;
}

}  // namespace morvane
