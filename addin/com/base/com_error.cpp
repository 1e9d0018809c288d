#include "addin/com/base/com_error.h"

#include <oleauto.h>

#include <new>
#include <string>
#include <system_error>

#include "addin/com/base/com_ptr.h"
#include "addin/model/host.h"
#include "addin/model/trace.h"
#include "addin/model/utf8.h"
#include "addin/win32/wide_text.h"

namespace morvane::com {

ComError::ComError(HRESULT hr, const std::string& what) : std::runtime_error(what), hr_(hr) {}

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr))
    throw ComError(hr, what);
}

namespace {

struct Failure {
  HRESULT hr;
  std::u16string description;
};

Failure Describe(HRESULT hr, const char* what) {
  return {hr, Utf8ToUtf16(what)};
}

// A file or system call that failed: the code the system gave, as an HRESULT where one fits.
HRESULT FromSystemError(const std::system_error& e) {
  if (e.code().category() == std::system_category())
    return HRESULT_FROM_WIN32(e.code().value());
  if (e.code() == std::errc::permission_denied)
    return E_ACCESSDENIED;
  if (e.code() == std::errc::no_such_file_or_directory) {
    return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  }
  return E_FAIL;
}

// The Lippincott function: rethrows the exception in flight and sorts it into an HRESULT.
Failure ClassifyCaughtException() {
  try {
    throw;
  } catch (const ComError& e) {
    return Describe(e.hr(), e.what());
  } catch (const host::HostError& e) {
    return {static_cast<HRESULT>(e.hresult()), e.description()};
  } catch (const std::bad_alloc&) {
    return Describe(E_OUTOFMEMORY, "Out of memory");
  } catch (const std::system_error& e) {
    // The ribbon markup that can be neither read nor created, for one.
    return Describe(FromSystemError(e), e.what());
  } catch (const std::exception& e) {
    // Nothing but a bug gets here; leave a trace for a debugger before turning it into E_FAIL.
    TraceDropped("unexpected exception at a COM boundary", e);
    return Describe(E_FAIL, e.what());
  } catch (...) {
    Trace("unknown exception at a COM boundary");
    return Describe(E_FAIL, "Unknown error");
  }
}

// Best effort: a caller that cannot get the description still has the HRESULT.
void SetErrorDescription(const std::u16string& description) {
  ComPtr<ICreateErrorInfo> create;
  if (FAILED(CreateErrorInfo(create.put())))
    return;
  std::wstring text = win32::ToWide(description);
  create->SetSource(const_cast<LPOLESTR>(kErrorSource));
  create->SetDescription(text.data());
  if (auto info = create.try_query<IErrorInfo>())
    SetErrorInfo(0, info.get());
}

}  // namespace

HRESULT HResultFromCaughtException() noexcept {
  try {
    Failure failure = ClassifyCaughtException();
    // A host or library error may carry a success code; the caller must still see a failure.
    if (SUCCEEDED(failure.hr))
      failure.hr = E_FAIL;
    SetErrorDescription(failure.description);
    return failure.hr;
  } catch (...) {
    // Describing the failure failed (out of memory while copying the text).
    return E_OUTOFMEMORY;
  }
}

}  // namespace morvane::com
