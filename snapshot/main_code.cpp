#include "snapshot/main_code.h"

namespace morvane {

std::shared_ptr<host::Application> xlApp;
std::vector<std::shared_ptr<cbMorvane>> colButtons;

}  // namespace morvane
