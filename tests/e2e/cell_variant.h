#pragma once

// Cell values as Excel hands them through IDispatch and takes them back: text as VT_BSTR,
// numbers as VT_R8, dates as VT_DATE, currency as VT_CY, logicals as VT_BOOL and error values
// as VT_ERROR with scode 0x800A0000 + the CVErr number.

#include <windows.h>

#include <oleauto.h>

#include "addin/model/host.h"

namespace morvane::e2e {

// Takes ownership of nothing; the caller clears the returned VARIANT.
VARIANT ToVariant(const host::CellValue& value);

// What a Value put stores. Throws DispatchFault(DISP_E_TYPEMISMATCH) for values a cell cannot
// hold (objects, arrays, unknown error codes).
host::CellValue FromVariant(const VARIANT& value, int rgIndex);

// OLE dates count from 30 December 1899; Excel's serial days count from its fictitious
// 0 January 1900 and keep 29 February 1900. They agree from 1 March 1900 on.
double OleDateFromSerial(double serial);
double SerialFromOleDate(double date);

}  // namespace morvane::e2e
