#include "addin/win32/shell_launch.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "addin/win32/wide_text.h"

namespace morvane::win32 {

std::intptr_t ShellExecuteAnsi(const ui::ShellRequest& request) {
  const std::string verb = ToAnsiCodePage(request.verb);
  const std::string file = ToAnsiCodePage(request.file);
  const std::string parameters = ToAnsiCodePage(request.parameters);
  const std::string directory = ToAnsiCodePage(request.directory);
  // Empty texts go as empty strings, not as null pointers: that is what the add-in asks for.
  HINSTANCE result =
      ShellExecuteA(reinterpret_cast<HWND>(request.owner), verb.c_str(), file.c_str(),
                    parameters.c_str(), directory.c_str(), request.show);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace morvane::win32
