#pragma once

// How a failed call into Excel becomes host::HostError, the one failure the portable core knows.

#include <windows.h>

#include <oaidl.h>

#include <string_view>

#include "addin/com/base/com_error.h"
#include "addin/model/host.h"

namespace morvane::com {

// A failed IDispatch::Invoke: for DISP_E_EXCEPTION the server's own error (EXCEPINFO.scode, or
// the 16-bit wCode as the macro-language error it stands for) and its description; any other
// HRESULT as it is. Frees the strings the server put into the EXCEPINFO.
host::HostError HostErrorFromInvoke(HRESULT hr, EXCEPINFO& excepInfo, std::u16string_view member);

// A failed HRESULT from any other call of the glue, with a short description naming the call.
host::HostError HostErrorFromHResult(HRESULT hr, std::u16string_view what);

// ComError, thrown by the shared holders, in the form the host model promises.
host::HostError HostErrorFromComError(const ComError& error);

// Runs fn, rethrowing a ComError from the holders as HostError.
template <class Fn>
decltype(auto) WithHostErrors(Fn&& fn) {
  try {
    return fn();
  } catch (const ComError& error) {
    throw HostErrorFromComError(error);
  }
}

}  // namespace morvane::com
