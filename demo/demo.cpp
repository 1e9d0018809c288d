// Shows the four case rules on a small sample of spreadsheet text, one line per rule.
#include <cstdio>
#include <string>

#include "convert/case_rules.h"

namespace {

std::string ToUtf8(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {  // the sample holds no surrogate pairs
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

int main() {
  using morvane::CaseMode;
  const std::u16string sample = u"the CAFÉ on élan street. is it OPEN? yes, o'neil said so!";
  const struct {
    const char* label;
    CaseMode mode;
  } rules[] = {{"UPPER CASE   ", CaseMode::UpperCase},
               {"lower case   ", CaseMode::LowerCase},
               {"Title Case   ", CaseMode::TitleCase},
               {"Sentence case", CaseMode::SentenceCase}};
  std::printf("sample         %s\n", ToUtf8(sample).c_str());
  for (const auto& rule : rules) {
    std::printf("%s  %s\n", rule.label, ToUtf8(morvane::ApplyCase(sample, rule.mode)).c_str());
  }
  return 0;
}
