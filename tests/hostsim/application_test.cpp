// Application: the settings Excel refuses or resets, and COM add-ins.

#include <gtest/gtest.h>

#include "excel_fixture.h"

namespace morvane::sim {
namespace {

using testing::ErrorOf;
using testing::ExcelTest;

TEST(Calculation, CannotBeSetWhileNoWorkbookIsOpen) {
  const auto excel = Excel::Create();
  const auto setManual = [&] { excel->SetCalculation(host::kCalculationManual); };
  const host::HostError error = ErrorOf(setManual);
  EXPECT_EQ(error.hresult(), errors::kExcelError);
  EXPECT_EQ(error.description(),
            u"Unable to set the Calculation property of the Application class");
  EXPECT_TRUE(excel->SettingsLog().empty());  // a refused write is no write
  EXPECT_EQ(excel->CurrentSettings().calculation, host::kCalculationAutomatic);

  excel->AddWorkbook();
  setManual();
  EXPECT_EQ(excel->CurrentSettings().calculation, host::kCalculationManual);
  excel->CloseActiveWorkbook();
  EXPECT_EQ(ErrorOf(setManual).hresult(), errors::kExcelError);
}

TEST_F(ExcelTest, SettingsRefuseValuesExcelDoesNotKnow) {
  EXPECT_EQ(ErrorOf([&] { excel->SetCalculation(0); }).hresult(), errors::kExcelError);
  EXPECT_EQ(ErrorOf([&] { excel->SetEnableCancelKey(3); }).hresult(), errors::kExcelError);
  EXPECT_TRUE(excel->SettingsLog().empty());
}

TEST_F(ExcelTest, RestartBringsTheDefaultSettingsBackAndClosesWorkbooks) {
  excel->SetDisplayAlerts(false);
  excel->SetCalculation(host::kCalculationManual);
  excel->SimulateRestart();
  EXPECT_EQ(excel->CurrentSettings(), Settings{});
  EXPECT_EQ(excel->WorkbooksCount(), 0);
}

TEST_F(ExcelTest, ConnectFalseDisconnectsTheAddInInsideTheCall) {
  int disconnections = 0;
  bool connectedInside = true;
  excel->RegisterComAddIn(u"Morvane.Connect", [&] {
    ++disconnections;
    connectedInside = excel->ComAddInConnected(u"Morvane.Connect");
  });
  const auto addIn = excel->ComAddIn(u"morvane.connect");  // ProgIDs ignore letter case
  addIn->SetConnect(false);
  EXPECT_EQ(disconnections, 1);  // already done when the property write returns
  EXPECT_FALSE(connectedInside);
  EXPECT_FALSE(excel->ComAddInConnected(u"Morvane.Connect"));
  addIn->SetConnect(false);  // already disconnected: nothing more happens
  EXPECT_EQ(disconnections, 1);
  addIn->SetConnect(true);
  EXPECT_TRUE(excel->ComAddInConnected(u"Morvane.Connect"));

  EXPECT_EQ(ErrorOf([&] { excel->ComAddIn(u"Other.Connect"); }).hresult(), errors::kBadIndex);
}

TEST(ComAddIns, TheAddInMayReleaseTheHostInsideItsDisconnection) {
  auto excel = Excel::Create();
  std::shared_ptr<host::Application> xlApp = excel;  // the add-in's only reference
  std::weak_ptr<Excel> watch = excel;
  excel->RegisterComAddIn(u"Morvane.Connect", [&] { xlApp.reset(); });
  excel.reset();
  xlApp->ComAddIn(u"Morvane.Connect")->SetConnect(false);
  EXPECT_EQ(xlApp, nullptr);
  EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace morvane::sim
