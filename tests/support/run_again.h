#pragma once

// Runs this program again as a new process, with the same command line and standard handles,
// and answers with its exit code (`failed` when it cannot start). Wine reads some of its
// settings only when a process starts: a program that had to set them runs itself again.

#include <windows.h>

#include <string>

namespace morvane::fakes {

inline DWORD RunAgain(DWORD failed) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
    SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  }
  std::wstring commandLine = GetCommandLineW();
  PROCESS_INFORMATION child{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &child)) {
    return failed;
  }
  WaitForSingleObject(child.hProcess, INFINITE);
  DWORD exitCode = failed;
  GetExitCodeProcess(child.hProcess, &exitCode);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return exitCode;
}

}  // namespace morvane::fakes
