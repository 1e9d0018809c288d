#include "addin/com/excel/dispatch_call.h"

#include <string>

#include "addin/com/excel/host_error_from_com.h"
#include "addin/com/excel/locale.h"
#include "addin/model/host.h"

namespace morvane::com {
namespace {

// DISPPARAMS holds the arguments last to first, and an omitted one in the middle must still
// hold its place.
std::vector<Variant> InDispatchOrder(std::vector<Arg>& args) {
  std::size_t given = args.size();
  while (given > 0 && !args[given - 1]) {
    --given;
  }
  std::vector<Variant> reversed;
  reversed.reserve(given);
  for (std::size_t i = given; i-- > 0;) {
    reversed.push_back(args[i] ? std::move(*args[i]) : Variant::missing());
  }
  return reversed;
}

}  // namespace

DispatchObject::DispatchObject(IDispatch* object, std::shared_ptr<TypeCatalog> catalog,
                               std::shared_ptr<TypeSlot> slot)
    : object_(object), catalog_(std::move(catalog)), slot_(std::move(slot)) {}

DispatchObject::DispatchObject(ComPtr<IDispatch> object, std::shared_ptr<TypeCatalog> catalog,
                               std::shared_ptr<TypeSlot> slot)
    : object_(std::move(object)), catalog_(std::move(catalog)), slot_(std::move(slot)) {}

DISPID DispatchObject::IdOf(std::u16string_view name) const {
  if (!object_) {
    throw HostErrorFromHResult(E_POINTER, name);
  }
  if (!slot_->ids) {
    slot_->ids = catalog_->IdsFor(object_.get());
  }
  if (const std::optional<DISPID> known = slot_->ids->Find(name)) {
    return *known;
  }
  std::wstring wide(name.begin(), name.end());
  LPOLESTR names[] = {wide.data()};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, kExcelLocale, &id);
  if (FAILED(hr)) {
    throw HostErrorFromHResult(hr, name);
  }
  slot_->ids->Remember(name, id);
  return id;
}

Variant DispatchObject::Invoke(std::u16string_view name, WORD flags, std::vector<Arg> args) const {
  return InvokeId(IdOf(name), name, flags, std::move(args));
}

Variant DispatchObject::InvokeId(DISPID id, std::u16string_view name, WORD flags,
                                 std::vector<Arg> args) const {
  if (!object_) {
    throw HostErrorFromHResult(E_POINTER, name);
  }
  std::vector<Variant> rgvarg = InDispatchOrder(args);
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  if (put && rgvarg.empty()) {
    throw HostErrorFromHResult(DISP_E_PARAMNOTOPTIONAL, name);
  }
  DISPID propertyPut = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = rgvarg.empty() ? nullptr : rgvarg.front().get();
  params.cArgs = static_cast<UINT>(rgvarg.size());
  if (put) {
    params.rgdispidNamedArgs = &propertyPut;
    params.cNamedArgs = 1;
  }
  Variant result;
  EXCEPINFO excepInfo{};
  UINT argErr = 0;
  const HRESULT hr = object_->Invoke(id, IID_NULL, kExcelLocale, flags, &params,
                                     put ? nullptr : result.put(), &excepInfo, &argErr);
  if (FAILED(hr)) {
    throw HostErrorFromInvoke(hr, excepInfo, name);
  }
  return result;
}

ComPtr<IDispatch> ObjectOf(Variant&& result, std::u16string_view member) {
  switch (result.vt()) {
    case VT_EMPTY:
      return nullptr;
    case VT_DISPATCH: {
      VARIANT raw = result.release();
      ComPtr<IDispatch> object;
      object.reset(V_DISPATCH(&raw));  // takes the reference the result held
      return object;
    }
    case VT_UNKNOWN: {
      ComPtr<IDispatch> object;
      if (IUnknown* unknown = V_UNKNOWN(result.get())) {
        const HRESULT hr = unknown->QueryInterface(IID_IDispatch, object.put_void());
        if (FAILED(hr)) {
          throw HostErrorFromHResult(hr, member);
        }
      }
      return object;
    }
    default:
      throw HostErrorFromHResult(DISP_E_TYPEMISMATCH, member);
  }
}

}  // namespace morvane::com
