// Application and the small objects it hands out: Workbooks, WorksheetFunction, COMAddIns and
// COMAddIn.

#include <string>

#include "tests/e2e/served_excel.h"
#include "tests/e2e/served_objects.h"

namespace morvane::e2e {
namespace {

class ServedWorkbooks : public ServedObject {
 public:
  explicit ServedWorkbooks(std::shared_ptr<ServedHost> host);

  void Count(Call& call) { call.Return(com::Variant::of_int(Host().excel->WorkbooksCount())); }

 private:
  static const Member kMembers[];
};

const Member ServedWorkbooks::kMembers[] = {
    {L"Count", 0x76, {}, Bind<&ServedWorkbooks::Count>},
};

ServedWorkbooks::ServedWorkbooks(std::shared_ptr<ServedHost> host)
    : ServedObject(std::move(host), L"Workbooks", kMembers) {}

class ServedWorksheetFunction : public ServedObject {
 public:
  explicit ServedWorksheetFunction(std::shared_ptr<ServedHost> host);

  void CountA(Call& call) {
    if (call.Arg(1) != nullptr) {
      NotModelled(u"CountA with more than one argument");
    }
    call.Return(com::Variant::of_double(
        Host().excel->CountA(HostObjectOf<host::Range>(call.ObjectArg(0), call.RgIndex(0)))));
  }

 private:
  static const Member kMembers[];
};

// CountA's DISPID is not in our sources; callers find it by name.
const Member ServedWorksheetFunction::kMembers[] = {
    {L"CountA",
     0xA9,
     {L"Arg1", L"Arg2", L"Arg3", L"Arg4", L"Arg5", L"Arg6"},
     Bind<&ServedWorksheetFunction::CountA>},
};

ServedWorksheetFunction::ServedWorksheetFunction(std::shared_ptr<ServedHost> host)
    : ServedObject(std::move(host), L"WorksheetFunction", kMembers) {}

class ServedComAddIn : public ServedObject {
 public:
  ServedComAddIn(std::shared_ptr<ServedHost> host, std::shared_ptr<host::ComAddIn> addIn);

  void SetConnect(Call& call) { addIn_->SetConnect(call.PutBool()); }

 private:
  static const Member kMembers[];
  std::shared_ptr<host::ComAddIn> addIn_;
};

// Office's DISPIDs for COMAddIn are not in our sources; callers find Connect by name.
const Member ServedComAddIn::kMembers[] = {
    {L"Connect", 0x6, {}, nullptr, Bind<&ServedComAddIn::SetConnect>},
};

ServedComAddIn::ServedComAddIn(std::shared_ptr<ServedHost> host,
                               std::shared_ptr<host::ComAddIn> addIn)
    : ServedObject(std::move(host), L"COMAddIn", kMembers), addIn_(std::move(addIn)) {}

class ServedComAddIns : public ServedObject {
 public:
  explicit ServedComAddIns(std::shared_ptr<ServedHost> host);

  void Item(Call& call) {
    call.ReturnObject(
        ServeComAddIn(SharedHost(), Host().excel->ComAddIn(call.NameArg(0, u"COMAddIns"))));
  }

 private:
  static const Member kMembers[];
};

// Item is the collection's default member, as in Office's collections.
const Member ServedComAddIns::kMembers[] = {
    {L"Item", DISPID_VALUE, {L"Index"}, Bind<&ServedComAddIns::Item>},
};

ServedComAddIns::ServedComAddIns(std::shared_ptr<ServedHost> host)
    : ServedObject(std::move(host), L"COMAddIns", kMembers) {}

class ServedApplication : public ServedObject {
 public:
  explicit ServedApplication(std::shared_ptr<ServedHost> host);

