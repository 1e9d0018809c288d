#pragma once

// Shared set-up for the simulated Excel's tests: one workbook and short ways to reach ranges
// and to check a host error.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "addin/model/utf8.h"
#include "hostsim/excel.h"

namespace morvane::sim::testing {

// The HRESULT and description of the HostError `call` throws; fails the test if none.
inline host::HostError ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const host::HostError& error) {
    return error;
  }
  ADD_FAILURE() << "expected a HostError";
  return host::HostError(0, u"");
}

class ExcelTest : public ::testing::Test {
 protected:
  void SetUp() override { excel->AddWorkbook({u"Sheet1", u"Sheet2", u"Sheet3"}); }

  std::shared_ptr<host::Sheet> Sheet(const std::u16string& name) {
    return excel->Sheets()->Item(name);
  }
  // The range at an address of the active sheet, reached as the add-in reaches it: through
  // the selection.
  std::shared_ptr<host::Range> Range(const std::string& a1) {
    excel->Select(a1);
    return excel->Selection();
  }

  std::shared_ptr<Excel> excel = Excel::Create();
};

}  // namespace morvane::sim::testing
