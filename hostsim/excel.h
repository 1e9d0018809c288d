#pragma once

// The simulated Excel: an in-memory host that implements addin/model/host.h the way Excel behaves
// wherever the add-in could notice (see hostsim/README.md for each modelled behaviour and its
// source). Besides the host members it offers a test-side API to set up workbooks, look at
// what the add-in did, inject faults and count calls. Test-side members are not host calls:
// they are neither counted nor subject to fault injection.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "addin/model/host.h"

namespace morvane::sim {

using host::CellValue;

// Excel's XlSheetVisibility values.
inline constexpr int kSheetVisible = -1;
inline constexpr int kSheetHidden = 0;
inline constexpr int kSheetVeryHidden = 2;

// What a cell holds, as the test side sees it.
struct CellContent {
  CellValue value;         // the constant, or a formula's cached result
  std::u16string formula;  // non-empty for a formula cell
  bool prefix = false;     // the apostrophe prefix (PrefixCharacter "'")
  std::u16string numberFormat = u"General";
  bool locked = true;

  bool HasFormula() const { return !formula.empty(); }
  friend bool operator==(const CellContent&, const CellContent&) = default;
};

// One write of an application setting, in the order the add-in made them.
struct SettingWrite {
  std::string member;  // "EnableCancelKey", "StatusBar", "ScreenUpdating", "Calculation",
                       // "DisplayAlerts"
  std::variant<int, bool, std::u16string> value;
  friend bool operator==(const SettingWrite&, const SettingWrite&) = default;
};

struct Settings {
  int enableCancelKey = 1;   // xlInterrupt
  std::u16string statusBar;  // empty: the host's own text
  bool statusBarIsCustom = false;
  bool screenUpdating = true;
  int calculation = host::kCalculationAutomatic;
  bool displayAlerts = true;
  friend bool operator==(const Settings&, const Settings&) = default;
};

// A command bar control as the test side sees it.
struct ControlView {
  int type = 0;
  int id = 1;
  std::u16string caption;
  std::u16string tag;
  std::u16string parameter;
  int faceId = 0;
  int style = 0;
  bool beginGroup = false;
  bool visible = true;
  bool temporary = false;
  bool builtIn = false;
  std::vector<ControlView> controls;  // a popup's own controls
};

class Excel : public host::Application {
 public:
  // The simulator hands out host objects that point back to it, so it lives in a shared_ptr.
  static std::shared_ptr<Excel> Create();
  ~Excel() override;

  // --- Application state -----------------------------------------------------------------
  void SetVersion(std::u16string version);  // default "16.0"

  // --- Workbooks and sheets (of the active workbook) --------------------------------------
  // Opens a workbook with these sheets and makes it active, its first sheet active.
  void AddWorkbook(const std::vector<std::u16string>& sheetNames = {u"Sheet1"});
  void CloseActiveWorkbook();
  int WorkbookCount() const;
  std::vector<std::u16string> SheetNames() const;  // in workbook order
  std::u16string ActiveSheetName() const;
  int SheetVisibility(const std::u16string& sheet) const;
  void SetSheetVisibility(const std::u16string& sheet, int visibility);
  void ActivateSheet(const std::u16string& sheet);
  void ProtectStructure(bool protect);
  void ProtectSheet(const std::u16string& sheet, bool protect);
  bool SheetProtected(const std::u16string& sheet) const;
  // Defines a workbook-level name referring to cells of a sheet.
  void AddName(const std::u16string& name, const std::u16string& sheet);
  // The sheet a name refers to ("#REF!" once that sheet is deleted), for the workbook-level
  // name, or, with `localTo`, for that sheet's local name; "" when there is no such name.
  std::u16string NameRefersTo(const std::u16string& name, const std::u16string& localTo = {}) const;
  // Delete prompts that would have been shown (Delete while DisplayAlerts is on).
  int ConfirmationsShown() const;

