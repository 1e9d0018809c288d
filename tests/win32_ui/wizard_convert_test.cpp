// The wizard while Convert runs: which option each cell gets, STOP, the close box, progress,
// messages, all through the real dialog with the user's clicks queued from a helper thread.

#include <gtest/gtest.h>
// windows.h before commctrl.h, which needs its types.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "convert/rules/case_rules.h"
#include "win32_ui/ui_fixture.h"

namespace morvane::uitest {
namespace {

const std::u16string kMixed = u"mIxEd wOrds. aGain";  // distinct in each of the four cases

CaseMode ModeOf(int option) {
  switch (option) {
    case IDC_OPTLC:
      return CaseMode::LowerCase;
    case IDC_OPTTC:
      return CaseMode::TitleCase;
    case IDC_OPTSC:
      return CaseMode::SentenceCase;
    default:
      return CaseMode::UpperCase;
  }
}

class WizardConvertTest : public WizardTest {
 protected:
  void SelectMixedTexts(std::size_t count) {
    SelectTexts(std::vector<std::u16string>(count, kMixed));
  }

  // Chooses the option, then presses CONVERT.
  static void ChooseAndConvert(HWND wizard, int option) {
    Click(wizard, option);
    WaitUntil([&] { return ItemChecked(wizard, option); });
    Click(wizard, IDC_CMDCONVERT);
  }

  // The first `converted` cells hold the text in `mode`, the others are untouched.
  void ExpectConvertedUpTo(std::size_t converted, std::size_t count, CaseMode mode) {
    for (std::size_t row = 0; row < count; ++row) {
      EXPECT_EQ(TextAt(row), row < converted ? ApplyCase(kMixed, mode) : kMixed) << "row " << row;
    }
  }

