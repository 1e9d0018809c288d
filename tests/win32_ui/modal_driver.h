#pragma once

// Drives modal windows from a helper thread: the test's thread sits in a modal call (a message
// box, the wizard, the About box) while the helper finds the window, reads its controls and
// clicks them, as a user would. Nothing here ever waits without a time limit, so a test that
// goes wrong fails instead of hanging.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace morvane::uitest {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

inline constexpr auto kWindowTimeout = 5s;

// The title of a window, read without sending it a message (its thread may be busy).
inline std::wstring TitleOf(HWND window) {
  wchar_t title[256] = L"";
  InternalGetWindowText(window, title, static_cast<int>(std::size(title)));
  return title;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t name[128] = L"";
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return name;
}

// Sends a message to a window of the test's thread and waits a bounded time for the answer.
inline LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 5000, &answer)) {
    ADD_FAILURE() << "no answer to message " << message;
    return 0;
  }
  return static_cast<LRESULT>(answer);
}

inline std::wstring TextOf(HWND window) {
  wchar_t text[1024] = L"";
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                      SMTO_NORMAL, 5000, &copied);
  return text;
}

inline std::wstring ItemText(HWND dialog, int id) {
  return TextOf(GetDlgItem(dialog, id));
}

inline bool ItemVisible(HWND dialog, int id) {
  return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

inline bool ItemChecked(HWND dialog, int id) {
  return Ask(GetDlgItem(dialog, id), BM_GETCHECK) == BST_CHECKED;
}

// A click queued like the user's: it takes effect when the window's thread next runs its
// messages.
inline void Click(HWND dialog, int id) {
  PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// A mouse click on a control that reports clicks itself (a label with SS_NOTIFY).
inline void ClickWithMouse(HWND control) {
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

// The control that has the keyboard focus in the thread of `window`.
inline HWND FocusIn(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

// A key pressed and released as the keyboard sends it, to whatever has the focus in the
// window's thread.
inline void PressKey(HWND window, UINT key) {
  HWND focus = FocusIn(window);
  HWND target = focus ? focus : window;
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 1);
}

// The name a screen reader gives a window, through the accessibility interface.
inline std::wstring AccessibleName(HWND window) {
  IAccessible* accessible = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&accessible)))) {
    return L"<no accessible object>";
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring result;
  if (accessible->get_accName(self, &name) == S_OK && name) {
    result = name;
  }
  SysFreeString(name);
  accessible->Release();
  return result;
}

inline void PressCloseBox(HWND window) {
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

namespace detail {

struct WindowSearch {
  const std::wstring* title;
  const std::function<bool(HWND)>* accept;
  HWND found = nullptr;
};

inline BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<WindowSearch*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
      TitleOf(window) == *search.title && (!*search.accept || (*search.accept)(window))) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

inline BOOL CALLBACK AskToClose(HWND window, LPARAM) {
  if (IsWindowVisible(window)) {
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

}  // namespace detail

// A visible top-level window of this process with this title that `accept` agrees to, or
// nullptr after the timeout.
inline HWND WaitForWindow(const std::wstring& title, const std::function<bool(HWND)>& accept = {},
                          Clock::duration timeout = kWindowTimeout) {
  detail::WindowSearch search{&title, &accept};
  const auto deadline = Clock::now() + timeout;
  while (Clock::now() < deadline) {
    EnumWindows(&detail::MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      return search.found;
    }
    std::this_thread::sleep_for(10ms);
  }
  return nullptr;
}

// True once `condition` holds, false after the timeout.
inline bool WaitUntil(const std::function<bool()>& condition,
                      Clock::duration timeout = kWindowTimeout) {
  const auto deadline = Clock::now() + timeout;
  while (!condition()) {
    if (Clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

// The visible push buttons of a dialog, with their ids and texts.
struct ButtonSeen {
  int id = 0;
  std::wstring text;
};
inline std::vector<ButtonSeen> VisibleButtons(HWND dialog) {
  std::vector<ButtonSeen> buttons;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == L"Button" && IsWindowVisible(child)) {
      buttons.push_back({GetDlgCtrlID(child), TextOf(child)});
    }
  }
  return buttons;
}

// Runs `modal` on this thread and `script` on a helper thread at the same time. The script is
// expected to end the modal call (by clicking OK, the close box, CONVERT...). If it has not
// ended a few seconds after the script, the test fails and the helper closes this thread's
// windows; if even that does not end it, the process ends: the run never hangs.
inline void WhileModal(const std::function<void()>& modal, const std::function<void()>& script) {
  const DWORD uiThread = GetCurrentThreadId();
  std::atomic<bool> modalDone{false};
  std::thread helper([&] {
    script();
    if (WaitUntil([&] { return modalDone.load(); }, 5s)) {
      return;
    }
    ADD_FAILURE() << "the modal call did not end after the script; closing its windows";
    const auto giveUp = Clock::now() + 10s;
    while (!modalDone) {
      if (Clock::now() >= giveUp) {
        std::fputs("the modal call cannot be ended: stopping the test run\n", stderr);
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
      }
      // Whatever the test's thread is stuck in: every window is told OK and asked to close.
      EnumThreadWindows(uiThread, &detail::AskToClose, 0);
      std::this_thread::sleep_for(200ms);
    }
  });
  std::exception_ptr failure;
  try {
    modal();
  } catch (...) {
    failure = std::current_exception();
  }
  modalDone = true;
  helper.join();
  if (failure) {
    std::rethrow_exception(failure);
  }
}

}  // namespace morvane::uitest
