// The simulated Excel called the way the add-in calls it: raw IDispatch, by name.

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <thread>

#include "tests/e2e/dispatch_call.h"
#include "tests/e2e/served_excel.h"
#include "tests/e2e/served_object.h"

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

  ComPtr<IDispatch> Get(IDispatch* object, const wchar_t* member,
                        const std::vector<DispatchArg>& args = {}) {
    DispatchOutcome out = CallMember(object, member, args);
    EXPECT_EQ(out.hr, S_OK) << "calling " << Narrow(member);
    return ObjectOf(out);
  }

  ComPtr<IDispatch> Selection() { return Get(app.get(), L"Selection"); }

  std::shared_ptr<sim::Excel> excel;
  std::shared_ptr<ServedHost> host;
  ComPtr<IDispatch> app;
};

TEST_F(ServedExcelTest, ParameterNamesResolveToTheirPositions) {
  excel->AddWorkbook({u"Sheet1"});
  ComPtr<IDispatch> sheet = Get(app.get(), L"ActiveSheet");
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
  ComPtr<IDispatch> asApplication = app.As<IDispatch>(kApplicationIid);
  ASSERT_TRUE(asApplication);
  EXPECT_EQ(asApplication.get(), app.get());
  ComPtr<IUnknown> a = app.As<IUnknown>(IID_IUnknown);
  ComPtr<IUnknown> b = asApplication.As<IUnknown>(IID_IUnknown);
  EXPECT_EQ(a.get(), b.get());
  EXPECT_FALSE(app.As<IUnknown>(IID_IConnectionPointContainer));
}

