// Every member of the host model reaches the right Excel or Office member, the right way, with
// the right arguments; Nothing and foreign objects are handled as the macro language does.

#include <gtest/gtest.h>

#include "addin/com/excel/excel_application.h"
#include "support/fake_dispatch.h"

namespace morvane::test {
namespace {

using namespace fakes;

// Excel's objects, as far as the add-in reaches them, each answering with the next one.
struct FakeExcel {
  FakeExcel() {
    app->Set(u"Version", Variant::of_string(u"11.0"));
    app->Set(u"Workbooks", Variant::of_dispatch(workbooks.get()));
    app->Set(u"ActiveSheet", Variant::of_dispatch(sheet.get()));
    app->Set(u"Sheets", Variant::of_dispatch(sheets.get()));
    app->Set(u"Selection", Variant::of_dispatch(range.get()));
    app->Set(u"WorksheetFunction", Variant::of_dispatch(functions.get()));
    app->Set(u"Intersect", Variant::of_dispatch(range.get()));
    app->Set(u"COMAddIns", Variant::of_dispatch(addIns.get()));
    app->Set(u"CommandBars", Variant::of_dispatch(bars.get()));
    workbooks->Set(u"Count", Variant::of_int(2));
    sheets->Set(u"Count", Variant::of_int(3));
    sheets->Set(u"Item", Variant::of_dispatch(sheet.get()));
    sheet->Set(u"Name", Variant::of_string(u"Data"));
    for (const auto* name : {u"Copy", u"Delete", u"Activate"}) {
      sheet->Set(name, Variant());
    }
    range->Set(u"SpecialCells", Variant::of_dispatch(range.get()));
    range->Set(u"Areas", Variant::of_dispatch(areas.get()));
    areas->Set(u"Count", Variant::of_int(2));
    areas->Set(u"Item", Variant::of_dispatch(range.get()));
    functions->Set(u"CountA", Variant::of_double(5));
    addIns->Set(u"Item", Variant::of_dispatch(addIn.get()));
    bars->Set(u"Item", Variant::of_dispatch(bar.get()));
    bar->Set(u"Controls", Variant::of_dispatch(controls.get()));
    controls->Set(u"Add", Variant::of_dispatch(control.get()));
    controls->Set(u"Item", Variant::of_dispatch(control.get()));
    control->Set(u"Tag", Variant::of_string(u"mvUndo"));
    control->Set(u"Delete", Variant());
    control->Set(u"Controls", Variant::of_dispatch(controls.get()));
  }

  std::vector<FakeObject*> All() const {
    return {app.get(),       workbooks.get(), sheets.get(), sheet.get(), range.get(),
            functions.get(), addIns.get(),    addIn.get(),  bars.get(),  bar.get(),
            controls.get(),  control.get(),   areas.get()};
  }

