#pragma once

// Where a web address the add-in opens goes. For the length of a run, the prefix's "open"
// command for http and https addresses and for HTML files starts this harness in its recording
// mode instead of Wine's browser, so a test sees exactly what the shell was asked to open (for a
// file: URL, the file's path); the commands are put back afterwards. (Wine reads these from the
// machine's classes: it does not merge the user's.)

#include <windows.h>

#include <string>
#include <vector>

namespace morvane::e2e {

inline constexpr const wchar_t* kRecordUrlSwitch = L"--record-url";

class BrowserRecorder {
 public:
  // `harness` is this program's path; addresses are appended to `recordFile`, one a line.
  BrowserRecorder(const std::wstring& harness, std::wstring recordFile);
  ~BrowserRecorder();
  BrowserRecorder(const BrowserRecorder&) = delete;
  BrowserRecorder& operator=(const BrowserRecorder&) = delete;

  // Waits for `url` to have been opened `times` times; false when it was not within `limitMs`.
  bool WaitFor(const std::wstring& url, DWORD limitMs, int times = 1) const;
  std::vector<std::wstring> Opened() const;

  // Puts Wine's own browser back, for a run that must end at once.
  static void RestoreNow();

 private:
  std::wstring recordFile_;
};

// The recording mode: appends `url` to `file`.
int RecordUrl(const std::wstring& file, const std::wstring& url);

}  // namespace morvane::e2e
