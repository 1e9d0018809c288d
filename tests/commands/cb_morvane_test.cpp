// Menu clicks: each tag to its command, tags that name none, failures that never reach the
// host, and Exit, which releases the very sink being clicked.

#include <algorithm>

#include "../addin/command_cases.h"
#include "about/web_addresses.h"
#include "commands/cb_morvane.h"

namespace morvane::testing {
namespace {

class MenuClickTest : public ConnectedAddInTest {
 protected:
  void SetUp() override {
    ConnectedAddInTest::SetUp();
    Connect(u"11.0");
  }

  // A button of our own on the menu bar, with any tag, watched by a sink of its own.
  std::shared_ptr<cbMorvane> AddProbe(const std::u16string& tag,
                                      const std::u16string& caption = u"Probe") {
    host::ControlAddArgs args;
    args.type = host::kControlButton;
    auto button = excel->CommandBar(kMenuBar)->Controls()->Add(args);
    button->SetCaption(caption);
    button->SetTag(tag);
    auto sink = std::make_shared<cbMorvane>();
    sink->SetCbBtn(button);
    return sink;
  }
};

TEST_F(MenuClickTest, EachButtonRunsItsCommand) {
  for (const CommandCase& c : CommandCases()) {
    SCOPED_TRACE(Utf16ToUtf8(c.menuCaption));
    TearDown();
    SetUp();
    if (c.arrange) {
      c.arrange(*excel);
    }
    EXPECT_TRUE(ClickMenu(c.menuCaption));
    c.check(*excel, *ui);
  }
}

// Tags are compared exactly; a tag that names nothing, or cannot be read, does nothing, and
// the click still cancels the host's default action.
TEST_F(MenuClickTest, ATagThatNamesNoCommandDoesNothing) {
  excel->AddWorkbook({u"Sheet1_Undo", u"Sheet1"});
  excel->ActivateSheet(u"Sheet1");
  const std::u16string tags[] = {u"MVUNDO", u"mvundo", u"mvUndo ", u" mvExit", u"MvExit",
                                 u"mvAB",   u"mvTO",   u"mvOH",    u"mvMain",  u""};
  int probes = 0;
  for (const std::u16string& tag : tags) {
    SCOPED_TRACE(Utf16ToUtf8(tag));
    const std::u16string caption =
        std::u16string(u"Probe ") + static_cast<char16_t>(u'A' + probes++);
    auto probe = AddProbe(tag, caption);
    EXPECT_TRUE(excel->Click(kMenuBar, {caption}));
  }
  EXPECT_TRUE(ui->Untouched());
  EXPECT_TRUE(excel->ComAddInConnected(std::u16string(kProgId)));
  EXPECT_TRUE(HasSheet(*excel, u"Sheet1_Undo"));
}

TEST_F(MenuClickTest, AnUnreadableTagRunsNoCommand) {
  auto probe = AddProbe(u"mvExit");
  excel->FailMember("CommandBarControl.Tag", host::HostError(errors::kExcelError, u"refused"));
  EXPECT_TRUE(excel->Click(kMenuBar, {u"Probe"}));
  EXPECT_TRUE(excel->ComAddInConnected(std::u16string(kProgId)));

  bool cancelDefault = false;
  EXPECT_NO_THROW(probe->cbBtn_Click(nullptr, cancelDefault));  // no button at all
  EXPECT_TRUE(cancelDefault);
}

TEST_F(MenuClickTest, AFailingCommandNeverReachesTheHost) {
  ui->wizardFailure = std::make_exception_ptr(host::HostError(errors::kFail, u"no dialog"));
  EXPECT_TRUE(ClickMenu(u"&Morvane &Wizard"));

  ui->aboutLoadFailure = std::make_exception_ptr(std::runtime_error("no window"));
  EXPECT_TRUE(ClickMenu(u"Online &User Guide"));
  EXPECT_TRUE(ClickMenu(u"&About Morvane"));
  EXPECT_TRUE(ui->shellRequests.empty());

  // A form already on screen cannot be shown again: the second showing fails, quietly.
  ui->wizardFailure = nullptr;
  ui->whileWizardOpen = [this] { EXPECT_TRUE(ClickMenu(u"&Morvane &Wizard")); };
  EXPECT_TRUE(ClickMenu(u"&Morvane &Wizard"));
  EXPECT_EQ(ui->wizardShows, 1);
  EXPECT_TRUE(ui->messages.empty());
}

TEST_F(MenuClickTest, UndoWithoutAWorkbookShowsOnlyTheStoresMessage) {
  ASSERT_EQ(excel->WorkbookCount(), 0);
  EXPECT_TRUE(ClickMenu(u"Undo Changes"));
  EXPECT_EQ(ui->messages, std::vector<std::u16string>{u"Pleas add or open a workbook!!"});
}

TEST_F(MenuClickTest, ExitWhenTheHostDoesNotKnowTheAddInLeavesItConnected) {
  auto unlisted = sim::Excel::Create();
  unlisted->SetVersion(u"11.0");
  colButtons.clear();
  OnConnection(unlisted);
  EXPECT_TRUE(unlisted->Click(kMenuBar, {kPopup, u"E&xit"}));
  EXPECT_EQ(xlApp, unlisted);
  EXPECT_EQ(unlisted->LiveClickConnections(), 6);
  colButtons.clear();
}

// Exit: the host disconnects the add-in inside the click, which empties colButtons and so
// drops the last owner of the sink whose handler is running. The sink must outlive its
// handler; afterwards nothing of the add-in is left connected.
TEST_F(MenuClickTest, ExitReleasesTheClickedSinkOnlyAfterItsHandler) {
  ASSERT_EQ(colButtons.size(), 6u);
  std::weak_ptr<cbMorvane> exitSink = colButtons[5];
  ASSERT_EQ(exitSink.lock()->cbBtn()->Tag(), u"mvExit");

  bool aliveDuringDisconnection = false;
  bool ownedByColButtons = true;
  afterDisconnection = [&] {
    ownedByColButtons = !colButtons.empty();
    aliveDuringDisconnection = !exitSink.expired();
  };

  EXPECT_TRUE(ClickMenu(u"E&xit"));
  EXPECT_FALSE(ownedByColButtons);
  EXPECT_TRUE(aliveDuringDisconnection);
  EXPECT_TRUE(exitSink.expired());
  EXPECT_FALSE(excel->ComAddInConnected(std::u16string(kProgId)));
  EXPECT_EQ(xlApp, nullptr);
  EXPECT_EQ(excel->LiveClickConnections(), 0);
  EXPECT_TRUE(Popups().empty());
}

TEST_F(MenuClickTest, ASinkWatchesOneButtonAtATime) {
  colButtons.clear();
  ASSERT_EQ(excel->LiveClickConnections(), 0);
  auto sink = AddProbe(u"mvMain");  // a ribbon id: does nothing here
  host::ControlAddArgs args;
  args.type = host::kControlButton;
  auto wizard = excel->CommandBar(kMenuBar)->Controls()->Add(args);
  wizard->SetCaption(u"Second");
  wizard->SetTag(u"mvWizard");

  sink->SetCbBtn(wizard);
  EXPECT_EQ(excel->LiveClickConnections(), 1);
  excel->Click(kMenuBar, {u"Probe"});
  EXPECT_EQ(ui->wizardShows, 0);
  excel->Click(kMenuBar, {u"Second"});
  EXPECT_EQ(ui->wizardShows, 1);

  sink->SetCbBtn(nullptr);
  EXPECT_EQ(excel->LiveClickConnections(), 0);
  EXPECT_EQ(sink->cbBtn(), nullptr);

  cbMorvane unowned;
  EXPECT_THROW(unowned.SetCbBtn(wizard), std::logic_error);
  EXPECT_EQ(excel->LiveClickConnections(), 0);
}

}  // namespace
}  // namespace morvane::testing
