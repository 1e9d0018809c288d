// CommandBars, a CommandBar, its CommandBarControls and a CommandBarControl, whose buttons raise
// Click through a connection point for _CommandBarButtonEvents.

#include <ocidl.h>
#include <olectl.h>

#include "tests/e2e/harness_text.h"
#include "tests/e2e/served_excel.h"
#include "tests/e2e/served_objects.h"

namespace morvane::e2e {
namespace {

// _CommandBarButtonEvents.Click.
constexpr DISPID kClickDispid = 1;
constexpr LCID kEnglishUs = 0x0409;

// Raises Click on one sink the way Office does: Ctrl first, CancelDefault by reference, in
// reverse order in rgvarg. The sink stays referenced for the length of its call.
void RaiseClick(const std::weak_ptr<ServedHost>& weakHost, const com::ComPtr<IDispatch>& sink,
                const std::shared_ptr<host::CommandBarControl>& ctrl, bool& cancelDefault) {
  const std::shared_ptr<ServedHost> host = weakHost.lock();
  if (!host) {
    return;
  }
  const com::ComPtr<IDispatch> keep = sink;
  com::ComPtr<IDispatch> button = ServeControl(host, ctrl);
  VARIANT_BOOL cancel = cancelDefault ? VARIANT_TRUE : VARIANT_FALSE;
  VARIANTARG args[2];
  VariantInit(&args[0]);
  VariantInit(&args[1]);
  V_VT(&args[1]) = VT_DISPATCH;
  V_DISPATCH(&args[1]) = button.get();
  V_VT(&args[0]) = VT_BOOL | VT_BYREF;
  V_BOOLREF(&args[0]) = &cancel;
  DISPPARAMS params{args, nullptr, 2, 0};
  EXCEPINFO exception{};
  UINT argError = 0;
  const HRESULT hr = keep->Invoke(kClickDispid, IID_NULL, kEnglishUs, DISPATCH_METHOD, &params,
                                  nullptr, &exception, &argError);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  if (FAILED(hr)) {
    host->sinkFailures.push_back("Click sink returned " + Hex(hr));
  }
  cancelDefault = cancel != VARIANT_FALSE;
}

class ClickPoint final : public com::ComObject<ClickPoint, IConnectionPoint> {
 public:
  static constexpr com::InterfaceEntry<ClickPoint> kInterfaces[] = {
      {&IID_IUnknown, com::As<ClickPoint, IConnectionPoint>},
      {&IID_IConnectionPoint, com::As<ClickPoint, IConnectionPoint>}};

  ClickPoint(std::shared_ptr<ServedHost> host, com::ComPtr<IConnectionPointContainer> container,
             std::shared_ptr<host::CommandBarControl> control)
      : host_(std::move(host)), container_(std::move(container)), control_(std::move(control)) {}

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
    if (iid == nullptr) {
      return E_POINTER;
    }
    *iid = DIID__CommandBarButtonEvents;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override {
    if (out == nullptr) {
      return E_POINTER;
    }
    container_.copy_to(out);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sinkUnknown, DWORD* cookie) override {
    if (cookie == nullptr) {
      return E_POINTER;
    }
    *cookie = 0;
    if (GetCurrentThreadId() != host_->uiThread) {
      return RPC_E_WRONG_THREAD;
    }
    if (sinkUnknown == nullptr) {
      return E_POINTER;
    }
    // The sink must speak the outgoing interface.
    com::ComPtr<IDispatch> sink;
    if (FAILED(sinkUnknown->QueryInterface(DIID__CommandBarButtonEvents, sink.put_void())) ||
        !sink) {
      return CONNECT_E_CANNOTCONNECT;
    }
    const std::weak_ptr<ServedHost> weakHost = host_;
    try {
      auto connection = control_->ConnectClick(
          [weakHost, sink](const std::shared_ptr<host::CommandBarControl>& ctrl,
                           bool& cancelDefault) {
            RaiseClick(weakHost, sink, ctrl, cancelDefault);
          });
      const DWORD given = ++host_->lastCookie;
      host_->clickAdvises[given] = ClickAdvise{std::move(connection)};
      *cookie = given;
      return S_OK;
    } catch (const host::HostError& error) {
      return error.hresult();
    }
  }

  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    if (GetCurrentThreadId() != host_->uiThread) {
      return RPC_E_WRONG_THREAD;
    }
    const auto found = host_->clickAdvises.find(cookie);
    if (found == host_->clickAdvises.end()) {
      return CONNECT_E_NOCONNECTION;
    }
    // Moved out first: ending the connection releases the sink, which may call back in.
    ClickAdvise ending = std::move(found->second);
    host_->clickAdvises.erase(found);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override {
    if (out != nullptr) {
      *out = nullptr;
    }
    return E_NOTIMPL;
  }

