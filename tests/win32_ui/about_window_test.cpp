// The About box frmUG as a window: loaded hidden with its designed look, shown modally over the
// host's window, its footer's clicks, and its life under the portable form.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "about/about_text.h"
#include "about/frm_ug.h"
#include "about/web_addresses.h"
#include "addin/win32/wide_text.h"
#include "win32_ui/import_patch.h"
#include "win32_ui/ui_fixture.h"

namespace morvane::uitest {
namespace {

class CountingEvents : public ui::AboutEvents {
 public:
  void Label21_Click() override { ++clicks; }
  std::atomic<int> clicks{0};
};

HWND WindowOf(ui::AboutWindow& about) {
  return reinterpret_cast<HWND>(about.Handle());
}

HWND WaitForAbout() {
  return WaitForWindow(L"About Morvane");
}

// The colour the dialog gives a control's text (the footer is a button drawn as a label).
COLORREF TextColourFor(HWND dialog, HWND label) {
  HDC dc = CreateCompatibleDC(nullptr);
  SendMessageW(dialog, ClassOf(label) == L"Button" ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC,
               reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
  const COLORREF colour = GetTextColor(dc);
  DeleteDC(dc);
  return colour;
}

COLORREF BackgroundOf(HWND dialog) {
  HDC dc = CreateCompatibleDC(nullptr);
  const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
      dialog, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dialog)));
  DeleteDC(dc);
  LOGBRUSH description{};
  if (!brush || !GetObjectW(brush, sizeof description, &description)) {
    return CLR_INVALID;
  }
  return description.lbColor;
}

// The cursor the dialog gives for the mouse over `control`.
HCURSOR CursorOver(HWND dialog, HWND control) {
  SetCursor(nullptr);
  SendMessageW(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return GetCursor();
}

using AboutWindowTest = Win32UiTest;

struct LabelRow {
  int id;
  Placement pixels;  // twips / 15 at 96 dpi
  long fontHeight;   // 9 points: 12 pixels; 8.25 points: 11
  COLORREF text;
  bool handCursor;
};

const LabelRow kLabels[] = {
    {IDC_LABEL2, {16, 13, 560, 167}, 12, RGB(64, 64, 64), false},
    {IDC_LABEL21, {86, 203, 420, 14}, 11, RGB(0, 0, 192), true},
};

TEST_F(AboutWindowTest, LoadsHiddenWithItsDesignedLook) {
  ASSERT_EQ(win32::ScreenDpi(), 96) << "the expected pixels assume a 96 dpi screen";
  CountingEvents events;
  auto about = port->LoadAbout(events);
  HWND dialog = WindowOf(*about);
  ASSERT_TRUE(IsWindow(dialog));
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_EQ(TitleOf(dialog), L"About Morvane");
  EXPECT_EQ(ClientSizeOf(dialog), (Placement{0, 0, 599, 238}));  // 8985 x 3570 twips
  EXPECT_EQ(BackgroundOf(dialog), RGB(255, 192, 255));
  const HCURSOR hand = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));  // IDC_HAND
  for (const LabelRow& row : kLabels) {
    SCOPED_TRACE(testing::Message() << "label " << row.id);
    HWND label = GetDlgItem(dialog, row.id);
    EXPECT_EQ(PlacementOf(label), row.pixels);
    const FontSeen font = FontOf(label);
    EXPECT_EQ(font.face, L"Trebuchet MS");
    EXPECT_EQ(font.height, -row.fontHeight);
    EXPECT_EQ(font.weight, FW_NORMAL);
    EXPECT_EQ(TextColourFor(dialog, label), row.text);
    EXPECT_EQ(CursorOver(dialog, label) == hand, row.handCursor);
  }
  EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_LABEL21)), win32::ToWide(about::FooterText()));
  EXPECT_EQ(AccessibleName(GetDlgItem(dialog, IDC_LABEL21)), win32::ToWide(about::FooterText()));
  EXPECT_EQ(events.clicks, 0);
}

// High contrast, switched on and off while the box is loaded: the system's colours replace
// the form's own, and come back out.
struct Colours {
  COLORREF background, label2, footer;
  friend bool operator==(const Colours&, const Colours&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Colours& c) {
    return out << std::hex << "{" << c.background << ", " << c.label2 << ", " << c.footer << "}";
  }
};

