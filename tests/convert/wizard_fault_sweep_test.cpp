// Convert with Excel refusing one call (with its own error or COM's), every call in turn; then
// with Excel gone away from some call on; each on a sheet without a copy, with an undo copy and
// with a redo copy left from before. Convert never fails towards the form, always closes it,
// never leaves Excel suspended, never leaves a cell holding anything but its original or
// converted text (with its number format and prefix as they were, or as the clean run leaves
// them), tells the user once when it left cells unconverted, and never leaves a copy that would
// take the sheet anywhere but back to its state before the conversion.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "addin/model/utf8.h"
#include "convert/wizard.h"
#include "support/host_refusals.h"
#include "support/snapshot_settings_check.h"
#include "support/snapshot_simulated_excel.h"
#include "support/wizard_scripted_form.h"

namespace morvane {
namespace {

using Cells = std::map<std::string, sim::CellContent>;

// The hidden copy of Sheet1 an earlier conversion, or its undo, left in the workbook.
// Each with the cells read one by one, and once read in bands.
constexpr std::pair<bool, const char16_t*> kArrangements[] = {
    {false, nullptr}, {false, u"Sheet1_Undo"}, {false, u"Sheet1_Redo"}, {true, nullptr}};

class ConvertFaultSweep : public fakes::SimulatedExcelTest {
 protected:
  // A few cells of every kind on Sheet1, selected; another sheet beside it; and the copy
  // `prior`, if any, after Sheet1, where the store puts it, holding an older text.
  void Arrange(const char16_t* prior = nullptr) {
    messages->shown.clear();
    excel = sim::Excel::Create();
    xlApp = excel;
    if (prior) {
      excel->AddWorkbook({u"Sheet1", prior, u"Other"});
      excel->Put(prior, "A1", std::u16string(u"older text"));
      excel->ActivateSheet(u"Sheet1");
      excel->SetSheetVisibility(prior, sim::kSheetHidden);
    } else {
      excel->AddWorkbook({u"Sheet1", u"Other"});
    }
    excel->Put(u"Other", "A1", std::u16string(u"other sheet"));
    excel->ActivateSheet(u"Sheet1");
    excel->Put(u"Sheet1", "A1", std::u16string(u"alpha beta"));
    excel->Type(u"Sheet1", "A2", u"'true");
    excel->Put(u"Sheet1", "A3", 1.5);
    excel->PutFormula(u"Sheet1", "A4", u"=A1", std::u16string(u"alpha beta"));
    excel->Put(u"Sheet1", "A5", host::ErrorValue::NA);
    excel->Put(u"Sheet1", "A6", std::u16string(u"gamma"));
    excel->Type(u"Sheet1", "A7", u"'=a1&b1");
    excel->Type(u"Sheet1", "A8", u"'jan 5");
    excel->SetNumberFormat(u"Sheet1", "A9", u"@");
    excel->Type(u"Sheet1", "A9", u"flat 4b");
    excel->Type(u"Sheet1", "A10", u"''quoted");
    // At Excel's 32,767-unit limit: a text that needs the prefix cannot be converted in a
    // General cell, and goes in bare in a Text-formatted one.
    excel->Put(u"Sheet1", "A11", LongText(u'='));
    excel->Put(u"Sheet1", "A12", LongText(u'\''));
    excel->Put(u"Sheet1", "A13", LongText(u'\''), u"@");
    // With 27 more texts below, the constants' areas are large enough to be read in bands.
    for (int row = 14; banded_ && row <= 40; ++row) {
      excel->Put(u"Sheet1", std::string("A").append(std::to_string(row)), std::u16string(u"delta"));
    }
    excel->Select(banded_ ? "A1:A40" : "A1:A13");
    excel->ClearSettingsLog();
    excel->ResetCounters();
  }

  static std::u16string LongText(char16_t first) {
    std::u16string text(1, first);
    while (text.size() < 32767) {
      text += u" a";
    }
    return text;
  }

  // Runs Convert on a fresh form in Title Case; returns the form.
  fakes::ScriptedWizardForm Convert() {
    fakes::ScriptedWizardForm form;
    form.option = CaseMode::TitleCase;
    cmdConvert_Click(form);
    return form;
  }

  void SetUp() override {
    fakes::SimulatedExcelTest::SetUp();
    Measure(nullptr);
  }

  // The clean run's outcome and call count.
  void Measure(const char16_t* prior) {
    unchanged_ = 0;
    Arrange(prior);
    original_ = excel->Cells(u"Sheet1");
    Convert();
    calls_ = excel->TotalCalls();
    converted_ = excel->Cells(u"Sheet1");
    for (const auto& [a1, before] : original_) {
      unchanged_ += converted_.at(a1) == before ? 1 : 0;
    }
  }

  void ExpectOriginalOrConverted() {
    const Cells now = excel->Cells(u"Sheet1");
    for (const auto& [a1, before] : original_) {
      const sim::CellContent cell = excel->Cell(u"Sheet1", a1);
      EXPECT_TRUE(cell == before || cell == converted_.at(a1)) << a1;
    }
    EXPECT_EQ(now.size(), original_.size());
  }