  ComPtr<FakeObject> app = FakeObject::Create(
      Members({u"Version", u"Workbooks", u"ActiveSheet", u"Sheets", u"Selection",
               u"WorksheetFunction", u"Intersect", u"EnableCancelKey", u"StatusBar",
               u"ScreenUpdating", u"Calculation", u"DisplayAlerts", u"COMAddIns", u"CommandBars"}));
  ComPtr<FakeObject> workbooks = FakeObject::Create(Members({u"Count"}));
  ComPtr<FakeObject> sheets = FakeObject::Create(Members({u"Count", u"Item"}));
  ComPtr<FakeObject> sheet =
      FakeObject::Create(Members({u"Name", u"Visible", u"Copy", u"Delete", u"Activate"}));
  ComPtr<FakeObject> range = FakeObject::Create(Members({u"SpecialCells", u"Value", u"Areas"}));
  ComPtr<FakeObject> areas = FakeObject::Create(Members({u"Count", u"Item"}));
  ComPtr<FakeObject> functions = FakeObject::Create(Members({u"CountA"}));
  ComPtr<FakeObject> addIns = FakeObject::Create(Members({u"Item"}));
  ComPtr<FakeObject> addIn = FakeObject::Create(Members({u"Connect"}));
  ComPtr<FakeObject> bars = FakeObject::Create(Members({u"Item"}));
  ComPtr<FakeObject> bar = FakeObject::Create(Members({u"Visible", u"Controls"}));
  ComPtr<FakeObject> controls = FakeObject::Create(Members({u"Add", u"Item"}));
  ComPtr<FakeObject> control =
      FakeObject::Create(Members({u"Caption", u"Tag", u"FaceId", u"Style", u"Parameter",
                                  u"BeginGroup", u"Visible", u"Delete", u"Controls"}));
};

// The last call an object received: "<member> <get|put|call|item> <arguments>".
std::string LastCallOf(FakeObject& object) {
  if (object.calls().empty()) {
    return "no call";
  }
  const FakeCall& call = object.LastCall();
  std::string text = "?";
  for (const auto& [name, id] : object.type().names) {
    if (id == call.id) {
      text.assign(name.begin(), name.end());
    }
  }
  switch (call.flags) {
    case DISPATCH_PROPERTYGET:
      text += " get";
      break;
    case DISPATCH_PROPERTYPUT:
      text += call.named == std::vector<DISPID>{DISPID_PROPERTYPUT} ? " put" : " put unnamed";
      break;
    case DISPATCH_METHOD:
      text += " call";
      break;
    case DISPATCH_METHOD | DISPATCH_PROPERTYGET:
      text += " item";
      break;
  }
  for (const std::string& arg : ArgumentsOf(call)) {
    text += " " + arg;
  }
  return text;
}

using host::Application;

// Runs act on a fresh Excel; the object must have received exactly the expected call, every
// lookup and call on the way must have passed locale 1033, and every adapter made on the way
// must have let go of its object again.
void ExpectCall(const char* what, ComPtr<FakeObject> FakeExcel::*object,
                const std::string& expected, const std::function<void(Application&)>& act) {
  SCOPED_TRACE(what);
  FakeExcel excel;
  const auto references = [&] {
    std::vector<ULONG> counts;
    for (FakeObject* o : excel.All()) {
      o->ClearCalls();  // recorded arguments hold references too
    }
    for (FakeObject* o : excel.All()) {
      counts.push_back(o->references());
    }
    return counts;
  };
  const std::vector<ULONG> before = references();
  act(*com::WrapExcelApplication(excel.app.get()));
  EXPECT_EQ(LastCallOf(*(excel.*object).get()), expected);
  for (FakeObject* o : excel.All()) {
    for (const FakeCall& call : o->calls()) {
      EXPECT_EQ(call.lcid, 1033u);
    }
    for (const LCID lcid : o->type().lookupLocales) {
      EXPECT_EQ(lcid, 1033u);
    }
  }
  EXPECT_EQ(references(), before);
}

TEST(HostAdapters, EachMemberReachesItsExcelMember) {
  const auto sheet = [](Application& a) { return a.ActiveSheet(); };
  const auto selection = [](Application& a) { return a.Selection(); };
  const auto menu = [](Application& a) {
    return a.CommandBar(u"Worksheet Menu Bar")->Controls()->Item(u"&Morvane");
  };
  using E = FakeExcel;
  ExpectCall("Version", &E::app, "Version get",
             [](Application& a) { EXPECT_EQ(a.Version(), u"11.0"); });
  ExpectCall("WorkbooksCount", &E::workbooks, "Count get",
             [](Application& a) { EXPECT_EQ(a.WorkbooksCount(), 2); });
  ExpectCall("Sheets.Count", &E::sheets, "Count get",
             [](Application& a) { EXPECT_EQ(a.Sheets()->Count(), 3); });
  ExpectCall("Sheets.Item(index)", &E::sheets, "Item item I4 2",
             [](Application& a) { a.Sheets()->Item(2); });
  ExpectCall("Sheets.Item(name)", &E::sheets, "Item item BSTR Data_Undo",
             [](Application& a) { a.Sheets()->Item(u"Data_Undo"); });
  ExpectCall("Sheet.Name", &E::sheet, "Name get",
             [&](Application& a) { EXPECT_EQ(sheet(a)->Name(), u"Data"); });
  ExpectCall("Sheet.SetName", &E::sheet, "Name put BSTR Data_Redo",
             [&](Application& a) { sheet(a)->SetName(u"Data_Redo"); });
  ExpectCall("Sheet.SetVisible", &E::sheet, "Visible put False",
             [&](Application& a) { sheet(a)->SetVisible(false); });
  ExpectCall("Sheet.CopyAfter", &E::sheet, "Copy call missing object",
             [&](Application& a) { sheet(a)->CopyAfter(*sheet(a)); });
  ExpectCall("Sheet.Delete", &E::sheet, "Delete call", [&](Application& a) { sheet(a)->Delete(); });
  ExpectCall("Sheet.Activate", &E::sheet, "Activate call",
             [&](Application& a) { sheet(a)->Activate(); });
  ExpectCall("SpecialCells", &E::range, "SpecialCells call I4 2",
             [&](Application& a) { EXPECT_TRUE(selection(a)->SpecialCells(2)); });
  ExpectCall("AreaCount", &E::areas, "Count get",
             [&](Application& a) { EXPECT_EQ(selection(a)->AreaCount(), 2); });
  ExpectCall("Area", &E::areas, "Item item I4 2",
             [&](Application& a) { EXPECT_TRUE(selection(a)->Area(2)); });
  ExpectCall("CountA", &E::functions, "CountA call object",
             [&](Application& a) { EXPECT_EQ(a.CountA(selection(a)), 5); });
  ExpectCall("Intersect", &E::app, "Intersect call object object",
             [&](Application& a) { EXPECT_TRUE(a.Intersect(selection(a), selection(a))); });
  ExpectCall("EnableCancelKey", &E::app, "EnableCancelKey put I4 2",
             [](Application& a) { a.SetEnableCancelKey(2); });
  ExpectCall("StatusBar", &E::app, "StatusBar put BSTR Busy",
             [](Application& a) { a.SetStatusBar(u"Busy"); });
  ExpectCall("ScreenUpdating", &E::app, "ScreenUpdating put False",
             [](Application& a) { a.SetScreenUpdating(false); });
  ExpectCall("Calculation", &E::app, "Calculation put I4 -4135",
             [](Application& a) { a.SetCalculation(-4135); });
  ExpectCall("DisplayAlerts", &E::app, "DisplayAlerts put True",
             [](Application& a) { a.SetDisplayAlerts(true); });
  ExpectCall("COMAddIns.Item", &E::addIns, "Item item BSTR Morvane.Connect",
             [](Application& a) { a.ComAddIn(u"Morvane.Connect"); });
  ExpectCall("ComAddIn.SetConnect", &E::addIn, "Connect put False",
             [](Application& a) { a.ComAddIn(u"x")->SetConnect(false); });
  ExpectCall("CommandBars.Item", &E::bars, "Item item BSTR Worksheet Menu Bar",
             [](Application& a) { a.CommandBar(u"Worksheet Menu Bar"); });
  ExpectCall("CommandBar.SetVisible", &E::bar, "Visible put True",
             [](Application& a) { a.CommandBar(u"x")->SetVisible(true); });
  ExpectCall("CommandBarControls.Item", &E::controls, "Item item BSTR &Morvane",
             [&](Application& a) { menu(a); });
  ExpectCall("SetCaption", &E::control, "Caption put BSTR &Wizard",
             [&](Application& a) { menu(a)->SetCaption(u"&Wizard"); });
  ExpectCall("Tag", &E::control, "Tag get",
             [&](Application& a) { EXPECT_EQ(menu(a)->Tag(), u"mvUndo"); });
  ExpectCall("SetTag", &E::control, "Tag put BSTR mvRedo",
             [&](Application& a) { menu(a)->SetTag(u"mvRedo"); });
  ExpectCall("SetFaceId", &E::control, "FaceId put I4 128",
             [&](Application& a) { menu(a)->SetFaceId(128); });
  ExpectCall("SetStyle", &E::control, "Style put I4 3",
             [&](Application& a) { menu(a)->SetStyle(3); });
  ExpectCall("SetParameter", &E::control, "Parameter put BSTR p",
             [&](Application& a) { menu(a)->SetParameter(u"p"); });
  ExpectCall("SetBeginGroup", &E::control, "BeginGroup put True",
             [&](Application& a) { menu(a)->SetBeginGroup(true); });
  ExpectCall("Control.SetVisible", &E::control, "Visible put False",
             [&](Application& a) { menu(a)->SetVisible(false); });
  ExpectCall("Control.Delete", &E::control, "Delete call",
             [&](Application& a) { menu(a)->Delete(); });
  ExpectCall("Control.Controls.Add", &E::controls, "Add call I4 1 missing missing missing False",
             [&](Application& a) {
               menu(a)->Controls()->Add({1, {}, {}, {}, false});
             });
}

std::int32_t ErrorOf(const std::function<void()>& call);

// Nothing is null only where the host model says so (Selection, Intersect, ActiveSheet); where an
// object is due it is error 91, as the next late-bound call through it would be.
TEST(HostAdapters, NothingIsNullOnlyWhereTheModelSaysSo) {
  using E = FakeExcel;
  struct Due {
    ComPtr<FakeObject> E::*object;
    const char16_t* member;
    void (*call)(Application&);
  };
  const Due due[] = {
      {&E::app, u"Sheets", [](Application& a) { a.Sheets(); }},
      {&E::sheets, u"Item", [](Application& a) { a.Sheets()->Item(1); }},
      {&E::range, u"SpecialCells", [](Application& a) { a.Selection()->SpecialCells(2); }},
      {&E::range, u"Areas", [](Application& a) { a.Selection()->AreaCount(); }},
      {&E::areas, u"Item", [](Application& a) { a.Selection()->Area(1); }},
      {&E::addIns, u"Item", [](Application& a) { a.ComAddIn(u"x"); }},
      {&E::bars, u"Item", [](Application& a) { a.CommandBar(u"x"); }},
      {&E::bar, u"Controls", [](Application& a) { a.CommandBar(u"x")->Controls(); }},
      {&E::controls, u"Add", [](Application& a) { a.CommandBar(u"x")->Controls()->Add({}); }},
      {&E::controls, u"Item", [](Application& a) { a.CommandBar(u"x")->Controls()->Item(u"x"); }},
  };
  for (const auto& nothing : {Variant(), Variant::of_dispatch(nullptr)}) {
    FakeExcel excel;
    const auto app = com::WrapExcelApplication(excel.app.get());
    const auto range = app->Selection();
    for (const auto* member : {u"Selection", u"Intersect", u"ActiveSheet"}) {
      excel.app->Set(member, nothing.copy());
    }
    EXPECT_EQ(app->Selection(), nullptr);
    EXPECT_EQ(app->ActiveSheet(), nullptr);
    EXPECT_EQ(app->Intersect(range, range), nullptr);
    for (const Due& d : due) {
      FakeExcel fresh;
      (fresh.*d.object)->Set(d.member, nothing.copy());
      EXPECT_EQ(ErrorOf([&] { d.call(*com::WrapExcelApplication(fresh.app.get())); }),
                errors::kObjectNotSet);
    }
  }
}

std::int32_t ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const host::HostError& e) {
    return e.hresult();
  }
  ADD_FAILURE() << "no error";
  return 0;
}