 private:
  LiveToken live_;
  std::shared_ptr<ServedHost> host_;
  com::ComPtr<IConnectionPointContainer> container_;
  std::shared_ptr<host::CommandBarControl> control_;
};

class ServedControls;

// A COM object dies in its own Release, never through an interface: no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class ServedControl : public ServedObject, public IConnectionPointContainer {
 public:
  ServedControl(std::shared_ptr<ServedHost> host, std::shared_ptr<host::CommandBarControl> control);

  // IConnectionPointContainer shares the object's identity and count.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return ServedObject::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ServedObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return ServedObject::Release(); }

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override {
    if (out != nullptr) {
      *out = nullptr;
    }
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
    if (out == nullptr) {
      return E_POINTER;
    }
    *out = nullptr;
    if (iid != DIID__CommandBarButtonEvents) {
      return CONNECT_E_NOCONNECTION;
    }
    *out = new ClickPoint(SharedHost(), com::ComPtr<IConnectionPointContainer>(this), control_);
    return S_OK;
  }

  void SetCaption(Call& call) { control_->SetCaption(call.PutText()); }
  void Tag(Call& call) { call.ReturnText(control_->Tag()); }
  void SetTag(Call& call) { control_->SetTag(call.PutText()); }
  void SetFaceId(Call& call) { control_->SetFaceId(call.PutInt()); }
  void SetStyle(Call& call) { control_->SetStyle(call.PutInt()); }
  void SetParameter(Call& call) { control_->SetParameter(call.PutText()); }
  void SetBeginGroup(Call& call) { control_->SetBeginGroup(call.PutBool()); }
  void SetVisible(Call& call) { control_->SetVisible(call.PutBool()); }
  void Delete(Call& call) {
    if (call.Arg(0) != nullptr) {
      throw host::HostError(errors::kFail, u"simulated Excel models Delete without Temporary");
    }
    control_->Delete();
  }
  void Controls(Call& call);

 private:
  void* ExtraInterface(REFIID iid) override {
    return iid == IID_IConnectionPointContainer ? static_cast<IConnectionPointContainer*>(this)
                                                : nullptr;
  }

  static const Member kMembers[];
  std::shared_ptr<host::CommandBarControl> control_;
};
#pragma GCC diagnostic pop

class ServedControls : public ServedObject {
 public:
  ServedControls(std::shared_ptr<ServedHost> host,
                 std::shared_ptr<host::CommandBarControls> controls);

  void Add(Call& call) {
    host::ControlAddArgs args;
    args.type = call.IntArg(0);
    args.id = call.IntArg(1);
    args.parameter = call.TextArg(2);
    args.before = call.IntArg(3);
    args.temporary = call.BoolArg(4);
    call.ReturnObject(ServeControl(SharedHost(), controls_->Add(args)));
  }
  void Item(Call& call) {
    call.ReturnObject(ServeControl(SharedHost(), controls_->Item(call.NameArg(0, u"Controls"))));
  }

