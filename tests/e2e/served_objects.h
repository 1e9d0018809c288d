#pragma once

// How the served classes reach each other: factories for the objects one member hands out, and
// the host objects behind the served objects the add-in hands back.

#include <memory>

#include "addin/model/host.h"
#include "tests/e2e/served_object.h"

namespace morvane::e2e {

// A served object that stands for a host object of type T (a Range for host::Range, a Worksheet
// for host::Sheet), so that the add-in can hand it back as an argument.
template <class T>
class HostObjectHolder {
 public:
  virtual ~HostObjectHolder() = default;
  virtual std::shared_ptr<T> HostObject() const = 0;
};

// Nothing (an empty pointer) for a null range.
com::ComPtr<IDispatch> ServeRange(const std::shared_ptr<ServedHost>& host,
                                  std::shared_ptr<host::Range> range);
com::ComPtr<IDispatch> ServeSheet(const std::shared_ptr<ServedHost>& host,
                                  std::shared_ptr<host::Sheet> sheet);
com::ComPtr<IDispatch> ServeSheets(const std::shared_ptr<ServedHost>& host,
                                   std::shared_ptr<host::Sheets> sheets);
com::ComPtr<IDispatch> ServeCommandBars(const std::shared_ptr<ServedHost>& host);
com::ComPtr<IDispatch> ServeControl(const std::shared_ptr<ServedHost>& host,
                                    std::shared_ptr<host::CommandBarControl> control);
com::ComPtr<IDispatch> ServeComAddIns(const std::shared_ptr<ServedHost>& host);

// The host object behind an argument: nullptr for Nothing; DISP_E_TYPEMISMATCH for an object
// this Excel did not make, or one of another kind.
template <class T>
std::shared_ptr<T> HostObjectOf(IDispatch* object, int rgIndex) {
  if (object == nullptr) {
    return nullptr;
  }
  const auto* holder = dynamic_cast<const HostObjectHolder<T>*>(ServedObject::From(object));
  if (holder == nullptr) {
    throw DispatchFault{DISP_E_TYPEMISMATCH, rgIndex};
  }
  return holder->HostObject();
}

}  // namespace morvane::e2e
