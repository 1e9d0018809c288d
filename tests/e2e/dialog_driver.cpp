#include "tests/e2e/dialog_driver.h"

#include "tests/e2e/bench_counters.h"

#include <windows.h>

#include <chrono>
#include <functional>

#include "tests/e2e/harness_text.h"

namespace morvane::e2e {
namespace {

constexpr DWORD kPollMs = 25;
// Time for the window to be painted before the picture is taken.
constexpr DWORD kPaintMs = 400;

std::wstring TextOf(HWND window) {
  wchar_t buffer[2048];
  // Reads the stored text without a message to the window's thread, which may be busy.
  const int n = InternalGetWindowText(window, buffer, 2048);
  return std::wstring(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

bool IsClass(HWND window, const wchar_t* name) {
  wchar_t buffer[64];
  GetClassNameW(window, buffer, 64);
  return _wcsicmp(buffer, name) == 0;
}

// A caption as the user reads it: without the access-key ampersands.
std::wstring Plain(std::wstring caption) {
  std::erase(caption, L'&');
  return caption;
}

BOOL CALLBACK CollectOurs(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window)) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK CollectAll(HWND window, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

// The visible top-level windows of this process.
std::vector<HWND> OurWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectOurs, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, CollectAll, reinterpret_cast<LPARAM>(&children));
  return children;
}

// What is on screen, for a failure message.
std::string Describe() {
  std::string out;
  for (HWND window : OurWindows()) {
    out += (out.empty() ? "'" : "; '") + Utf8FromWide(TextOf(window)) + "' [";
    bool first = true;
    for (HWND child : ChildrenOf(window)) {
      const std::wstring text = TextOf(child);
      if (!text.empty() && IsWindowVisible(child)) {
        out += (first ? "" : ", ") + Utf8FromWide(text);
        first = false;
      }
    }
    out += "]";
  }
  return out.empty() ? "no window open" : "open: " + out;
}

HWND WindowTitled(const std::wstring& title) {
  for (HWND window : OurWindows()) {
    if (TextOf(window) == title) {
      return window;
    }
  }
  return nullptr;
}

// A visible, enabled button with this caption in any of our windows.
HWND ButtonCaptioned(const std::wstring& caption) {
  for (HWND window : OurWindows()) {
    for (HWND child : ChildrenOf(window)) {
      if (IsClass(child, L"Button") && Plain(TextOf(child)) == caption && IsWindowVisible(child) &&
          IsWindowEnabled(child)) {
        return child;
      }
    }
  }
  return nullptr;
}

// The window showing a control with exactly this text (a message box's text).
HWND WindowShowing(const std::wstring& text) {
  for (HWND window : OurWindows()) {
    for (HWND child : ChildrenOf(window)) {
      if (!IsClass(child, L"Button") && TextOf(child) == text) {
        return window;
      }
    }
  }
  return nullptr;
}

HWND ButtonIn(HWND window, const std::wstring& caption) {
  for (HWND child : ChildrenOf(window)) {
    if (IsClass(child, L"Button") && Plain(TextOf(child)) == caption) {
      return child;
    }
  }
  return nullptr;
}

bool Gone(HWND window) {
  return !IsWindow(window) || !IsWindowVisible(window);
}

void Click(HWND button) {
  PostMessageW(button, BM_CLICK, 0, 0);
}

std::wstring TextFrom(const ScenarioLine& action, std::size_t first) {
  return WideFromUtf8(action.TextFrom(first));
}

// "press STOP at write 50", "option lower case at write 30": the caption and the write, or 0
// when the click is not tied to a cell write.
long HeldWriteOf(const ScenarioLine& action, std::wstring* caption) {
  const auto& w = action.words;
  long write = 0;
  std::size_t captionWords = w.size();
  if ((action.verb == "press" || action.verb == "option") && w.size() >= 4 &&
      w[w.size() - 3].text == "at" && w[w.size() - 2].text == "write") {
    write = std::strtol(w.back().text.c_str(), nullptr, 10);
    captionWords = w.size() - 3;
  }
  if (caption != nullptr) {
    std::string text;
    for (std::size_t i = 0; i < captionWords; ++i) {
      text += (i ? " " : "") + w[i].text;
    }
    *caption = WideFromUtf8(text);
  }
  return write;
}

}  // namespace

DialogDriver::DialogDriver(const std::vector<ScenarioLine>& script, ServedHost& host,
                           const Screenshots& screenshots, DialogLimits limits)
    : script_(script), host_(host), screenshots_(screenshots), limits_(limits) {}

DialogDriver::~DialogDriver() {
  returned_ = true;
  if (thread_.joinable()) {
    thread_.join();
  }
}

void DialogDriver::Start() {
  for (const ScenarioLine& action : script_) {
    if (const long write = HeldWriteOf(action, nullptr); write > 0) {
      if (heldWrite_ != 0) {
        Fail(action, "one held write per command");
      }
      heldWrite_ = write;
    }
  }
  if (heldWrite_ > 0) {
    host_.writes.Arm(heldWrite_);
  }
  thread_ = std::thread([this] { Run(); });
}

std::vector<std::string> DialogDriver::Finish() {
  returned_ = true;
  if (thread_.joinable()) {
    thread_.join();
  }
  host_.writes.Disarm();
  std::lock_guard lock(mutex_);
  return failures_;
}

void DialogDriver::Fail(const ScenarioLine& action, const std::string& what) {
  Fail("line " + std::to_string(action.number) + ": dialog " + action.verb + ": " + what);
}

void DialogDriver::Fail(const std::string& what) {
  std::lock_guard lock(mutex_);
  failures_.push_back(what);
}

void DialogDriver::Run() {
  bool completed = true;
  for (const ScenarioLine& action : script_) {
    if (!Perform(action)) {
      completed = false;
      break;
    }
  }
  const auto waitReturn = [&](DWORD limit) {
    for (DWORD waited = 0; waited < limit && !returned_; waited += kPollMs) {
      Sleep(kPollMs);
    }
    return returned_.load();
  };
  // After the whole script the command should return by itself; after a failed step there
  // is no point waiting for it.
  if (waitReturn(completed ? limits_.waitMs : 0)) {
    return;
  }
  if (completed) {
    Fail("the command did not return after its dialog script; " + Describe());
  }
  for (HWND window : OurWindows()) {
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  if (!waitReturn(limits_.closeMs)) {
    Fail("the windows left did not close; " + Describe());
  }
}

bool DialogDriver::Perform(const ScenarioLine& action) {
  // Polls `find` until it gives a window, the command returns, or the wait runs out.
  const auto waitFor = [&](const std::function<HWND()>& find, const std::string& what) -> HWND {
    for (DWORD waited = 0; waited < limits_.waitMs; waited += kPollMs) {
      if (HWND found = find()) {
        return found;
      }
      if (returned_) {
        Fail(action, "the command returned before " + what);
        return nullptr;
      }
      Sleep(kPollMs);
    }
    Fail(action,
         "waited " + std::to_string(limits_.waitMs) + " ms for " + what + "; " + Describe());
    return nullptr;
  };
  const auto waitGone = [&](HWND window, const std::string& what) {
    for (DWORD waited = 0; waited < limits_.waitMs; waited += kPollMs) {
      if (Gone(window)) {
        return true;
      }
      Sleep(kPollMs);
    }
    Fail(action, what + " stayed open");
    return false;
  };

  const std::string& verb = action.verb;
  if (verb == "option" || verb == "press") {
    std::wstring caption;
    const long write = HeldWriteOf(action, &caption);
    if (write > 0) {
      // The host thread is held inside that cell's write; the click lands while it converts.
      bool held = false;
      for (DWORD waited = 0; waited < limits_.waitMs && !held && !returned_; waited += 100) {
        held = host_.writes.WaitHeld(100);
      }
      if (!held) {
        Fail(action, "the command never reached cell write " + std::to_string(write));
        return false;
      }
      HWND button = ButtonCaptioned(caption);
      if (button != nullptr) {
        Click(button);
      }
      host_.writes.Let();
      if (button == nullptr) {
        Fail(action, "no button '" + Utf8FromWide(caption) + "' at cell write " +
                         std::to_string(write) + "; " + Describe());
        return false;
      }
      return true;
    }
    HWND button = waitFor([&] { return ButtonCaptioned(caption); },
                          "a button '" + Utf8FromWide(caption) + "'");
    if (button == nullptr) {
      return false;
    }
    CountScreenUpdates(GetParent(button));
    Click(button);
    if (verb == "press") {
      return true;
    }
    // An option is chosen once the form shows it chosen.
    for (DWORD waited = 0; waited < limits_.waitMs; waited += kPollMs) {
      DWORD_PTR state = 0;
      if (SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG,
                              limits_.waitMs, &state) != 0 &&
          state == BST_CHECKED) {
        return true;
      }
      Sleep(kPollMs);
    }
    Fail(action, "the option did not become selected");
    return false;
  }
  if (verb == "message") {
    const std::wstring text = TextFrom(action, 0);
    HWND box =
        waitFor([&] { return WindowShowing(text); }, "a message \"" + Utf8FromWide(text) + "\"");
    if (box == nullptr) {
      return false;
    }
    if (TextOf(box) != L"Morvane") {
      Fail(action, "the message box is titled '" + Utf8FromWide(TextOf(box)) + "', not 'Morvane'");
    }
    HWND ok = ButtonIn(box, L"OK");
    if (ok == nullptr) {
      Fail(action, "the message box has no OK button");
      return false;
    }
    Click(ok);
    return waitGone(box, "the message box");
  }
  if (verb == "close" || verb == "wait" || verb == "shows") {
    const std::wstring title = WideFromUtf8(action.words[0].text);
    HWND window =
        waitFor([&] { return WindowTitled(title); }, "a window '" + Utf8FromWide(title) + "'");
    if (window == nullptr) {
      return false;
    }
    if (verb == "close") {
      PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      return waitGone(window, "the window");
    }
    if (verb == "shows") {
      const std::wstring text = WideFromUtf8(action.words[1].text);
      for (HWND child : ChildrenOf(window)) {
        if (TextOf(child).find(text) != std::wstring::npos) {
          return true;
        }
      }
      Fail(action, "the window does not show \"" + action.words[1].text + "\"; " + Describe());
      return false;
    }
    return true;
  }
  if (verb == "screenshot") {
    Sleep(kPaintMs);
    const std::string error = screenshots_.Take(action.words[0].text);
    if (!error.empty()) {
      Fail(action, error);
    }
    return true;
  }
  Fail(action, "unknown action");
  return false;
}

}  // namespace morvane::e2e
