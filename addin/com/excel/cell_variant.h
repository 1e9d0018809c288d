#pragma once

// A cell's Value as Excel's IDispatch gives and takes it.

#include <windows.h>

#include <oaidl.h>

#include "addin/com/base/variant.h"
#include "addin/model/host.h"

namespace morvane::com {

// VT_EMPTY and VT_NULL read as empty; VT_BSTR as text, unchanged; VT_R8 and the other numeric
// types as a number; VT_DATE as Excel's serial day; VT_BOOL, VT_CY as such; VT_ERROR
// 0x800A0000 + n as error value n.
// Anything else (an array, an object, another VT_ERROR) throws HostError(kTypeMismatch). A value
// by reference (VT_BYREF) is read where it points.
host::CellValue CellValueFromVariant(const VARIANT& value);

// Throws HostError(kTypeMismatch) for a reference (VT_BYREF) that cannot be followed safely: a
// null one, or one that points at another reference. The system's own copies and conversions
// would follow the pointer regardless.
void RequireFollowableReference(const VARIANT& value);

Variant VariantFromCellValue(const host::CellValue& value);

}  // namespace morvane::com