// A range of another host (the simulated Excel, say).
struct ForeignRange : host::Range {
  std::shared_ptr<host::Range> SpecialCells(int) override { return nullptr; }
  std::unique_ptr<host::CellEnumerator> Cells() override { return nullptr; }
  host::CellValue Value() override { return {}; }
  void SetValue(const host::CellValue&) override {}
  std::u16string NumberFormat() override { return {}; }
  std::u16string Address() override { return {}; }
  host::CellValues Values() override { return {}; }
  std::int32_t AreaCount() override { return 0; }
  std::shared_ptr<host::Range> Area(std::int32_t) override { return nullptr; }
  host::CellBlock Bounds() override { return {}; }
};

TEST(HostAdapters, ObjectArgumentsMustBeExcelsOwn) {
  FakeExcel excel;
  const auto app = com::WrapExcelApplication(excel.app.get());
  const auto range = app->Selection();
  const auto foreign = std::make_shared<ForeignRange>();
  EXPECT_EQ(ErrorOf([&] { app->Intersect(nullptr, range); }), errors::kInvalidArgument);
  EXPECT_EQ(ErrorOf([&] { app->Intersect(range, foreign); }), errors::kTypeMismatch);
  EXPECT_EQ(ErrorOf([&] { app->CountA(foreign); }), errors::kTypeMismatch);
  EXPECT_TRUE(excel.functions->calls().empty());
  for (const FakeCall& call : excel.app->calls()) {
    EXPECT_NE(call.id, excel.app->type().names.at(u"Intersect"));
  }
}