  void ExpectHostSettingsRestored() {
    EXPECT_EQ(excel->CurrentSettings().calculation, host::kCalculationAutomatic);
    EXPECT_TRUE(excel->CurrentSettings().screenUpdating);
    EXPECT_TRUE(excel->CurrentSettings().displayAlerts);
  }
};

TEST_F(WizardConvertTest, AnOptionChosenDuringTheRunAppliesFromTheNextCell) {
  struct Row {
    int first, then;
    int clickedBeforeCell;  // takes effect at the message pass after that cell
  };
  for (const Row& row :
       {Row{IDC_OPTLC, IDC_OPTUC, 2}, Row{IDC_OPTUC, IDC_OPTSC, 1}, Row{IDC_OPTTC, IDC_OPTLC, 4}}) {
    SCOPED_TRACE(testing::Message() << "switch before cell " << row.clickedBeforeCell);
    SelectMixedTexts(5);
    bool closed = false;
    ShowWizardWhile([&](HWND wizard) {
      gates.HoldAt({row.clickedBeforeCell});
      ChooseAndConvert(wizard, row.first);
      ASSERT_TRUE(gates.AwaitHold(row.clickedBeforeCell));
      Click(wizard, row.then);
      gates.Release();
      closed = WaitUntilClosed(wizard);
    });
    EXPECT_TRUE(closed);
    ExpectHostSettingsRestored();
    const auto switched = static_cast<std::size_t>(row.clickedBeforeCell);
    for (std::size_t r = 0; r < 5; ++r) {
      EXPECT_EQ(TextAt(r), ApplyCase(kMixed, ModeOf(r < switched ? row.first : row.then)))
          << "row " << r;
    }
  }
}

TEST_F(WizardConvertTest, StopEndsTheRunAfterTheCurrentCell) {
  SelectMixedTexts(5);
  bool stopVisible = false;
  bool convertVisible = true;
  ShowWizardWhile([&](HWND wizard) {
    gates.HoldAt({3});
    ChooseAndConvert(wizard, IDC_OPTUC);
    ASSERT_TRUE(gates.AwaitHold(3));
    stopVisible = ItemVisible(wizard, IDC_COMMANDBUTTON1);
    convertVisible = ItemVisible(wizard, IDC_CMDCONVERT);
    Click(wizard, IDC_COMMANDBUTTON1);
    gates.Release();
    WaitUntilClosed(wizard);
  });
  EXPECT_TRUE(stopVisible);
  EXPECT_FALSE(convertVisible);
  ExpectConvertedUpTo(3, 5, CaseMode::UpperCase);
  ExpectHostSettingsRestored();
}

// Alt+F4 as the keyboard sends it: the key with the Alt flag.
constexpr LPARAM kAltF4KeyData = 1 | (0x3E << 16) | (1 << 29);

TEST_F(WizardConvertTest, ClosingTheWindowDuringTheRunStopsAfterTheCurrentCell) {
  struct Row {
    const char* how;
    void (*close)(HWND wizard);
  };
  const Row rows[] = {
      {"close box", [](HWND wizard) { PressCloseBox(wizard); }},
      {"Alt+F4", [](HWND wizard) { PostMessageW(wizard, WM_SYSKEYDOWN, VK_F4, kAltF4KeyData); }},
      {"Escape",
       [](HWND wizard) {
         PostMessageW(GetDlgItem(wizard, IDC_COMMANDBUTTON1), WM_KEYDOWN, VK_ESCAPE, 1);
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.how);
    SelectMixedTexts(5);
    bool openAtClosingSteps = false;
    ShowWizardWhile([&](HWND wizard) {
      gates.HoldAt({2, kClosingSteps});
      ChooseAndConvert(wizard, IDC_OPTLC);
      ASSERT_TRUE(gates.AwaitHold(2));
      row.close(wizard);
      gates.Release();
      ASSERT_TRUE(gates.AwaitHold(kClosingSteps));
      openAtClosingSteps = IsWindowVisible(wizard);  // Convert, not the close, ends the form
      gates.Release();
      WaitUntilClosed(wizard);
    });
    EXPECT_TRUE(openAtClosingSteps);
    ExpectConvertedUpTo(2, 5, CaseMode::LowerCase);
    ExpectHostSettingsRestored();
  }
}

TEST_F(WizardConvertTest, ProgressBarAndPercentageFollowEachCell) {
  struct Row {
    int point;
    int barPosition;
    const wchar_t* percent;
  };
  // Eight cells: the bar's steps are value / 8 of MORVANE_PROGRESS_STEPS.
  const Row rows[] = {
      {1, 0, L"0%"},
      {2, 1250, L"12 %"},
      {4, 3750, L"38 %"},
      {6, 6250, L"62 %"},
      {kClosingSteps, 10000, L"100 %"},
  };
  SelectMixedTexts(8);
  struct Seen {
    int barPosition = -1;
    std::wstring percent;
    std::wstring barName;  // a screen reader's name for the bar
  };
  std::vector<Seen> seen;
  ShowWizardWhile([&](HWND wizard) {
    gates.HoldAt({1, 2, 4, 6, kClosingSteps});
    ChooseAndConvert(wizard, IDC_OPTUC);
    for (const Row& row : rows) {
      ASSERT_TRUE(gates.AwaitHold(row.point)) << "point " << row.point;
      HWND bar = GetDlgItem(wizard, IDC_PROGRESSBAR1);
      seen.push_back({static_cast<int>(Ask(bar, PBM_GETPOS)), ItemText(wizard, IDC_LBLPER),
                      AccessibleName(bar)});
      gates.Release();
    }
    WaitUntilClosed(wizard);
  });
  ASSERT_EQ(seen.size(), std::size(rows));
  for (std::size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "point " << rows[i].point);
    EXPECT_EQ(seen[i].barPosition, rows[i].barPosition);
    EXPECT_EQ(seen[i].percent, rows[i].percent);
    EXPECT_NE(seen[i].barName.find(rows[i].percent), std::wstring::npos) << seen[i].barName;
  }
}

// Counts what reaches the screen: texts set on the percentage label and positions set on the bar.
struct ScreenUpdates {
  static inline int label = 0;
  static inline int bar = 0;
  static inline WNDPROC labelProc = nullptr;
  static inline WNDPROC barProc = nullptr;
  static LRESULT CALLBACK Label(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    label += m == WM_SETTEXT ? 1 : 0;
    return CallWindowProcW(labelProc, w, m, wp, lp);
  }
  static LRESULT CALLBACK Bar(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    bar += m == PBM_SETPOS ? 1 : 0;
    return CallWindowProcW(barProc, w, m, wp, lp);
  }
};

// Many cells repaint the label once per new percentage and the bar once per pixel it grows, not
// once per cell: the screen, not Excel, would otherwise take most of the run's time.
TEST_F(WizardConvertTest, ManyCellsRepaintOnlyWhatChanged) {
  constexpr std::size_t kCells = 3000;
  SelectMixedTexts(kCells);
  int barWidth = 0;
  ShowWizardWhile([&](HWND wizard) {
    gates.HoldAt({1});
    ChooseAndConvert(wizard, IDC_OPTUC);
    ASSERT_TRUE(gates.AwaitHold(1));
    HWND label = GetDlgItem(wizard, IDC_LBLPER);
    HWND bar = GetDlgItem(wizard, IDC_PROGRESSBAR1);
    RECT client{};
    GetClientRect(bar, &client);
    barWidth = client.right - client.left;
    ScreenUpdates::labelProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ScreenUpdates::Label)));
    ScreenUpdates::barProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ScreenUpdates::Bar)));
    gates.Release();
    WaitUntilClosed(wizard);
  });
  EXPECT_EQ(TextAt(kCells - 1), ApplyCase(kMixed, CaseMode::UpperCase));
  EXPECT_GT(ScreenUpdates::label, 0);
  EXPECT_LE(ScreenUpdates::label, 101);
  EXPECT_GT(ScreenUpdates::bar, 0);
  EXPECT_LE(ScreenUpdates::bar, barWidth + 1);
}

