#include "addin/model/user_locale.h"

namespace morvane {
namespace {
DecimalSeparatorReader installedReader;
}

void InstallDecimalSeparatorReader(DecimalSeparatorReader reader) {
  installedReader = std::move(reader);
}

char16_t UserDecimalSeparator() {
  return installedReader ? installedReader() : u'.';
}

}  // namespace morvane
