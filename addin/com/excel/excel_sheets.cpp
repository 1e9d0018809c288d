// Sheet over Excel's Worksheet (or Chart) and Sheets over the active workbook's Sheets.

#include "addin/com/excel/adapters.h"
#include "addin/com/excel/result_values.h"

namespace morvane::com {
namespace {

class ExcelSheet final : public host::Sheet, public DispatchBacked {
 public:
  using DispatchBacked::DispatchBacked;

  std::u16string Name() override { return TextOf(object_.Invoke(u"Name", kGet), u"Name"); }

  void SetName(const std::u16string& name) override {
    invoke(object_, u"Name", kPut, Variant::of_string(name));
  }

  // True is xlSheetVisible (-1) and False xlSheetHidden (0): the VARIANT_BOOL values are the
  // very XlSheetVisibility values.
  void SetVisible(bool visible) override {
    invoke(object_, u"Visible", kPut, Variant::of_bool(visible));
  }

  // Before is left out; with both omitted Excel would copy into a new workbook instead.
  void CopyAfter(host::Sheet& after) override {
    invoke(object_, u"Copy", kCall, Arg{}, Variant::of_dispatch(ArgumentObject(&after)));
  }

  void Delete() override { object_.Invoke(u"Delete", kCall); }
  void Activate() override { object_.Invoke(u"Activate", kCall); }

  std::shared_ptr<host::Range> UsedRange() override {
    return Wrapped(object_, object_.Invoke(u"UsedRange", kGet), u"UsedRange", MakeRange);
  }

  std::shared_ptr<host::Range> Range(const std::u16string& address) override {
    return Wrapped(object_, invoke(object_, u"Range", kGet, Variant::of_string(address)), u"Range",
                   MakeRange);
  }
};

class ExcelSheets final : public host::Sheets, public DispatchBacked {
 public:
  using DispatchBacked::DispatchBacked;

  std::int32_t Count() override { return Int32Of(object_.Invoke(u"Count", kGet), u"Count"); }

  std::shared_ptr<host::Sheet> Item(std::int32_t index) override {
    return Wrapped(object_, invoke(object_, u"Item", kCallOrGet, Variant::of_int(index)), u"Item",
                   MakeSheet);
  }

  std::shared_ptr<host::Sheet> Item(const std::u16string& name) override {
    return Wrapped(object_, invoke(object_, u"Item", kCallOrGet, Variant::of_string(name)), u"Item",
                   MakeSheet);
  }
};

}  // namespace

std::shared_ptr<host::Sheet> MakeSheet(DispatchObject object) {
  return std::make_shared<ExcelSheet>(std::move(object));
}

std::shared_ptr<host::Sheets> MakeSheets(DispatchObject object) {
  return std::make_shared<ExcelSheets>(std::move(object));
}

}  // namespace morvane::com
