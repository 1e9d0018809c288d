// Every member of the host model reaches the right Excel or Office member, the right way, with
// the right arguments; Nothing and foreign objects are handled as the macro language does.

#include <gtest/gtest.h>

#include "addin/com/excel/excel_application.h"
#include "excel_dispatch/fake_dispatch.h"

namespace morvane::test {
namespace {

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
    range->Set(u"Value", Variant::of_double(4));
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
    return {app.get(),   workbooks.get(), sheets.get(),   sheet.get(),
            range.get(), functions.get(), addIns.get(),   addIn.get(),
            bars.get(),  bar.get(),       controls.get(), control.get()};
  }

  ComPtr<FakeObject> app = FakeObject::Create(Type({{u"Version", 0x188},
                                                    {u"Workbooks", 0x23C},
                                                    {u"ActiveSheet", 0x133},
                                                    {u"Sheets", 0x1E5},
                                                    {u"Selection", 0x93},
                                                    {u"WorksheetFunction", 0x5A0},
                                                    {u"Intersect", 0x2FE},
                                                    {u"EnableCancelKey", 0x448},
                                                    {u"StatusBar", 0x182},
                                                    {u"ScreenUpdating", 0x17E},
                                                    {u"Calculation", 0x13C},
                                                    {u"DisplayAlerts", 0x157},
                                                    {u"COMAddIns", 0x704},
                                                    {u"CommandBars", 0x59F}}));
  ComPtr<FakeObject> workbooks = FakeObject::Create(Type({{u"Count", 0x76}}));
  ComPtr<FakeObject> sheets = FakeObject::Create(Type({{u"Count", 0x76}, {u"Item", 0xAA}}));
  ComPtr<FakeObject> sheet = FakeObject::Create(Type({{u"Name", 0x6E},
                                                      {u"Visible", 0x22E},
                                                      {u"Copy", 0x227},
                                                      {u"Delete", 0x75},
                                                      {u"Activate", 0x130}}));
  ComPtr<FakeObject> range = FakeObject::Create(Type({{u"SpecialCells", 0x19A}, {u"Value", 6}}));
  ComPtr<FakeObject> functions = FakeObject::Create(Type({{u"CountA", 0x4000}}));
  ComPtr<FakeObject> addIns = FakeObject::Create(Type({{u"Item", 0}}));
  ComPtr<FakeObject> addIn = FakeObject::Create(Type({{u"Connect", 6}}));
  ComPtr<FakeObject> bars = FakeObject::Create(Type({{u"Item", 0}}));
  ComPtr<FakeObject> bar = FakeObject::Create(Type({{u"Visible", 0x60030009}, {u"Controls", 3}}));
  ComPtr<FakeObject> controls = FakeObject::Create(Type({{u"Add", 3}, {u"Item", 0}}));
  ComPtr<FakeObject> control = FakeObject::Create(Type({{u"Caption", 0x60030008},
                                                        {u"Tag", 0x60030015},
                                                        {u"FaceId", 0x6003000C},
                                                        {u"Style", 0x60030010},
                                                        {u"Parameter", 0x60030013},
                                                        {u"BeginGroup", 0x60030001},
                                                        {u"Visible", 0x6003001F},
                                                        {u"Delete", 0x60030006},
                                                        {u"Controls", 0x60030020}}));
};

struct Wiring {
  const char* what;
  std::function<void(host::Application&)> act;
  ComPtr<FakeObject> FakeExcel::*object;
  std::u16string member;
  WORD flags;
  std::vector<std::string> args;
};

constexpr WORD kGet = DISPATCH_PROPERTYGET;
constexpr WORD kPut = DISPATCH_PROPERTYPUT;
constexpr WORD kCall = DISPATCH_METHOD;
constexpr WORD kItem = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

