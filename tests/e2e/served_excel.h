#pragma once

// The simulated Excel as the add-in meets it: COM objects over hostsim's model, one per Excel or
// Office object the add-in reaches, served through IDispatch.

#include <memory>
#include <string>

#include "addin/model/host.h"
#include "tests/e2e/com_holders.h"
#include "tests/e2e/served_host.h"

namespace morvane::e2e {

// _Application {000208D5-0000-0000-C000-000000000046}; Excel's Application answers a query for
// it with the same dispatch interface.
inline constexpr IID kApplicationIid = {
    0x000208d5, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// _CommandBarButtonEvents, the outgoing interface of a command bar button.
inline constexpr IID kCommandBarButtonEventsIid = {
    0x000c0351, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// IRibbonControl, dual.
inline constexpr IID kRibbonControlIid = {
    0x000c0395, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

ComPtr<IDispatch> ServeApplication(std::shared_ptr<ServedHost> host);

// Application.COMAddIns.Item(progId): what Excel hands an add-in as AddInInst.
ComPtr<IDispatch> ServeComAddIn(std::shared_ptr<ServedHost> host,
                                std::shared_ptr<host::ComAddIn> addIn);

// The control the ribbon passes to an onAction callback.
ComPtr<IDispatch> ServeRibbonControl(std::shared_ptr<ServedHost> host, std::u16string id,
                                     std::u16string tag);

}  // namespace morvane::e2e
