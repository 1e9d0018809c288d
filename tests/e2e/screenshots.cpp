#include "tests/e2e/screenshots.h"

#include <windows.h>

#include <shlobj.h>

#include "tests/e2e/harness_text.h"

namespace morvane::e2e {
namespace {

constexpr DWORD kImportLimitMs = 20000;
constexpr DWORD kPollMs = 50;

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
  // Wine starts a Linux program given by its Z: path but gives no handle to wait on. The
  // picture is written under another name and renamed once import has finished, so its
  // appearance means import is done: no half-written file is taken for the picture, and no
  // import is still at work on the display when the scenario's next step runs.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring command =
      L"sh -c \"import -window root \\\"$1\\\" && mv -f \\\"$1\\\" "
      L"\\\"$2\\\"\" sh \"" +
      WideFromUtf8(target + "." + std::to_string(GetCurrentProcessId()) + ".png") + L"\" \"" +
      WideFromUtf8(target) + L"\"";
  if (!CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return "cannot start ImageMagick's import";
  }
  if (process.hThread != nullptr) {
    CloseHandle(process.hThread);
  }
  if (process.hProcess != nullptr) {
    CloseHandle(process.hProcess);
  }
  for (DWORD waited = 0; waited < kImportLimitMs; waited += kPollMs) {
    Sleep(kPollMs);
    if (GetFileAttributesW(windowsTarget.c_str()) != INVALID_FILE_ATTRIBUTES) {
      return {};
    }
  }
  return "import wrote no picture within " + std::to_string(kImportLimitMs / 1000) + " s";
}

}  // namespace morvane::e2e