TEST_F(AboutWindowTest, InHighContrastModeItTakesTheSystemsColours) {
  const Colours own{RGB(255, 192, 255), RGB(64, 64, 64), RGB(0, 0, 192)};
  const Colours system{GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOWTEXT),
                       GetSysColor(COLOR_HOTLIGHT)};
  ASSERT_NE(own.background, system.background);
  CountingEvents events;
  auto about = port->LoadAbout(events);
  HWND dialog = WindowOf(*about);
  const auto seen = [&] {
    return Colours{BackgroundOf(dialog), TextColourFor(dialog, GetDlgItem(dialog, IDC_LABEL2)),
                   TextColourFor(dialog, GetDlgItem(dialog, IDC_LABEL21))};
  };
  EXPECT_EQ(seen(), own);
  {
    HighContrastForModule highContrast(GetModuleHandleW(nullptr));
    ASSERT_TRUE(highContrast.Applied());
    SendMessageW(dialog, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_EQ(seen(), system);
    auto loadedInHighContrast = port->LoadAbout(events);
    HWND second = WindowOf(*loadedInHighContrast);
    EXPECT_EQ(BackgroundOf(second), system.background);
  }
  SendMessageW(dialog, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_EQ(seen(), own);
}

TEST_F(AboutWindowTest, Label2ShowsTheTextItIsGivenAndReleaseDestroysTheWindow) {
  CountingEvents events;
  auto about = port->LoadAbout(events);
  HWND dialog = WindowOf(*about);
  const std::u16string text = u"First line\r\n\r\nPlease write to us at : \u00E9t\u00E9";
  about->SetLabel2(text);
  EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_LABEL2)), win32::ToWide(text));
  about.reset();
  EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(AboutWindowTest, ShownModallyOverTheHostUntilClosed) {
  struct Row {
    const char* how;
    void (*press)(HWND footer);  // the footer, by mouse or keyboard
    void (*close)(HWND about);
  };
  const Row rows[] = {
      {"mouse, Enter", [](HWND footer) { ClickWithMouse(footer); },
       [](HWND about) { PressKey(about, VK_RETURN); }},
      {"Space, Escape", [](HWND footer) { PressKey(footer, VK_SPACE); },
       [](HWND about) { PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 1); }},
      {"Space, close box", [](HWND footer) { PressKey(footer, VK_SPACE); },
       [](HWND about) { PressCloseBox(about); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.how);
    OwnerWindow host;
    CountingEvents events;
    auto about = port->LoadAbout(events);
    EXPECT_EQ(GetActiveWindow(), host.get());  // loaded hidden, it takes no activation
    HWND dialog = WindowOf(*about);
    HWND shown = nullptr;
    bool hostEnabledMeanwhile = true;
    bool openAfterFooterClick = false;
    bool footerFocusedAfterTab = false;
    WhileModal([&] { about->ShowModal(); },
               [&] {
                 shown = WaitForAbout();
                 ASSERT_NE(shown, nullptr);
                 hostEnabledMeanwhile = IsWindowEnabled(host.get());
                 HWND footer = GetDlgItem(shown, IDC_LABEL21);
                 PressKey(shown, VK_TAB);  // the footer is the one place Tab goes
                 footerFocusedAfterTab = WaitUntil([&] { return FocusIn(shown) == footer; });
                 row.press(footer);
                 WaitUntil([&] { return events.clicks == 1; });
                 openAfterFooterClick = IsWindowVisible(shown);
                 row.close(shown);
               });
    EXPECT_EQ(shown, dialog);
    EXPECT_FALSE(hostEnabledMeanwhile);
    EXPECT_TRUE(footerFocusedAfterTab);
    EXPECT_EQ(events.clicks, 1);
    EXPECT_TRUE(openAfterFooterClick);
    EXPECT_TRUE(IsWindowEnabled(host.get()));
    EXPECT_TRUE(IsWindow(dialog));  // closing hides it; the form's release destroys it
    EXPECT_FALSE(IsWindowVisible(dialog));
  }
}