  // --- Cells, by A1 address on a named sheet of the active workbook ------------------------
  // Stores a constant as it is (no typing), with an optional number format.
  void Put(const std::u16string& sheet, const std::string& a1, const CellValue& value,
           const std::u16string& numberFormat = u"General");
  // Enters text as if typed by the user (the same reading as a Value write of text).
  void Type(const std::u16string& sheet, const std::string& a1, const std::u16string& text);
  void PutFormula(const std::u16string& sheet, const std::string& a1, const std::u16string& formula,
                  const CellValue& cachedResult);
  void SetNumberFormat(const std::u16string& sheet, const std::string& a1,
                       const std::u16string& numberFormat);
  void SetLocked(const std::u16string& sheet, const std::string& a1, bool locked);
  // An empty cell reads as a default CellContent.
  CellContent Cell(const std::u16string& sheet, const std::string& a1) const;
  // Every filled cell of a sheet, keyed by A1 address.
  std::map<std::string, CellContent> Cells(const std::u16string& sheet) const;

  // --- Selection of the active sheet (each sheet keeps its own, as in Excel) ---------------
  void Select(const std::string& a1Areas);  // "A1", "A1:B3,D5", "C:C", "2:2", "A:XFD"
  void SelectShape();                       // a drawing object: not a range
  void SelectNothing();
  std::string SelectionAddress() const;  // "" when the selection is not a range
  // The address of a range this host made ("A1:B3,D5"), "" for anything else; and its sheet.
  std::string AddressOf(const std::shared_ptr<host::Range>& range) const;
  std::u16string SheetOf(const std::shared_ptr<host::Range>& range) const;

  // --- Settings ----------------------------------------------------------------------------
  const Settings& CurrentSettings() const;
  const std::vector<SettingWrite>& SettingsLog() const;
  void ClearSettingsLog();

  // --- COM add-ins -------------------------------------------------------------------------
  // Lists an add-in; setting its Connect to false calls onDisconnect synchronously, inside
  // the property write, as Excel does.
  void RegisterComAddIn(const std::u16string& progId, std::function<void()> onDisconnect);
  bool ComAddInConnected(const std::u16string& progId) const;

  // --- Command bars ------------------------------------------------------------------------
  std::vector<ControlView> BarControls(const std::u16string& bar) const;
  // Clicks the button reached by a path of captions from the bar ({u"&Morvane", u"E&xit"}).
  // Raises Click on every connected handler in connection order and returns CancelDefault.
  bool Click(const std::u16string& bar, const std::vector<std::u16string>& captionPath);
  int LiveClickConnections() const;
  bool BarVisible(const std::u16string& bar) const;
  // Ends and starts the host again: temporary controls go, permanent ones stay, and every
  // event connection ends. Workbooks close.
  void SimulateRestart();

  // --- Fault injection and counters ----------------------------------------------------------
  // Member names are "Class.Method" as in host.h: "Application.Version", "Range.SetValue",
  // "Sheet.CopyAfter", "CommandBarControls.Add", ...
  void FailMember(const std::string& member, host::HostError error);  // every call
  void FailNthCall(long long k, host::HostError error);               // the k-th host call
  // The k-th host call and every later one, like an Excel that has gone away mid-command.
  void FailCallsFrom(long long k, host::HostError error);
  void ClearFaults();
  long long CallCount(const std::string& member) const;
  long long TotalCalls() const;
  void ResetCounters();

  // --- host::Application -------------------------------------------------------------------
  std::u16string Version() override;
  std::int32_t WorkbooksCount() override;
  std::shared_ptr<host::Sheet> ActiveSheet() override;
  std::shared_ptr<host::Sheets> Sheets() override;
  std::shared_ptr<host::Range> Selection() override;
  double CountA(const std::shared_ptr<host::Range>& range) override;
  std::shared_ptr<host::Range> Intersect(const std::shared_ptr<host::Range>& a,
                                         const std::shared_ptr<host::Range>& b) override;
  void SetEnableCancelKey(int value) override;
  void SetStatusBar(const std::u16string& text) override;
  void SetScreenUpdating(bool value) override;
  void SetCalculation(int value) override;
  void SetDisplayAlerts(bool value) override;
  std::shared_ptr<host::ComAddIn> ComAddIn(const std::u16string& progId) override;
  std::shared_ptr<host::CommandBar> CommandBar(const std::u16string& name) override;

  struct State;  // the whole simulated host; host objects share it

 private:
  Excel();
  std::shared_ptr<State> state_;
};

}  // namespace morvane::sim
