#include "addin/com/excel/click_sink.h"

#include <string>
#include <utility>

#include "addin/com/base/advise_cookie.h"
#include "addin/com/base/com_error.h"
#include "addin/com/base/com_object.h"
#include "addin/com/excel/adapters.h"
#include "addin/com/excel/host_error_from_com.h"
#include "office.h"

namespace morvane::com {
namespace {

// Click(Ctrl As CommandBarButton, CancelDefault As Boolean).
constexpr DISPID kClick = 1;
// Its arguments as DISPPARAMS holds them, last first.
constexpr UINT kCtrlArg = 1;
constexpr UINT kCancelDefaultArg = 0;

// The CancelDefault argument, [in, out]: a VARIANT_BOOL by reference, directly or inside a
// VARIANT by reference (how some callers pass every by-reference argument).
VARIANT_BOOL* CancelDefaultOf(VARIANT& arg) {
  if (V_VT(&arg) == (VT_BOOL | VT_BYREF)) {
    return V_BOOLREF(&arg);
  }
  if (V_VT(&arg) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(&arg) != nullptr &&
      V_VT(V_VARIANTREF(&arg)) == VT_BOOL) {
    return &V_BOOL(V_VARIANTREF(&arg));
  }
  return nullptr;
}

// The Ctrl argument: the button as IDispatch (possibly null), or false when it is not one.
bool CtrlOf(VARIANT& arg, IDispatch*& ctrl) {
  if (V_VT(&arg) == VT_DISPATCH) {
    ctrl = V_DISPATCH(&arg);
    return true;
  }
  if (V_VT(&arg) == (VT_DISPATCH | VT_BYREF) && V_DISPATCHREF(&arg) != nullptr) {
    ctrl = *V_DISPATCHREF(&arg);
    return true;
  }
  return false;
}

// Holds the module like every other COM object of the add-in, so a sink still advised keeps
// DllCanUnloadNow from answering yes.
class ClickSink final : public ComObject<ClickSink, IDispatch> {
 public:
  static constexpr InterfaceEntry<ClickSink> kInterfaces[] = {
      {&IID_IUnknown, As<ClickSink, IDispatch>},
      {&IID_IDispatch, As<ClickSink, IDispatch>},
      {&DIID__CommandBarButtonEvents, As<ClickSink, IDispatch>},
  };

  ClickSink(std::shared_ptr<TypeCatalog> catalog, host::ClickHandler handler)
      : catalog_(std::move(catalog)),
        handler_(std::make_shared<const host::ClickHandler>(std::move(handler))) {}

  // Drops the handler (and what it holds): a Click arriving later is answered and ignored.
  void Disconnect() noexcept { handler_.reset(); }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) {
      return E_POINTER;
    }
    *count = 0;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) {
      *info = nullptr;
    }
    return DISP_E_BADINDEX;
  }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (names == nullptr || ids == nullptr || count == 0) {
      return E_INVALIDARG;
    }
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
    }
    if (names[0] != nullptr && lstrcmpiW(names[0], L"Click") == 0) {
      ids[0] = kClick;
    } else {
      hr = DISP_E_UNKNOWNNAME;
    }
    // Click's parameters are not named here: callers pass them by position.
    return count > 1 ? DISP_E_UNKNOWNNAME : hr;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT* argErr) override {
    // Exit disconnects the add-in from inside a click: the connection, and with it the
    // source's reference to this sink, can go while the handler runs.
    ComPtr<ClickSink> self(this);
    return com_boundary([&]() -> HRESULT {
      if (!IsEqualIID(iid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
      }
      if (id != kClick) {
        return DISP_E_MEMBERNOTFOUND;
      }
      if (params == nullptr || params->cArgs != 2 || params->rgvarg == nullptr) {
        return DISP_E_BADPARAMCOUNT;
      }
      IDispatch* ctrl = nullptr;
      if (!CtrlOf(params->rgvarg[kCtrlArg], ctrl)) {
        return ArgumentMismatch(argErr, kCtrlArg);
      }
      VARIANT_BOOL* cancelDefault = CancelDefaultOf(params->rgvarg[kCancelDefaultArg]);
      if (cancelDefault == nullptr) {
        return ArgumentMismatch(argErr, kCancelDefaultArg);
      }
      // A handler that disconnects drops handler_; this copy keeps it alive until it returns.
      const std::shared_ptr<const host::ClickHandler> handler = handler_;
      if (!handler || !*handler) {
        return S_OK;
      }
      std::shared_ptr<host::CommandBarControl> button;
      if (ctrl != nullptr) {
        button = MakeCommandBarControl(DispatchObject(ctrl, catalog_));
      }
      bool cancel = *cancelDefault != VARIANT_FALSE;
      (*handler)(button, cancel);
      *cancelDefault = cancel ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    });
  }

 private:
  static HRESULT ArgumentMismatch(UINT* argErr, UINT index) {
    if (argErr != nullptr) {
      *argErr = index;
    }
    return DISP_E_TYPEMISMATCH;
  }

  std::shared_ptr<TypeCatalog> catalog_;
  std::shared_ptr<const host::ClickHandler> handler_;
};

class ClickConnection final : public host::EventConnection {
 public:
  ClickConnection(ComPtr<ClickSink> sink, AdviseCookie cookie)
      : sink_(std::move(sink)), cookie_(std::move(cookie)) {}

  // The handler goes first, so that a Click the source raises while Unadvise runs finds
  // nothing to call.
  ~ClickConnection() override {
    sink_->Disconnect();
    cookie_.reset();
  }

 private:
  ComPtr<ClickSink> sink_;
  AdviseCookie cookie_;
};

}  // namespace

std::unique_ptr<host::EventConnection> ConnectButtonClick(const DispatchObject& button,
                                                          host::ClickHandler handler) {
  ComPtr<ClickSink> sink = MakeComObject<ClickSink>(button.catalog(), std::move(handler));
  AdviseCookie cookie = WithHostErrors([&] {
    return AdviseCookie::Advise(button.get(), DIID__CommandBarButtonEvents,
                                static_cast<IDispatch*>(sink.get()));
  });
  return std::make_unique<ClickConnection>(std::move(sink), std::move(cookie));
}

}  // namespace morvane::com