 private:
  static const Member kMembers[];
  std::shared_ptr<host::CommandBarControls> controls_;
};

// Office's DISPIDs for these objects are not in our sources; callers find the members by name.
// Item is each collection's default member.
const Member ServedControls::kMembers[] = {
    {L"Add",
     0x60030003,
     {L"Type", L"Id", L"Parameter", L"Before", L"Temporary"},
     Bind<&ServedControls::Add>},
    {L"Item", DISPID_VALUE, {L"Index"}, Bind<&ServedControls::Item>},
};

ServedControls::ServedControls(std::shared_ptr<ServedHost> host,
                               std::shared_ptr<host::CommandBarControls> controls)
    : ServedObject(std::move(host), L"CommandBarControls", kMembers),
      controls_(std::move(controls)) {}

const Member ServedControl::kMembers[] = {
    {L"Caption", 0x60040010, {}, nullptr, Bind<&ServedControl::SetCaption>},
    {L"Tag", 0x6004002c, {}, Bind<&ServedControl::Tag>, Bind<&ServedControl::SetTag>},
    {L"FaceId", 0x60050006, {}, nullptr, Bind<&ServedControl::SetFaceId>},
    {L"Style", 0x60050012, {}, nullptr, Bind<&ServedControl::SetStyle>},
    {L"Parameter", 0x60040024, {}, nullptr, Bind<&ServedControl::SetParameter>},
    {L"BeginGroup", 0x60040004, {}, nullptr, Bind<&ServedControl::SetBeginGroup>},
    {L"Visible", 0x60040032, {}, nullptr, Bind<&ServedControl::SetVisible>},
    {L"Delete", 0x6004000d, {L"Temporary"}, Bind<&ServedControl::Delete>},
    {L"Controls", 0x60050000, {}, Bind<&ServedControl::Controls>},
};

ServedControl::ServedControl(std::shared_ptr<ServedHost> host,
                             std::shared_ptr<host::CommandBarControl> control)
    : ServedObject(std::move(host), L"CommandBarControl", kMembers), control_(std::move(control)) {}

void ServedControl::Controls(Call& call) {
  call.ReturnObject(Serve<ServedControls>(SharedHost(), control_->Controls()));
}

class ServedBar : public ServedObject {
 public:
  ServedBar(std::shared_ptr<ServedHost> host, std::shared_ptr<host::CommandBar> bar);

  void SetVisible(Call& call) { bar_->SetVisible(call.PutBool()); }
  void Controls(Call& call) {
    call.ReturnObject(Serve<ServedControls>(SharedHost(), bar_->Controls()));
  }

 private:
  static const Member kMembers[];
  std::shared_ptr<host::CommandBar> bar_;
};

const Member ServedBar::kMembers[] = {
    {L"Visible", 0x60030017, {}, nullptr, Bind<&ServedBar::SetVisible>},
    {L"Controls", 0x60030006, {}, Bind<&ServedBar::Controls>},
};

ServedBar::ServedBar(std::shared_ptr<ServedHost> host, std::shared_ptr<host::CommandBar> bar)
    : ServedObject(std::move(host), L"CommandBar", kMembers), bar_(std::move(bar)) {}

class ServedBars : public ServedObject {
 public:
  explicit ServedBars(std::shared_ptr<ServedHost> host);

  void Item(Call& call) {
    call.ReturnObject(
        Serve<ServedBar>(SharedHost(), Host().excel->CommandBar(call.NameArg(0, u"CommandBars"))));
  }

 private:
  static const Member kMembers[];
};

const Member ServedBars::kMembers[] = {
    {L"Item", DISPID_VALUE, {L"Index"}, Bind<&ServedBars::Item>},
};

ServedBars::ServedBars(std::shared_ptr<ServedHost> host)
    : ServedObject(std::move(host), L"CommandBars", kMembers) {}

}  // namespace

com::ComPtr<IDispatch> ServeCommandBars(const std::shared_ptr<ServedHost>& host) {
  return Serve<ServedBars>(host);
}

com::ComPtr<IDispatch> ServeControl(const std::shared_ptr<ServedHost>& host,
                                    std::shared_ptr<host::CommandBarControl> control) {
  if (!control) {
    return {};
  }
  return Serve<ServedControl>(host, std::move(control));
}

}  // namespace morvane::e2e
