#pragma once

// The add-in's one creatable COM class, Connect: IDTExtensibility2 (connection to the host),
// IRibbonExtensibility (the ribbon markup), its own dual interface _Connect (the ribbon
// callback and the menu procedures, found by name through IDispatch) and ISupportErrorInfo.

#include <windows.h>

namespace morvane::com {

// Creates a Connect and answers QueryInterface(riid, ppv) on it. Throws ComError when the
// object cannot be created (its type information cannot be loaded).
HRESULT CreateConnect(REFIID riid, void** ppv);

}  // namespace morvane::com