TEST(HostAdapters, UnexpectedAnswersFail) {
  FakeExcel excel;
  const auto app = com::WrapExcelApplication(excel.app.get());
  // A shape is selected: still a Range adapter, whose members the shape does not have.
  excel.app->Set(u"Selection", Variant::of_dispatch(FakeObject::Create(Type()).get()));
  const auto shape = app->Selection();
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(ErrorOf([&] { shape->SpecialCells(2); }), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ErrorOf([&] { shape->Value(); }), DISP_E_UNKNOWNNAME);
  // No Workbooks object at all: error 91, as a call through an empty reference.
  excel.app->Set(u"Workbooks", Variant());
  EXPECT_EQ(ErrorOf([&] { app->WorkbooksCount(); }), errors::kObjectNotSet);
  // Text where an object belongs.
  excel.app->Set(u"ActiveSheet", Variant::of_string(u"Sheet1"));
  EXPECT_EQ(ErrorOf([&] { app->ActiveSheet(); }), errors::kTypeMismatch);
}

// The Areas collection is asked for once a range: each area after it costs one call.
TEST(HostAdapters, AreasAreAskedForOnceARange) {
  FakeExcel excel;
  const auto range = com::WrapExcelApplication(excel.app.get())->Selection();
  range->AreaCount();
  range->Area(1);
  range->Area(2);
  const DISPID areas = excel.range->type().names.at(u"Areas");
  EXPECT_EQ(std::count_if(excel.range->calls().begin(), excel.range->calls().end(),
                          [&](const FakeCall& call) { return call.id == areas; }),
            1);
  EXPECT_EQ(excel.areas->calls().size(), 3u);
}

