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

std::u16string Label2Text() {
  const std::u16string contact = Join({kFeedbackMail, kHomePage}, u"   ");
  return Join(
      {
          u"Morvane changes the letter case of the text in your Excel cells, quickly and "
          u"accurately: UPPER CASE, lower case, Title Case or Sentence case. Every conversion "
          u"can be undone, and the undo redone.",
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