// Enter presses CONVERT, the default button, wherever the focus is; a second Enter while
// Convert runs changes nothing: no second run, and no STOP either.
TEST_F(WizardConvertTest, EnterConvertsAndASecondEnterDuringTheRunDoesNothing) {
  for (int focused : {IDC_OPTTC, IDC_CMDCONVERT}) {
    SCOPED_TRACE(testing::Message() << "focus on " << focused);
    SelectMixedTexts(4);
    const long long copiesBefore = excel->CallCount("Sheet.CopyAfter");
    bool closed = false;
    ShowWizardWhile([&](HWND wizard) {
      Click(wizard, IDC_OPTTC);
      PostMessageW(wizard, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(wizard, focused)),
                   TRUE);
      WaitUntil([&] { return FocusIn(wizard) == GetDlgItem(wizard, focused); });
      gates.HoldAt({2});
      PressKey(wizard, VK_RETURN);
      ASSERT_TRUE(gates.AwaitHold(2));
      PressKey(wizard, VK_RETURN);
      gates.Release();
      closed = WaitUntilClosed(wizard);
    });
    EXPECT_TRUE(closed);
    ExpectConvertedUpTo(4, 4, CaseMode::TitleCase);
    EXPECT_EQ(excel->CallCount("Sheet.CopyAfter"), copiesBefore + 1) << "one run, one snapshot";
    ExpectHostSettingsRestored();
  }
}

TEST_F(WizardConvertTest, ItsMessagesAreModalToTheWizardWhichThenCloses) {
  struct Row {
    const char* situation;
    std::function<void(sim::Excel&)> setUp;
    const wchar_t* message;
  };
  const Row rows[] = {
      {"no workbook", [](sim::Excel& host) { host.CloseActiveWorkbook(); },
       L"Please add a New Workbook!"},
      {"empty selection", [](sim::Excel& host) { host.Select("C5"); }, L"Selection is Empty!"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.situation);
    if (excel->WorkbookCount() == 0) {
      excel->AddWorkbook({u"Sheet1"});
    }
    row.setUp(*excel);
    HWND owner = nullptr;
    HWND wizardSeen = nullptr;
    std::wstring text;
    bool closed = false;
    ShowWizardWhile([&](HWND wizard) {
      wizardSeen = wizard;
      Click(wizard, IDC_CMDCONVERT);
      HWND box = WaitForWindow(L"Morvane", [](HWND w) { return !IsWizard(w); });
      ASSERT_NE(box, nullptr);
      owner = GetWindow(box, GW_OWNER);
      text = ItemText(box, 0xFFFF);  // a message box's text
      Click(box, IDOK);
      closed = WaitUntilClosed(wizard);
    });
    EXPECT_EQ(owner, wizardSeen);
    EXPECT_EQ(text, row.message);
    EXPECT_TRUE(closed);
  }
}

TEST_F(WizardConvertTest, AQuitRequestDuringTheRunIsKeptForTheHostsLoop) {
  SelectMixedTexts(4);
  const DWORD uiThread = GetCurrentThreadId();
  ShowWizardWhile([&](HWND wizard) {
    gates.HoldAt({2});
    ChooseAndConvert(wizard, IDC_OPTTC);
    ASSERT_TRUE(gates.AwaitHold(2));
    PostThreadMessageW(uiThread, WM_QUIT, 7, 0);
    gates.Release();
    WaitUntilClosed(wizard);
  });
  ExpectConvertedUpTo(4, 4, CaseMode::TitleCase);  // quitting is the host's business
  MSG quit{};
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 7u);
}

}  // namespace
}  // namespace morvane::uitest