  void Version(Call& call) { call.ReturnText(Host().excel->Version()); }
  void Workbooks(Call& call) { call.ReturnObject(Serve<ServedWorkbooks>(SharedHost())); }
  void ActiveSheet(Call& call) {
    call.ReturnObject(ServeSheet(SharedHost(), Host().excel->ActiveSheet()));
  }
  void Sheets(Call& call) { call.ReturnObject(ServeSheets(SharedHost(), Host().excel->Sheets())); }
  void Selection(Call& call) {
    call.ReturnObject(ServeRange(SharedHost(), Host().excel->Selection()));
  }
  void WorksheetFunction(Call& call) {
    call.ReturnObject(Serve<ServedWorksheetFunction>(SharedHost()));
  }
  void Intersect(Call& call) {
    if (call.Arg(2) != nullptr) {
      NotModelled(u"Intersect of more than two ranges");
    }
    const auto a = HostObjectOf<host::Range>(call.ObjectArg(0), call.RgIndex(0));
    const auto b = HostObjectOf<host::Range>(call.ObjectArg(1), call.RgIndex(1));
    call.ReturnObject(ServeRange(SharedHost(), Host().excel->Intersect(a, b)));
  }
  void SetEnableCancelKey(Call& call) { Host().excel->SetEnableCancelKey(call.PutInt()); }
  void SetStatusBar(Call& call) {
    if (V_VT(&call.PutValue()) == VT_BOOL) {
      NotModelled(u"StatusBar := False (handing the bar back)");
    }
    Host().excel->SetStatusBar(call.PutText());
  }
  void SetScreenUpdating(Call& call) { Host().excel->SetScreenUpdating(call.PutBool()); }
  void SetCalculation(Call& call) { Host().excel->SetCalculation(call.PutInt()); }
  void SetDisplayAlerts(Call& call) { Host().excel->SetDisplayAlerts(call.PutBool()); }
  void ComAddIns(Call& call) { call.ReturnObject(ServeComAddIns(SharedHost())); }
  void CommandBars(Call& call) { call.ReturnObject(ServeCommandBars(SharedHost())); }

 private:
  void* ExtraInterface(REFIID iid) override {
    return iid == com::kIidExcelApplication ? static_cast<IDispatch*>(this) : nullptr;
  }

  static const Member kMembers[];
};

// Excel's DISPIDs (from its type library).
const Member ServedApplication::kMembers[] = {
    {L"Version", 0x188, {}, Bind<&ServedApplication::Version>},
    {L"Workbooks", 0x23C, {}, Bind<&ServedApplication::Workbooks>},
    {L"ActiveSheet", 0x133, {}, Bind<&ServedApplication::ActiveSheet>},
    {L"Sheets", 0x1E5, {}, Bind<&ServedApplication::Sheets>},
    {L"Selection", 0x93, {}, Bind<&ServedApplication::Selection>},
    {L"WorksheetFunction", 0x5A0, {}, Bind<&ServedApplication::WorksheetFunction>},
    {L"Intersect",
     0x2FE,
     {L"Arg1", L"Arg2", L"Arg3", L"Arg4", L"Arg5", L"Arg6"},
     Bind<&ServedApplication::Intersect>},
    {L"EnableCancelKey", 0x448, {}, nullptr, Bind<&ServedApplication::SetEnableCancelKey>},
    {L"StatusBar", 0x182, {}, nullptr, Bind<&ServedApplication::SetStatusBar>},
    {L"ScreenUpdating", 0x17E, {}, nullptr, Bind<&ServedApplication::SetScreenUpdating>},
    {L"Calculation", 0x13C, {}, nullptr, Bind<&ServedApplication::SetCalculation>},
    {L"DisplayAlerts", 0x157, {}, nullptr, Bind<&ServedApplication::SetDisplayAlerts>},
    {L"COMAddIns", 0x704, {}, Bind<&ServedApplication::ComAddIns>},
    {L"CommandBars", 0x59F, {}, Bind<&ServedApplication::CommandBars>},
};

ServedApplication::ServedApplication(std::shared_ptr<ServedHost> host)
    : ServedObject(std::move(host), L"Application", kMembers) {}

}  // namespace

com::ComPtr<IDispatch> ServeApplication(std::shared_ptr<ServedHost> host) {
  return Serve<ServedApplication>(std::move(host));
}

com::ComPtr<IDispatch> ServeComAddIn(std::shared_ptr<ServedHost> host,
                                     std::shared_ptr<host::ComAddIn> addIn) {
  return Serve<ServedComAddIn>(std::move(host), std::move(addIn));
}

com::ComPtr<IDispatch> ServeComAddIns(const std::shared_ptr<ServedHost>& host) {
  return Serve<ServedComAddIns>(host);
}

}  // namespace morvane::e2e
