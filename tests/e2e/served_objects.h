#pragma once

// How the served classes reach each other: factories for the objects one member hands out, and
// the host objects behind the served objects the add-in hands back.

#include <memory>

#include "addin/host.h"
#include "tests/e2e/served_object.h"

namespace morvane::e2e {

// A served object that stands for a host range.
class RangeHolder {
 public:
  virtual ~RangeHolder() = default;
  virtual std::shared_ptr<host::Range> HostRange() const = 0;
};

class SheetHolder {
 public:
  virtual ~SheetHolder() = default;
  virtual std::shared_ptr<host::Sheet> HostSheet() const = 0;
};

// Nothing (an empty pointer) for a null range.
ComPtr<IDispatch> ServeRange(const std::shared_ptr<ServedHost>& host,
                             std::shared_ptr<host::Range> range);
ComPtr<IDispatch> ServeSheet(const std::shared_ptr<ServedHost>& host,
                             std::shared_ptr<host::Sheet> sheet);
ComPtr<IDispatch> ServeSheets(const std::shared_ptr<ServedHost>& host,
                              std::shared_ptr<host::Sheets> sheets);
ComPtr<IDispatch> ServeCommandBars(const std::shared_ptr<ServedHost>& host);
ComPtr<IDispatch> ServeControl(const std::shared_ptr<ServedHost>& host,
                               std::shared_ptr<host::CommandBarControl> control);
ComPtr<IDispatch> ServeComAddIns(const std::shared_ptr<ServedHost>& host);

// The host range behind an argument: nullptr for Nothing; DISP_E_TYPEMISMATCH for an object this
// Excel did not make.
std::shared_ptr<host::Range> HostRangeOf(IDispatch* object, int rgIndex);
std::shared_ptr<host::Sheet> HostSheetOf(IDispatch* object, int rgIndex);

}  // namespace morvane::e2e
