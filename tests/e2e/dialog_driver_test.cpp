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

TEST(DialogDriverTest, TheMessageItWaitsForIsAnsweredWithOk) {
  const Outcome outcome = MessageBoxWith("  dialog message \"Selection is Empty!\"\n",
                                         L"Selection is Empty!", L"Morvane");
  EXPECT_EQ(outcome.answer, IDOK);
  EXPECT_TRUE(outcome.failures.empty()) << outcome.failures.front();
}

TEST(DialogDriverTest, AMessageUnderAnotherTitleIsAnsweredAndReported) {
  const Outcome outcome = MessageBoxWith("  dialog message \"Selection is Empty!\"\n",
                                         L"Selection is Empty!", L"Error");
  EXPECT_EQ(outcome.answer, IDOK);
  EXPECT_TRUE(Mentions(outcome.failures, "titled 'Error', not 'Morvane'"));
}

TEST(DialogDriverTest, AWindowNobodyExpectedIsReportedAndClosed) {
  const Outcome outcome = MessageBoxWith("", L"Unexpected!", L"Morvane");
  EXPECT_NE(outcome.answer, 0);  // it returned: closed by the driver
  EXPECT_TRUE(Mentions(outcome.failures, "did not return"));
  EXPECT_TRUE(Mentions(outcome.failures, "Unexpected!"));
}

TEST(DialogDriverTest, AControlThatNeverComesFailsItsLineAndTheWindowIsClosed) {
  const Outcome outcome = MessageBoxWith("  dialog press CONVERT\n", L"Other", L"Morvane");
  EXPECT_NE(outcome.answer, 0);
  ASSERT_FALSE(outcome.failures.empty());
  EXPECT_TRUE(
      Mentions(outcome.failures, "line 2: dialog press: waited 1500 ms for a button 'CONVERT'"));
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
