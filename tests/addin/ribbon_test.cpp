// The ribbon: reading the markup file, the markup the add-in ships, and the callback's
// dispatch.

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <system_error>
#include <vector>

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

TEST(Utf8, MalformedTextBecomesReplacementCharacters) {
  struct Case {
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"\xF0\x9F\x98\x80", u"\U0001F600"},  // a pair of surrogates
      {"\xC3\xA9\xE2\x82\xAC", u"\u00E9\u20AC"},
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
    if (c.text.find(u'\uFFFD') == std::u16string::npos) {
      EXPECT_EQ(Utf16ToUtf8(c.text), c.bytes);
    }
  }
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDC00, u'a', 0xD800}), "\uFFFDa\uFFFD");
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
    SCOPED_TRACE(Utf16ToUtf8(c.ribbonId));
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
    SCOPED_TRACE(Utf16ToUtf8(id));
    excel->ResetCounters();
    Press(id);
    EXPECT_EQ(excel->TotalCalls(), 0);
    EXPECT_TRUE(ui->Untouched());
  }
}

TEST_F(RibbonHandlerTest, FailuresGoBackToTheHost) {
  EXPECT_THROW(
      {
        auto control = FakeRibbonControl::Failing(
            std::make_exception_ptr(host::HostError(errors::kFail, u"")));
        RibbonHandler(control);
      },
      host::HostError);

  ui->wizardFailure = std::make_exception_ptr(host::HostError(errors::kFail, u"no dialog"));
  EXPECT_THROW(Press(u"mvMain"), host::HostError);

  excel->AddWorkbook({u"Sheet1", u"Sheet1_Undo"});
  excel->FailMember("Sheets.Count", host::HostError(errors::kExcelError, u"refused"));
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

struct Element {
  std::string name;
  std::map<std::string, std::string> attributes;
};

// The file's elements in document order, read with the little XML the file uses (elements,
// double-quoted attributes, the five predefined entities); fails the test where the markup is
// not well formed.
std::vector<Element> ParseMarkup(const std::string& markup) {
  const std::regex tag(
      R"re(<(/?)([A-Za-z]+)((?:\s+[A-Za-z]+="(?:[^"<&]|&(?:amp|lt|gt|quot|apos);)*")*)\s*(/?)>)re");
  const std::regex attribute(R"re(([A-Za-z]+)="([^"]*)")re");
  std::vector<Element> elements;
  std::vector<std::string> open;
  std::size_t at = 0;
  for (auto it = std::sregex_iterator(markup.begin(), markup.end(), tag);
       it != std::sregex_iterator(); ++it) {
    const std::smatch& m = *it;
    EXPECT_EQ(markup.substr(at, m.position() - at).find_first_not_of(" \t\r\n"), std::string::npos)
        << "text outside a tag at " << at;
    at = m.position() + m.length();
    if (m[1] == "/") {
      EXPECT_TRUE(!open.empty() && open.back() == m[2]) << "</" << m[2] << "> closes nothing";
      if (!open.empty()) {
        open.pop_back();
      }
      continue;
    }
    Element element{m[2], {}};
    const std::string attributes = m[3];
    for (auto a = std::sregex_iterator(attributes.begin(), attributes.end(), attribute);
         a != std::sregex_iterator(); ++a) {
      EXPECT_TRUE(element.attributes.emplace((*a)[1], (*a)[2]).second) << (*a)[1] << " twice";
    }
    if (m[4] != "/") {
      open.push_back(element.name);
    }
    elements.push_back(std::move(element));
  }
  EXPECT_EQ(markup.substr(at).find_first_not_of(" \t\r\n"), std::string::npos);
  EXPECT_TRUE(open.empty()) << "unclosed <" << (open.empty() ? "" : open.back()) << ">";
  return elements;
}

TEST(RibbonMarkup, TheShippedFileNamesTheSixIdsThroughRibbonHandlerWithKeyTipsAndTips) {
  const std::string markup = ShippedMarkup();
  for (unsigned char c : markup) {
    ASSERT_LT(c, 0x80) << "plain ASCII reads the same through every ANSI code page";
  }
  const std::vector<Element> elements = ParseMarkup(markup);
  ASSERT_FALSE(elements.empty());
  Element root = elements[0];
  EXPECT_EQ(root.name, "customUI");
  EXPECT_EQ(root.attributes["xmlns"], "http://schemas.microsoft.com/office/2006/01/customui");

  std::set<std::string> ids, keytips;
  int tabs = 0;
  for (Element element : elements) {
    SCOPED_TRACE(element.name + " " + element.attributes["id"]);
    if (element.name == "tab") {
      ++tabs;
      EXPECT_FALSE(element.attributes["keytip"].empty());
    }
    if (element.name != "button") {
      continue;
    }
    EXPECT_EQ(element.attributes["onAction"], "RibbonHandler");
    EXPECT_TRUE(ids.insert(element.attributes["id"]).second) << "id twice";
    // Office takes up to three letters or digits; a key tip must be unique within its tab.
    EXPECT_TRUE(std::regex_match(element.attributes["keytip"], std::regex("[A-Z0-9]{1,3}")));
    EXPECT_TRUE(keytips.insert(element.attributes["keytip"]).second) << "key tip twice";
    for (const char* text : {"label", "screentip", "supertip", "imageMso"}) {
      EXPECT_FALSE(element.attributes[text].empty()) << text;
    }
  }
  EXPECT_EQ(tabs, 1);
  EXPECT_EQ(ids, (std::set<std::string>{"mvUndo", "mvRedo", "mvMain", "mvAB", "mvTO", "mvOH"}));
}

}  // namespace
}  // namespace morvane::testing
