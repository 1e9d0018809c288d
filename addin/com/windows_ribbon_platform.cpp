#include "addin/com/windows_ribbon_platform.h"

#include "addin/com/base/module_lifetime.h"
#include "addin/win32/wide_text.h"

namespace morvane::com {

std::filesystem::path WindowsRibbonPlatform::ModuleFolder() {
  return std::filesystem::path(ModulePath()).parent_path();
}

std::u16string WindowsRibbonPlatform::AnsiToText(std::string_view bytes) {
  return win32::FromAnsiCodePage(bytes);
}

}  // namespace morvane::com