TEST(HostAdapters, EachMemberReachesItsExcelMember) {
  using host::Application;
  const auto sheet = [](Application& a) { return a.ActiveSheet(); };
  const auto selection = [](Application& a) { return a.Selection(); };
  const auto menu = [](Application& a) {
    return a.CommandBar(u"Worksheet Menu Bar")->Controls()->Item(u"&Morvane");
  };
  const Wiring table[] = {
      {"Version",
       [](Application& a) { EXPECT_EQ(a.Version(), u"11.0"); },
       &FakeExcel::app,
       u"Version",
       kGet,
       {}},
      {"WorkbooksCount",
       [](Application& a) { EXPECT_EQ(a.WorkbooksCount(), 2); },
       &FakeExcel::workbooks,
       u"Count",
       kGet,
       {}},
      {"Sheets.Count",
       [](Application& a) { EXPECT_EQ(a.Sheets()->Count(), 3); },
       &FakeExcel::sheets,
       u"Count",
       kGet,
       {}},
      {"Sheets.Item(index)",
       [](Application& a) { a.Sheets()->Item(2); },
       &FakeExcel::sheets,
       u"Item",
       kItem,
       {"I4 2"}},
      {"Sheets.Item(name)",
       [](Application& a) { a.Sheets()->Item(u"Data_Undo"); },
       &FakeExcel::sheets,
       u"Item",
       kItem,
       {"BSTR Data_Undo"}},
      {"Sheet.Name",
       [&](Application& a) { EXPECT_EQ(sheet(a)->Name(), u"Data"); },
       &FakeExcel::sheet,
       u"Name",
       kGet,
       {}},
      {"Sheet.SetName",
       [&](Application& a) { sheet(a)->SetName(u"Data_Redo"); },
       &FakeExcel::sheet,
       u"Name",
       kPut,
       {"BSTR Data_Redo"}},
      {"Sheet.SetVisible",
       [&](Application& a) { sheet(a)->SetVisible(false); },
       &FakeExcel::sheet,
       u"Visible",
       kPut,
       {"False"}},
      {"Sheet.CopyBefore",
       [&](Application& a) { sheet(a)->CopyBefore(*sheet(a)); },
       &FakeExcel::sheet,
       u"Copy",
       kCall,
       {"object"}},
      {"Sheet.Delete",
       [&](Application& a) { sheet(a)->Delete(); },
       &FakeExcel::sheet,
       u"Delete",
       kCall,
       {}},
      {"Sheet.Activate",
       [&](Application& a) { sheet(a)->Activate(); },
       &FakeExcel::sheet,
       u"Activate",
       kCall,
       {}},
      {"Range.SpecialCells",
       [&](Application& a) { selection(a)->SpecialCells(2); },
       &FakeExcel::range,
       u"SpecialCells",
       kCall,
       {"I4 2"}},
      {"Range.Value",
       [&](Application& a) { EXPECT_EQ(selection(a)->Value(), host::CellValue(4.0)); },
       &FakeExcel::range,
       u"Value",
       kGet,
       {}},
      {"Range.SetValue",
       [&](Application& a) { selection(a)->SetValue(u"'TRUE"); },
       &FakeExcel::range,
       u"Value",
       kPut,
       {"BSTR 'TRUE"}},
      {"CountA",
       [&](Application& a) { EXPECT_EQ(a.CountA(selection(a)), 5); },
       &FakeExcel::functions,
       u"CountA",
       kCall,
       {"object"}},
      {"Intersect",
       [&](Application& a) { EXPECT_TRUE(a.Intersect(selection(a), selection(a))); },
       &FakeExcel::app,
       u"Intersect",
       kCall,
       {"object", "object"}},
      {"EnableCancelKey",
       [](Application& a) { a.SetEnableCancelKey(2); },
       &FakeExcel::app,
       u"EnableCancelKey",
       kPut,
       {"I4 2"}},
      {"StatusBar",
       [](Application& a) { a.SetStatusBar(u"Busy"); },
       &FakeExcel::app,
       u"StatusBar",
       kPut,
       {"BSTR Busy"}},
      {"ScreenUpdating",
       [](Application& a) { a.SetScreenUpdating(false); },
       &FakeExcel::app,
       u"ScreenUpdating",
       kPut,
       {"False"}},
      {"Calculation",
       [](Application& a) { a.SetCalculation(-4135); },
       &FakeExcel::app,
       u"Calculation",
       kPut,
       {"I4 -4135"}},
      {"DisplayAlerts",
       [](Application& a) { a.SetDisplayAlerts(true); },
       &FakeExcel::app,
       u"DisplayAlerts",
       kPut,
       {"True"}},
      {"COMAddIns.Item",
       [](Application& a) { a.ComAddIn(u"Morvane.Connect"); },
       &FakeExcel::addIns,
       u"Item",
       kItem,
       {"BSTR Morvane.Connect"}},
      {"ComAddIn.SetConnect",
       [](Application& a) { a.ComAddIn(u"x")->SetConnect(false); },
       &FakeExcel::addIn,
       u"Connect",
       kPut,
       {"False"}},
      {"CommandBars.Item",
       [](Application& a) { a.CommandBar(u"Worksheet Menu Bar"); },
       &FakeExcel::bars,
       u"Item",
       kItem,
       {"BSTR Worksheet Menu Bar"}},
      {"CommandBar.SetVisible",
       [](Application& a) { a.CommandBar(u"x")->SetVisible(true); },
       &FakeExcel::bar,
       u"Visible",
       kPut,
       {"True"}},
      {"CommandBarControls.Item",
       [&](Application& a) { menu(a); },
       &FakeExcel::controls,
       u"Item",
       kItem,
       {"BSTR &Morvane"}},
      {"SetCaption",
       [&](Application& a) { menu(a)->SetCaption(u"&Wizard"); },
       &FakeExcel::control,
       u"Caption",
       kPut,
       {"BSTR &Wizard"}},
      {"Tag",
       [&](Application& a) { EXPECT_EQ(menu(a)->Tag(), u"mvUndo"); },
       &FakeExcel::control,
       u"Tag",
       kGet,
       {}},
      {"SetTag",
       [&](Application& a) { menu(a)->SetTag(u"mvRedo"); },
       &FakeExcel::control,
       u"Tag",
       kPut,
       {"BSTR mvRedo"}},
      {"SetFaceId",
       [&](Application& a) { menu(a)->SetFaceId(128); },
       &FakeExcel::control,
       u"FaceId",
       kPut,
       {"I4 128"}},
      {"SetStyle",
       [&](Application& a) { menu(a)->SetStyle(3); },
       &FakeExcel::control,
       u"Style",
       kPut,
       {"I4 3"}},
      {"SetParameter",
       [&](Application& a) { menu(a)->SetParameter(u"p"); },
       &FakeExcel::control,
       u"Parameter",
       kPut,
       {"BSTR p"}},
      {"SetBeginGroup",
       [&](Application& a) { menu(a)->SetBeginGroup(true); },
       &FakeExcel::control,
       u"BeginGroup",
       kPut,
       {"True"}},
      {"Control.SetVisible",
       [&](Application& a) { menu(a)->SetVisible(false); },
       &FakeExcel::control,
       u"Visible",
       kPut,
       {"False"}},
      {"Control.Delete",
       [&](Application& a) { menu(a)->Delete(); },
       &FakeExcel::control,
       u"Delete",
       kCall,
       {}},
      {"Control.Controls.Add",
       [&](Application& a) {
         menu(a)->Controls()->Add({1, {}, {}, {}, {}});
       },
       &FakeExcel::controls,
       u"Add",
       kCall,
       {"I4 1"}},
  };
  for (const Wiring& row : table) {
    SCOPED_TRACE(row.what);
    FakeExcel excel;
    std::vector<ULONG> before;
    for (FakeObject* object : excel.All()) {
      before.push_back(object->references());
    }
    row.act(*com::WrapExcelApplication(excel.app.get()));
    FakeObject& object = *(excel.*row.object).get();
    ASSERT_FALSE(object.calls().empty());
    const FakeCall& call = object.LastCall();
    EXPECT_EQ(call.id, object.type().names.at(row.member));
    EXPECT_EQ(call.flags, row.flags);
    EXPECT_EQ(ArgumentsOf(call), row.args);
    for (FakeObject* o : excel.All()) {
      o->ClearCalls();
    }
    std::vector<ULONG> after;
    for (FakeObject* o : excel.All()) {
      after.push_back(o->references());
    }
    EXPECT_EQ(after, before);  // every adapter let go of its object
  }
}

