#include "addin/model/errors.h"

#include "addin/model/utf8.h"

namespace morvane::host {

// what() carries the description as UTF-8, for test failure messages and logs.
HostError::HostError(std::int32_t hresult, std::u16string description)
    : std::runtime_error(Utf16ToUtf8(description)),
      hresult_(hresult),
      description_(std::move(description)) {}

}  // namespace morvane::host

namespace morvane::errors {

host::HostError Excel(std::u16string text) {
  return {kExcelError, std::move(text)};
}

host::HostError ObjectNotSet() {
  return {kObjectNotSet, u"Object variable or With block variable not set"};
}

host::HostError NoSuchMember() {
  return {kNoSuchMember, u"Object doesn't support this property or method"};
}

host::HostError TypeMismatch() {
  return {kTypeMismatch, kTypeMismatchText};
}

host::HostError Disconnected() {
  return {kDisconnected, kDisconnectedText};
}

host::HostError BadIndex() {
  return {kBadIndex, kBadIndexText};
}

host::HostError InvalidArgument() {
  return {kInvalidArgument, u"Invalid procedure call or argument"};
}

host::HostError Unspecified() {
  return {kFail, u"Unspecified error"};
}

}  // namespace morvane::errors

namespace morvane {

void ThrowObjectNotSet() {
  throw errors::ObjectNotSet();
}

void ThrowFormAlreadyShown() {
  throw host::HostError(errors::kFormAlreadyShown, u"Form already displayed; can't show modally");
}

}  // namespace morvane
