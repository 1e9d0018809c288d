// The user's part on a helper thread while the host thread is blocked in a modal window:
// the window it waits for is handled, and a window nobody handles is reported and closed
// instead of hanging the run. Needs a display (./run test provides one).

#include <gtest/gtest.h>

#include "tests/e2e/dialog_driver.h"

namespace morvane::e2e {
namespace {

// Short waits: every case here either finds its window at once or is meant to give up.
constexpr DialogLimits kQuick{1500, 1500};

struct Outcome {
  int answer = 0;
  std::vector<std::string> failures;
};

// Shows a message box on this thread, as the add-in does inside a command, while the script
// plays.
Outcome MessageBoxWith(const char* script, const wchar_t* text, const wchar_t* title) {
  const Scenario scenario = ParseScenario(std::string("click x\n") + script);
  ServedHost host(sim::Excel::Create());
  const Screenshots none{""};
  DialogDriver driver(scenario.lines[0].dialog, host, none, kQuick);
  driver.Start();
  Outcome outcome;
  outcome.answer = MessageBoxW(nullptr, text, title, MB_OK);
  outcome.failures = driver.Finish();
  return outcome;
}

bool Mentions(const std::vector<std::string>& failures, const std::string& part) {
  for (const std::string& failure : failures) {
    if (failure.find(part) != std::string::npos) {
      return true;
    }
  }
  return false;
}

TEST(DialogDriverTest, MessagesAreAnsweredAndWindowsNobodyHandlesAreReportedAndClosed) {
  const struct {
    const char* script;
    const wchar_t* text;
    const wchar_t* title;
    std::vector<std::string> reported;  // none: the script passes
  } cases[] = {
      {"  dialog message \"Selection is Empty!\"\n", L"Selection is Empty!", L"Morvane", {}},
      {"  dialog message \"Selection is Empty!\"\n",
       L"Selection is Empty!",
       L"Error",
       {"titled 'Error', not 'Morvane'"}},
      {"", L"Unexpected!", L"Morvane", {"did not return", "Unexpected!"}},
      {"  dialog press CONVERT\n",
       L"Other",
       L"Morvane",
       {"line 2: dialog press: waited 1500 ms for a button 'CONVERT'"}},
  };
  for (const auto& c : cases) {
    const Outcome outcome = MessageBoxWith(c.script, c.text, c.title);
    EXPECT_NE(outcome.answer, 0) << c.script;  // it returned: answered, or closed by the driver
    EXPECT_EQ(outcome.failures.empty(), c.reported.empty()) << c.script;
    for (const std::string& part : c.reported) {
      EXPECT_TRUE(Mentions(outcome.failures, part)) << part;
    }
  }
}

TEST(DialogDriverTest, ACommandThatReturnsEarlyFailsTheRestOfTheScript) {
  const Scenario scenario = ParseScenario("click x\n  dialog close \"About Morvane\"\n");
  ServedHost host(sim::Excel::Create());
  const Screenshots none{""};
  DialogDriver driver(scenario.lines[0].dialog, host, none, kQuick);
  driver.Start();
  // No window at all: the command came back at once.
  const std::vector<std::string> failures = driver.Finish();
  EXPECT_TRUE(Mentions(failures, "the command returned before a window 'About Morvane'"));
}

}  // namespace
}  // namespace morvane::e2e
