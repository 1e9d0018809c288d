#pragma once

// A simulated Excel with one workbook, a scripted wizard form, and helpers to read cells.

#include <string>
#include <variant>

#include "convert/wizard.h"
#include "support/snapshot_simulated_excel.h"
#include "support/wizard_scripted_form.h"

namespace morvane::fakes {

class ConvertTest : public SimulatedExcelTest {
 protected:
  void SetUp() override {
    SimulatedExcelTest::SetUp();
    excel->AddWorkbook({u"Sheet1"});
  }

  void Convert() { cmdConvert_Click(form); }

  host::CellValue ValueAt(const std::string& a1, const std::u16string& sheet = u"Sheet1") const {
    return excel->Cell(sheet, a1).value;
  }

  // The cell's text, or a marker that says it holds no text.
  std::u16string TextAt(const std::string& a1, const std::u16string& sheet = u"Sheet1") const {
    const host::CellValue value = ValueAt(a1, sheet);
    const auto* text = std::get_if<std::u16string>(&value);
    return text ? *text : u"<not text>";
  }

  ScriptedWizardForm form;
};

}  // namespace morvane::fakes
