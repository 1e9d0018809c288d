#pragma once

// The simulated Excel as the add-in meets it: COM objects over hostsim's model, one per Excel or
// Office object the add-in reaches, served through IDispatch.

#include <memory>
#include <string>

#include "addin/com/base/com_ptr.h"
#include "addin/com/identity.h"
#include "addin/model/host.h"
#include "office.h"
#include "tests/e2e/served_host.h"

namespace morvane::e2e {

com::ComPtr<IDispatch> ServeApplication(std::shared_ptr<ServedHost> host);

// Application.COMAddIns.Item(progId): what Excel hands an add-in as AddInInst.
com::ComPtr<IDispatch> ServeComAddIn(std::shared_ptr<ServedHost> host,
                                     std::shared_ptr<host::ComAddIn> addIn);

// The control the ribbon passes to an onAction callback.
com::ComPtr<IDispatch> ServeRibbonControl(std::shared_ptr<ServedHost> host, std::u16string id,
                                          std::u16string tag);

}  // namespace morvane::e2e
