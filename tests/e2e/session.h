#pragma once

// One run of a scenario: a simulated Excel served through IDispatch, the real add-in
// registered, loaded and connected the way Excel does it, the scenario's lines played in
// order, then Excel's shutdown, the DLL's unloading and its unregistration.

#include <memory>
#include <string>
#include <vector>

#include "addin/com/base/com_ptr.h"
#include "office.h"
#include "tests/e2e/add_in_install.h"
#include "tests/e2e/browser_record.h"
#include "tests/e2e/high_contrast_view.h"
#include "tests/e2e/scenario.h"
#include "tests/e2e/screenshots.h"
#include "tests/e2e/served_host.h"

namespace morvane::e2e {

struct SessionOptions {
  std::wstring dll;         // the built Morvane.dll
  std::wstring ribbonFile;  // the built MorvaneRibbon.xml that goes beside it
  std::string screenshots;  // a Linux folder for pictures; empty: none
  std::wstring harness;     // this program, for the browser recorder
  bool echo = true;         // print each line as it runs
  bool installed = false;   // `dll` is installed and registered already: use it where it is
};

class Session {
 public:
  Session(const Scenario& scenario, SessionOptions options);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Plays every line; what went wrong, each with its line. Empty: the scenario passed.
  std::vector<std::string> Play();

 private:
  void Run(const ScenarioLine& line);
  void Setup(const ScenarioLine& line);
  void Start();
  void Quit();
  void Click(const ScenarioLine& line);
  void Ribbon(const ScenarioLine& line);
  void FetchCustomUI();
  void Reconnect(const ScenarioLine& line);
  void Expect(const ScenarioLine& line);
  void Print(const ScenarioLine& line);
  void HighContrast(const ScenarioLine& line);

  // Excel's side of COMAddIn.Connect := False: OnDisconnection inside the property write.
  void DisconnectByUser();
  void ReleaseAddIn();
  void AfterCommand();

  void Fail(const std::string& what);  // about the current line
  void FailAsIs(const std::string& what);
  bool IsRibbonHost() const;

  const Scenario& scenario_;
  SessionOptions options_;
  Screenshots screenshots_;
  std::vector<std::string> failures_;
  const ScenarioLine* current_ = nullptr;

  std::shared_ptr<sim::Excel> excel_;
  std::shared_ptr<ServedHost> host_;
  com::ComPtr<IDispatch> application_;

  bool ribbonFileMissing_ = false;
  bool guideFilePresent_ = false;
  std::unique_ptr<AddInInstall> install_;
  std::unique_ptr<HighContrastView> highContrast_;
  std::unique_ptr<BrowserRecorder> browser_;
  com::ComPtr<IUnknown> connect_;
  com::ComPtr<IDTExtensibility2> extensibility_;
  com::ComPtr<IRibbonExtensibility> ribbon_;
  com::ComPtr<IDispatch> addInInst_;
  SAFEARRAY* custom_ = nullptr;
  bool started_ = false;
  bool connected_ = false;
  bool quit_ = false;
  bool releasePending_ = false;
  std::u16string markup_;
  bool markupFetched_ = false;
};

}  // namespace morvane::e2e
