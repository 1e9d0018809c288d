#pragma once

// The seam between the COM server and the IDispatch adapter over Excel's object model
// (addin/com/excel/): Connect hands Excel's Application to the adapter and the portable core
// only ever sees the result.

#include <memory>

struct IDispatch;

namespace morvane::host {
class Application;
}

namespace morvane::com {

// Wraps Excel's Application (an _Application, already QueryInterface'd) as the host object
// model. AddRefs the argument: the wrapper keeps its own reference for as long as it lives.
std::shared_ptr<host::Application> WrapExcelApplication(IDispatch* application);

}  // namespace morvane::com
