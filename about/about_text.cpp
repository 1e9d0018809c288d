#include "about/about_text.h"

#include <string_view>

#include "about/web_addresses.h"

namespace morvane::about {
namespace {

std::u16string Join(std::initializer_list<std::u16string_view> parts, std::u16string_view glue) {
  std::u16string text;
  bool first = true;
  for (std::u16string_view part : parts) {
    if (!first) {
      text += glue;
    }
    text += part;
    first = false;
  }
  return text;
}

}  // namespace

std::u16string Label2Text(std::u16string_view version) {
  const std::u16string contact = Join({kFeedbackMail, kHomePage}, u"   ");
  const std::u16string name = version.empty() ? u"Morvane" : Join({u"Morvane", version}, u" ");
  const std::u16string description =
      name +
      u" changes the letter case of the text in your Excel cells, quickly and accurately: "
      u"UPPER CASE, lower case, Title Case or Sentence case. The last conversion can be undone "
      u"with Morvane's Undo Changes, and the undo redone.";
  return Join(
      {
          description,
          u"",
          u"Please send your Feedback and Advice to us at : ",
          contact,
      },
      u"\r\n");
}

// Kept short: the footer is one line of 6300 twips (420 pixels) in Trebuchet MS 8.25 pt.
std::u16string FooterText() {
  return Join({u"\u00A9 Morvane", kFeedbackMail, kHomePage}, u" \u00B7 ");
}

}  // namespace morvane::about
