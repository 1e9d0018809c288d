// The ribbon: reading the markup file, the markup the add-in ships, and the callback's
// dispatch.

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <system_error>

#include "about/web_addresses.h"
#include "addin/ribbon.h"
#include "addin/text_file.h"
#include "command_cases.h"
#include "connected_addin.h"
#include "support/ribbon_fake_control.h"
#include "support/ribbon_fake_platform.h"

namespace morvane::testing {
namespace {

using fakes::FakeRibbonControl;
using fakes::FakeRibbonPlatform;

// --- The markup file ---------------------------------------------------------------------------

TEST(GetCustomUI, ReadsTheFileBesideTheDll) {
  struct Case {
    const char* name;
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"ANSI through the code page", "<customUI label=\"Caf\xE9 \x80 \x9C\"/>",
       u"<customUI label=\"Caf\u00E9 \u20AC \u0153\"/>"},
      {"UTF-8 with its byte order mark",
       "\xEF\xBB\xBF<customUI label=\"Caf\xC3\xA9 \xE2\x82\xAC\"/>",
       u"<customUI label=\"Caf\u00E9 \u20AC\"/>"},
      {"nothing but the mark", "\xEF\xBB\xBF", u""},
      {"UTF-8 without the mark is taken for ANSI", "Caf\xC3\xA9", u"Caf\u00C3\u00A9"},
      {"a mark cut short is ANSI", "\xEF\xBB<x/>", u"\u00EF\u00BB<x/>"},
      {"empty", "", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeRibbonPlatform platform;
    platform.WriteRibbonFile(c.bytes);
    EXPECT_EQ(GetCustomUI(u"Microsoft.Excel.Workbook", platform), c.text);
  }
}

TEST(GetCustomUI, AMissingFileIsCreatedEmpty) {
  FakeRibbonPlatform platform;
  EXPECT_EQ(GetCustomUI(u"Microsoft.Excel.Workbook", platform), u"");
  ASSERT_TRUE(std::filesystem::is_regular_file(platform.RibbonFile()));
  EXPECT_EQ(std::filesystem::file_size(platform.RibbonFile()), 0u);
}

TEST(GetCustomUI, ReadsTheFileAfreshOnEveryCall) {
  FakeRibbonPlatform platform;
  platform.WriteRibbonFile("<customUI/>");
  EXPECT_EQ(GetCustomUI(u"", platform), u"<customUI/>");
  platform.WriteRibbonFile("<customUI><ribbon/></customUI>");
  EXPECT_EQ(GetCustomUI(u"another id", platform), u"<customUI><ribbon/></customUI>");
}

// Up to the limit the file is read whole; one byte more and it is refused unread.
TEST(GetCustomUI, ReadsAFileUpToTheLimitWhole) {
  FakeRibbonPlatform platform;
  std::string bytes;
  for (int i = 0; bytes.size() < kMostTextFileBytes - 100; ++i) {
    bytes += "<button id=\"b" + std::to_string(i) + "\"/>\n";
  }
  bytes.resize(kMostTextFileBytes, ' ');
  platform.WriteRibbonFile(bytes);
  const std::u16string text = GetCustomUI(u"", platform);
  EXPECT_EQ(text.size(), bytes.size());
  EXPECT_EQ(text, std::u16string(bytes.begin(), bytes.end()));

  platform.WriteRibbonFile(bytes + " ");
  EXPECT_THROW(GetCustomUI(u"", platform), std::system_error);
}

TEST(GetCustomUI, AFileThatCanBeNeitherReadNorCreatedFails) {
  {
    SCOPED_TRACE("a folder where the file should be");
    FakeRibbonPlatform platform;
    std::filesystem::create_directory(platform.RibbonFile());
    EXPECT_THROW(GetCustomUI(u"", platform), std::system_error);
  }
  {
    SCOPED_TRACE("the DLL's folder cannot take a new file");
    FakeRibbonPlatform platform;
    platform.folder /= "gone";
    EXPECT_THROW(GetCustomUI(u"", platform), std::system_error);
    EXPECT_FALSE(std::filesystem::exists(platform.folder));
  }
}

TEST(Utf8ToUtf16, MalformedBytesBecomeReplacementCharacters) {
  struct Case {
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"\xF0\x9F\x98\x80", u"\U0001F600"},  // a pair of surrogates
      {"a\x80"
       "b",
       u"a\uFFFD"
       "b"},                                    // a stray continuation byte
      {"\xC0\xAF", u"\uFFFD\uFFFD"},            // an overlong form
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // a surrogate
      {"\xE2\x82", u"\uFFFD"},                  // cut short at the end
      {"\xE2\x82"
       "A",
       u"\uFFFD"
       "A"},                                              // cut short before ASCII
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
  };
  for (const Case& c : cases) {
    FakeRibbonPlatform platform;
    platform.WriteRibbonFile("\xEF\xBB\xBF" + c.bytes);
    EXPECT_EQ(ReadTextFile(platform.RibbonFile(), platform), c.text);
  }
}

// --- The callback ------------------------------------------------------------------------------

class RibbonHandlerTest : public ConnectedAddInTest {
 protected:
  void SetUp() override {
    ConnectedAddInTest::SetUp();
    Connect(u"16.0");
  }