  // Every run ends with one message: at least the two long texts are always left. Only a
  // refused search for constants looks like Excel's "No cells were found" (the same error
  // 1004), which leaves nothing to convert and nothing to report.
  void ExpectOneMessage(bool refusedWith1004) {
    if (refusedWith1004 && excel->CallCount("Range.SpecialCells") == 1 &&
        excel->CallCount("Application.Intersect") == 0) {
      EXPECT_TRUE(messages->shown.empty());
      return;
    }
    ASSERT_EQ(messages->shown.size(), 1u);
    int left = 0;
    for (const auto& [a1, before] : original_) {
      left += excel->Cell(u"Sheet1", a1) == before ? 1 : 0;
    }
    const std::u16string& text = messages->shown.front();
    if (text.find(u"could not be changed!") != std::u16string::npos) {
      // Left cells are the untouched ones that the clean run converts, plus its two.
      const int unconvertible = 2 + left - unchanged_;
      EXPECT_GE(std::stoi(Utf16ToUtf8(text)), unconvertible);
    }
  }

  // At most one copy, hidden after Sheet1. Once a cell is converted, the only copy is an
  // undo copy of the sheet as it was just before; a copy left from before may stay only while
  // nothing changed.
  void ExpectOneCopyThatTakesBackOnlyThisConversion(const char16_t* prior) {
    const bool changed = excel->Cells(u"Sheet1") != original_;
    std::vector<std::u16string> copies;
    for (const char16_t* copy : {u"Sheet1_Undo", u"Sheet1_Redo"}) {
      if (!SheetExists(copy)) {
        continue;
      }
      copies.push_back(copy);
      EXPECT_EQ(excel->SheetVisibility(copy), sim::kSheetHidden);
      const bool fresh = copies.back() == u"Sheet1_Undo" && excel->Cells(copy) == original_;
      EXPECT_TRUE(fresh || (!changed && prior && copies.back() == prior)) << "stale copy left";
    }
    std::vector<std::u16string> expected = {u"Sheet1"};
    expected.insert(expected.end(), copies.begin(), copies.end());
    expected.push_back(u"Other");
    EXPECT_EQ(excel->SheetNames(), expected);
  }

  bool banded_ = false;
  Cells original_;
  Cells converted_;
  int unchanged_ = 0;  // cells the clean run leaves as they were
  long long calls_ = 0;
};

TEST_F(ConvertFaultSweep, TheCleanRunConvertsTheTexts) {
  EXPECT_EQ(converted_.at("A2").value, host::CellValue(std::u16string(u"True")));
  EXPECT_EQ(converted_.at("A6").value, host::CellValue(std::u16string(u"Gamma")));
  EXPECT_EQ(converted_.at("A9").value, host::CellValue(std::u16string(u"Flat 4b")));
  EXPECT_EQ(converted_.at("A10").value, host::CellValue(std::u16string(u"'quoted")));
  EXPECT_EQ(converted_.at("A11"), original_.at("A11"));
  EXPECT_EQ(converted_.at("A12"), original_.at("A12"));
  EXPECT_NE(converted_.at("A13"), original_.at("A13"));
  EXPECT_EQ(messages->shown, (std::vector<std::u16string>{u"2 cells could not be changed!"}));
}

TEST_F(ConvertFaultSweep, EveryRefusedCallIsSurvived) {
  long long injected = 0;
  for (const auto& [banded, prior] : kArrangements) {
    banded_ = banded;
    Measure(prior);
    for (const host::HostError& refusal : fakes::kHostRefusals) {
      for (long long k = 1; k <= calls_; ++k, ++injected) {
        SCOPED_TRACE(::testing::Message()
                     << (banded ? "banded, " : "") << (prior ? "with a copy, " : "")
                     << refusal.what() << " at call " << k << " of " << calls_);
        Arrange(prior);
        excel->FailNthCall(k, refusal);
        const fakes::ScriptedWizardForm form = Convert();

        EXPECT_EQ(form.closes, 1);
        fakes::ExpectHostNotSuspended(*excel);
        ExpectOriginalOrConverted();
        ExpectOneMessage(refusal.hresult() == errors::kExcelError);
        EXPECT_EQ(excel->ActiveSheetName(), u"Sheet1");
        EXPECT_EQ(excel->Cell(u"Other", "A1").value,
                  host::CellValue(std::u16string(u"other sheet")));
        ExpectOneCopyThatTakesBackOnlyThisConversion(prior);
      }
    }
  }
  RecordProperty("faults_injected", static_cast<int>(injected));
}

TEST_F(ConvertFaultSweep, ExcelGoingAwayAtAnyCallIsSurvived) {
  for (const auto& [banded, prior] : kArrangements) {
    banded_ = banded;
    Measure(prior);
    for (long long k = 1; k <= calls_ + 1; ++k) {
      SCOPED_TRACE(::testing::Message()
                   << (banded ? "banded, " : "") << (prior ? "with a copy, " : "")
                   << "host gone from call " << k << " of " << calls_);
      Arrange(prior);
      excel->FailCallsFrom(k, host::HostError(static_cast<std::int32_t>(0x800706BA),
                                              u"The RPC server is unavailable."));
      const fakes::ScriptedWizardForm form = Convert();

      EXPECT_EQ(form.closes, 1);
      ExpectOriginalOrConverted();
      ExpectOneMessage(false);
    }
  }
}

}  // namespace
}  // namespace morvane
