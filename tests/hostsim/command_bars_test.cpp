// Command bars as the classic menu uses them: the built-in menu bar, controls added, found,
// changed and deleted, Click raised on connected handlers, and what survives a restart.

#include <gtest/gtest.h>

#include "excel_fixture.h"

namespace morvane::sim {
namespace {

using testing::ErrorOf;
constexpr char16_t kMenuBar[] = u"Worksheet Menu Bar";

host::ControlAddArgs Args(int type, bool temporary = false) {
  host::ControlAddArgs args;
  args.type = type;
  args.temporary = temporary;
  return args;
}

class CommandBarsTest : public ::testing::Test {
 protected:
  std::shared_ptr<host::CommandBarControls> MenuBar() {
    return excel->CommandBar(kMenuBar)->Controls();
  }

  // A popup "&Morvane" with buttons "&One" (tag "mvOne") and "&Two"; the second temporary
  // when asked.
  std::shared_ptr<host::CommandBarControl> AddPopup(bool temporaryButton = false) {
    const auto popup = MenuBar()->Add(Args(host::kControlPopup));
    popup->SetCaption(u"&Morvane");
    const auto one = popup->Controls()->Add(Args(host::kControlButton));
    one->SetCaption(u"&One");
    one->SetTag(u"mvOne");
    const auto two = popup->Controls()->Add(Args(host::kControlButton, temporaryButton));
    two->SetCaption(u"&Two");
    return popup;
  }

  std::vector<std::u16string> Captions(const std::vector<ControlView>& controls) {
    std::vector<std::u16string> captions;
    for (const ControlView& control : controls) {
      captions.push_back(control.caption);
    }
    return captions;
  }

