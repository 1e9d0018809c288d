#pragma once

// The outcome of one scenario as a GoogleTest XML report, so the test run counts end-to-end
// scenarios with the unit tests: one test case per scenario, its failures as messages.

#include <string>
#include <vector>

namespace morvane::e2e {

// Writes the report where GTEST_OUTPUT ("xml:<folder>/" or "xml:<file>") asks, if it does.
// `cases` is 1 for a scenario, 0 for a set-up step that is no test.
void WriteReport(const std::string& name, double seconds, const std::vector<std::string>& failures,
                 int cases = 1);

}  // namespace morvane::e2e
