#include "hostsim/excel_errors.h"

namespace morvane::sim::errors {

host::HostError Excel(const std::u16string& text) {
  return {host::kExcelError, text};
}

host::HostError NoSuchMember() {
  return {host::kNoSuchMember, u"Object doesn't support this property or method"};
}

host::HostError Disconnected() {
  return {static_cast<std::int32_t>(0x80010108),
          u"The object invoked has disconnected from its clients."};
}

host::HostError BadIndex() {
  return {static_cast<std::int32_t>(0x8002000B), u"Invalid index."};
}

host::HostError InvalidArgument() {
  return {host::kInvalidArgument, u"Invalid procedure call or argument"};
}

host::HostError TypeMismatch() {
  return {host::kTypeMismatch, u"Type mismatch."};
}

host::HostError DeletedControl() {
  return {host::kFail, u"Unspecified error"};
}

}  // namespace morvane::sim::errors
