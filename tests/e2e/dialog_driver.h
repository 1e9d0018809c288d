#pragma once

#include <cstdlib>

// The user's part while a command's window is open. A command that shows a modal window
// blocks the host's thread until the window closes, so the scripted actions run on a helper
// thread: they find the add-in's windows by title and its controls by caption, click them by
// posting BM_CLICK (as a mouse click would), and close windows with their close box. Every
// wait is bounded: a window that never comes, or a command that never returns, fails the
// scenario and the windows left are closed, so nothing hangs.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/scenario.h"
#include "tests/e2e/screenshots.h"
#include "tests/e2e/served_host.h"

namespace morvane::e2e {

inline unsigned WaitFromEnvironment(unsigned fallback) {
  const char* text = std::getenv("MORVANE_E2E_WAIT_MS");
  const unsigned long value = text ? std::strtoul(text, nullptr, 10) : 0;
  return value > 0 ? static_cast<unsigned>(value) : fallback;
}

// How long the user waits for a window or a control, and how long the windows left get to
// close after giving up.
struct DialogLimits {
  // MORVANE_E2E_WAIT_MS lengthens it for benchmarks, where a run may take minutes.
  unsigned waitMs = WaitFromEnvironment(10000);
  unsigned closeMs = 5000;
};

class DialogDriver {
 public:
  DialogDriver(const std::vector<ScenarioLine>& script, ServedHost& host,
               const Screenshots& screenshots, DialogLimits limits = {});
  ~DialogDriver();
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  // Before the command: arms a held write, starts the helper thread.
  void Start();
  // After the command returned: waits for the helper and gives what went wrong.
  std::vector<std::string> Finish();

 private:
  void Run();
  bool Perform(const ScenarioLine& action);
  void Fail(const ScenarioLine& action, const std::string& what);
  void Fail(const std::string& what);

  const std::vector<ScenarioLine>& script_;
  ServedHost& host_;
  const Screenshots& screenshots_;
  DialogLimits limits_;
  std::atomic<bool> returned_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> failures_;
  long heldWrite_ = 0;
};

}  // namespace morvane::e2e
