#include "addin/model/utf8.h"

namespace morvane {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

void Append(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

bool IsHighSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char32_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

void Append(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  // The lead byte carries the length; each continuation byte six bits, highest first.
  int continuations = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  const unsigned lead = continuations == 1 ? 0xC0 : continuations == 2 ? 0xE0 : 0xF0;
  out += static_cast<char>(lead | (c >> (6 * continuations)));
  while (continuations-- > 0) {
    out += static_cast<char>(0x80 | ((c >> (6 * continuations)) & 0x3F));
  }
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      c = kReplacement;
    }
    Append(out, c);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      out += static_cast<char16_t>(lead);
      ++i;
      continue;
    }
    // The length of the sequence and the range its second byte must lie in (which rules out
    // overlong forms, surrogates and code points above U+10FFFF).
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      c = lead & 0x0F;
      low = lead == 0xE0 ? 0xA0 : 0x80;
      high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      c = lead & 0x07;
      low = lead == 0xF0 ? 0x90 : 0x80;
      high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
      out += kReplacement;
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool complete = true;
    for (int k = 1; k < length; ++k, ++j) {
      const unsigned char next = j < bytes.size() ? static_cast<unsigned char>(bytes[j]) : 0;
      const bool inRange =
          j < bytes.size() && (k == 1 ? next >= low && next <= high : next >= 0x80 && next <= 0xBF);
      if (!inRange) {
        complete = false;
        break;
      }
      c = (c << 6) | (next & 0x3F);
    }
    if (complete) {
      Append(out, c);
    } else {
      out += kReplacement;  // the bytes consumed so far form one maximal invalid subpart
    }
    i = j;
  }
  return out;
}

}  // namespace morvane