  std::shared_ptr<Excel> excel = Excel::Create();
};

TEST_F(CommandBarsTest, TheMenuBarHoldsExcelsBuiltInMenus) {
  const std::vector<ControlView> controls = excel->BarControls(kMenuBar);
  EXPECT_EQ(Captions(controls),
            (std::vector<std::u16string>{u"&File", u"&Edit", u"&View", u"&Insert", u"F&ormat",
                                         u"&Tools", u"&Data", u"&Window", u"&Help"}));
  for (const ControlView& control : controls) {
    EXPECT_TRUE(control.builtIn);
    EXPECT_EQ(control.type, host::kControlPopup);
  }
  EXPECT_NE(excel->CommandBar(u"worksheet menu bar"), nullptr);
  EXPECT_EQ(ErrorOf([&] { excel->CommandBar(u"No Such Bar"); }).hresult(),
            errors::kInvalidArgument);
}

TEST_F(CommandBarsTest, AddPlacesTheControlAndKeepsItsArguments) {
  const auto last = MenuBar()->Add(Args(host::kControlPopup));
  last->SetCaption(u"Last");
  const auto first = MenuBar()->Add(
      {.type = host::kControlButton, .id = 1, .parameter = u"p", .before = 1, .temporary = true});
  first->SetCaption(u"First");
  const auto controls = excel->BarControls(kMenuBar);
  ASSERT_EQ(controls.size(), 11u);
  EXPECT_EQ(controls.front().caption, u"First");
  EXPECT_EQ(controls.front().parameter, u"p");
  EXPECT_TRUE(controls.front().temporary);
  EXPECT_FALSE(controls.front().builtIn);
  EXPECT_EQ(controls.back().caption, u"Last");
  EXPECT_FALSE(controls.back().temporary);

  host::ControlAddArgs beforeFirst = Args(host::kControlButton);
  beforeFirst.before = 0;
  host::ControlAddArgs pastTheEnd = Args(host::kControlButton);
  pastTheEnd.before = 13;
  for (const host::ControlAddArgs& bad : {Args(5), beforeFirst, pastTheEnd}) {
    EXPECT_EQ(ErrorOf([&] { MenuBar()->Add(bad); }).hresult(), errors::kInvalidArgument);
  }
  EXPECT_EQ(excel->BarControls(kMenuBar).size(), 11u);
}

TEST_F(CommandBarsTest, ItemMatchesCaptionsIgnoringAcceleratorsAndCase) {
  AddPopup();
  struct Case {
    const char16_t* caption;
    bool found;
  };
  const Case cases[] = {
      {u"&Morvane", true}, {u"Morvane", true},   {u"MORVANE", true}, {u"M&orvane", true},
      {u"File", true},     {u"Morvane ", false}, {u"Morvan", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.caption, c.caption + std::char_traits<char16_t>::length(c.caption)));
    if (c.found) {
      EXPECT_NE(MenuBar()->Item(c.caption), nullptr);
    } else {
      EXPECT_EQ(ErrorOf([&] { MenuBar()->Item(c.caption); }).hresult(), errors::kInvalidArgument);
    }
  }
  // With two alike, the first one answers.
  MenuBar()->Add(Args(host::kControlPopup))->SetCaption(u"Morvane");
  MenuBar()->Item(u"&Morvane")->SetTag(u"first");
  EXPECT_EQ(excel->BarControls(kMenuBar)[9].tag, u"first");
}

TEST_F(CommandBarsTest, MembersAKindOfControlLacksFail) {
  const auto popup = AddPopup();
  const auto button = popup->Controls()->Item(u"One");
  const std::vector<std::function<void()>> calls{
      [&] { button->Controls(); },
      [&] { popup->SetFaceId(1); },
      [&] { popup->SetStyle(3); },
      [&] { popup->ConnectClick([](const auto&, bool&) {}); },
  };
  for (const auto& call : calls) {
    EXPECT_EQ(ErrorOf(call).hresult(), errors::kNoSuchMember);
  }
}

TEST_F(CommandBarsTest, DeleteRemovesTheControlAndItsChildren) {
  const auto popup = AddPopup();
  const auto button = popup->Controls()->Item(u"&One");
  MenuBar()->Item(u"&Morvane")->Delete();
  EXPECT_EQ(excel->BarControls(kMenuBar).size(), 9u);
  EXPECT_EQ(ErrorOf([&] { MenuBar()->Item(u"&Morvane"); }).hresult(), errors::kInvalidArgument);
  EXPECT_EQ(ErrorOf([&] { popup->SetCaption(u"x"); }).hresult(), errors::kFail);
  EXPECT_EQ(ErrorOf([&] { button->Tag(); }).hresult(), errors::kFail);
}

TEST_F(CommandBarsTest, ClickRaisesEveryConnectedHandlerInOrderWithCancelDefault) {
  AddPopup();
  const auto button = MenuBar()->Item(u"Morvane")->Controls()->Item(u"One");
  std::vector<std::string> calls;
  auto first = button->ConnectClick([&](const auto& ctrl, bool& cancel) {
    const std::u16string tag = ctrl->Tag();
    calls.push_back("first:" + Utf16ToUtf8(tag));
    EXPECT_FALSE(cancel);
    cancel = true;
  });
  auto second = button->ConnectClick(
      [&](const auto&, bool& cancel) { calls.push_back(cancel ? "second saw cancel" : "second"); });
  EXPECT_EQ(excel->LiveClickConnections(), 2);
  EXPECT_TRUE(excel->Click(kMenuBar, {u"&Morvane", u"&One"}));
  EXPECT_EQ(calls, (std::vector<std::string>{"first:mvOne", "second saw cancel"}));

  first.reset();
  calls.clear();
  EXPECT_FALSE(excel->Click(kMenuBar, {u"Morvane", u"One"}));
  EXPECT_EQ(calls, (std::vector<std::string>{"second"}));
  EXPECT_EQ(excel->LiveClickConnections(), 1);

  EXPECT_THROW(excel->Click(kMenuBar, {u"&Morvane"}), std::logic_error);  // a popup
  EXPECT_THROW(excel->Click(kMenuBar, {u"&Morvane", u"&Three"}), std::out_of_range);
  MenuBar()->Item(u"Morvane")->Controls()->Item(u"One")->SetVisible(false);
  EXPECT_THROW(excel->Click(kMenuBar, {u"&Morvane", u"&One"}), std::logic_error);
}

// The Exit command: a handler whose work ends with the add-in disconnected, which releases
// every connection, its own included, while the click is still being raised.
TEST_F(CommandBarsTest, AHandlerMayReleaseConnectionsWhileItsClickIsRaised) {
  AddPopup();
  const auto button = MenuBar()->Item(u"Morvane")->Controls()->Item(u"One");
  std::vector<std::unique_ptr<host::EventConnection>> colButtons;
  int laterHandlerCalls = 0;
  bool handlerFinished = false;
  excel->RegisterComAddIn(u"Morvane.Connect", [&] { colButtons.clear(); });
  auto state = std::make_shared<std::string>("alive");
  colButtons.push_back(button->ConnectClick([&, state](const auto&, bool& cancel) {
    excel->ComAddIn(u"Morvane.Connect")->SetConnect(false);
    // The handler's own captures must still be there after its connection went.
    handlerFinished = *state == "alive";
    cancel = true;
  }));
  colButtons.push_back(button->ConnectClick([&](const auto&, bool&) { ++laterHandlerCalls; }));
  state.reset();

  EXPECT_TRUE(excel->Click(kMenuBar, {u"&Morvane", u"&One"}));
  EXPECT_TRUE(handlerFinished);
  EXPECT_EQ(laterHandlerCalls, 0);  // released before its turn
  EXPECT_EQ(excel->LiveClickConnections(), 0);
  EXPECT_FALSE(excel->Click(kMenuBar, {u"&Morvane", u"&One"}));
}

TEST_F(CommandBarsTest, RestartKeepsPermanentControlsAndEndsEveryConnection) {
  AddPopup(/*temporaryButton=*/true);
  MenuBar()->Add(Args(host::kControlButton, true))->SetCaption(u"Temp");
  int clicks = 0;
  auto connection =
      MenuBar()->Item(u"Morvane")->Controls()->Item(u"One")->ConnectClick([&](const auto&, bool&) {
        ++clicks;
      });

  excel->SimulateRestart();

  const std::vector<ControlView> controls = excel->BarControls(kMenuBar);
  ASSERT_EQ(controls.size(), 10u);
  EXPECT_EQ(controls.back().caption, u"&Morvane");
  EXPECT_EQ(Captions(controls.back().controls), (std::vector<std::u16string>{u"&One"}));
  EXPECT_EQ(excel->LiveClickConnections(), 0);
  EXPECT_FALSE(excel->Click(kMenuBar, {u"&Morvane", u"&One"}));
  EXPECT_EQ(clicks, 0);
  connection.reset();  // releasing a connection the host already ended is harmless
  EXPECT_EQ(excel->LiveClickConnections(), 0);
}

}  // namespace
}  // namespace morvane::sim
