#include "tests/e2e/screenshots.h"

#include <windows.h>

#include <shlobj.h>

#include "tests/e2e/harness_text.h"

namespace morvane::e2e {
namespace {

constexpr DWORD kImportLimitMs = 20000;
constexpr DWORD kPollMs = 150;

}  // namespace

std::string Screenshots::Take(const std::string& file) const {
  if (folder_.empty()) {
    return {};  // pictures were not asked for
  }
  if (file.find_first_of("/\\\" ") != std::string::npos) {
    return "a screenshot is named by a plain file name";
  }
  SHCreateDirectoryExW(nullptr, WindowsPath(folder_).c_str(), nullptr);
  const std::string target = folder_ + "/" + file;
  const std::wstring windowsTarget = WindowsPath(target);
  DeleteFileW(windowsTarget.c_str());
  // Wine starts a Linux program given by its Z: path and passes the arguments unchanged, but
  // gives no handle to wait on: the picture is done when its file stops growing.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring command = L"import -window root \"" + WideFromUtf8(target) + L"\"";
  if (!CreateProcessW(L"Z:\\usr\\bin\\import", command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return "cannot start ImageMagick's import";
  }
  if (process.hThread != nullptr) {
    CloseHandle(process.hThread);
  }
  if (process.hProcess != nullptr) {
    CloseHandle(process.hProcess);
  }
  LONGLONG lastSize = -1;
  for (DWORD waited = 0; waited < kImportLimitMs; waited += kPollMs) {
    Sleep(kPollMs);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(windowsTarget.c_str(), GetFileExInfoStandard, &data)) {
      continue;
    }
    const LONGLONG size = (LONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    if (size > 0 && size == lastSize) {
      return {};
    }
    lastSize = size;
  }
  return "import wrote no picture within " + std::to_string(kImportLimitMs / 1000) + " s";
}

}  // namespace morvane::e2e