TEST(HostAdapters, NothingBecomesNull) {
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

// A range or sheet of another host (the simulated Excel, say).
struct ForeignRange : host::Range {
  std::shared_ptr<host::Range> SpecialCells(int) override { return nullptr; }
  std::unique_ptr<host::CellEnumerator> Cells() override { return nullptr; }
  host::CellValue Value() override { return {}; }
  void SetValue(const host::CellValue&) override {}
};
struct ForeignSheet : host::Sheet {
  std::u16string Name() override { return {}; }
  void SetName(const std::u16string&) override {}
  void SetVisible(bool) override {}
  void CopyBefore(host::Sheet&) override {}
  void Delete() override {}
  void Activate() override {}
};

TEST(HostAdapters, ObjectArgumentsMustBeExcelsOwn) {
  FakeExcel excel;
  const auto app = com::WrapExcelApplication(excel.app.get());
  const auto range = app->Selection();
  const auto foreign = std::make_shared<ForeignRange>();
  ForeignSheet foreignSheet;
  EXPECT_EQ(ErrorOf([&] { app->Intersect(nullptr, range); }), host::kInvalidArgument);
  EXPECT_EQ(ErrorOf([&] { app->Intersect(range, foreign); }), host::kTypeMismatch);
  EXPECT_EQ(ErrorOf([&] { app->CountA(foreign); }), host::kTypeMismatch);
  EXPECT_EQ(ErrorOf([&] { app->ActiveSheet()->CopyBefore(foreignSheet); }), host::kTypeMismatch);
  EXPECT_TRUE(excel.functions->calls().empty());
  EXPECT_TRUE(excel.sheet->calls().empty());
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
  EXPECT_EQ(ErrorOf([&] { app->WorkbooksCount(); }), static_cast<std::int32_t>(0x800A005B));
  // Text where an object belongs.
  excel.app->Set(u"ActiveSheet", Variant::of_string(u"Sheet1"));
  EXPECT_EQ(ErrorOf([&] { app->ActiveSheet(); }), host::kTypeMismatch);
}

}  // namespace
}  // namespace morvane::test
