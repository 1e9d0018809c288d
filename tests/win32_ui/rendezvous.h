#pragma once

// Holds a conversion at chosen points so the helper thread can look at the wizard and act
// between two cells, deterministically. The simulated Excel runs on the test's thread; at each
// point it calls Reach, which waits there while the helper reads the controls (its messages
// are answered) and queues its clicks (they take effect at the wizard's next message pass).

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>

namespace morvane::uitest {

// The points: before the k-th visited cell (k from 1), and at the closing steps.
inline constexpr int kClosingSteps = 0;

class Rendezvous {
 public:
  Rendezvous() : released_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Rendezvous() { CloseHandle(released_); }
  Rendezvous(const Rendezvous&) = delete;
  Rendezvous& operator=(const Rendezvous&) = delete;

  // Helper: hold the test's thread at these points (before starting the conversion).
  void HoldAt(std::initializer_list<int> points) {
    std::lock_guard lock(mutex_);
    held_.insert(points.begin(), points.end());
  }

  // Test's thread: waits at `point` if it is held, answering messages sent to its windows,
  // until the helper releases it (or a few seconds have passed: the test then fails).
  void Reach(int point) {
    {
      std::lock_guard lock(mutex_);
      if (held_.erase(point) == 0) {
        return;
      }
      ResetEvent(released_);
      at_ = point;
    }
    arrived_.notify_all();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) {
        ADD_FAILURE() << "the helper never released point " << point;
        break;
      }
      const DWORD woke = MsgWaitForMultipleObjects(
          1, &released_, FALSE, static_cast<DWORD>(left.count()), QS_SENDMESSAGE);
      if (woke == WAIT_OBJECT_0 + 1) {
        MSG message;  // runs the messages sent by the helper; posted ones stay queued
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        continue;
      }
      break;
    }
    std::lock_guard lock(mutex_);
    at_ = kNowhere;
  }

  // Helper: true once the test's thread waits at `point`.
  bool AwaitHold(int point) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::seconds(5), [&] { return at_ == point; });
  }

  // Helper: lets the test's thread go on.
  void Release() { SetEvent(released_); }

 private:
  static constexpr int kNowhere = -1;

  std::mutex mutex_;
  std::condition_variable arrived_;
  std::set<int> held_;
  int at_ = kNowhere;
  HANDLE released_;
};

}  // namespace morvane::uitest
