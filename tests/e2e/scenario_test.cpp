#include <gtest/gtest.h>

#include "tests/e2e/ribbon_markup.h"
#include "tests/e2e/scenario.h"
#include "tests/e2e/scenario_values.h"

namespace morvane::e2e {
namespace {

TEST(ScenarioTest, LinesBecomeVerbsAndWordsWithDialogUnderTheirCommand) {
  const Scenario scenario = ParseScenario(
      "# a comment\n"
      "version 11.0\n"
      "\n"
      "type Sheet1 A1 hello   world\r\n"
      "click &Morvane / &Morvane &Wizard\n"
      "  dialog option Title Case\n"
      "  dialog press STOP at write 5\n"
      "expect cell Sheet1 A1 \"Hello \\\"World\\\"\"\n");
  ASSERT_EQ(scenario.lines.size(), 4u);
  EXPECT_EQ(scenario.lines[0].verb, "version");
  EXPECT_EQ(scenario.lines[0].number, 2);
  EXPECT_EQ(scenario.lines[1].TextFrom(2), "hello   world");
  const ScenarioLine& click = scenario.lines[2];
  EXPECT_EQ(click.rest, "&Morvane / &Morvane &Wizard");
  ASSERT_EQ(click.dialog.size(), 2u);
  EXPECT_EQ(click.dialog[0].verb, "option");
  EXPECT_EQ(click.dialog[0].TextFrom(0), "Title Case");
  EXPECT_EQ(click.dialog[1].rest, "STOP at write 5");
  EXPECT_EQ(click.dialog[1].number, 7);
  const ScenarioLine& expect = scenario.lines[3];
  ASSERT_EQ(expect.words.size(), 4u);
  EXPECT_EQ(expect.words[3], (Word{"Hello \"World\"", true}));
  EXPECT_EQ(expect.TextFrom(3), "Hello \"World\"");
  EXPECT_EQ(expect.TextFrom(1), "Sheet1 A1 \"Hello \\\"World\\\"\"");
  // A quoted word ending in an escaped backslash ends at its closing quote.
  const ScenarioLine say = ParseScenario("say \"a\\\\\" tail  end\n").lines[0];
  EXPECT_EQ(say.words[0], (Word{"a\\", true}));
  EXPECT_EQ(say.TextFrom(1), "tail  end");
}

TEST(ScenarioTest, MistakesAreReportedWithTheirLine) {
  const struct {
    const char* text;
    int line;
    const char* message;
  } cases[] = {
      {"version 11.0\nexepct cell Sheet1 A1 x\n", 2, "unknown verb 'exepct'"},
      {"dialog press OK\n", 1, "dialog lines belong under a click or a ribbon command"},
      {"start\nquit\n  dialog press OK\n", 3, "dialog lines belong under"},
      {"ribbon mvMain\n  dialog push CONVERT\n", 2, "unknown dialog action 'push'"},
      {"type Sheet1 \"A1\n", 1, "unterminated quoted text"},
      {"version\n", 1, "wrong number of words for 'version'"},
      {"select A1 B2\n", 1, "wrong number of words for 'select'"},
      {"say \"a\"b\n", 1, "a quoted word must end at a space"},
  };
  for (const auto& c : cases) {
    try {
      ParseScenario(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const ScenarioError& error) {
      EXPECT_EQ(error.line(), c.line) << c.text;
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
  }
}

TEST(RibbonMarkupTest, FindsTheCallbackAControlNames) {
  const std::u16string markup =
      u"<?xml version=\"1.0\"?>\n"
      u"<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\">\n"
      u"<!-- <button id=\"mvMain\" onAction=\"Old\"/> -->\n"
      u"<tab id='mvTab' label=\"Morvane &amp; Co\">\n"
      u"  <button id=\"mvMain\" label=\"Change\" onAction=\"RibbonHandler\"/>\n"
      u"  <button\n    onAction = 'Other'\n    id=\"mvUndo\" />\n"
      u"  <button id=\"mvPlain\"/>\n"
      u"</tab></customUI>";
  const struct {
    const char16_t* id;
    const char16_t* attribute;
    std::optional<std::u16string> expected;
  } cases[] = {
      {u"mvMain", u"onAction", u"RibbonHandler"}, {u"mvUndo", u"onAction", u"Other"},
      {u"mvTab", u"label", u"Morvane & Co"},      {u"mvPlain", u"onAction", std::nullopt},
      {u"mvmain", u"onAction", std::nullopt},     {u"mvNone", u"onAction", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ControlAttribute(markup, c.id, c.attribute), c.expected);
  }
}

TEST(ScenarioValuesTest, WordsBecomeCellValuesAndBack) {
  const struct {
    const char* text;
    bool quoted;
    host::CellValue value;
    const char* shown;
  } cases[] = {
      {"TRUE", true, std::u16string(u"TRUE"), "\"TRUE\""},
      {"TRUE", false, true, "TRUE"},
      {"1e5", false, 100000.0, "100000"},
      {"-1.5", false, -1.5, "-1.5"},
      {"caf\xc3\xa9", true, std::u16string(u"caf\u00e9"), "\"caf\xc3\xa9\""},
      {"empty", false, host::Empty{}, "empty"},
      {"#N/A", false, host::ErrorValue::NA, "#N/A"},
      {"#DIV/0!", false, host::ErrorValue::Div0, "#DIV/0!"},
      {"date:43831", false, host::Date{43831}, "date:43831"},
      {"currency:12.5", false, host::Currency{125000}, "currency:12.5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseCellValue(Word{c.text, c.quoted}), c.value) << c.text;
    EXPECT_EQ(FormatCellValue(c.value), c.shown);
  }
  for (const char* bad : {"hello", "true", "1e", "date:x", "#OOPS"}) {
    EXPECT_EQ(ParseCellValue(Word{bad, false}), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace morvane::e2e