TEST_F(ServedExcelTest, HostErrorsArriveAsExceptionsFromMicrosoftExcel) {
  // No workbook: Sheets fails with Excel's 1004 and its text.
  const DispatchOutcome out = CallMember(app.get(), L"Sheets");
  EXPECT_EQ(out.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(out.scode, static_cast<HRESULT>(0x800A03EC));
  EXPECT_EQ(out.source, L"Microsoft Excel");
  EXPECT_EQ(out.description, L"Method 'Sheets' of object '_Application' failed");
  EXPECT_EQ(V_VT(&out.value.get()), VT_EMPTY);
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
    EXPECT_EQ(V_VT(&out.value.get()), c.type) << c.cell;
  }
  excel->Select("A3");
  EXPECT_EQ(V_DATE(&CallMember(Selection().get(), L"Value").value.get()), 43831.0);
  excel->Select("A5");
  EXPECT_EQ(V_CY(&CallMember(Selection().get(), L"Value").value.get()).int64, 125000);
  excel->Select("A6");
  EXPECT_EQ(V_ERROR(&CallMember(Selection().get(), L"Value").value.get()),
            static_cast<SCODE>(0x800A07FA));
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
  ComPtr<IDispatch> range = Selection();
  DispatchOutcome made = CallMember(range.get(), L"_NewEnum");
  ASSERT_EQ(made.hr, S_OK);
  ASSERT_EQ(V_VT(&made.value.get()), VT_UNKNOWN);
  ComPtr<IEnumVARIANT> cells =
      ComPtr<IUnknown>(V_UNKNOWN(&made.value.get())).As<IEnumVARIANT>(IID_IEnumVARIANT);
  ASSERT_TRUE(cells);
  std::vector<std::wstring> seen;
  Variant item;
  ULONG fetched = 0;
  while (cells->Next(1, item.put(), &fetched) == S_OK) {
    ASSERT_EQ(fetched, 1u);
    ASSERT_EQ(V_VT(&item.get()), VT_DISPATCH);
    const DispatchOutcome value = CallMember(V_DISPATCH(&item.get()), L"Value");
    seen.push_back(V_VT(&value.value.get()) == VT_EMPTY ? L"" : TextOf(value));
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
  ComPtr<IDispatch> selection = Selection();
  ComPtr<IDispatch> worksheetFunction = Get(app.get(), L"WorksheetFunction");
  const DispatchOutcome count =
      CallMember(worksheetFunction.get(), L"CountA", {ObjectArg(selection.get())});
  ASSERT_EQ(count.hr, S_OK);
  EXPECT_EQ(V_R8(&count.value.get()), 2.0);

  ComPtr<IDispatch> constants = Get(selection.get(), L"SpecialCells", {IntArg(2)});
  ASSERT_TRUE(constants);
  ComPtr<IDispatch> both =
      Get(app.get(), L"Intersect", {ObjectArg(constants.get()), ObjectArg(selection.get())});
  ASSERT_TRUE(both);
  EXPECT_EQ(TextOf(CallMember(both.get(), L"Value")), L"x");
  // Disjoint ranges meet in Nothing: an object that is null.
  excel->Select("C3");
  const DispatchOutcome none = CallMember(
      app.get(), L"Intersect", {ObjectArg(selection.get()), ObjectArg(Selection().get())});
  ASSERT_EQ(none.hr, S_OK);
  EXPECT_EQ(V_VT(&none.value.get()), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(&none.value.get()), nullptr);

  // A foreign object is a type mismatch, reported against its place in rgvarg.
  const DispatchOutcome foreign =
      CallMember(app.get(), L"Intersect", {ObjectArg(selection.get()), ObjectArg(nullptr)});
  EXPECT_EQ(foreign.hr, DISP_E_EXCEPTION);  // Nothing: the host's own refusal
  ComPtr<IDispatch> notARange = ServeRibbonControl(host, u"x", u"");
  const DispatchOutcome mismatch =
      CallMember(app.get(), L"Intersect", {ObjectArg(selection.get()), ObjectArg(notARange.get())});
  EXPECT_EQ(mismatch.hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(mismatch.argError, 0u);
}

TEST_F(ServedExcelTest, SheetsCopyByNamedBeforeRenameHide) {
  excel->AddWorkbook({u"Sheet1", u"Sheet2"});
  ComPtr<IDispatch> sheets = Get(app.get(), L"Sheets");
  EXPECT_EQ(V_I4(&CallMember(sheets.get(), L"Count").value.get()), 2);
  ComPtr<IDispatch> second = Get(sheets.get(), L"Item", {IntArg(2)});
  ComPtr<IDispatch> first = Get(sheets.get(), L"Item", {TextArg(L"sheet1")});
  EXPECT_EQ(TextOf(CallMember(second.get(), L"Name")), L"Sheet2");
  EXPECT_EQ(CallMember(first.get(), L"Copy", {ObjectArg(first.get(), L"Before")}).hr, S_OK);
  ComPtr<IDispatch> copy = Get(app.get(), L"ActiveSheet");
  EXPECT_EQ(PutMember(copy.get(), L"Name", TextArg(L"Sheet1_Undo")).hr, S_OK);
  EXPECT_EQ(PutMember(copy.get(), L"Visible", BoolArg(false)).hr, S_OK);
  EXPECT_EQ(excel->SheetNames(),
            (std::vector<std::u16string>{u"Sheet1_Undo", u"Sheet1", u"Sheet2"}));
  EXPECT_EQ(excel->SheetVisibility(u"Sheet1_Undo"), sim::kSheetHidden);
  // A C-style TRUE is not one of Excel's visibility values.
  EXPECT_EQ(PutMember(copy.get(), L"Visible", IntArg(1)).scode, static_cast<HRESULT>(0x800A03EC));
  EXPECT_EQ(CallMember(sheets.get(), L"Item", {IntArg(9)}).scode, DISP_E_BADINDEX);
}

// A COM object dies in its own Release, never through an interface: no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// A Click sink that counts its calls and can be told to cancel the default action.
class CountingSink : public IDispatch {
 public:
  explicit CountingSink(bool speaksEvents) : speaksEvents_(speaksEvents) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch ||
        (speaksEvents_ && iid == kCommandBarButtonEventsIid)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    ++clicks;
    lastId = id;
    argCount = params->cArgs;
    if (params->cArgs == 2 && V_VT(&params->rgvarg[1]) == VT_DISPATCH &&
        V_VT(&params->rgvarg[0]) == (VT_BOOL | VT_BYREF)) {
      lastTag = TextOf(CallMember(V_DISPATCH(&params->rgvarg[1]), L"Tag"));
      *V_BOOLREF(&params->rgvarg[0]) = VARIANT_TRUE;
    }
    return S_OK;
  }

  ULONG refs = 1;
  int clicks = 0;
  DISPID lastId = 0;
  UINT argCount = 0;
  std::wstring lastTag;

 private:
  bool speaksEvents_;
};
#pragma GCC diagnostic pop

class ClickTest : public ServedExcelTest {
 protected:
  void SetUp() override {
    ServedExcelTest::SetUp();
    ComPtr<IDispatch> bars = Get(app.get(), L"CommandBars");
    ComPtr<IDispatch> bar = Get(bars.get(), L"Item", {TextArg(L"Worksheet Menu Bar")});
    ComPtr<IDispatch> controls = Get(bar.get(), L"Controls");
    popup = Get(controls.get(), L"Add", {IntArg(10), BoolArg(false, L"Temporary")});
    EXPECT_EQ(PutMember(popup.get(), L"Caption", TextArg(L"&Morvane")).hr, S_OK);
    ComPtr<IDispatch> items = Get(popup.get(), L"Controls");
    button = Get(items.get(), L"Add", {IntArg(1, L"Type")});
    EXPECT_EQ(PutMember(button.get(), L"Caption", TextArg(L"E&xit")).hr, S_OK);
    EXPECT_EQ(PutMember(button.get(), L"Tag", TextArg(L"mvExit")).hr, S_OK);
  }

  ComPtr<IConnectionPoint> PointOf(IDispatch* control) {
    ComPtr<IConnectionPointContainer> container =
        ComPtr<IDispatch>(control).As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> point;
    EXPECT_TRUE(container);
    if (container) {
      EXPECT_EQ(container->FindConnectionPoint(kCommandBarButtonEventsIid, point.put()), S_OK);
    }
    return point;
  }

  bool Click() { return excel->Click(u"Worksheet Menu Bar", {u"&Morvane", u"E&xit"}); }

  ComPtr<IDispatch> popup;
  ComPtr<IDispatch> button;
};

TEST_F(ClickTest, ClickReachesTheSinkWithCtrlAndCancelDefaultUntilUnadvise) {
  CountingSink sink(true);
  ComPtr<IConnectionPoint> point = PointOf(button.get());
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
  EXPECT_NE(cookie, 0u);
  EXPECT_EQ(excel->LiveClickConnections(), 1);

  EXPECT_TRUE(Click());
  EXPECT_EQ(sink.clicks, 1);
  EXPECT_EQ(sink.lastId, 1);
  EXPECT_EQ(sink.argCount, 2u);
  EXPECT_EQ(sink.lastTag, L"mvExit");

  EXPECT_EQ(point->Unadvise(cookie), S_OK);
  EXPECT_EQ(sink.refs, 1u);  // the host let go of the sink
  EXPECT_FALSE(Click());
  EXPECT_EQ(sink.clicks, 1);
  EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
}

TEST_F(ClickTest, AdviseIsKeptAfterTheConnectionPointIsReleased) {
  CountingSink sink(true);
  DWORD cookie = 0;
  ASSERT_EQ(PointOf(button.get())->Advise(&sink, &cookie), S_OK);
  // Only the cookie is left; Office would still call the sink.
  EXPECT_TRUE(Click());
  EXPECT_EQ(sink.clicks, 1);
  EXPECT_EQ(PointOf(button.get())->Unadvise(cookie), S_OK);
  EXPECT_EQ(excel->LiveClickConnections(), 0);
}

TEST_F(ClickTest, SinksWithoutTheEventInterfaceOrPopupsCannotConnect) {
  CountingSink plain(false);
  DWORD cookie = 77;
  EXPECT_EQ(PointOf(button.get())->Advise(&plain, &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);
  CountingSink sink(true);
  EXPECT_EQ(PointOf(popup.get())->Advise(&sink, &cookie), static_cast<HRESULT>(0x800A01B6));
  EXPECT_EQ(excel->LiveClickConnections(), 0);
  EXPECT_EQ(plain.refs, 1u);
  EXPECT_EQ(sink.refs, 1u);
}

TEST_F(ServedExcelTest, ConnectFalseDisconnectsTheAddInInsideThePut) {
  int disconnections = 0;
  excel->RegisterComAddIn(u"Morvane.Connect", [&] { ++disconnections; });
  ComPtr<IDispatch> addIns = Get(app.get(), L"COMAddIns");
  ComPtr<IDispatch> addIn = Get(addIns.get(), L"Item", {TextArg(L"morvane.connect")});
  ASSERT_EQ(PutMember(addIn.get(), L"Connect", BoolArg(false)).hr, S_OK);
  EXPECT_EQ(disconnections, 1);
  EXPECT_FALSE(excel->ComAddInConnected(u"Morvane.Connect"));
  EXPECT_EQ(CallMember(addIns.get(), L"Item", {TextArg(L"Other.Addin")}).scode, DISP_E_BADINDEX);
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
    ComPtr<IDispatch> sheets = Get(app.get(), L"Sheets");
    ComPtr<IDispatch> sheet = Get(sheets.get(), L"Item", {IntArg(1)});
    ComPtr<IDispatch> selection = Selection();
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
  ComPtr<IDispatch> cell = Selection();
  host->writes.Arm(2);
  PutMember(cell.get(), L"Value", TextArg(L"one"));
  bool held = false;
  std::thread script([&] {
    held = host->writes.WaitHeld(5000);
    host->writes.Let();
  });
  PutMember(cell.get(), L"Value", TextArg(L"two"));  // held here until the script lets it go
  script.join();
  EXPECT_TRUE(held);
}

}  // namespace
}  // namespace morvane::e2e
