#include "tests/e2e/session.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "addin/com/base/bstr.h"
#include "addin/com/base/variant.h"
#include "hostsim/address.h"
#include "tests/e2e/bench_counters.h"
#include "tests/e2e/dialog_driver.h"
#include "tests/e2e/harness_text.h"
#include "tests/e2e/ribbon_markup.h"
#include "tests/e2e/scenario_values.h"
#include "tests/e2e/served_excel.h"
#include "tests/e2e/served_object.h"
#include "tests/e2e/session_words.h"

namespace morvane::e2e {
namespace {

constexpr LCID kEnglishUs = 0x0409;
// What Excel passes to GetCustomUI (the one id Excel uses).
const wchar_t* const kExcelRibbonId = L"Microsoft.Excel.Workbook";

// A stand-in for the rendered guide the packages install beside the DLL.
void WriteGuideFile(const std::wstring& path) {
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (file != nullptr) {
    std::fputs("<!DOCTYPE html><title>Morvane</title><p>The user guide.</p>\n", file);
    std::fclose(file);
  }
}

}  // namespace

Session::Session(const Scenario& scenario, SessionOptions options)
    : scenario_(scenario),
      options_(std::move(options)),
      screenshots_(options_.screenshots),
      excel_(sim::Excel::Create()),
      host_(std::make_shared<ServedHost>(excel_)),
      application_(ServeApplication(host_)),
      custom_(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}

Session::~Session() {
  ReleaseAddIn();
  host_->clickAdvises.clear();
  if (custom_ != nullptr) {
    SafeArrayDestroy(custom_);
  }
}

void Session::Fail(const std::string& what) {
  FailAsIs((current_ != nullptr ? "line " + std::to_string(current_->number) + ": " : "") + what);
}

void Session::FailAsIs(const std::string& what) {
  failures_.push_back(what);
  std::fprintf(stdout, "  FAILED: %s\n", what.c_str());
}

bool Session::IsRibbonHost() const {
  const std::string version = Utf16ToUtf8(excel_->Version());
  char* end = nullptr;
  const double number = std::strtod(version.c_str(), &end);
  return end != version.c_str() && number > 11.0;
}

std::vector<std::string> Session::Play() {
  for (const ScenarioLine& line : scenario_.lines) {
    current_ = &line;
    if (options_.echo) {
      std::fprintf(stdout, "%3d  %s %s\n", line.number, line.verb.c_str(), line.rest.c_str());
      std::fflush(stdout);
    }
    const std::size_t failedBefore = failures_.size();
    try {
      Run(line);
    } catch (const std::exception& error) {
      Fail(line.verb + ": " + error.what());
    }
    // Without a connected add-in nothing later can mean anything.
    if (failures_.size() > failedBefore && line.verb == "start") {
      break;
    }
  }
  current_ = nullptr;
  if (started_ && !quit_) {
    Quit();
  }
  return failures_;
}

void Session::Run(const ScenarioLine& line) {
  const std::string& verb = line.verb;
  if (verb == "start") {
    Start();
  } else if (verb == "quit") {
    if (!started_ || quit_) {
      throw std::logic_error("quit needs a started Excel");
    }
    Quit();
  } else if (verb == "click") {
    Click(line);
  } else if (verb == "ribbon") {
    Ribbon(line);
  } else if (verb == "reconnect") {
    Reconnect(line);
  } else if (verb == "getcustomui") {
    FetchCustomUI();
  } else if (verb == "expect") {
    Expect(line);
  } else if (verb == "print" || verb == "say") {
    Print(line);
  } else if (verb == "high-contrast") {
    HighContrast(line);
  } else if (verb == "screenshot") {
    if (const std::string error = screenshots_.Take(line.words[0].text); !error.empty()) {
      Fail(error);
    }
  } else {
    Setup(line);
  }
}

void Session::Setup(const ScenarioLine& line) {
  const std::string& verb = line.verb;
  const auto& w = line.words;
  if (verb == "version" || verb == "ribbon-file" || verb == "guide-file") {
    if (started_) {
      throw std::logic_error(verb + " comes before start");
    }
    if (verb == "version") {
      excel_->SetVersion(U16(w[0]));
    } else if (verb == "guide-file") {
      if (w[0].text != "present") {
        throw std::invalid_argument("guide-file is present");
      }
      guideFilePresent_ = true;
    } else if (w[0].text == "missing") {
      ribbonFileMissing_ = true;
    } else if (w[0].text != "built") {
      throw std::invalid_argument("ribbon-file is missing or built");
    }
  } else if (verb == "workbook") {
    std::vector<std::u16string> names;
    for (const Word& word : w) {
      names.push_back(U16(word));
    }
    excel_->AddWorkbook(names);
  } else if (verb == "type") {
    excel_->Type(U16(w[0]), w[1].text, Utf8ToUtf16(line.TextFrom(2)));
  } else if (verb == "fill") {
    const std::u16string text = Utf8ToUtf16(line.TextFrom(2));
    for (const std::string& cell : Cells(w[1].text)) {
      excel_->Type(U16(w[0]), cell, text);
    }
  } else if (verb == "formula") {
    const auto cached = ParseCellValue(w[3]);
    if (!cached) {
      throw std::invalid_argument("the cached result is no value");
    }
    excel_->PutFormula(U16(w[0]), w[1].text, U16(w[2]), *cached);
  } else if (verb == "select") {
    excel_->Select(w[0].text);
  } else {
    throw std::logic_error("no handler for " + verb);
  }
}

void Session::Start() {
  if (started_) {
    throw std::logic_error("Excel is started once");
  }
  started_ = true;
  install_ = std::make_unique<AddInInstall>(
      options_.dll, ribbonFileMissing_ ? L"" : options_.ribbonFile, failures_, options_.installed);
  if (guideFilePresent_ && !options_.installed) {
    WriteGuideFile(install_->DllFolder() + L"\\MorvaneGuide.html");
  }
  browser_ =
      std::make_unique<BrowserRecorder>(options_.harness, install_->Folder() + L"\\browsed.txt");
  const std::size_t failedBefore = failures_.size();
  if (!install_->Register() || failures_.size() > failedBefore) {
    return;
  }
  const std::int64_t loadStart = Ticks();
  connect_ = install_->Create();
  if (!connect_) {
    return;
  }
  extensibility_ = connect_.try_query<IDTExtensibility2>();
  if (!extensibility_) {
    Fail("Connect does not implement IDTExtensibility2");
    return;
  }
  // Excel lists the add-in from its registry entry and hands its entry over as AddInInst.
  const std::u16string progId = win32::FromWide(install_->ProgId());
  excel_->RegisterComAddIn(progId, [this] { DisconnectByUser(); });
  addInInst_ = ServeComAddIn(host_, excel_->ComAddIn(progId));

  HRESULT hr =
      extensibility_->OnConnection(application_.get(), ext_cm_Startup, addInInst_.get(), &custom_);
  if (hr != S_OK) {
    Fail("OnConnection answered " + Hex(hr));
  }
  Bench().loadMs = MsSince(Ticks() - loadStart);
  connected_ = true;
  // A host with a ribbon asks for the markup once the add-in is connected.
  ribbon_ = connect_.try_query<IRibbonExtensibility>();
  if (IsRibbonHost()) {
    if (!ribbon_) {
      Fail("Connect does not implement IRibbonExtensibility");
    } else {
      const std::int64_t customUiStart = Ticks();
      FetchCustomUI();
      Bench().customUiMs = MsSince(Ticks() - customUiStart);
    }
  }
  hr = extensibility_->OnStartupComplete(&custom_);
  if (hr != S_OK) {
    Fail("OnStartupComplete answered " + Hex(hr));
  }
  AfterCommand();
}

void Session::DisconnectByUser() {
  if (!extensibility_) {
    return;
  }
  const HRESULT hr = extensibility_->OnDisconnection(ext_dm_UserClosed, &custom_);
  if (hr != S_OK) {
    Fail("OnDisconnection (user closed) answered " + Hex(hr));
  }
  connected_ = false;
  // Excel lets go of the add-in once the call that disconnected it has returned.
  releasePending_ = true;
}

void Session::ReleaseAddIn() {
  ribbon_.reset();
  extensibility_.reset();
  connect_.reset();
  addInInst_.reset();
  releasePending_ = false;
}

void Session::AfterCommand() {
  for (const std::string& failure : host_->sinkFailures) {
    Fail(failure);
  }
  host_->sinkFailures.clear();
  if (releasePending_) {
    ReleaseAddIn();
  }
}

void Session::Quit() {
  quit_ = true;
  if (connected_ && extensibility_) {
    HRESULT hr = extensibility_->OnBeginShutdown(&custom_);
    if (hr != S_OK) {
      Fail("OnBeginShutdown answered " + Hex(hr));
    }
    hr = extensibility_->OnDisconnection(ext_dm_HostShutdown, &custom_);
    if (hr != S_OK) {
      Fail("OnDisconnection (host shutdown) answered " + Hex(hr));
    }
    connected_ = false;
  }
  ReleaseAddIn();
  AfterCommand();
  // Everything the add-in was given should be back.
  if (const int left = excel_->LiveClickConnections(); left != 0) {
    Fail("the add-in left " + std::to_string(left) + " Click connection(s) advised");
  }
  host_->clickAdvises.clear();
  application_.reset();
  if (const long left = ServedObject::Live(); left != 0) {
    Fail("the add-in still holds " + std::to_string(left) + " Excel object(s)");
  }
  highContrast_.reset();  // its patch lives in the DLL's import table
  if (install_) {
    install_->Unload();
    install_->Unregister();
  }
}

void Session::HighContrast(const ScenarioLine& line) {
  const std::string& state = line.words[0].text;
  if (state == "off") {
    highContrast_.reset();
    return;
  }
  if (state != "on") {
    throw std::invalid_argument("high-contrast is on or off");
  }
  highContrast_ = std::make_unique<HighContrastView>(GetModuleHandleW(L"Morvane.dll"));
  if (!highContrast_->Applied()) {
    Fail("high-contrast needs the add-in loaded");
  }
}

void Session::Click(const ScenarioLine& line) {
  if (!connected_) {
    Fail("click with the add-in not connected");
  }
  const std::vector<std::u16string> path = CaptionPath(line.rest);
  DialogDriver driver(line.dialog, *host_, screenshots_);
  CommandSpan span;
  driver.Start();
  bool cancelDefault = false;
  std::string error;
  try {
    cancelDefault = excel_->Click(kMenuBar, path);
  } catch (const std::exception& e) {
    error = e.what();
  }
  span.Finish();
  for (const std::string& failure : driver.Finish()) {
    failure.starts_with("line ") ? FailAsIs(failure) : Fail(failure);
  }
  AfterCommand();
  if (!error.empty()) {
    Fail("the click did not happen: " + error);
  } else if (!cancelDefault) {
    Fail("the click handler left CancelDefault false");
  }
}

void Session::FetchCustomUI() {
  if (!ribbon_) {
    Fail("the add-in offers no IRibbonExtensibility");
    return;
  }
  com::Bstr id(kExcelRibbonId);
  com::Bstr xml;
  const HRESULT hr = ribbon_->GetCustomUI(id.get(), xml.put());
  if (hr != S_OK) {
    Fail("GetCustomUI answered " + Hex(hr));
    return;
  }
  const std::wstring_view text = xml.view();
  markup_.assign(text.begin(), text.end());
  markupFetched_ = true;
}

void Session::Ribbon(const ScenarioLine& line) {
  if (!ribbon_) {
    Fail("the add-in offers no ribbon");
    return;
  }
  if (!markupFetched_) {
    FetchCustomUI();
  }
  const std::u16string id = U16(line.words[0]);
  const auto onAction = ControlAttribute(markup_, id, u"onAction");
  if (!onAction) {
    Fail("the ribbon markup has no control " + line.words[0].text + " with an onAction");
    return;
  }
  // The ribbon calls back through the dispatch interface of the object that gave it the
  // markup, finding the callback by the name the markup gives.
  com::ComPtr<IDispatch> callbacks = ribbon_.try_query<IDispatch>();
  std::wstring name(onAction->begin(), onAction->end());
  LPOLESTR names[] = {name.data()};
  DISPID dispid = DISPID_UNKNOWN;
  HRESULT hr =
      callbacks ? callbacks->GetIDsOfNames(IID_NULL, names, 1, kEnglishUs, &dispid) : E_NOINTERFACE;
  if (FAILED(hr)) {
    Fail("the add-in does not answer for its callback " + Utf16ToUtf8(*onAction) + ": " + Hex(hr));
    return;
  }
  com::ComPtr<IDispatch> control = ServeRibbonControl(host_, id, u"");
  VARIANTARG arg;
  VariantInit(&arg);
  V_VT(&arg) = VT_DISPATCH;
  V_DISPATCH(&arg) = control.get();
  DISPPARAMS params{&arg, nullptr, 1, 0};
  EXCEPINFO exception{};
  UINT argError = 0;
  com::Variant result;

  DialogDriver driver(line.dialog, *host_, screenshots_);
  CommandSpan span;
  driver.Start();
  hr = callbacks->Invoke(dispid, IID_NULL, kEnglishUs, DISPATCH_METHOD, &params, result.put(),
                         &exception, &argError);
  span.Finish();
  for (const std::string& failure : driver.Finish()) {
    failure.starts_with("line ") ? FailAsIs(failure) : Fail(failure);
  }
  callbacks.reset();
  AfterCommand();
  if (FAILED(hr)) {
    const std::wstring description = exception.bstrDescription ? exception.bstrDescription : L"";
    Fail("the ribbon callback failed: " + Hex(hr) + " scode " + Hex(exception.scode) + " " +
         Utf8FromWide(description));
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

void Session::Print(const ScenarioLine& line) {
  if (line.verb == "say") {
    std::fprintf(stdout, "%s\n", line.TextFrom(0).c_str());
    return;
  }
  const std::u16string sheet = U16(line.words[0]);
  const std::string label = line.TextFrom(2);
  if (!label.empty()) {
    std::fprintf(stdout, "%s\n", label.c_str());
  }
  for (const std::string& cell : Cells(line.words[1].text)) {
    std::fprintf(stdout, "    %-5s %s\n", cell.c_str(),
                 FormatCellValue(excel_->Cell(sheet, cell).value).c_str());
  }
  std::fflush(stdout);
}

}  // namespace morvane::e2e