// A VARIANT of type vt holding array (taken).
Variant OfArray(VARTYPE vt, SAFEARRAY* array) {
  Variant value;
  V_VT(value.get()) = vt;
  V_ARRAY(value.get()) = array;
  return value;
}

// An array of VARIANTs with the given bounds ({count, lower bound}, the left-most dimension
// first), whose element at 0-based (i, j, ...) is the number 10 * (i + 1) + (j + 1): each put
// by its indices, the left-most dimension's first.
Variant Block(std::vector<SAFEARRAYBOUND> bounds) {
  Variant array =
      OfArray(VT_ARRAY | VT_VARIANT,
              SafeArrayCreate(VT_VARIANT, static_cast<UINT>(bounds.size()), bounds.data()));
  std::vector<LONG> at(bounds.size());
  for (std::size_t k = 0; k < bounds.size(); ++k) {
    at[k] = bounds[k].lLbound;
  }
  for (LONG i = 0; i < static_cast<LONG>(bounds[0].cElements); ++i) {
    for (LONG j = 0; j < static_cast<LONG>(bounds[1].cElements); ++j) {
      at[0] = bounds[0].lLbound + i;
      at[1] = bounds[1].lLbound + j;
      Variant number = Variant::of_double(10.0 * (i + 1) + (j + 1));
      EXPECT_EQ(SafeArrayPutElement(V_ARRAY(array.get()), at.data(), number.get()), S_OK);
    }
  }
  return array;
}

