#pragma once

// Failures inside the COM glue, and the one place where they become HRESULTs.
//
// Glue code throws (ComError from Check, host::HostError from the host adapter, std exceptions
// from the library); every COM-callable method body is `return com_boundary([&] { ...; return
// S_OK; });`, so no exception ever crosses a vtable and the caller always gets an HRESULT plus
// an IErrorInfo describing it.

#include <windows.h>

#include <concepts>
#include <stdexcept>
#include <string>

namespace morvane::com {

// A failed COM call. what() names the call that failed ("QueryInterface(_Application)").
class ComError : public std::runtime_error {
 public:
  explicit ComError(HRESULT hr, const std::string& what = {});
  HRESULT hr() const { return hr_; }

 private:
  HRESULT hr_;
};

// Throws ComError when hr is a failure code. Takes an HRESULT only: a BOOL (or bool) from a
// Win32 call is a different convention, where 0 means failure, and must not slip through.
void Check(HRESULT hr, const char* what);
void Check(BOOL, const char*) = delete;
void Check(bool, const char*) = delete;

// The source named in every IErrorInfo the add-in sets.
inline constexpr wchar_t kErrorSource[] = L"Morvane";

// Call only from inside a catch block: maps the exception in flight to an HRESULT
// (ComError -> its hr, host::HostError -> its hresult, std::bad_alloc -> E_OUTOFMEMORY,
// std::system_error -> its system code, any other exception -> E_FAIL) and sets the thread's
// IErrorInfo to its description.
HRESULT HResultFromCaughtException() noexcept;

// Runs fn (which returns an HRESULT) and turns any exception it throws into an HRESULT with
// IErrorInfo set. The boundary every COM method body goes through.
template <class Fn>
requires std::same_as<std::invoke_result_t<Fn&>, HRESULT> HRESULT com_boundary(Fn&& fn)
noexcept {
  try {
    return fn();
  } catch (...) {
    return HResultFromCaughtException();
  }
}

}  // namespace morvane::com
