// The connection lifecycle: which hosts get the classic menu, and what connecting and
// disconnecting leave behind.

#include <functional>
#include <optional>

#include "addin/host_version.h"
#include "addin/menu.h"
#include "connected_addin.h"

namespace morvane::testing {
namespace {

TEST(ReadVersionNumber, ReadsVersionTextsWithEitherSeparator) {
  struct Case {
    std::u16string text;
    char16_t userSeparator;
    std::optional<double> number;
  };
  const Case cases[] = {
      {u"11.0", u'.', 11.0},
      {u"16.0", u'.', 16.0},
      {u"9", u'.', 9.0},
      {u" 12.0 ", u'.', 12.0},
      {u"11,0", u',', 11.0},
      {u"11.0", u',', 11.0},
      {u"11,5", u',', 11.5},
      {u"11,0", u'.', std::nullopt},
      {u"", u'.', std::nullopt},
      {u".", u'.', std::nullopt},
      {u"1.1.0", u'.', std::nullopt},
      {u"11.0a", u'.', std::nullopt},
      {u"-11.0", u'.', std::nullopt},
      {u"Excel", u'.', std::nullopt},
      {u"\uFF11\uFF11.0", u'.', std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.text) + " with separator " + static_cast<char>(c.userSeparator));
    EXPECT_EQ(ReadVersionNumber(c.text, c.userSeparator), c.number);
  }
}

class HostVersionTest : public ConnectedAddInTest {};

// Versions up to 11 get the popup at connection and lose it at disconnection; later versions
// never touch a command bar: after connection and disconnection the host has been asked for
// its version twice and nothing else.
TEST_F(HostVersionTest, ThePopupComesAndGoesOnClassicHostsOnly) {
  struct Case {
    std::u16string version;
    bool classic;
  };
  // The user's decimal separator is covered by the reading test above and the one below.
  const Case cases[] = {
      {u"8.0", true},   {u"9.0", true},   {u"10.0", true}, {u"11.0", true},       {u"12.0", false},
      {u"14.0", false}, {u"16.0", false}, {u"", true},     {u"Excel 2007", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.version));
    SetUp();
    excel->SetVersion(c.version);
    excel->ResetCounters();

    OnConnection(excel);
    EXPECT_EQ(Popups().size(), c.classic ? 1u : 0u);
    EXPECT_EQ(colButtons.size(), c.classic ? 6u : 0u);
    EXPECT_EQ(excel->LiveClickConnections(), c.classic ? 6 : 0);

    OnDisconnection();
    EXPECT_TRUE(Popups().empty());
    EXPECT_EQ(xlApp, nullptr);
    EXPECT_TRUE(colButtons.empty());
    EXPECT_EQ(excel->LiveClickConnections(), 0);
    if (!c.classic) {
      EXPECT_EQ(excel->CallCount("Application.CommandBar"), 0);
      EXPECT_EQ(excel->CallCount("Application.Version"), 2);
      EXPECT_EQ(excel->TotalCalls(), 2);
    }
    TearDown();
  }
}

TEST_F(HostVersionTest, AVersionThatCannotBeReadCountsAsClassic) {
  excel->FailMember("Application.Version", host::HostError(errors::kFail, u"gone"));
  OnConnection(excel);
  EXPECT_EQ(Popups().size(), 1u);
  OnDisconnection();
  EXPECT_TRUE(Popups().empty());
}

TEST_F(HostVersionTest, TheUsersSeparatorIsAskedAtEveryTest) {
  char16_t separator = u'.';
  InstallDecimalSeparatorReader([&] { return separator; });
  excel->SetVersion(u"12,0");
  EXPECT_THROW(IsClassicHost(), host::HostError);  // not connected: the caller decides
  xlApp = excel;
  EXPECT_TRUE(IsClassicHost());
  separator = u',';
  EXPECT_FALSE(IsClassicHost());
}

class LifecycleTest : public ConnectedAddInTest {};

// A host object that is not Excel's Application reaches the add-in as nothing: it stays
// connected without a popup, and the six sinks exist without buttons.
TEST_F(LifecycleTest, AnObjectThatIsNotTheApplicationLeavesTheAddInWithoutAMenu) {
  EXPECT_NO_THROW(OnConnection(nullptr));
  EXPECT_EQ(xlApp, nullptr);
  ASSERT_EQ(colButtons.size(), 6u);
  for (const auto& sink : colButtons) {
    EXPECT_EQ(sink->cbBtn(), nullptr);
  }
  EXPECT_NO_THROW(OnDisconnection());
  EXPECT_TRUE(colButtons.empty());
}

// Every way the popup gets built again ends with one popup whose six buttons each have exactly
// one live sink: a click runs its command once.
TEST_F(LifecycleTest, RebuildingLeavesOnePopupWithSixLiveSinks) {
  struct Case {
    const char* history;
    std::function<void()> before;  // ends connected, with the popup built
  };
  const Case cases[] = {
      {"connect, disconnect, connect",
       [this] {
         Connect(u"11.0");
         OnDisconnection();
         OnConnection(excel);
       }},
      {"two builds in a row",
       [this] {
         Connect(u"11.0");
         TarvelMB_Add();
       }},
      // Excel ended without disconnecting: the permanent popup is still in the saved layout at
      // the next start, without its sinks, and connecting replaces it.
      {"a popup left by an earlier run",
       [this] {
         Connect(u"10.0");
         excel->SimulateRestart();
         colButtons.clear();  // the earlier process's state died with it
         xlApp.reset();
         OnConnection(excel);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.history);
    SetUp();
    c.before();
    EXPECT_EQ(Popups().size(), 1u);
    EXPECT_EQ(colButtons.size(), 6u);
    EXPECT_EQ(excel->LiveClickConnections(), 6);
    EXPECT_TRUE(ClickMenu(u"&Morvane &Wizard"));
    EXPECT_EQ(ui->wizardShows, 1);
    TearDown();
  }
}

// The disconnection's steps are independent: a failing popup removal still empties the state.
TEST_F(LifecycleTest, DisconnectionEmptiesTheStateEvenWhenTheHostFails) {
  Connect(u"11.0");
  excel->FailMember("Application.CommandBar", host::HostError(errors::kExcelError, u"no bars"));
  EXPECT_NO_THROW(OnDisconnection());
  EXPECT_EQ(xlApp, nullptr);
  EXPECT_TRUE(colButtons.empty());
  EXPECT_EQ(excel->LiveClickConnections(), 0);
}

}  // namespace
}  // namespace morvane::testing
