#include "tests/e2e/screenshots.h"

#include <windows.h>

#include <shlobj.h>

#include "tests/e2e/harness_text.h"
#include "tests/e2e/registry_view.h"

namespace morvane::e2e {
namespace {

constexpr DWORD kImportLimitMs = 20000;

}  // namespace

std::string Screenshots::Take(const std::string& file) const {
  if (folder_.empty()) {
    return "no screenshot folder given";
  }
  if (file.find_first_of("/\\\" ") != std::string::npos) {
    return "a screenshot is named by a plain file name";
  }
  SHCreateDirectoryExW(nullptr, WindowsPath(folder_).c_str(), nullptr);
  // Wine starts a Linux program given by its Z: path and passes the arguments unchanged.
  const std::wstring command =
      L"Z:\\usr\\bin\\import -window root \"" + WideFromUtf8(folder_ + "/" + file) + L"\"";
  const int code = RunProgram(command, kImportLimitMs);
  return code == 0 ? std::string() : "import failed with exit code " + std::to_string(code);
}

}  // namespace morvane::e2e
