#include "addin/com/excel/host_error_from_com.h"

#include <cstdint>
#include <string>

#include "addin/com/base/bstr.h"
#include "addin/model/errors.h"
#include "addin/model/utf8.h"

namespace morvane::com {
namespace {

std::u16string_view ShortText(HRESULT hr) {
  switch (hr) {
    case DISP_E_UNKNOWNNAME:
      return u"Unknown name";
    case DISP_E_MEMBERNOTFOUND:
      return u"Member not found";
    case DISP_E_TYPEMISMATCH:
      return errors::kTypeMismatchText;
    case DISP_E_BADPARAMCOUNT:
      return u"Invalid number of parameters";
    case DISP_E_PARAMNOTOPTIONAL:
      return u"Parameter not optional";
    case DISP_E_PARAMNOTFOUND:
      return u"Parameter not found";
    case DISP_E_BADVARTYPE:
      return u"Bad variable type";
    case DISP_E_OVERFLOW:
      return u"Out of present range";
    case DISP_E_BADINDEX:
      return errors::kBadIndexText;
    case DISP_E_EXCEPTION:
      return u"Exception occurred";
    case E_NOINTERFACE:
      return u"No such interface supported";
    case E_INVALIDARG:
      return u"Invalid argument";
    case E_OUTOFMEMORY:
      return u"Out of memory";
    case RPC_E_DISCONNECTED:
      return errors::kDisconnectedText;
    // Excel is busy: in cell-edit mode, behind a modal dialog, or refusing a call from another
    // thread. The add-in calls only from Excel's own thread, inside Excel's callbacks, where
    // waiting cannot help: Excel leaves that state only by processing the very messages a retry
    // loop would keep it from processing. So a busy answer is reported like any other failure,
    // never retried.
    case errors::kExcelBusy:
    case RPC_E_CALL_REJECTED:
    case RPC_E_SERVERCALL_RETRYLATER:
      return u"Microsoft Excel is busy";
    default:
      return u"Automation error";
  }
}

std::u16string Described(HRESULT hr, std::u16string_view what) {
  std::u16string text(what);
  text += u": ";
  text += ShortText(hr);
  return text;
}

}  // namespace

host::HostError HostErrorFromInvoke(HRESULT hr, EXCEPINFO& excepInfo, std::u16string_view member) {
  if (hr == DISP_E_EXCEPTION && excepInfo.pfnDeferredFillIn != nullptr) {
    excepInfo.pfnDeferredFillIn(&excepInfo);
  }
  // Whatever strings the server left are ours to free, meaningful or not.
  Bstr source, description, helpFile;
  source.reset(excepInfo.bstrSource);
  description.reset(excepInfo.bstrDescription);
  helpFile.reset(excepInfo.bstrHelpFile);
  excepInfo.bstrSource = excepInfo.bstrDescription = excepInfo.bstrHelpFile = nullptr;
  if (hr != DISP_E_EXCEPTION) {
    return {static_cast<std::int32_t>(hr), Described(hr, member)};
  }

  std::int32_t code = static_cast<std::int32_t>(DISP_E_EXCEPTION);
  if (excepInfo.scode != 0) {
    code = static_cast<std::int32_t>(excepInfo.scode);
  } else if (excepInfo.wCode != 0) {
    code = errors::VbaError(excepInfo.wCode);
  }
  std::u16string text = description.to_u16string();
  if (text.empty()) {
    text = Described(static_cast<HRESULT>(code), member);
  }
  return {code, std::move(text)};
}

host::HostError HostErrorFromHResult(HRESULT hr, std::u16string_view what) {
  return {static_cast<std::int32_t>(hr), Described(hr, what)};
}

host::HostError HostErrorFromComError(const ComError& error) {
  return {static_cast<std::int32_t>(error.hr()), Described(error.hr(), Utf8ToUtf16(error.what()))};
}

}  // namespace morvane::com
