#include "tests/e2e/served_host.h"

#include <chrono>

namespace morvane::e2e {

void CallLog::Record(const std::string& member, LCID lcid) {
  ++counts_[member];
  locales_[member].insert(lcid);
}

long CallLog::Count(const std::string& member) const {
  const auto found = counts_.find(member);
  return found == counts_.end() ? 0 : found->second;
}

std::vector<std::string> CallLog::CalledWithOtherLocale(LCID expected) const {
  std::vector<std::string> out;
  for (const auto& [member, locales] : locales_) {
    if (locales.size() > 1 || !locales.contains(expected)) {
      out.push_back(member);
    }
  }
  return out;
}

void WriteGate::Arm(long k) {
  std::lock_guard lock(mutex_);
  writes_ = 0;
  armedAt_ = k;
  held_ = false;
  let_ = false;
}

void WriteGate::Disarm() {
  std::lock_guard lock(mutex_);
  armedAt_ = 0;
  let_ = true;
  changed_.notify_all();
}

void WriteGate::AfterWrite(DWORD limitMs) {
  std::unique_lock lock(mutex_);
  ++writes_;
  if (armedAt_ == 0 || writes_ != armedAt_) {
    return;
  }
  held_ = true;
  changed_.notify_all();
  changed_.wait_for(lock, std::chrono::milliseconds(limitMs), [&] { return let_; });
}

bool WriteGate::WaitHeld(DWORD limitMs) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(limitMs), [&] { return held_; });
}

void WriteGate::Let() {
  std::lock_guard lock(mutex_);
  let_ = true;
  changed_.notify_all();
}

}  // namespace morvane::e2e
