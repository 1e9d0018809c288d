// The simulated Excel called the way the add-in calls it: raw IDispatch, by name.

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <thread>

#include "addin/com/excel/excel_application.h"
#include "tests/e2e/dispatch_call.h"
#include "tests/e2e/served_excel.h"
#include "tests/e2e/served_object.h"
#include "tests/support/fake_dispatch.h"

namespace morvane::e2e {
namespace {

std::string Narrow(const wchar_t* text) {
  return std::string(text, text + wcslen(text));
}

class ServedExcelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    excel = sim::Excel::Create();
    host = std::make_shared<ServedHost>(excel);
    app = ServeApplication(host);
  }

  com::ComPtr<IDispatch> Get(IDispatch* object, const wchar_t* member,
                             const std::vector<DispatchArg>& args = {}) {
    DispatchOutcome out = CallMember(object, member, args);
    EXPECT_EQ(out.hr, S_OK) << "calling " << Narrow(member);
    return ObjectOf(out);
  }

  com::ComPtr<IDispatch> Selection() { return Get(app.get(), L"Selection"); }

  std::shared_ptr<sim::Excel> excel;
  std::shared_ptr<ServedHost> host;
  com::ComPtr<IDispatch> app;
};

TEST_F(ServedExcelTest, ParameterNamesResolveToTheirPositions) {
  excel->AddWorkbook({u"Sheet1"});
  com::ComPtr<IDispatch> sheet = Get(app.get(), L"ActiveSheet");
  // Names are found without regard to case.
  std::wstring names[] = {L"cOPY", L"after", L"Before", L"Nowhere"};
  LPOLESTR pointers[] = {names[0].data(), names[1].data(), names[2].data(), names[3].data()};
  DISPID ids[4] = {};
  EXPECT_EQ(sheet->GetIDsOfNames(IID_NULL, pointers, 4, 0x0409, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 0x227);
  EXPECT_EQ(ids[1], 1);
  EXPECT_EQ(ids[2], 0);
  EXPECT_EQ(ids[3], DISPID_UNKNOWN);
}

TEST_F(ServedExcelTest, ApplicationAnswersForApplicationInterfaceWithTheSameDispatch) {
  com::ComPtr<IDispatch> asApplication;
  ASSERT_EQ(app->QueryInterface(com::kIidExcelApplication, asApplication.put_void()), S_OK);
  EXPECT_EQ(asApplication.get(), app.get());
  com::ComPtr<IUnknown> a = app.try_query<IUnknown>();
  com::ComPtr<IUnknown> b = asApplication.try_query<IUnknown>();
  EXPECT_EQ(a.get(), b.get());
  EXPECT_FALSE(app.try_query<IConnectionPointContainer>());
}

TEST_F(ServedExcelTest, HostErrorsArriveAsExceptionsFromMicrosoftExcel) {
  // No workbook: Sheets fails with Excel's 1004 and its text.
  const DispatchOutcome out = CallMember(app.get(), L"Sheets");
  EXPECT_EQ(out.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(out.scode, static_cast<HRESULT>(0x800A03EC));
  EXPECT_EQ(out.source, L"Microsoft Excel");
  EXPECT_EQ(out.description, L"Method 'Sheets' of object '_Application' failed");
  EXPECT_EQ(V_VT(out.value.get()), VT_EMPTY);
}

TEST_F(ServedExcelTest, PutsNeedTheNamedPropertyPutArgumentAndTheRightDirection) {
  excel->AddWorkbook();
  // A put whose value is passed positionally, as a careless client would.
  VARIANT value;
  VariantInit(&value);
  V_VT(&value) = VT_BOOL;
  V_BOOL(&value) = VARIANT_FALSE;
  DISPPARAMS positional{&value, nullptr, 1, 0};
  EXPECT_EQ(app->Invoke(0x17E, IID_NULL, 0x0409, DISPATCH_PROPERTYPUT, &positional, nullptr,
                        nullptr, nullptr),
            DISP_E_PARAMNOTFOUND);
  EXPECT_TRUE(excel->SettingsLog().empty());

  const struct {
    const wchar_t* member;
    bool put;
    HRESULT expected;
  } cases[] = {
      {L"ScreenUpdating", true, S_OK},
      {L"ScreenUpdating", false, DISP_E_MEMBERNOTFOUND},
      {L"Version", true, DISP_E_MEMBERNOTFOUND},
      {L"Version", false, S_OK},
  };
  for (const auto& c : cases) {
    const DispatchOutcome out =
        c.put ? PutMember(app.get(), c.member, BoolArg(false)) : CallMember(app.get(), c.member);
    EXPECT_EQ(out.hr, c.expected) << (c.put ? "put " : "get ") << Narrow(c.member);
  }
  EXPECT_FALSE(excel->CurrentSettings().screenUpdating);
}

TEST_F(ServedExcelTest, CellValuesComeWithExcelsVariantTypes) {
  excel->AddWorkbook({u"Sheet1"});
  const struct {
    const char* cell;
    host::CellValue stored;
    const char16_t* format;
    VARTYPE type;
  } cases[] = {
      {"A1", std::u16string(u"text"), u"General", VT_BSTR},
      {"A2", 2.5, u"General", VT_R8},
      {"A3", 43831.0, u"m/d/yyyy", VT_DATE},
      {"A4", true, u"General", VT_BOOL},
      {"A5", 12.5, u"$#,##0.00", VT_CY},
      {"A6", host::ErrorValue::NA, u"General", VT_ERROR},
      {"A7", host::Empty{}, u"General", VT_EMPTY},
  };
  for (const auto& c : cases) {
    excel->Put(u"Sheet1", c.cell, c.stored, c.format);
    excel->Select(c.cell);
    const DispatchOutcome out = CallMember(Selection().get(), L"Value");
    ASSERT_EQ(out.hr, S_OK) << c.cell;
    EXPECT_EQ(V_VT(out.value.get()), c.type) << c.cell;
  }
  excel->Select("A3");
  EXPECT_EQ(V_DATE(CallMember(Selection().get(), L"Value").value.get()), 43831.0);
  excel->Select("A5");
  EXPECT_EQ(V_CY(CallMember(Selection().get(), L"Value").value.get()).int64, 125000);
  excel->Select("A6");
  EXPECT_EQ(V_ERROR(CallMember(Selection().get(), L"Value").value.get()),
            static_cast<SCODE>(0x800A07FA));
}

// A block read whole through the add-in's adapter, as Excel serves it (a 2-D array of its first
// area): every value in its place; the areas one by one.
TEST_F(ServedExcelTest, ABlockReadWholeKeepsEveryValueInItsPlace) {
  excel->AddWorkbook({u"Sheet1"});
  const std::vector<host::CellValue> rowByRow = {
      std::u16string(u"a"), 2.5, true, host::Empty{}, host::ErrorValue::NA, std::u16string(u"f")};
  const char* cells[] = {"B2", "C2", "D2", "B3", "C3", "D3"};
  for (std::size_t i = 0; i < rowByRow.size(); ++i) {
    excel->Put(u"Sheet1", cells[i], rowByRow[i]);
  }
  excel->Select("B2:D3,F5:F6");
  const auto selection = com::WrapExcelApplication(app.get())->Selection();
  const host::CellValues block = selection->Values();
  EXPECT_EQ(std::make_pair(block.rows, block.columns), std::make_pair(2, 3));
  EXPECT_EQ(block.values, rowByRow);
  EXPECT_EQ(selection->AreaCount(), 2);
  EXPECT_EQ(selection->Area(2)->Address(), u"$F$5:$F$6");
  EXPECT_EQ(selection->Area(1)->Values().values, rowByRow);
}

TEST_F(ServedExcelTest, AnObjectIsNoCellValue) {
  excel->AddWorkbook({u"Sheet1"});
  excel->Type(u"Sheet1", "A1", u"kept");
  excel->Select("A1");
  EXPECT_EQ(PutMember(Selection().get(), L"Value", ObjectArg(app.get())).hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(excel->Cell(u"Sheet1", "A1").value, host::CellValue(std::u16string(u"kept")));
}

TEST_F(ServedExcelTest, NewEnumGivesOneCellRangesInTheHostsOrder) {
  excel->AddWorkbook({u"Sheet1"});
  excel->Type(u"Sheet1", "A1", u"a");
  excel->Type(u"Sheet1", "B1", u"b");
  excel->Type(u"Sheet1", "A2", u"c");
  excel->Select("A1:B2");
  com::ComPtr<IDispatch> range = Selection();
  DispatchOutcome made = CallMember(range.get(), L"_NewEnum");
  ASSERT_EQ(made.hr, S_OK);
  ASSERT_EQ(V_VT(made.value.get()), VT_UNKNOWN);
  com::ComPtr<IEnumVARIANT> cells =
      com::ComPtr<IUnknown>(V_UNKNOWN(made.value.get())).try_query<IEnumVARIANT>();
  ASSERT_TRUE(cells);
  std::vector<std::wstring> seen;
  com::Variant item;
  ULONG fetched = 0;
  while (cells->Next(1, item.put(), &fetched) == S_OK) {
    ASSERT_EQ(fetched, 1u);
    ASSERT_EQ(V_VT(item.get()), VT_DISPATCH);
    const DispatchOutcome value = CallMember(V_DISPATCH(item.get()), L"Value");
    seen.push_back(V_VT(value.value.get()) == VT_EMPTY ? L"" : TextOf(value));
  }
  EXPECT_EQ(seen, (std::vector<std::wstring>{L"a", L"b", L"c", L""}));
  EXPECT_EQ(fetched, 0u);
}

TEST_F(ServedExcelTest, ConstantsOfTheSelectionIntersectedWithIt) {
  excel->AddWorkbook({u"Sheet1"});
  excel->Type(u"Sheet1", "A1", u"x");
  excel->PutFormula(u"Sheet1", "A2", u"=A1", std::u16string(u"x"));
  excel->Type(u"Sheet1", "C3", u"far");
  excel->Select("A1:A2");
  com::ComPtr<IDispatch> selection = Selection();
  com::ComPtr<IDispatch> worksheetFunction = Get(app.get(), L"WorksheetFunction");
  const DispatchOutcome count =
      CallMember(worksheetFunction.get(), L"CountA", {ObjectArg(selection.get())});
  ASSERT_EQ(count.hr, S_OK);
  EXPECT_EQ(V_R8(count.value.get()), 2.0);

  com::ComPtr<IDispatch> constants = Get(selection.get(), L"SpecialCells", {IntArg(2)});
  ASSERT_TRUE(constants);
  com::ComPtr<IDispatch> both =
      Get(app.get(), L"Intersect", {ObjectArg(constants.get()), ObjectArg(selection.get())});
  ASSERT_TRUE(both);
  EXPECT_EQ(TextOf(CallMember(both.get(), L"Value")), L"x");
  // Disjoint ranges meet in Nothing: an object that is null.
  excel->Select("C3");
  const DispatchOutcome none = CallMember(
      app.get(), L"Intersect", {ObjectArg(selection.get()), ObjectArg(Selection().get())});
  ASSERT_EQ(none.hr, S_OK);
  EXPECT_EQ(V_VT(none.value.get()), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(none.value.get()), nullptr);

  // A foreign object is a type mismatch, reported against its place in rgvarg.
  const DispatchOutcome foreign =
      CallMember(app.get(), L"Intersect", {ObjectArg(selection.get()), ObjectArg(nullptr)});
  EXPECT_EQ(foreign.hr, DISP_E_EXCEPTION);  // Nothing: the host's own refusal
  com::ComPtr<IDispatch> notARange = ServeRibbonControl(host, u"x", u"");
  const DispatchOutcome mismatch =
      CallMember(app.get(), L"Intersect", {ObjectArg(selection.get()), ObjectArg(notARange.get())});
  EXPECT_EQ(mismatch.hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(mismatch.argError, 0u);
}

TEST_F(ServedExcelTest, SheetsCopyByNamedAfterRenameHide) {
  excel->AddWorkbook({u"Sheet1", u"Sheet2"});
  com::ComPtr<IDispatch> sheets = Get(app.get(), L"Sheets");
  EXPECT_EQ(V_I4(CallMember(sheets.get(), L"Count").value.get()), 2);
  com::ComPtr<IDispatch> second = Get(sheets.get(), L"Item", {IntArg(2)});
  com::ComPtr<IDispatch> first = Get(sheets.get(), L"Item", {TextArg(u"sheet1")});
  EXPECT_EQ(TextOf(CallMember(second.get(), L"Name")), L"Sheet2");
  EXPECT_EQ(CallMember(first.get(), L"Copy", {ObjectArg(first.get(), L"After")}).hr, S_OK);
  com::ComPtr<IDispatch> copy = Get(app.get(), L"ActiveSheet");
  EXPECT_EQ(PutMember(copy.get(), L"Name", TextArg(u"Sheet1_Undo")).hr, S_OK);
  EXPECT_EQ(PutMember(copy.get(), L"Visible", BoolArg(false)).hr, S_OK);
  EXPECT_EQ(excel->SheetNames(),
            (std::vector<std::u16string>{u"Sheet1", u"Sheet1_Undo", u"Sheet2"}));
  EXPECT_EQ(excel->SheetVisibility(u"Sheet1_Undo"), sim::kSheetHidden);
  // A C-style TRUE is not one of Excel's visibility values.
  EXPECT_EQ(PutMember(copy.get(), L"Visible", IntArg(1)).scode, static_cast<HRESULT>(0x800A03EC));
  EXPECT_EQ(CallMember(sheets.get(), L"Item", {IntArg(9)}).scode, DISP_E_BADINDEX);
}

// A Click sink (Click is DISPID 1) that reads the Tag of the button it is given and cancels the
// default action; without the events interface, a sink Office must refuse.
com::ComPtr<fakes::FakeObject> Sink(bool speaksEvents, std::wstring* tag = nullptr) {
  auto sink = fakes::FakeObject::Create(fakes::Members({u"Click"}));
  if (speaksEvents) {
    sink->Expose(DIID__CommandBarButtonEvents);
  }
  sink->On(u"Click", [tag](const fakes::FakeCall& call, VARIANT*, EXCEPINFO*) {
    if (call.rgvarg.size() == 2 && call.rgvarg[1].vt() == VT_DISPATCH &&
        call.rgvarg[0].vt() == (VT_BOOL | VT_BYREF)) {
      if (tag) {
        *tag = TextOf(CallMember(V_DISPATCH(call.rgvarg[1].get()), L"Tag"));
      }
      *V_BOOLREF(call.rgvarg[0].get()) = VARIANT_TRUE;
    }
    return S_OK;
  });
  return sink;
}

class ClickTest : public ServedExcelTest {
 protected:
  void SetUp() override {
    ServedExcelTest::SetUp();
    com::ComPtr<IDispatch> bars = Get(app.get(), L"CommandBars");
    com::ComPtr<IDispatch> bar = Get(bars.get(), L"Item", {TextArg(u"Worksheet Menu Bar")});
    com::ComPtr<IDispatch> controls = Get(bar.get(), L"Controls");
    popup = Get(controls.get(), L"Add", {IntArg(10), BoolArg(false, L"Temporary")});
    EXPECT_EQ(PutMember(popup.get(), L"Caption", TextArg(u"&Morvane")).hr, S_OK);
    com::ComPtr<IDispatch> items = Get(popup.get(), L"Controls");
    button = Get(items.get(), L"Add", {IntArg(1, L"Type")});
    EXPECT_EQ(PutMember(button.get(), L"Caption", TextArg(u"E&xit")).hr, S_OK);
    EXPECT_EQ(PutMember(button.get(), L"Tag", TextArg(u"mvExit")).hr, S_OK);
  }

  com::ComPtr<IConnectionPoint> PointOf(IDispatch* control) {
    com::ComPtr<IConnectionPointContainer> container =
        com::ComPtr<IDispatch>(control).try_query<IConnectionPointContainer>();
    com::ComPtr<IConnectionPoint> point;
    EXPECT_TRUE(container);
    if (container) {
      EXPECT_EQ(container->FindConnectionPoint(DIID__CommandBarButtonEvents, point.put()), S_OK);
    }
    return point;
  }

  bool Click() { return excel->Click(u"Worksheet Menu Bar", {u"&Morvane", u"E&xit"}); }

  com::ComPtr<IDispatch> popup;
  com::ComPtr<IDispatch> button;
};

TEST_F(ClickTest, ClickReachesTheSinkWithCtrlAndCancelDefaultUntilUnadvise) {
  std::wstring tag;
  const auto sink = Sink(true, &tag);
  com::ComPtr<IConnectionPoint> point = PointOf(button.get());
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(sink.get(), &cookie), S_OK);
  EXPECT_NE(cookie, 0u);
  EXPECT_EQ(excel->LiveClickConnections(), 1);

  EXPECT_TRUE(Click());
  ASSERT_EQ(sink->calls().size(), 1u);
  EXPECT_EQ(sink->LastCall().id, 1);
  EXPECT_EQ(sink->LastCall().rgvarg.size(), 2u);
  EXPECT_EQ(tag, L"mvExit");

  EXPECT_EQ(point->Unadvise(cookie), S_OK);
  sink->ClearCalls();
  EXPECT_EQ(sink->references(), 1u);  // the host let go of the sink
  EXPECT_FALSE(Click());
  EXPECT_TRUE(sink->calls().empty());
  EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
}

TEST_F(ClickTest, AdviseIsKeptAfterTheConnectionPointIsReleased) {
  const auto sink = Sink(true);
  DWORD cookie = 0;
  ASSERT_EQ(PointOf(button.get())->Advise(sink.get(), &cookie), S_OK);
  // Only the cookie is left; Office would still call the sink.
  EXPECT_TRUE(Click());
  EXPECT_EQ(sink->calls().size(), 1u);
  EXPECT_EQ(PointOf(button.get())->Unadvise(cookie), S_OK);
  EXPECT_EQ(excel->LiveClickConnections(), 0);
}

TEST_F(ClickTest, SinksWithoutTheEventInterfaceOrPopupsCannotConnect) {
  const auto plain = Sink(false);
  DWORD cookie = 77;
  EXPECT_EQ(PointOf(button.get())->Advise(plain.get(), &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);
  const auto sink = Sink(true);
  EXPECT_EQ(PointOf(popup.get())->Advise(sink.get(), &cookie), static_cast<HRESULT>(0x800A01B6));
  EXPECT_EQ(excel->LiveClickConnections(), 0);
  EXPECT_EQ(plain->references(), 1u);
  EXPECT_EQ(sink->references(), 1u);
}

TEST_F(ServedExcelTest, ConnectFalseDisconnectsTheAddInInsideThePut) {
  int disconnections = 0;
  excel->RegisterComAddIn(u"Morvane.Connect", [&] { ++disconnections; });
  com::ComPtr<IDispatch> addIns = Get(app.get(), L"COMAddIns");
  com::ComPtr<IDispatch> addIn = Get(addIns.get(), L"Item", {TextArg(u"morvane.connect")});
  ASSERT_EQ(PutMember(addIn.get(), L"Connect", BoolArg(false)).hr, S_OK);
  EXPECT_EQ(disconnections, 1);
  EXPECT_FALSE(excel->ComAddInConnected(u"Morvane.Connect"));
  EXPECT_EQ(CallMember(addIns.get(), L"Item", {TextArg(u"Other.Addin")}).scode, DISP_E_BADINDEX);
}

TEST_F(ServedExcelTest, CallsFromAnotherThreadAreRefused) {
  HRESULT fromThread = S_OK;
  std::thread other([&] { fromThread = CallMember(app.get(), L"Version").hr; });
  other.join();
  EXPECT_EQ(fromThread, RPC_E_WRONG_THREAD);
}

TEST_F(ServedExcelTest, EveryObjectHandedOutIsReleasedWithItsLastReference) {
  const long before = ServedObject::Live();
  excel->AddWorkbook({u"Sheet1"});
  {
    com::ComPtr<IDispatch> sheets = Get(app.get(), L"Sheets");
    com::ComPtr<IDispatch> sheet = Get(sheets.get(), L"Item", {IntArg(1)});
    com::ComPtr<IDispatch> selection = Selection();
    EXPECT_EQ(ServedObject::Live(), before + 3);
  }
  EXPECT_EQ(ServedObject::Live(), before);
}

TEST_F(ServedExcelTest, TheCallLogNamesMembersAndTheirLocales) {
  CallMember(app.get(), L"Version", {}, 0x0409);
  PutMember(app.get(), L"ScreenUpdating", BoolArg(true), {}, 0x0409);
  CallMember(app.get(), L"Workbooks", {}, 0);
  EXPECT_EQ(host->calls.Count("Application.Version"), 1);
  EXPECT_EQ(host->calls.Count("Application.ScreenUpdating="), 1);
  EXPECT_EQ(host->calls.CalledWithOtherLocale(0x0409),
            std::vector<std::string>{"Application.Workbooks"});
}

TEST_F(ServedExcelTest, AHeldWriteWaitsForTheScript) {
  excel->AddWorkbook({u"Sheet1"});
  excel->Select("A1");
  com::ComPtr<IDispatch> cell = Selection();
  host->writes.Arm(2);
  PutMember(cell.get(), L"Value", TextArg(u"one"));
  bool held = false;
  std::thread script([&] {
    held = host->writes.WaitHeld(5000);
    host->writes.Let();
  });
  PutMember(cell.get(), L"Value", TextArg(u"two"));  // held here until the script lets it go
  script.join();
  EXPECT_TRUE(held);
}

}  // namespace
}  // namespace morvane::e2e