// The guide loads the About box hidden, and it stays loaded. The host window that was active
// then may close before the box is shown (Excel 2013 and later give every workbook a window of
// its own); the box must not go with it, and shows over the window active when it is shown.
TEST_F(AboutWindowTest, OutlivesTheHostWindowThatWasActiveWhenItLoaded) {
  CountingEvents events;
  std::unique_ptr<ui::AboutWindow> about;
  {
    OwnerWindow closedMeanwhile;
    about = port->LoadAbout(events);
  }
  HWND dialog = WindowOf(*about);
  ASSERT_TRUE(IsWindow(dialog));
  OwnerWindow host;
  HWND ownerWhileShown = nullptr;
  WhileModal([&] { about->ShowModal(); },
             [&] {
               HWND shown = WaitForAbout();
               ASSERT_NE(shown, nullptr);
               ownerWhileShown = GetWindow(shown, GW_OWNER);
               PressCloseBox(shown);
             });
  EXPECT_EQ(ownerWhileShown, host.get());
  EXPECT_TRUE(IsWindow(dialog));
}

TEST_F(AboutWindowTest, AQuitRequestEndsTheModalShowingAndIsKeptForTheHostsLoop) {
  CountingEvents events;
  auto about = port->LoadAbout(events);
  const DWORD uiThread = GetCurrentThreadId();
  WhileModal([&] { about->ShowModal(); },
             [&] {
               ASSERT_NE(WaitForAbout(), nullptr);
               PostThreadMessageW(uiThread, WM_QUIT, 5, 0);
             });
  EXPECT_FALSE(IsWindowVisible(WindowOf(*about)));
  MSG quit{};
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 5u);
}

// The Win32 user interface, except that shell launches are recorded instead of made.
class ShellRecordingUi : public ui::Port {
 public:
  explicit ShellRecordingUi(std::shared_ptr<ui::Port> windows) : windows_(std::move(windows)) {}

  void ShowMessage(const std::u16string& text) override { windows_->ShowMessage(text); }
  void ShowWizard() override { windows_->ShowWizard(); }
  std::u16string AddInVersion() override { return windows_->AddInVersion(); }
  std::unique_ptr<ui::AboutWindow> LoadAbout(ui::AboutEvents& events) override {
    ++loads;
    return windows_->LoadAbout(events);
  }
  std::intptr_t OpenWithShell(const ui::ShellRequest& request) override {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    return 42;
  }

  std::vector<ui::ShellRequest> Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }

  std::atomic<int> loads{0};

 private:
  std::shared_ptr<ui::Port> windows_;
  std::mutex mutex_;
  std::vector<ui::ShellRequest> requests_;
};

class AboutFormWindowTest : public Win32UiTest {
 protected:
  void SetUp() override {
    Win32UiTest::SetUp();
    frmUG::Instance().Unload();
    recording = std::make_shared<ShellRecordingUi>(port);
    ui::Install(recording);
  }
  void TearDown() override {
    frmUG::Instance().Unload();
    Win32UiTest::TearDown();
  }

  std::shared_ptr<ShellRecordingUi> recording;
};

TEST_F(AboutFormWindowTest, TheGuideLoadsTheFormHiddenAndAboutShowsThatSameWindow) {
  frmUG::Instance().BrowseTo(about::kUserGuidePage);
  ASSERT_EQ(recording->Requests().size(), 1u);
  const auto hidden = reinterpret_cast<HWND>(recording->Requests()[0].owner);
  ASSERT_TRUE(IsWindow(hidden));
  EXPECT_FALSE(IsWindowVisible(hidden));

  HWND shown = nullptr;
  std::wstring label2;
  bool openAfterFooterClick = false;
  WhileModal([] { frmUG::Instance().Show(); },
             [&] {
               shown = WaitForAbout();
               ASSERT_NE(shown, nullptr);
               label2 = ItemText(shown, IDC_LABEL2);
               ClickWithMouse(GetDlgItem(shown, IDC_LABEL21));
               WaitUntil([&] { return recording->Requests().size() == 2; });
               openAfterFooterClick = IsWindowVisible(shown);
               PressCloseBox(shown);
             });
  EXPECT_EQ(shown, hidden);  // not loaded again
  EXPECT_EQ(recording->loads, 1);
  EXPECT_EQ(label2,
            win32::ToWide(about::Label2Text(u"9.8.7.6")));  // tests/win32_ui/test_version.rc
  EXPECT_TRUE(openAfterFooterClick);
  const auto requests = recording->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].file, about::kHomePage);
  EXPECT_EQ(reinterpret_cast<HWND>(requests[1].owner), hidden);
  EXPECT_FALSE(IsWindow(hidden));  // the close box unloads the form
}

}  // namespace
}  // namespace morvane::uitest
