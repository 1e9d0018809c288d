#pragma once

// What every served object of one simulated Excel shares: the simulator itself, the host's
// user-interface thread, the log of the add-in's calls and the gate that can hold a cell write.

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "addin/com/base/com_ptr.h"
#include "hostsim/excel.h"

namespace morvane::e2e {

// Every Invoke the add-in made: how often each member was reached and with which locales.
class CallLog {
 public:
  // `member` is "Class.Member" for a get or a method call, "Class.Member=" for a put.
  void Record(const std::string& member, LCID lcid);
  long Count(const std::string& member) const;
  // Members called with a locale other than `expected`, each once.
  std::vector<std::string> CalledWithOtherLocale(LCID expected) const;

 private:
  std::map<std::string, long> counts_;
  std::map<std::string, std::set<LCID>> locales_;
};

// Holds the k-th cell write (counted from Arm) until the other side lets it go, so a script can
// act at an exact point of a conversion: the user's click lands while that cell is converted.
class WriteGate {
 public:
  void Arm(long k);
  void Disarm();
  // Called on the host thread after each cell write. Waits at the armed write, at most `limit`.
  void AfterWrite(DWORD limitMs);
  // Called by the script: waits until the armed write is held; false after `limitMs`.
  bool WaitHeld(DWORD limitMs);
  void Let();

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  long writes_ = 0;
  long armedAt_ = 0;  // 0: not armed
  bool held_ = false;
  bool let_ = false;
};

// One Advise on a button's Click: it lasts until Unadvise, like an Office connection point's,
// however long the add-in keeps the connection point itself.
struct ClickAdvise {
  std::unique_ptr<host::EventConnection> connection;
};

struct ServedHost {
  explicit ServedHost(std::shared_ptr<sim::Excel> simulator)
      : excel(std::move(simulator)), uiThread(GetCurrentThreadId()) {}

  std::shared_ptr<sim::Excel> excel;
  // Excel's objects live in its single-threaded apartment: a call from another thread is
  // refused, as a call through an unmarshalled pointer would be.
  DWORD uiThread;
  CallLog calls;
  WriteGate writes;
  // Failures the add-in's Click sinks returned to the host, which Excel itself would swallow.
  std::vector<std::string> sinkFailures;
  // Click connections by cookie; cookie 0 is never given out.
  std::map<DWORD, ClickAdvise> clickAdvises;
  DWORD lastCookie = 0;
};

}  // namespace morvane::e2e