  void Press(const std::u16string& id) {
    FakeRibbonControl control(id);
    RibbonHandler(control);
  }
};

TEST_F(RibbonHandlerTest, EachIdRunsItsCommand) {
  for (const CommandCase& c : CommandCases()) {
    SCOPED_TRACE(std::string(c.ribbonId.begin(), c.ribbonId.end()));
    TearDown();
    SetUp();
    if (c.arrange) {
      c.arrange(*excel);
    }
    Press(c.ribbonId);
    c.check(*excel, *ui);
  }
}

// The ribbon's ids are not the menu's tags, and neither matches in another letter case.
TEST_F(RibbonHandlerTest, OtherIdsDoNothingAtAll) {
  excel->AddWorkbook({u"Sheet1", u"Sheet1_Undo"});
  const std::u16string ids[] = {u"",         u"MVUNDO",  u"mvundo", u"mvMain ", u"mvab",
                                u"mvWizard", u"mvAbout", u"mvHelp", u"mvExit",  u"mvTab"};
  for (const std::u16string& id : ids) {
    SCOPED_TRACE(std::string(id.begin(), id.end()));
    excel->ResetCounters();
    Press(id);
    EXPECT_EQ(excel->TotalCalls(), 0);
    EXPECT_TRUE(ui->Untouched());
  }
}

TEST_F(RibbonHandlerTest, FailuresGoBackToTheHost) {
  EXPECT_THROW(
      {
        auto control =
            FakeRibbonControl::Failing(std::make_exception_ptr(host::HostError(host::kFail, u"")));
        RibbonHandler(control);
      },
      host::HostError);

  ui->wizardFailure = std::make_exception_ptr(host::HostError(host::kFail, u"no dialog"));
  EXPECT_THROW(Press(u"mvMain"), host::HostError);

  excel->AddWorkbook({u"Sheet1", u"Sheet1_Undo"});
  excel->FailMember("Sheets.Count", host::HostError(host::kExcelError, u"refused"));
  EXPECT_THROW(Press(u"mvUndo"), host::HostError);
}

TEST_F(RibbonHandlerTest, ExitDisconnectsWithoutTouchingACommandBar) {
  excel->ResetCounters();
  Press(u"mvTO");
  EXPECT_FALSE(excel->ComAddInConnected(std::u16string(kProgId)));
  EXPECT_EQ(xlApp, nullptr);
  EXPECT_EQ(excel->CallCount("Application.CommandBar"), 0);
}

// --- The markup the add-in ships -----------------------------------------------------------

std::string ShippedMarkup() {
  const std::filesystem::path source = std::filesystem::path(__FILE__).parent_path();
  std::ifstream in(source / ".." / ".." / "resources" / "MorvaneRibbon.xml", std::ios::binary);
  EXPECT_TRUE(in.is_open());
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(RibbonMarkup, TheShippedFileNamesTheSixIdsThroughRibbonHandler) {
  const std::string markup = ShippedMarkup();
  for (unsigned char c : markup) {
    ASSERT_LT(c, 0x80) << "plain ASCII reads the same through every ANSI code page";
  }
  EXPECT_TRUE(markup.starts_with(
      "<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\">"));

  const std::regex button(R"(<button\b([^>]*)/>)");
  const std::regex id(R"(\bid="([^"]*)\")");
  const std::regex onAction(R"(\bonAction="([^"]*)\")");
  std::set<std::string> ids;
  for (auto it = std::sregex_iterator(markup.begin(), markup.end(), button);
       it != std::sregex_iterator(); ++it) {
    const std::string attributes = (*it)[1];
    std::smatch idMatch, actionMatch;
    ASSERT_TRUE(std::regex_search(attributes, idMatch, id)) << attributes;
    ASSERT_TRUE(std::regex_search(attributes, actionMatch, onAction)) << attributes;
    EXPECT_EQ(actionMatch[1], "RibbonHandler") << attributes;
    EXPECT_TRUE(ids.insert(idMatch[1]).second) << "id twice: " << idMatch[1];
  }
  EXPECT_EQ(ids, (std::set<std::string>{"mvUndo", "mvRedo", "mvMain", "mvAB", "mvTO", "mvOH"}));
}

}  // namespace
}  // namespace morvane::testing
