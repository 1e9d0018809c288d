// The classic menu popup: its exact shape, rebuilding it, removing it, and a build that keeps
// going whatever the host refuses.

#include "addin/menu.h"

#include <new>
#include <stdexcept>

#include "addin/connection.h"
#include "addin/model/continue_on_error.h"
#include "addin/ribbon.h"
#include "connected_addin.h"
#include "support/host_refusals.h"
#include "support/ribbon_fake_control.h"

namespace morvane::testing {
namespace {

class MenuTest : public ConnectedAddInTest {
 protected:
  void SetUp() override {
    ConnectedAddInTest::SetUp();
    excel->SetVersion(u"11.0");
    xlApp = excel;
  }
};

TEST_F(MenuTest, TheBuildAppendsThePopupWithTheSixButtonsInOrder) {
  const std::vector<sim::ControlView> before = excel->BarControls(kMenuBar);
  TarvelMB_Add();
  const std::vector<sim::ControlView> after = excel->BarControls(kMenuBar);

  ASSERT_EQ(after.size(), before.size() + 1);
  const sim::ControlView& popup = after.back();
  EXPECT_EQ(popup.type, host::kControlPopup);
  EXPECT_EQ(popup.caption, kPopup);
  EXPECT_TRUE(popup.visible);
  EXPECT_TRUE(popup.beginGroup);
  EXPECT_FALSE(popup.temporary);
  EXPECT_EQ(popup.tag, kProgId);
  EXPECT_EQ(popup.parameter, u"");

  struct Button {
    std::u16string caption;
    int faceId;
    std::u16string tag;
    bool beginGroup;
    std::u16string parameter;
  };
  const Button expected[] = {
      {u"Undo Changes", 128, u"mvUndo", false, u""},
      {u"Redo Changes", 129, u"mvRedo", false, u""},
      {u"&Morvane &Wizard", 65, u"mvWizard", true, u""},
      {u"&About Morvane", 487, u"mvAbout", true, u"1"},
      {u"Online &User Guide", 984, u"mvHelp", false, u"1"},
      {u"E&xit", 7640, u"mvExit", true, u"1"},
  };
  ASSERT_EQ(popup.controls.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    const sim::ControlView& button = popup.controls[i];
    EXPECT_EQ(button.type, host::kControlButton);
    EXPECT_EQ(button.caption, expected[i].caption);
    EXPECT_EQ(button.faceId, expected[i].faceId);
    EXPECT_EQ(button.tag, expected[i].tag);
    EXPECT_EQ(button.beginGroup, expected[i].beginGroup);
    EXPECT_EQ(button.parameter, expected[i].parameter);
    EXPECT_EQ(button.style, host::kButtonIconAndCaption);
    EXPECT_FALSE(button.temporary);
    EXPECT_TRUE(button.visible);
    // Every sink watches its own row's button.
    ASSERT_NE(colButtons[i]->cbBtn(), nullptr);
    EXPECT_EQ(colButtons[i]->cbBtn()->Tag(), expected[i].tag);
  }
}

TEST_F(MenuTest, ScreenUpdatingIsOffForTheBuildAndOnAtItsEnd) {
  excel->ClearSettingsLog();
  TarvelMB_Add();
  const std::vector<sim::SettingWrite> expected = {{"ScreenUpdating", false},
                                                   {"ScreenUpdating", true}};
  EXPECT_EQ(excel->SettingsLog(), expected);
  EXPECT_TRUE(excel->BarVisible(kMenuBar));
}

TEST_F(MenuTest, RemovalDeletesThePopupAndReportsAMissingOne) {
  const std::vector<sim::ControlView> bare = excel->BarControls(kMenuBar);
  TarvelMB_Add();
  remMenuBar();
  EXPECT_TRUE(Popups().empty());
  EXPECT_EQ(excel->BarControls(kMenuBar).size(), bare.size());

  // Nothing to delete: the caption look-up fails, and that failure is the caller's.
  EXPECT_THROW(remMenuBar(), host::HostError);
  EXPECT_EQ(excel->BarControls(kMenuBar).size(), bare.size());
  EXPECT_TRUE(ui->messages.empty());
}

// Every control on the bar, the popups' own controls included.
std::size_t ControlCount(const std::vector<sim::ControlView>& controls) {
  std::size_t count = controls.size();
  for (const sim::ControlView& control : controls) {
    count += ControlCount(control.controls);
  }
  return count;
}

// Fault sweep of connecting, of disconnecting at shutdown and of Exit from the menu and from the
// ribbon: the k-th host call fails, for every k, or that call and every later one (Excel gone
// away), with Excel's own refusal or COM's. Only the ribbon hears of a failure, exactly when the
// add-in stays on. The add-in ends connected (with six sinks on a classic host) or disconnected
// with none and no Click connection, as Excel lists it after Exit; screen updating is back on
// unless the write turning it back on was the one refused. After a single refusal a
// disconnected add-in has left the bar as bare as it found it, a connected one at most one
// captioned popup; and across a restart the bar holds every control of a bare bar, plus the
// popup's seven when Excel connects the add-in again on a classic host.
TEST_F(MenuTest, EveryFailedHostCallIsSkipped) {
  struct Operation {
    const char* name;
    bool connectedBefore;
    bool shutsDown;           // Excel still lists the add-in as connected afterwards
    bool classic;             // else a ribbon host
    long long screenOffCall;  // the call that turns screen updating off; 0 for none
    std::function<void()> run;
  };
  const Operation operations[] = {
      {"connect", false, false, true, 2, [this] { OnConnection(excel); }},
      {"shut down", true, true, true, 0, [] { OnDisconnection(); }},
      {"exit", true, false, true, 0, [this] { ClickMenu(u"E&xit"); }},
      {"ribbon exit", true, false, false, 0,
       [] {
         fakes::FakeRibbonControl control(u"mvTO");
         RibbonHandler(control);
       }},
  };
  const std::size_t bareTop = excel->BarControls(kMenuBar).size();
  const std::size_t bare = ControlCount(excel->BarControls(kMenuBar));
  const auto arrange = [this](const Operation& operation) {
    TearDown();
    SetUp();
    excel->SetVersion(operation.classic ? u"11.0" : u"16.0");
    operation.connectedBefore ? OnConnection(excel) : xlApp.reset();
    excel->ResetCounters();
  };
  for (const Operation& operation : operations) {
    arrange(operation);
    operation.run();
    const long long calls = excel->TotalCalls();
    ASSERT_GT(calls, operation.connectedBefore ? 2 : 40);
    for (const host::HostError& refusal : fakes::kHostRefusals) {
      for (const bool gone : {false, true}) {
        for (long long k = 1; k <= calls; ++k) {
          SCOPED_TRACE(::testing::Message() << operation.name << ": " << refusal.what()
                                            << (gone ? " from " : " at ") << k);
          arrange(operation);
          gone ? excel->FailCallsFrom(k, refusal) : excel->FailNthCall(k, refusal);

          bool reported = false;
          try {
            operation.run();
          } catch (const host::HostError&) {
            reported = true;
          }
          const bool connected = xlApp != nullptr;
          EXPECT_EQ(reported, !operation.classic && connected);
          EXPECT_EQ(colButtons.size(), connected && operation.classic ? 6u : 0u);
          if (!connected) {
            EXPECT_EQ(excel->LiveClickConnections(), 0);
          }
          EXPECT_TRUE(operation.shutsDown ||
                      connected == excel->ComAddInConnected(std::u16string(kProgId)));
          const long long off = operation.screenOffCall;
          EXPECT_EQ(excel->CurrentSettings().screenUpdating,
                    off == 0 || (gone ? k <= off : k != calls));
          const std::vector<sim::ControlView> after = excel->BarControls(kMenuBar);
          ASSERT_LE(after.size(), bareTop + 1);
          if (gone) {
            continue;  // a host gone for good keeps no layout for a next session
          }
          if (!connected) {
            EXPECT_EQ(ControlCount(after), bare);
          } else if (after.size() > bareTop) {
            EXPECT_EQ(after.back().caption, kPopup);
          }

          excel->ClearFaults();
          excel->SimulateRestart();
          colButtons.clear();
          xlApp.reset();
          const bool loads = excel->ComAddInConnected(std::u16string(kProgId));
          if (loads) {
            OnConnection(excel);
          }
          const bool menu = loads && operation.classic;
          EXPECT_EQ(ControlCount(excel->BarControls(kMenuBar)), bare + (menu ? 7 : 0));
          EXPECT_EQ(Popups().size(), menu ? 1u : 0u);
          OnDisconnection();
          EXPECT_EQ(ControlCount(excel->BarControls(kMenuBar)), bare);
        }
      }
    }
  }
}

// A popup left without its caption (the caption and then its removal refused) is found by its
// tag at the next build; another add-in's caption-less control is never touched.
TEST_F(MenuTest, APopupLeftWithoutItsCaptionGoesAtTheNextBuild) {
  const std::size_t bare = excel->BarControls(kMenuBar).size();
  excel->FailMember("CommandBarControl.SetCaption", host::HostError(errors::kExcelError, u"no"));
  excel->FailMember("CommandBarControl.Delete", host::HostError(errors::kExcelError, u"no"));
  TarvelMB_Add();
  TarvelMB_Add();
  ASSERT_EQ(excel->BarControls(kMenuBar).size(), bare + 2);
  excel->ClearFaults();
  excel->SimulateRestart();
  TarvelMB_Add();
  EXPECT_EQ(excel->BarControls(kMenuBar).size(), bare + 1);
  EXPECT_EQ(Popups().size(), 1u);

  host::ControlAddArgs popup;
  popup.type = host::kControlPopup;
  excel->CommandBar(kMenuBar)->Controls()->Add(popup)->SetTag(u"Other.Connect");
  TarvelMB_Add();
  const std::vector<sim::ControlView> after = excel->BarControls(kMenuBar);
  ASSERT_EQ(after.size(), bare + 2);
  EXPECT_EQ(after[bare].tag, u"Other.Connect");
}

std::vector<std::string> traced;

TEST(ContinueOnError, OnlyAProgrammingErrorLeavesATrace) {
  // A failure, and whether it is traced.
  const std::pair<std::function<void()>, bool> cases[] = {
      {[] { throw errors::TypeMismatch(); }, false},
      {[] { throw std::bad_alloc(); }, false},
      {[] { throw 7; }, false},
      {[] { throw std::out_of_range("row 7 of 3"); }, true},
  };
  const TraceSink previous = SetTraceSink([](std::string_view line) { traced.emplace_back(line); });
  for (const auto& [fail, traces] : cases) {
    traced.clear();
    EXPECT_FALSE(RunStep(fail));
    EXPECT_TRUE(TestOrTrue([&fail = fail] { return fail(), false; }));
    EXPECT_EQ(traced.size(), traces ? 2u : 0u);
    for (const std::string& line : traced) {
      EXPECT_NE(line.find("row 7 of 3"), std::string::npos) << line;
    }
  }
  SetTraceSink(previous);
}

}  // namespace
}  // namespace morvane::testing
