// Workbooks and sheets: the facts the snapshot store relies on when it copies, renames, hides,
// deletes and activates sheets.

#include <gtest/gtest.h>

#include "hostsim/excel.h"

namespace morvane::sim {
namespace {

using host::HostError;

class SheetsTest : public ::testing::Test {
 protected:
  void SetUp() override { excel->AddWorkbook({u"Sheet1", u"Sheet2", u"Sheet3"}); }

  std::shared_ptr<host::Sheet> Sheet(const std::u16string& name) {
    return excel->Sheets()->Item(name);
  }

  std::shared_ptr<Excel> excel = Excel::Create();
};

TEST_F(SheetsTest, CopyBeforeNamesInsertsAndActivatesTheCopy) {
  excel->Put(u"Sheet2", "B2", std::u16string(u"text"));
  excel->ProtectSheet(u"Sheet2", true);
  Sheet(u"Sheet2")->CopyBefore(*Sheet(u"Sheet2"));
  EXPECT_EQ(excel->SheetNames(),
            (std::vector<std::u16string>{u"Sheet1", u"Sheet2 (2)", u"Sheet2", u"Sheet3"}));
  EXPECT_EQ(excel->ActiveSheetName(), u"Sheet2 (2)");
  EXPECT_EQ(excel->Cells(u"Sheet2 (2)"), excel->Cells(u"Sheet2"));
  EXPECT_TRUE(excel->SheetProtected(u"Sheet2 (2)"));
  EXPECT_EQ(excel->ActiveSheet()->Name(), u"Sheet2 (2)");
}

}  // namespace
}  // namespace morvane::sim
