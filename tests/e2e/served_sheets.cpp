// The active workbook's Sheets collection and its worksheets.

#include "tests/e2e/served_objects.h"

namespace morvane::e2e {
namespace {

// XlSheetVisibility.
constexpr std::int32_t kVisible = -1;
constexpr std::int32_t kHidden = 0;

class ServedWorksheet : public ServedObject, public HostObjectHolder<host::Sheet> {
 public:
  ServedWorksheet(std::shared_ptr<ServedHost> host, std::shared_ptr<host::Sheet> sheet);

  std::shared_ptr<host::Sheet> HostObject() const override { return sheet_; }

  void Name(Call& call) { call.ReturnText(sheet_->Name()); }
  void SetName(Call& call) { sheet_->SetName(call.PutText()); }
  void SetVisible(Call& call) {
    // Only Excel's own values: a C-style TRUE (1) is not xlSheetVisible, and very hidden (2) is
    // not something the host model lets the add-in ask for.
    switch (call.PutInt()) {
      case kVisible:
        sheet_->SetVisible(true);
        return;
      case kHidden:
        sheet_->SetVisible(false);
        return;
      default:
        throw host::HostError(errors::kExcelError,
                              u"Unable to set the Visible property of the Worksheet class");
    }
  }
  void Copy(Call& call) {
    if (call.Arg(0) != nullptr || call.Arg(1) == nullptr) {
      // With Before, or with neither (a copy into a new workbook): not modelled.
      throw host::HostError(errors::kFail, u"simulated Excel models Copy with After only");
    }
    const auto after = HostObjectOf<host::Sheet>(call.ObjectArg(1), call.RgIndex(1));
    if (!after) {
      throw DispatchFault{DISP_E_TYPEMISMATCH, call.RgIndex(1)};
    }
    sheet_->CopyAfter(*after);
  }
  void Delete(Call&) { sheet_->Delete(); }
  void Activate(Call&) { sheet_->Activate(); }
  void UsedRange(Call& call) { call.ReturnObject(ServeRange(SharedHost(), sheet_->UsedRange())); }
  void Range(Call& call) {
    if (call.Arg(1) != nullptr) {
      throw host::HostError(errors::kFail, u"simulated Excel models Range with one address only");
    }
    const std::optional<std::u16string> address = call.TextArg(0);
    if (!address) {
      throw DispatchFault{DISP_E_PARAMNOTFOUND, call.RgIndex(0)};
    }
    call.ReturnObject(ServeRange(SharedHost(), sheet_->Range(*address)));
  }

 private:
  static const Member kMembers[];
  std::shared_ptr<host::Sheet> sheet_;
};

// Excel's DISPIDs for _Worksheet.
const Member ServedWorksheet::kMembers[] = {
    {L"Name", 0x6E, {}, Bind<&ServedWorksheet::Name>, Bind<&ServedWorksheet::SetName>},
    {L"Visible", 0x22E, {}, nullptr, Bind<&ServedWorksheet::SetVisible>},
    {L"Copy", 0x227, {L"Before", L"After"}, Bind<&ServedWorksheet::Copy>},
    {L"Delete", 0x75, {}, Bind<&ServedWorksheet::Delete>},
    {L"Activate", 0x130, {}, Bind<&ServedWorksheet::Activate>},
    {L"UsedRange", 0x19C, {}, Bind<&ServedWorksheet::UsedRange>},
    {L"Range", 0xC5, {L"Cell1", L"Cell2"}, Bind<&ServedWorksheet::Range>},
};

ServedWorksheet::ServedWorksheet(std::shared_ptr<ServedHost> host,
                                 std::shared_ptr<host::Sheet> sheet)
    : ServedObject(std::move(host), L"Worksheet", kMembers), sheet_(std::move(sheet)) {}

class ServedSheets : public ServedObject {
 public:
  ServedSheets(std::shared_ptr<ServedHost> host, std::shared_ptr<host::Sheets> sheets);

  void Count(Call& call) { call.Return(com::Variant::of_int(sheets_->Count())); }
  void Item(Call& call) {
    const VARIANT* index = call.Arg(0);
    if (index == nullptr) {
      throw DispatchFault{DISP_E_PARAMNOTFOUND};
    }
    if (V_VT(index) == VT_BSTR) {
      call.ReturnObject(ServeSheet(SharedHost(), sheets_->Item(*call.TextArg(0))));
    } else {
      call.ReturnObject(ServeSheet(SharedHost(), sheets_->Item(call.NeedInt(0))));
    }
  }

 private:
  static const Member kMembers[];
  std::shared_ptr<host::Sheets> sheets_;
};

// Excel's DISPIDs for Sheets; _Default is Item.
const Member ServedSheets::kMembers[] = {
    {L"Count", 0x76, {}, Bind<&ServedSheets::Count>},
    {L"Item", 0xAA, {L"Index"}, Bind<&ServedSheets::Item>},
    {L"_Default", DISPID_VALUE, {L"Index"}, Bind<&ServedSheets::Item>},
};

ServedSheets::ServedSheets(std::shared_ptr<ServedHost> host, std::shared_ptr<host::Sheets> sheets)
    : ServedObject(std::move(host), L"Sheets", kMembers), sheets_(std::move(sheets)) {}

}  // namespace

com::ComPtr<IDispatch> ServeSheet(const std::shared_ptr<ServedHost>& host,
                                  std::shared_ptr<host::Sheet> sheet) {
  if (!sheet) {
    return {};
  }
  return Serve<ServedWorksheet>(host, std::move(sheet));
}

com::ComPtr<IDispatch> ServeSheets(const std::shared_ptr<ServedHost>& host,
                                   std::shared_ptr<host::Sheets> sheets) {
  return Serve<ServedSheets>(host, std::move(sheets));
}

}  // namespace morvane::e2e
