#pragma once

// The host model's objects over Excel's IDispatch objects: how one adapter makes another.

#include <memory>
#include <string_view>

#include "addin/com/excel/dispatch_call.h"
#include "addin/model/errors.h"
#include "addin/model/host.h"

namespace morvane::com {

// Every adapter keeps the IDispatch it stands for, so that an adapter passed back in as an
// argument (Intersect's ranges, Copy's Before) travels as that object.
class DispatchBacked {
 public:
  explicit DispatchBacked(DispatchObject object) : object_(std::move(object)) {}
  virtual ~DispatchBacked() = default;
  const DispatchObject& object() const { return object_; }

 protected:
  // An object-valued property the host model does not expose as an object of its own
  // (Workbooks, WorksheetFunction, Areas, Rows, ...); Nothing there is an error of the host
  // (error 91), not a result.
  DispatchObject Property(std::u16string_view name) const {
    ComPtr<IDispatch> object = ObjectOf(object_.Invoke(name, kGet), name);
    if (!object) {
      ThrowObjectNotSet();
    }
    return object_.Sibling(std::move(object));
  }

  DispatchObject object_;
};

// The IDispatch behind an adapter of ours, as an argument. A null reference and an object of
// another host throw, as the same mistake does in Excel's macro language (error 5, type
// mismatch).
template <class HostObject>
IDispatch* ArgumentObject(const HostObject* given) {
  if (given == nullptr) {
    throw errors::InvalidArgument();
  }
  const auto* backed = dynamic_cast<const DispatchBacked*>(given);
  if (backed == nullptr) {
    throw errors::TypeMismatch();
  }
  return backed->object().get();
}

std::shared_ptr<host::Range> MakeRange(DispatchObject object);
std::shared_ptr<host::Sheet> MakeSheet(DispatchObject object);
std::shared_ptr<host::Sheets> MakeSheets(DispatchObject object);
std::shared_ptr<host::CommandBar> MakeCommandBar(DispatchObject object);
std::shared_ptr<host::CommandBarControls> MakeCommandBarControls(DispatchObject object);
std::shared_ptr<host::CommandBarControl> MakeCommandBarControl(DispatchObject object);

// The object a member of parent returned, wrapped by make; nullptr for Nothing. Only the members
// whose Nothing the host model passes on (Selection, Intersect, ActiveSheet) answer this way.
template <class Make>
auto WrappedOrNothing(const DispatchObject& parent, Variant&& result, std::u16string_view member,
                      Make make) -> decltype(make(parent)) {
  ComPtr<IDispatch> object = ObjectOf(std::move(result), member);
  if (!object) {
    return nullptr;
  }
  return make(parent.Sibling(std::move(object)));
}

// The object a member of parent returned, wrapped by make. Nothing where an object is due fails
// as the next late-bound call through it would (error 91), so no caller ever holds a null
// object it was not told to expect.
template <class Make>
auto Wrapped(const DispatchObject& parent, Variant&& result, std::u16string_view member, Make make)
    -> decltype(make(parent)) {
  auto wrapped = WrappedOrNothing(parent, std::move(result), member, make);
  if (!wrapped) {
    ThrowObjectNotSet();
  }
  return wrapped;
}

}  // namespace morvane::com
