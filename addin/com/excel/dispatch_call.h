#pragma once

// Late-bound calls into Excel: a member by name, its arguments in the order Excel's
// documentation lists them, locale 1033, and any failure as host::HostError.

#include <windows.h>

#include <oaidl.h>

#include <memory>
#include <optional>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "addin/com/base/com_ptr.h"
#include "addin/com/base/variant.h"
#include "addin/com/excel/member_ids.h"

namespace morvane::com {

// How a member is reached. Item is a method on some Office collections and a property on
// others; kCallOrGet lets the object pick, as Visual Basic does.
inline constexpr WORD kGet = DISPATCH_PROPERTYGET;
inline constexpr WORD kPut = DISPATCH_PROPERTYPUT;
inline constexpr WORD kCall = DISPATCH_METHOD;
inline constexpr WORD kCallOrGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

// One argument in call order; an empty one is omitted.
using Arg = std::optional<Variant>;

// An IDispatch of Excel's, with what its calls need: the type catalog of the Application it
// came from and the slot of its member table.
class DispatchObject {
 public:
  // AddRefs object. A null object makes every call fail with E_POINTER.
  DispatchObject(IDispatch* object, std::shared_ptr<TypeCatalog> catalog,
                 std::shared_ptr<TypeSlot> slot = std::make_shared<TypeSlot>());
  // Takes the reference object holds.
  DispatchObject(ComPtr<IDispatch> object, std::shared_ptr<TypeCatalog> catalog,
                 std::shared_ptr<TypeSlot> slot = std::make_shared<TypeSlot>());

  IDispatch* get() const { return object_.get(); }
  const std::shared_ptr<TypeCatalog>& catalog() const { return catalog_; }

  // Another object reached from this one (same catalog, its own type).
  DispatchObject Sibling(ComPtr<IDispatch> object) const { return {std::move(object), catalog_}; }

  // The member's DISPID, from the type's table or from GetIDsOfNames.
  DISPID IdOf(std::u16string_view name) const;

  // Calls the member with args in call order. Trailing omitted arguments are left out;
  // an omitted argument before a given one travels as VT_ERROR/DISP_E_PARAMNOTFOUND. A
  // property put sends its last argument as the named DISPID_PROPERTYPUT argument. Returns
  // what the member returned (VT_EMPTY for a put).
  Variant Invoke(std::u16string_view name, WORD flags, std::vector<Arg> args = {}) const;
  // The same, for a member with a fixed DISPID (DISPID_NEWENUM); name is for messages only.
  Variant InvokeId(DISPID id, std::u16string_view name, WORD flags,
                   std::vector<Arg> args = {}) const;

 private:
  ComPtr<IDispatch> object_;
  std::shared_ptr<TypeCatalog> catalog_;
  std::shared_ptr<TypeSlot> slot_;
};

// invoke(target, name, flags, args...): each argument a Variant or an Arg.
template <class... Args>
Variant invoke(const DispatchObject& target, std::u16string_view name, WORD flags, Args&&... args) {
  std::vector<Arg> packed;
  packed.reserve(sizeof...(Args));
  (packed.emplace_back(std::forward<Args>(args)), ...);
  return target.Invoke(name, flags, std::move(packed));
}

// The object a call returned: nullptr for Nothing (a null VT_DISPATCH, or VT_EMPTY); a
// HostError(kTypeMismatch) for anything but an object.
ComPtr<IDispatch> ObjectOf(Variant&& result, std::u16string_view member);

}  // namespace morvane::com
