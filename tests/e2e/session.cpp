#include "tests/e2e/session.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "hostsim/address.h"
#include "tests/e2e/dialog_driver.h"
#include "tests/e2e/harness_text.h"
#include "tests/e2e/ribbon_markup.h"
#include "tests/e2e/scenario_values.h"
#include "tests/e2e/served_excel.h"
#include "tests/e2e/served_object.h"

namespace morvane::e2e {
namespace {

constexpr LCID kEnglishUs = 0x0409;
constexpr DWORD kBrowseWaitMs = 10000;
const char16_t* const kMenuBar = u"Worksheet Menu Bar";
// What Excel passes to GetCustomUI (the one id Excel uses).
const wchar_t* const kExcelRibbonId = L"Microsoft.Excel.Workbook";

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

std::u16string U16(const Word& word) {
  return U16FromUtf8(word.text);
}

// "&Morvane / &Morvane &Wizard": the captions on the way to a button.
std::vector<std::u16string> CaptionPath(const std::string& text) {
  std::vector<std::u16string> path;
  std::size_t from = 0;
  while (true) {
    const std::size_t slash = text.find(" / ", from);
    std::string part = text.substr(from, slash == std::string::npos ? slash : slash - from);
    while (!part.empty() && part.back() == ' ') {
      part.pop_back();
    }
    path.push_back(U16FromUtf8(part));
    if (slash == std::string::npos) {
      return path;
    }
    from = slash + 3;
  }
}

std::string Visibility(int visibility) {
  switch (visibility) {
    case sim::kSheetHidden:
      return "(hidden)";
    case sim::kSheetVeryHidden:
      return "(veryhidden)";
    default:
      return "";
  }
}

bool TrueFalse(const std::string& text, const std::string& what) {
  if (text == "true") {
    return true;
  }
  if (text == "false") {
    return false;
  }
  throw std::invalid_argument(what + " is true or false");
}

std::vector<std::string> Cells(const std::string& address) {
  std::vector<std::string> cells;
  for (const sim::Area& area : sim::ParseAddress(address)) {
    for (std::int32_t row = area.top; row <= area.bottom; ++row) {
      for (std::int32_t column = area.left; column <= area.right; ++column) {
        cells.push_back(sim::FormatCell({row, column}));
      }
    }
  }
  return cells;
}

// The markup file's bytes read through the ANSI code page, as the add-in reads them.
std::u16string AnsiFile(const std::wstring& path, bool* exists) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  *exists = file != nullptr;
  if (file == nullptr) {
    return {};
  }
  std::string bytes;
  for (int c; (c = std::fgetc(file)) != EOF;) {
    bytes += static_cast<char>(c);
  }
  std::fclose(file);
  if (bytes.empty()) {
    return {};
  }
  const int n =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
  return std::u16string(wide.begin(), wide.end());
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
  const std::string version = Utf8FromU16(excel_->Version());
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
  } else if (verb == "getcustomui") {
    FetchCustomUI();
  } else if (verb == "expect") {
    Expect(line);
  } else if (verb == "print" || verb == "say") {
    Print(line);
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
  if (verb == "version" || verb == "ribbon-file") {
    if (started_) {
      throw std::logic_error(verb + " comes before start");
    }
    if (verb == "version") {
      excel_->SetVersion(U16(w[0]));
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
  } else if (verb == "close-workbook") {
    excel_->CloseActiveWorkbook();
  } else if (verb == "type") {
    excel_->Type(U16(w[0]), w[1].text, U16FromUtf8(line.TextFrom(2)));
  } else if (verb == "fill") {
    const std::u16string text = U16FromUtf8(line.TextFrom(2));
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
  } else if (verb == "select-shape") {
    excel_->SelectShape();
  } else if (verb == "activate") {
    excel_->ActivateSheet(U16(w[0]));
  } else if (verb == "protect") {
    excel_->ProtectSheet(U16(w[0]), true);
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
      options_.dll, ribbonFileMissing_ ? L"" : options_.ribbonFile, failures_);
  browser_ =
      std::make_unique<BrowserRecorder>(options_.harness, install_->Folder() + L"\\browsed.txt");
  const std::size_t failedBefore = failures_.size();
  if (!install_->Register() || failures_.size() > failedBefore) {
    return;
  }
  connect_ = install_->Create();
  if (!connect_) {
    return;
  }
  extensibility_ = connect_.As<IDTExtensibility2>(kExtensibilityIid);
  if (!extensibility_) {
    Fail("Connect does not implement IDTExtensibility2");
    return;
  }
  // Excel lists the add-in from its registry entry and hands its entry over as AddInInst.
  const std::u16string progId = U16FromUtf8(Utf8FromWide(install_->ProgId()));
  excel_->RegisterComAddIn(progId, [this] { DisconnectByUser(); });
  addInInst_ = ServeComAddIn(host_, excel_->ComAddIn(progId));

  HRESULT hr =
      extensibility_->OnConnection(application_.get(), kStartup, addInInst_.get(), &custom_);
  if (hr != S_OK) {
    Fail("OnConnection answered " + Hex(hr));
  }
  connected_ = true;
  // A host with a ribbon asks for the markup once the add-in is connected.
  ribbon_ = connect_.As<IRibbonExtensibility>(kRibbonExtensibilityIid);
  if (IsRibbonHost()) {
    if (!ribbon_) {
      Fail("Connect does not implement IRibbonExtensibility");
    } else {
      FetchCustomUI();
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
  const HRESULT hr = extensibility_->OnDisconnection(kUserClosed, &custom_);
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
    hr = extensibility_->OnDisconnection(kHostShutdown, &custom_);
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
  if (install_) {
    install_->Unload();
    install_->Unregister();
  }
}

void Session::Click(const ScenarioLine& line) {
  if (!connected_) {
    Fail("click with the add-in not connected");
  }
  const std::vector<std::u16string> path = CaptionPath(line.rest);
  DialogDriver driver(line.dialog, *host_, screenshots_);
  driver.Start();
  bool cancelDefault = false;
  std::string error;
  try {
    cancelDefault = excel_->Click(kMenuBar, path);
  } catch (const std::exception& e) {
    error = e.what();
  }
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
  Bstr id(kExcelRibbonId);
  Bstr xml;
  const HRESULT hr = ribbon_->GetCustomUI(id.get(), xml.put());
  if (hr != S_OK) {
    Fail("GetCustomUI answered " + Hex(hr));
    return;
  }
  const std::wstring text = xml.text();
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
  ComPtr<IDispatch> callbacks = ribbon_.As<IDispatch>(IID_IDispatch);
  std::wstring name(onAction->begin(), onAction->end());
  LPOLESTR names[] = {name.data()};
  DISPID dispid = DISPID_UNKNOWN;
  HRESULT hr =
      callbacks ? callbacks->GetIDsOfNames(IID_NULL, names, 1, kEnglishUs, &dispid) : E_NOINTERFACE;
  if (FAILED(hr)) {
    Fail("the add-in does not answer for its callback " + Utf8FromU16(*onAction) + ": " + Hex(hr));
    return;
  }
  ComPtr<IDispatch> control = ServeRibbonControl(host_, id, u"");
  VARIANTARG arg;
  VariantInit(&arg);
  V_VT(&arg) = VT_DISPATCH;
  V_DISPATCH(&arg) = control.get();
  DISPPARAMS params{&arg, nullptr, 1, 0};
  EXCEPINFO exception{};
  UINT argError = 0;
  Variant result;

  DialogDriver driver(line.dialog, *host_, screenshots_);
  driver.Start();
  hr = callbacks->Invoke(dispid, IID_NULL, kEnglishUs, DISPATCH_METHOD, &params, result.put(),
                         &exception, &argError);
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

void Session::Expect(const ScenarioLine& line) {
  const std::string& what = line.words[0].text;
  const std::vector<Word> w(line.words.begin() + 1, line.words.end());
  const auto need = [&](std::size_t n) {
    if (w.size() < n) {
      throw std::invalid_argument("expect " + what + " needs " + std::to_string(n) + " words");
    }
  };
  const auto value = [&](const Word& word) {
    const auto parsed = ParseCellValue(word);
    if (!parsed) {
      throw std::invalid_argument("'" + word.text + "' is no cell value");
    }
    return *parsed;
  };

  if (what == "cell" || what == "cells") {
    need(3);
    const host::CellValue expected = value(w[2]);
    int wrong = 0;
    for (const std::string& cell : Cells(w[1].text)) {
      const host::CellValue actual = excel_->Cell(U16(w[0]), cell).value;
      if (actual != expected && ++wrong <= 3) {
        Fail(w[0].text + "!" + cell + " is " + FormatCellValue(actual) + ", expected " +
             FormatCellValue(expected));
      }
    }
    if (wrong > 3) {
      Fail("and " + std::to_string(wrong - 3) + " more cells differ");
    }
  } else if (what == "formula") {
    need(3);
    const sim::CellContent cell = excel_->Cell(U16(w[0]), w[1].text);
    if (cell.formula != U16(w[2])) {
      Fail(w[0].text + "!" + w[1].text + " has the formula \"" + Utf8FromU16(cell.formula) +
           "\", expected \"" + w[2].text + "\"");
    }
  } else if (what == "sheets") {
    std::string actual;
    for (const std::u16string& name : excel_->SheetNames()) {
      actual += (actual.empty() ? "" : " ") + Utf8FromU16(name) +
                Visibility(excel_->SheetVisibility(name));
    }
    if (actual != line.TextFrom(1)) {
      Fail("the sheets are " + actual + ", expected " + line.TextFrom(1));
    }
  } else if (what == "active") {
    need(1);
    if (excel_->ActiveSheetName() != U16(w[0])) {
      Fail("the active sheet is " + Utf8FromU16(excel_->ActiveSheetName()));
    }
  } else if (what == "menu" || what == "no-menu") {
    // "expect menu &Morvane: A | B | C": one such popup, last on the bar, permanent, with a
    // separator before it, holding exactly these buttons in this order.
    const std::string text = line.TextFrom(1);
    const std::size_t colon = text.find(':');
    const std::u16string caption = U16FromUtf8(text.substr(0, colon));
    const std::vector<sim::ControlView> bar = excel_->BarControls(kMenuBar);
    std::vector<const sim::ControlView*> found;
    for (const sim::ControlView& control : bar) {
      if (control.caption == caption) {
        found.push_back(&control);
      }
    }
    if (what == "no-menu") {
      if (!found.empty()) {
        Fail("the menu bar still holds " + std::to_string(found.size()) + " " +
             Utf8FromU16(caption));
      }
      return;
    }
    if (found.size() != 1) {
      Fail("the menu bar holds " + std::to_string(found.size()) + " " + Utf8FromU16(caption));
      return;
    }
    const sim::ControlView& popup = *found[0];
    if (&popup != &bar.back() || popup.type != host::kControlPopup || !popup.visible ||
        !popup.beginGroup || popup.temporary || !popup.tag.empty()) {
      Fail("the popup is not a last, visible, permanent, grouped popup without a tag");
    }
    if (colon != std::string::npos) {
      std::string actual;
      for (const sim::ControlView& button : popup.controls) {
        actual += (actual.empty() ? "" : " | ") + Utf8FromU16(button.caption);
      }
      std::string expected = text.substr(colon + 1);
      expected.erase(0, expected.find_first_not_of(' '));
      if (actual != expected) {
        Fail("the popup holds " + actual + "; expected " + expected);
      }
    }
  } else if (what == "button") {
    // "expect button &Morvane / Undo Changes  tag=mvUndo face=128 style=3 group=no param="
    std::string path;
    std::vector<std::pair<std::string, std::string>> properties;
    for (const Word& word : w) {
      const std::size_t eq = word.text.find('=');
      if (!word.quoted && eq != std::string::npos) {
        properties.emplace_back(word.text.substr(0, eq), word.text.substr(eq + 1));
      } else {
        path += (path.empty() ? "" : " ") + word.text;
      }
    }
    // Walk the captions down from the bar.
    std::vector<sim::ControlView> level = excel_->BarControls(kMenuBar);
    std::optional<sim::ControlView> control;
    for (const std::u16string& caption : CaptionPath(path)) {
      control.reset();
      for (const sim::ControlView& candidate : level) {
        if (candidate.caption == caption) {
          control = candidate;
          break;
        }
      }
      if (!control) {
        Fail("no control " + path);
        return;
      }
      level = control->controls;
    }
    for (const auto& [key, expected] : properties) {
      std::string actual;
      if (key == "tag") {
        actual = Utf8FromU16(control->tag);
      } else if (key == "face") {
        actual = std::to_string(control->faceId);
      } else if (key == "style") {
        actual = std::to_string(control->style);
      } else if (key == "type") {
        actual = std::to_string(control->type);
      } else if (key == "param") {
        actual = Utf8FromU16(control->parameter);
      } else if (key == "group") {
        actual = control->beginGroup ? "yes" : "no";
      } else if (key == "temporary") {
        actual = control->temporary ? "yes" : "no";
      } else {
        throw std::invalid_argument("a button has no property " + key);
      }
      if (actual != expected) {
        Fail(path + ": " + key + " is " + actual + ", expected " + expected);
      }
    }
  } else if (what == "connected") {
    need(1);
    const bool expected = TrueFalse(w[0].text, "connected");
    const bool listed = excel_->ComAddInConnected(u"Morvane.Connect");
    if (listed != expected || connected_ != expected) {
      Fail(std::string("the add-in is ") + (listed ? "" : "not ") + "connected in COMAddIns" +
           (connected_ ? ", connected to the harness" : ""));
    }
  } else if (what == "sinks") {
    need(1);
    if (excel_->LiveClickConnections() != std::stoi(w[0].text)) {
      Fail(std::to_string(excel_->LiveClickConnections()) + " Click connections are advised");
    }
  } else if (what == "calls") {
    need(2);
    const long count = host_->calls.Count(w[0].text);
    if (count != std::stol(w[1].text)) {
      Fail(w[0].text + " was called " + std::to_string(count) + " times");
    }
  } else if (what == "lcid") {
    need(1);
    const auto others = host_->calls.CalledWithOtherLocale(std::stoul(w[0].text));
    for (const std::string& member : others) {
      Fail(member + " was called with another locale");
    }
  } else if (what == "setting") {
    need(2);
    const sim::Settings& s = excel_->CurrentSettings();
    const std::string& name = w[0].text;
    std::string actual;
    if (name == "Calculation") {
      actual = std::to_string(s.calculation);
    } else if (name == "EnableCancelKey") {
      actual = std::to_string(s.enableCancelKey);
    } else if (name == "ScreenUpdating") {
      actual = s.screenUpdating ? "TRUE" : "FALSE";
    } else if (name == "DisplayAlerts") {
      actual = s.displayAlerts ? "TRUE" : "FALSE";
    } else if (name == "StatusBar") {
      actual = s.statusBarIsCustom ? Utf8FromU16(s.statusBar) : "<Excel's own>";
    } else {
      throw std::invalid_argument("no setting " + name);
    }
    if (actual != w[1].text) {
      Fail(name + " is " + actual + ", expected " + w[1].text);
    }
  } else if (what == "customui") {
    need(1);
    if (!markupFetched_) {
      Fail("the host never got markup");
      return;
    }
    bool exists = false;
    const std::u16string file =
        install_ ? AnsiFile(install_->Folder() + L"\\MorvaneRibbon.xml", &exists) : u"";
    if (w[0].text == "file") {
      if (!exists || markup_ != file || markup_.empty()) {
        Fail("GetCustomUI did not give the markup file's text");
      }
    } else if (w[0].text == "empty") {
      if (!markup_.empty()) {
        Fail("GetCustomUI gave markup");
      }
      if (!exists || !file.empty()) {
        Fail("no empty markup file beside the DLL");
      }
    } else {
      throw std::invalid_argument("customui is file or empty");
    }
  } else if (what == "browsed") {
    need(1);
    if (!browser_ || !browser_->WaitFor(WideFromUtf8(w[0].text), kBrowseWaitMs)) {
      std::string opened;
      for (const std::wstring& url : browser_ ? browser_->Opened() : std::vector<std::wstring>{}) {
        opened += " " + Utf8FromWide(url);
      }
      Fail("the shell was not asked to open " + w[0].text +
           "; opened:" + (opened.empty() ? " nothing" : opened));
    }
  } else {
    throw std::invalid_argument("nothing to expect called " + what);
  }
}

}  // namespace morvane::e2e
