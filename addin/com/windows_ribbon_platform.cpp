#include "addin/com/windows_ribbon_platform.h"

#include <windows.h>

#include <limits>

#include "addin/com/base/com_error.h"
#include "addin/com/base/module_lifetime.h"

namespace morvane::com {

std::filesystem::path WindowsRibbonPlatform::ModuleFolder() {
  return std::filesystem::path(ModulePath()).parent_path();
}

std::u16string WindowsRibbonPlatform::AnsiToText(std::string_view bytes) {
  // MultiByteToWideChar rejects an empty input as an invalid parameter.
  if (bytes.empty())
    return {};
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw ComError(E_OUTOFMEMORY, "ribbon markup larger than 2 GB");
  }
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0)
    throw ComError(HRESULT_FROM_WIN32(GetLastError()), "MultiByteToWideChar");
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), needed) != needed) {
    throw ComError(HRESULT_FROM_WIN32(GetLastError()), "MultiByteToWideChar");
  }
  return std::u16string(wide.begin(), wide.end());
}

}  // namespace morvane::com
