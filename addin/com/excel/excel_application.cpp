#include "addin/com/excel/excel_application.h"

// The COM server declares the same factory on its side; both must name this one function.

#include "addin/com/excel/adapters.h"
#include "addin/com/excel/result_values.h"
#include "addin/model/errors.h"

namespace morvane::com {
namespace {

class OfficeComAddIn final : public host::ComAddIn, public DispatchBacked {
 public:
  using DispatchBacked::DispatchBacked;

  void SetConnect(bool connect) override {
    invoke(object_, u"Connect", kPut, Variant::of_bool(connect));
  }
};

std::shared_ptr<host::ComAddIn> MakeComAddIn(DispatchObject object) {
  return std::make_shared<OfficeComAddIn>(std::move(object));
}

class ExcelApplication final : public host::Application, public DispatchBacked {
 public:
  using DispatchBacked::DispatchBacked;

  std::u16string Version() override { return TextOf(object_.Invoke(u"Version", kGet), u"Version"); }

  std::int32_t WorkbooksCount() override {
    const DispatchObject workbooks = Property(u"Workbooks");
    return Int32Of(workbooks.Invoke(u"Count", kGet), u"Count");
  }

  std::shared_ptr<host::Sheet> ActiveSheet() override {
    return WrappedOrNothing(object_, object_.Invoke(u"ActiveSheet", kGet), u"ActiveSheet",
                            MakeSheet);
  }

  std::shared_ptr<host::Sheets> Sheets() override {
    return Wrapped(object_, object_.Invoke(u"Sheets", kGet), u"Sheets", MakeSheets);
  }

  // Whatever is selected becomes a Range adapter: a shape or a chart then fails each range
  // member the way a late-bound call on it fails.
  std::shared_ptr<host::Range> Selection() override {
    return WrappedOrNothing(object_, object_.Invoke(u"Selection", kGet), u"Selection", MakeRange);
  }

  double CountA(const std::shared_ptr<host::Range>& range) override {
    IDispatch* argument = ArgumentObject(range.get());
    const DispatchObject functions = Property(u"WorksheetFunction");
    return NumberOf(invoke(functions, u"CountA", kCall, Variant::of_dispatch(argument)), u"CountA");
  }

  std::shared_ptr<host::Range> Intersect(const std::shared_ptr<host::Range>& a,
                                         const std::shared_ptr<host::Range>& b) override {
    IDispatch* first = ArgumentObject(a.get());
    IDispatch* second = ArgumentObject(b.get());
    return WrappedOrNothing(object_,
                            invoke(object_, u"Intersect", kCall, Variant::of_dispatch(first),
                                   Variant::of_dispatch(second)),
                            u"Intersect", MakeRange);
  }

  void SetEnableCancelKey(int value) override {
    invoke(object_, u"EnableCancelKey", kPut, Variant::of_int(value));
  }
  void SetStatusBar(const std::u16string& text) override {
    invoke(object_, u"StatusBar", kPut, Variant::of_string(text));
  }
  void SetScreenUpdating(bool value) override {
    invoke(object_, u"ScreenUpdating", kPut, Variant::of_bool(value));
  }
  void SetCalculation(int value) override {
    invoke(object_, u"Calculation", kPut, Variant::of_int(value));
  }
  void SetDisplayAlerts(bool value) override {
    invoke(object_, u"DisplayAlerts", kPut, Variant::of_bool(value));
  }

  std::shared_ptr<host::ComAddIn> ComAddIn(const std::u16string& progId) override {
    const DispatchObject addIns = Property(u"COMAddIns");
    return Wrapped(addIns, invoke(addIns, u"Item", kCallOrGet, Variant::of_string(progId)), u"Item",
                   MakeComAddIn);
  }

  std::shared_ptr<host::CommandBar> CommandBar(const std::u16string& name) override {
    const DispatchObject bars = Property(u"CommandBars");
    return Wrapped(bars, invoke(bars, u"Item", kCallOrGet, Variant::of_string(name)), u"Item",
                   MakeCommandBar);
  }
};

}  // namespace

std::shared_ptr<host::Application> WrapExcelApplication(IDispatch* application) {
  return std::make_shared<ExcelApplication>(
      DispatchObject(application, std::make_shared<TypeCatalog>()));
}

}  // namespace morvane::com
