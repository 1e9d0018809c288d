#include "addin/com/connect.h"

#include <oleauto.h>

#include "addin/com/base/bstr.h"
#include "addin/com/base/com_error.h"
#include "addin/com/base/com_object.h"
#include "addin/com/base/module_lifetime.h"
#include "addin/com/dispatch_ribbon_control.h"
#include "addin/com/excel/excel_application.h"
#include "addin/com/generated_interfaces.h"
#include "addin/com/identity.h"
#include "addin/com/windows_ribbon_platform.h"
#include "addin/connection.h"
#include "addin/menu.h"
#include "addin/model/continue_on_error.h"
#include "addin/ribbon.h"
#include "addin/win32/wide_text.h"

namespace morvane::com {
namespace {

// _Connect's type information, from the type library in the module's own resources: it
// drives IDispatch (names, DISPIDs, argument checks and coercion) for the dual interface.
ComPtr<ITypeInfo> LoadConnectTypeInfo() {
  ComPtr<ITypeLib> library;
  Check(LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, library.put()), "LoadTypeLibEx");
  ComPtr<ITypeInfo> info;
  Check(library->GetTypeInfoOfGuid(kIidConnect, info.put()), "GetTypeInfoOfGuid(_Connect)");
  return info;
}

// The host object as Excel's _Application, wrapped for the portable code; null when the object
// is not one or cannot be wrapped, which the connection treats as "no host".
std::shared_ptr<host::Application> AsExcelApplication(IDispatch* application) {
  std::shared_ptr<host::Application> wrapped;
  RunStep([&] {
    ComPtr<IDispatch> excel;
    if (application &&
        SUCCEEDED(application->QueryInterface(kIidExcelApplication, excel.put_void()))) {
      wrapped = WrapExcelApplication(excel.get());
    }
  });
  return wrapped;
}

class Connect final : public ComObject<Connect, _Connect, IDTExtensibility2, IRibbonExtensibility,
                                       ISupportErrorInfo> {
 public:
  // IDispatch means _Connect: the host finds RibbonHandler by name through whatever
  // QueryInterface(IID_IDispatch) returns.
  static constexpr InterfaceEntry<Connect> kInterfaces[] = {
      {&IID_IUnknown, As<Connect, _Connect>},
      {&IID_IDispatch, As<Connect, _Connect>},
      {&kIidConnect, As<Connect, _Connect>},
      {&IID_IDTExtensibility2, As<Connect, IDTExtensibility2>},
      {&IID_IRibbonExtensibility, As<Connect, IRibbonExtensibility>},
      {&IID_ISupportErrorInfo, As<Connect, ISupportErrorInfo>},
  };

  explicit Connect(ComPtr<ITypeInfo> typeInfo) : typeInfo_(std::move(typeInfo)) {}

  // IDispatch, shared by all three IDispatch-derived bases and always describing _Connect.
  // _Connect's DISPIDs are clear of IDTExtensibility2's and IRibbonExtensibility's, so a
  // caller that reaches this Invoke through one of those cannot run a _Connect member by their
  // numbers.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return com_boundary([&] {
      if (!count)
        return E_POINTER;
      *count = 1;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    return com_boundary([&] {
      if (!info)
        return E_POINTER;
      *info = nullptr;
      if (index != 0)
        return DISP_E_BADINDEX;
      typeInfo_.copy_to(info);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    return com_boundary([&] {
      if (!names || !ids)
        return E_POINTER;
      if (!IsEqualIID(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
      for (UINT i = 0; i < count; ++i) {
        if (!names[i])
          return E_POINTER;
      }
      return DispGetIDsOfNames(typeInfo_.get(), names, count, ids);
    });
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override {
    // Exit ("mvTO") disconnects the add-in from inside RibbonHandler, and the host may drop its
    // last reference to this object then; the call still runs through typeInfo_ afterwards.
    const ComPtr<_Connect> self(static_cast<_Connect*>(this));
    return com_boundary([&] {
      // The result, EXCEPINFO and argument index are optional; the arguments are not.
      if (!params || (params->cArgs > 0 && !params->rgvarg) ||
          (params->cNamedArgs > 0 && !params->rgdispidNamedArgs))
        return E_POINTER;
      if (!IsEqualIID(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
      // The type information describes _Connect, so the call must go to that vtable. The
      // member's failure (HRESULT plus IErrorInfo) comes back as DISP_E_EXCEPTION with the
      // EXCEPINFO filled in from the IErrorInfo.
      return DispInvoke(static_cast<_Connect*>(this), typeInfo_.get(), id, flags, params, result,
                        exception, argumentError);
    });
  }

  // _Connect. None handles failures: they go back to the caller (for the ribbon, the host).
  HRESULT STDMETHODCALLTYPE RibbonHandler(IDispatch* Ctrl) override {
    return com_boundary([&] {
      DispatchRibbonControl control(Ctrl);
      morvane::RibbonHandler(control);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE remMenuBar() override {
    return com_boundary([&] {
      morvane::remMenuBar();
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE TarvelMB_Add() override {
    return com_boundary([&] {
      morvane::TarvelMB_Add();
      return S_OK;
    });
  }

  // IDTExtensibility2. The connection procedures run in continue-on-error mode: whatever
  // fails inside them, the host hears success.
  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode, IDispatch*,
                                         SAFEARRAY**) override {
    return com_boundary([&] {
      morvane::OnConnection(AsExcelApplication(Application));
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode, SAFEARRAY**) override {
    return com_boundary([&] {
      morvane::OnDisconnection();
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override {
    return com_boundary([] { return S_OK; });
  }
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override {
    return com_boundary([] { return S_OK; });
  }
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override {
    return com_boundary([] { return S_OK; });
  }

  // IRibbonExtensibility. The markup file is read afresh on every call; a failure yields no
  // markup (null) and goes back to the host.
  HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) override {
    return com_boundary([&] {
      if (!RibbonXml)
        return E_POINTER;
      *RibbonXml = nullptr;
      const std::wstring_view id(RibbonID ? RibbonID : L"", SysStringLen(RibbonID));
      WindowsRibbonPlatform platform;
      const std::u16string markup = morvane::GetCustomUI(win32::FromWide(id), platform);
      *RibbonXml = Bstr(markup).release();
      return S_OK;
    });
  }

  // ISupportErrorInfo: every interface of the object reports its failures through IErrorInfo.
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
    return com_boundary([&] {
      const bool reports = IsEqualIID(riid, kIidConnect) || IsEqualIID(riid, IID_IDispatch) ||
                           IsEqualIID(riid, IID_IDTExtensibility2) ||
                           IsEqualIID(riid, IID_IRibbonExtensibility);
      return reports ? S_OK : S_FALSE;
    });
  }

 private:
  ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace

HRESULT CreateConnect(REFIID riid, void** ppv) {
  ComPtr<Connect> connect = MakeComObject<Connect>(LoadConnectTypeInfo());
  return connect->QueryInterface(riid, ppv);
}

}  // namespace morvane::com
