// The IRibbonControl Office passes to an onAction callback: dual, so it is served both through
// IDispatch and through its vtable.

#include "addin/com/base/bstr.h"
#include "office.h"
#include "tests/e2e/served_excel.h"
#include "tests/e2e/served_object.h"

namespace morvane::e2e {
namespace {

class ServedRibbonControl : public ServedObject {
 public:
  ServedRibbonControl(std::shared_ptr<ServedHost> host, std::u16string id, std::u16string tag);

  void Id(Call& call) { call.ReturnText(id_); }
  void Context(Call& call) { call.ReturnObject({}); }  // the window is not modelled: Nothing
  void Tag(Call& call) { call.ReturnText(tag_); }

 private:
  // A COM object dies in its own Release, never through an interface: no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
  // The vtable face of the same object; its IUnknown and IDispatch are the object's own.
  class Vtable : public IRibbonControl {
   public:
    explicit Vtable(ServedRibbonControl& outer) : outer_(outer) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
      return outer_.QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return outer_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return outer_.Release(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
      return outer_.GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
      return outer_.GetTypeInfo(index, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override {
      return outer_.GetIDsOfNames(iid, names, count, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override {
      return outer_.Invoke(id, iid, lcid, flags, params, result, exception, argError);
    }
    HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) override { return Give(outer_.id_, id); }
    HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) override {
      if (context == nullptr) {
        return E_POINTER;
      }
      *context = nullptr;
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) override { return Give(outer_.tag_, tag); }

   private:
    static HRESULT Give(const std::u16string& text, BSTR* out) {
      if (out == nullptr) {
        return E_POINTER;
      }
      *out = com::Bstr(text).release();
      return S_OK;
    }

    ServedRibbonControl& outer_;
  };
#pragma GCC diagnostic pop

  void* ExtraInterface(REFIID iid) override {
    return iid == IID_IRibbonControl ? static_cast<IRibbonControl*>(&vtable_) : nullptr;
  }

  static const Member kMembers[];
  std::u16string id_;
  std::u16string tag_;
  Vtable vtable_{*this};
};

const Member ServedRibbonControl::kMembers[] = {
    {L"Id", 1, {}, Bind<&ServedRibbonControl::Id>},
    {L"Context", 2, {}, Bind<&ServedRibbonControl::Context>},
    {L"Tag", 3, {}, Bind<&ServedRibbonControl::Tag>},
};

ServedRibbonControl::ServedRibbonControl(std::shared_ptr<ServedHost> host, std::u16string id,
                                         std::u16string tag)
    : ServedObject(std::move(host), L"IRibbonControl", kMembers),
      id_(std::move(id)),
      tag_(std::move(tag)) {}

}  // namespace

com::ComPtr<IDispatch> ServeRibbonControl(std::shared_ptr<ServedHost> host, std::u16string id,
                                          std::u16string tag) {
  return Serve<ServedRibbonControl>(std::move(host), std::move(id), std::move(tag));
}

}  // namespace morvane::e2e
