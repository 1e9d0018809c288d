#include "addin/com/base/module_lifetime.h"

#include <atomic>

#include "addin/com/base/com_error.h"

namespace morvane::com {
namespace {

std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};
HINSTANCE savedModule = nullptr;

}  // namespace

ModuleReference::ModuleReference() {
  ++liveObjects;
}
ModuleReference::ModuleReference(const ModuleReference&) {
  ++liveObjects;
}
ModuleReference::~ModuleReference() {
  --liveObjects;
}

void LockModule(bool lock) {
  // More unlocks than locks is the caller's bug; never let it pin the count below zero.
  if (lock || serverLocks.fetch_sub(1) <= 0) {
    ++serverLocks;
  }
}

bool ModuleInUse() {
  return liveObjects.load() > 0 || serverLocks.load() > 0;
}

void SetModuleHandle(HINSTANCE module) {
  savedModule = module;
}
void PinModule() {
  static const bool pinned = [] {
    HMODULE module = nullptr;
    return GetModuleHandleExW(
               GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
               reinterpret_cast<LPCWSTR>(&PinModule), &module) != FALSE;
  }();
  (void)pinned;
}

HINSTANCE ModuleHandle() {
  return savedModule;
}

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(savedModule, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      throw ComError(HRESULT_FROM_WIN32(GetLastError()), "GetModuleFileNameW");
    // A full buffer may mean a truncated path: try again with more room.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace morvane::com
