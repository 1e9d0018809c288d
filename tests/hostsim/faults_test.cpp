// Counters and fault injection: each host call counts once under its member name and can be
// made to fail before it acts.

#include <gtest/gtest.h>

#include "excel_fixture.h"

namespace morvane::sim {
namespace {

using testing::ErrorOf;
using testing::ExcelTest;

TEST_F(ExcelTest, EachHostCallCountsOnceUnderItsMember) {
  excel->Put(u"Sheet1", "A1", std::u16string(u"a"));
  const auto range = Range("A1:A2");
  const auto bar = excel->CommandBar(u"Worksheet Menu Bar");
  const auto button = bar->Controls()->Add({});
  struct Case {
    const char* member;
    std::function<void()> call;
  };
  const std::vector<Case> cases{
      {"Application.Version", [&] { excel->Version(); }},
      {"Application.WorkbooksCount", [&] { excel->WorkbooksCount(); }},
      {"Application.ActiveSheet", [&] { excel->ActiveSheet(); }},
      {"Application.Selection", [&] { excel->Selection(); }},
      {"Application.CountA", [&] { excel->CountA(range); }},
      {"Application.Intersect", [&] { excel->Intersect(range, range); }},
      {"Application.SetStatusBar", [&] { excel->SetStatusBar(u""); }},
      {"Application.SetCalculation", [&] { excel->SetCalculation(host::kCalculationManual); }},
      {"Sheets.Count", [&] { excel->Sheets()->Count(); }},
      {"Sheets.Item", [&] { excel->Sheets()->Item(1); }},
      {"Sheet.Name", [&] { excel->ActiveSheet()->Name(); }},
      {"Range.SpecialCells", [&] { range->SpecialCells(2); }},
      {"Range.Cells", [&] { range->Cells(); }},
      {"CellEnumerator.Next", [&] { range->Cells()->Next(); }},
      {"Range.SetValue", [&] { range->SetValue(1.0); }},
      {"CommandBar.Controls", [&] { bar->Controls(); }},
      {"CommandBarControl.SetCaption", [&] { button->SetCaption(u"x"); }},
      {"CommandBarControl.Tag", [&] { button->Tag(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.member);
    excel->ResetCounters();
    c.call();
    EXPECT_EQ(excel->CallCount(c.member), 1);
  }
  // Test-side calls are not host calls.
  excel->ResetCounters();
  excel->Put(u"Sheet1", "B1", 1.0);
  excel->Cells(u"Sheet1");
  excel->SelectionAddress();
  EXPECT_EQ(excel->TotalCalls(), 0);
}

TEST_F(ExcelTest, AFailingMemberFailsEveryCallBeforeActing) {
  const host::HostError injected(errors::kFail, u"injected");
  excel->FailMember("Sheet.SetName", injected);
  excel->FailMember("Application.SetCalculation", injected);
  for (int i = 0; i < 2; ++i) {
    const host::HostError error = ErrorOf([&] { excel->ActiveSheet()->SetName(u"New"); });
    EXPECT_EQ(error.hresult(), errors::kFail);
    EXPECT_EQ(error.description(), u"injected");
  }
  EXPECT_EQ(excel->ActiveSheetName(), u"Sheet1");
  EXPECT_EQ(ErrorOf([&] { excel->SetCalculation(host::kCalculationManual); }).hresult(),
            errors::kFail);
  EXPECT_TRUE(excel->SettingsLog().empty());
  EXPECT_EQ(excel->CallCount("Sheet.SetName"), 2);  // failed calls count too

  excel->ClearFaults();
  excel->ActiveSheet()->SetName(u"New");
  EXPECT_EQ(excel->ActiveSheetName(), u"New");
}

TEST_F(ExcelTest, TheNthCallSinceTheLastResetFailsOnce) {
  excel->ResetCounters();
  excel->FailNthCall(3, host::HostError(errors::kExcelError, u"third"));
  excel->SetScreenUpdating(false);                                                 // 1
  excel->SetDisplayAlerts(false);                                                  // 2
  EXPECT_EQ(ErrorOf([&] { excel->SetStatusBar(u"x"); }).description(), u"third");  // 3
  excel->SetStatusBar(u"y");                                                       // 4
  EXPECT_EQ(excel->TotalCalls(), 4);
  EXPECT_EQ(excel->SettingsLog().size(), 3u);
  EXPECT_EQ(excel->CurrentSettings().statusBar, u"y");
}

TEST_F(ExcelTest, AHostGoneAwayFailsEveryCallFromTheKthOn) {
  excel->ResetCounters();
  excel->FailCallsFrom(2, host::HostError(errors::kFail, u"gone"));
  excel->SetScreenUpdating(false);  // 1
  for (int call = 2; call <= 4; ++call) {
    EXPECT_EQ(ErrorOf([&] { excel->SetStatusBar(u"x"); }).description(), u"gone");
  }
  EXPECT_EQ(excel->SettingsLog().size(), 1u);
  excel->ClearFaults();
  excel->SetStatusBar(u"back");
  EXPECT_EQ(excel->CurrentSettings().statusBar, u"back");
}

}  // namespace
}  // namespace morvane::sim
