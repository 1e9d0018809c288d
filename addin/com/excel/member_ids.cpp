#include "addin/com/excel/member_ids.h"

#include "addin/com/excel/locale.h"

namespace morvane::com {

std::optional<DISPID> MemberIds::Find(std::u16string_view name) const {
  const auto found = ids_.find(std::u16string(name));
  if (found == ids_.end()) {
    return std::nullopt;
  }
  return found->second;
}

void MemberIds::Remember(std::u16string_view name, DISPID id) {
  ids_.insert_or_assign(std::u16string(name), id);
}

std::shared_ptr<MemberIds> TypeCatalog::IdsFor(IDispatch* object) {
  ComPtr<ITypeInfo> typeInfo;
  if (FAILED(object->GetTypeInfo(0, kExcelLocale, typeInfo.put())) || !typeInfo) {
    return std::make_shared<MemberIds>();
  }
  TYPEATTR* attributes = nullptr;
  if (FAILED(typeInfo->GetTypeAttr(&attributes)) || attributes == nullptr) {
    return ForTypeInfo(std::move(typeInfo));
  }
  const GUID type = attributes->guid;
  typeInfo->ReleaseTypeAttr(attributes);
  if (IsEqualGUID(type, GUID_NULL)) {
    return ForTypeInfo(std::move(typeInfo));
  }
  return ForGuid(type);
}

std::shared_ptr<MemberIds> TypeCatalog::ForGuid(const GUID& type) {
  for (const auto& [guid, ids] : byGuid_) {
    if (IsEqualGUID(guid, type)) {
      return ids;
    }
  }
  auto ids = std::make_shared<MemberIds>();
  byGuid_.emplace_back(type, ids);
  return ids;
}

std::shared_ptr<MemberIds> TypeCatalog::ForTypeInfo(ComPtr<ITypeInfo> typeInfo) {
  for (const auto& [known, ids] : byTypeInfo_) {
    if (known == typeInfo) {
      return ids;
    }
  }
  auto ids = std::make_shared<MemberIds>();
  byTypeInfo_.emplace_back(std::move(typeInfo), ids);
  return ids;
}

}  // namespace morvane::com