// The array with `odd` put at the indices `at` (the left-most dimension's first).
Variant WithElement(Variant array, std::vector<LONG> at, const Variant& odd) {
  EXPECT_EQ(SafeArrayPutElement(V_ARRAY(array.get()), at.data(), const_cast<VARIANT*>(odd.get())),
            S_OK);
  return array;
}

// Value read whole, as Excel gives it: one cell alone, a multi-cell area as a 2-D array, rows
// first. Anything else is a type mismatch, and what was refused is released all the same.
TEST(HostAdapters, ValuesReadsOneCellOrATwoDimensionalArray) {
  const ComPtr<FakeObject> object = FakeObject::Create(Type());
  const Variant element = Variant::of_dispatch(object.get());
  SAFEARRAYBOUND twoByOne[] = {{2, 1}, {1, 1}};
  Variant held = Block({{2, 1}, {3, 1}});
  SAFEARRAY* heldArray = V_ARRAY(held.get());
  Variant byReference = OfArray(VT_ARRAY | VT_VARIANT | VT_BYREF, nullptr);
  V_ARRAYREF(byReference.get()) = &heldArray;

  using Numbers = std::vector<double>;
  const Numbers twoByThree = {11, 12, 13, 21, 22, 23};
  const struct {
    const char* what;
    Variant value;
    std::int32_t rows;  // 0: refused as a type mismatch
    std::int32_t columns;
    Numbers numbers;  // row by row
  } cases[] = {
      {"one cell", Variant::of_double(7), 1, 1, {7}},
      {"2x3", Block({{2, 1}, {3, 1}}), 2, 3, twoByThree},
      {"3x1", Block({{3, 1}, {1, 1}}), 3, 1, {11, 21, 31}},
      {"1x3", Block({{1, 1}, {3, 1}}), 1, 3, {11, 12, 13}},
      {"lower bounds 0 and -2", Block({{2, 0}, {3, -2}}), 2, 3, twoByThree},
      {"by reference", std::move(byReference), 2, 3, twoByThree},
      {"1-D",
       WithElement(OfArray(VT_ARRAY | VT_VARIANT, SafeArrayCreateVector(VT_VARIANT, 1, 2)), {2},
                   element),
       0,
       0,
       {}},
      {"3-D", WithElement(Block({{2, 1}, {1, 1}, {1, 1}}), {2, 1, 1}, element), 0, 0, {}},
      {"text elements",
       OfArray(VT_ARRAY | VT_BSTR, SafeArrayCreate(VT_BSTR, 2, twoByOne)),
       0,
       0,
       {}},
      {"no array", OfArray(VT_ARRAY | VT_VARIANT, nullptr), 0, 0, {}},
      {"an array element",
       WithElement(Block({{2, 1}, {1, 1}}), {2, 1},
                   WithElement(Block({{1, 1}, {1, 1}}), {1, 1}, element)),
       0,
       0,
       {}},
      {"an object element", WithElement(Block({{1, 1}, {2, 1}}), {1, 2}, element), 0, 0, {}},
  };
  const ULONG references = object->references();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeExcel excel;
    excel.range->Set(u"Value", c.value.copy());
    const auto range = com::WrapExcelApplication(excel.app.get())->Selection();
    if (c.rows == 0) {
      EXPECT_EQ(ErrorOf([&] { range->Values(); }), errors::kTypeMismatch);
    } else {
      const host::CellValues block = range->Values();
      EXPECT_EQ(std::make_pair(block.rows, block.columns), std::make_pair(c.rows, c.columns));
      EXPECT_EQ(block.values, std::vector<host::CellValue>(c.numbers.begin(), c.numbers.end()));
    }
    excel.range->Set(u"Value", Variant());  // the fake objects hold one another: never freed
  }
  EXPECT_EQ(object->references(), references);
}

}  // namespace
}  // namespace morvane::test
