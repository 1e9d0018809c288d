#pragma once

// DISPIDs looked up by name, remembered per type of object, so that a member's name is sent to
// GetIDsOfNames once per type rather than once per call.
//
// A type is what the object's ITypeInfo says: its GUID, or (for type information without one)
// the ITypeInfo itself. Objects that give no type information get a table of their own: sharing
// by anything weaker (the adapter's class, the C++ vtable) would hand one kind of object the
// DISPIDs of another, since Excel's Selection may be a shape as well as a range and a generic
// IDispatch implementation may serve every kind of object through one class.

#include <windows.h>

#include <oaidl.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "addin/com/base/com_ptr.h"

namespace morvane::com {

// The DISPIDs of one type's members, by name.
class MemberIds {
 public:
  std::optional<DISPID> Find(std::u16string_view name) const;
  void Remember(std::u16string_view name, DISPID id);

 private:
  std::unordered_map<std::u16string, DISPID> ids_;
};

// Every type met through one Application, owned by the adapters made from it, so that the type
// information it keeps alive is released with them, while COM is still running. Used only on
// Excel's thread, where every call of the add-in runs, so it takes no lock.
class TypeCatalog {
 public:
  // The table for the object's type (one IDispatch::GetTypeInfo call and a look at the type's
  // attributes); a new private table when the object has no type information.
  std::shared_ptr<MemberIds> IdsFor(IDispatch* object);

 private:
  std::shared_ptr<MemberIds> ForGuid(const GUID& type);
  std::shared_ptr<MemberIds> ForTypeInfo(ComPtr<ITypeInfo> typeInfo);

  std::vector<std::pair<GUID, std::shared_ptr<MemberIds>>> byGuid_;
  // Held, so that the address cannot be reused by another type while we key on it.
  std::vector<std::pair<ComPtr<ITypeInfo>, std::shared_ptr<MemberIds>>> byTypeInfo_;
};

// Where an object's table is found: resolved on the first call by name, then kept. Objects
// known to be of one type (the cells of one enumeration) share one slot, so the type is asked
// once for all of them.
struct TypeSlot {
  std::shared_ptr<MemberIds> ids;
};

}  // namespace morvane::com
