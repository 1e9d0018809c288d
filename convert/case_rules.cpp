#include "convert/case_rules.h"

#include "convert/case_mapping.h"

namespace morvane {
namespace {

using case_mapping::Direction;

constexpr char16_t kAsciiEnd = 0x80;

char16_t AsciiUpper(char16_t c) {
  return (c >= u'a' && c <= u'z') ? c - 32 : c;
}
char16_t AsciiLower(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? c + 32 : c;
}

// Runs of ASCII are mapped here; only the runs in between go to the platform's case tables.
void MapAll(std::u16string& text, Direction direction) {
  char16_t* const data = text.data();
  const std::size_t length = text.size();
  std::size_t i = 0;
  while (i < length) {
    if (data[i] < kAsciiEnd) {
      data[i] = direction == Direction::ToUpper ? AsciiUpper(data[i]) : AsciiLower(data[i]);
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < length && data[i] >= kAsciiEnd) {
      ++i;
    }
    case_mapping::MapInPlace(data + start, i - start, direction);
  }
}

bool IsWordSeparator(char16_t c) {
  return c == 0 || (c >= 9 && c <= 13) || c == u' ';
}

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

void UpperCharacterAt(std::u16string& text, std::size_t i) {
  if (text[i] < kAsciiEnd) {
    text[i] = AsciiUpper(text[i]);
    return;
  }
  const bool pair = IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
  case_mapping::MapInPlace(text.data() + i, pair ? 2 : 1, Direction::ToUpper);
}

void TitleCase(std::u16string& text) {
  MapAll(text, Direction::ToLower);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == 0 || IsWordSeparator(text[i - 1])) {
      UpperCharacterAt(text, i);
    }
  }
}

void SentenceCase(std::u16string& text) {
  bool capitalizeNext = true;
  for (char16_t& c : text) {
    if (c == u'.' || c == u'?') {
      capitalizeNext = true;
    } else if (c >= u'a' && c <= u'z') {
      if (capitalizeNext) {
        c -= 32;
        capitalizeNext = false;
      }
    } else if (c >= u'A' && c <= u'Z') {
      if (capitalizeNext) {
        capitalizeNext = false;
      } else {
        c += 32;
      }
    }
  }
}

}  // namespace

std::u16string ApplyCase(std::u16string_view text, CaseMode mode) {
  std::u16string result(text);
  switch (mode) {
    case CaseMode::UpperCase:
      MapAll(result, Direction::ToUpper);
      break;
    case CaseMode::LowerCase:
      MapAll(result, Direction::ToLower);
      break;
    case CaseMode::TitleCase:
      TitleCase(result);
      break;
    case CaseMode::SentenceCase:
      SentenceCase(result);
      break;
  }
  return result;
}

}  // namespace morvane
