// The wizard frmMV as a window: its controls, where they sit, their fonts, and the state every
// showing starts from.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32_ui/ui_fixture.h"

namespace morvane::uitest {
namespace {

// What the user sees of the wizard's state.
struct WizardState {
  std::vector<int> checkedOptions;
  bool convertVisible = false;
  bool stopVisible = false;
  std::wstring percent;
  int barPosition = -1;
  int barLow = -1;
  int barHigh = -1;
  int defaultButton = 0;  // Enter's button, from DM_GETDEFID
  friend bool operator==(const WizardState&, const WizardState&) = default;
};

WizardState ReadState(HWND wizard) {
  WizardState state;
  for (int id : {IDC_OPTUC, IDC_OPTLC, IDC_OPTTC, IDC_OPTSC}) {
    if (ItemChecked(wizard, id)) {
      state.checkedOptions.push_back(id);
    }
  }
  state.convertVisible = ItemVisible(wizard, IDC_CMDCONVERT);
  state.stopVisible = ItemVisible(wizard, IDC_COMMANDBUTTON1);
  state.percent = ItemText(wizard, IDC_LBLPER);
  HWND bar = GetDlgItem(wizard, IDC_PROGRESSBAR1);
  state.barPosition = static_cast<int>(Ask(bar, PBM_GETPOS));
  state.barLow = static_cast<int>(Ask(bar, PBM_GETRANGE, TRUE));
  state.barHigh = static_cast<int>(Ask(bar, PBM_GETRANGE, FALSE));
  const LRESULT defaultId = Ask(wizard, DM_GETDEFID);
  state.defaultButton = HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : 0;
  return state;
}

const WizardState kDesignTimeState{{IDC_OPTUC},   true, false, L"0%", 0, 0, MORVANE_PROGRESS_STEPS,
                                   IDC_CMDCONVERT};

TEST_F(WizardTest, EveryShowingStartsFromTheDesignTimeState) {
  std::vector<WizardState> atOpening;
  std::vector<WizardState> afterChanges;
  for (int showing = 0; showing < 3; ++showing) {
    ShowWizardWhile([&](HWND wizard) {
      atOpening.push_back(ReadState(wizard));
      EXPECT_EQ(TitleOf(wizard), L"Morvane");
      Click(wizard, IDC_OPTSC);
      WaitUntil([&] { return ItemChecked(wizard, IDC_OPTSC); });
      afterChanges.push_back(ReadState(wizard));
      PressCloseBox(wizard);
      EXPECT_TRUE(WaitUntilClosed(wizard));
    });
  }
  ASSERT_EQ(atOpening.size(), 3u);
  for (const WizardState& state : atOpening) {
    EXPECT_EQ(state, kDesignTimeState);
  }
  // The form really had been changed, and the four options are one group.
  for (const WizardState& state : afterChanges) {
    EXPECT_EQ(state.checkedOptions, std::vector<int>{IDC_OPTSC});
  }
  // Closed while idle: nothing reached the host.
  EXPECT_TRUE(excel->SettingsLog().empty());
}

struct ControlRow {
  int id;
  const wchar_t* className;
  const wchar_t* caption;  // what a screen reader names it, too
  Placement pixels;        // at 96 dpi: points x 4/3, each value rounded on its own
  long fontHeight;         // 8.25 points is 11 pixels, 9 points 12
};

// In tab order.
const ControlRow kControls[] = {
    {IDC_FRAME1, L"Static", L"Letter case", {9, 10, 178, 118}, 0},  // draws no text
    {IDC_OPTUC, L"Button", L"UPPER CASE", {18, 19, 159, 19}, 12},
    {IDC_OPTLC, L"Button", L"lower case", {18, 45, 159, 19}, 12},
    {IDC_OPTTC, L"Button", L"Title Case", {18, 71, 159, 19}, 12},
    {IDC_OPTSC, L"Button", L"Sentence case", {18, 97, 159, 19}, 12},
    {IDC_CMDCONVERT, L"Button", L"CONVERT", {9, 133, 181, 27}, 11},
    {IDC_LABEL4, L"Static", L"Progress", {9, 163, 139, 19}, 0},  // draws no text
    {IDC_LBLPER, L"Static", L"0%", {149, 163, 40, 19}, 11},
    {IDC_PROGRESSBAR1, L"msctls_progress32", L"Conversion progress 0%", {12, 165, 134, 15}, 0},
    {IDC_COMMANDBUTTON1, L"Button", L"STOP", {10, 134, 181, 27}, 11},
};

TEST_F(WizardTest, ControlsSitWhereTheFormWasDesignedInTabOrder) {
  ASSERT_EQ(win32::ScreenDpi(), 96) << "the expected pixels assume a 96 dpi screen";
  Placement client;
  std::vector<int> tabOrder;
  struct Seen {
    std::wstring className, caption, accessibleName;
    Placement placement;
    FontSeen font;
  };
  std::vector<Seen> seen;
  ShowWizardWhile([&](HWND wizard) {
    client = ClientSizeOf(wizard);
    for (HWND child = GetWindow(wizard, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      tabOrder.push_back(GetDlgCtrlID(child));
    }
    for (const ControlRow& row : kControls) {
      HWND control = GetDlgItem(wizard, row.id);
      seen.push_back({ClassOf(control), TextOf(control), AccessibleName(control),
                      PlacementOf(control), FontOf(control)});
    }
    PressCloseBox(wizard);
    WaitUntilClosed(wizard);
  });
  EXPECT_EQ(client, (Placement{0, 0, 197, 189}));  // 148 x 142 points
  std::vector<int> designedOrder;
  for (const ControlRow& row : kControls) {
    designedOrder.push_back(row.id);
  }
  EXPECT_EQ(tabOrder, designedOrder);
  ASSERT_EQ(seen.size(), std::size(kControls));
  for (std::size_t i = 0; i < seen.size(); ++i) {
    const ControlRow& row = kControls[i];
    SCOPED_TRACE(testing::Message() << "control " << row.id);
    EXPECT_EQ(seen[i].className, row.className);
    EXPECT_EQ(seen[i].caption, row.caption);
    EXPECT_EQ(seen[i].accessibleName, row.caption);
    EXPECT_EQ(seen[i].placement, row.pixels);
    if (row.fontHeight != 0) {
      EXPECT_EQ(seen[i].font.face, L"Tahoma");
      EXPECT_EQ(seen[i].font.height, -row.fontHeight);
      EXPECT_EQ(seen[i].font.weight, FW_NORMAL);
    }
  }
}

TEST_F(WizardTest, IsModalToTheActiveWindowWithACloseBoxOnly) {
  OwnerWindow host;
  HWND owner = nullptr;
  bool hostEnabledMeanwhile = true;
  LONG_PTR style = 0;
  ShowWizardWhile([&](HWND wizard) {
    owner = GetWindow(wizard, GW_OWNER);
    hostEnabledMeanwhile = IsWindowEnabled(host.get());
    style = GetWindowLongPtrW(wizard, GWL_STYLE);
    PressCloseBox(wizard);
    WaitUntilClosed(wizard);
  });
  EXPECT_EQ(owner, host.get());
  EXPECT_FALSE(hostEnabledMeanwhile);
  EXPECT_TRUE(IsWindowEnabled(host.get()));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
}

}  // namespace
}  // namespace morvane::uitest
