#include "tests/e2e/ribbon_markup.h"

#include <map>

namespace morvane::e2e {
namespace {

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string Decoded(std::u16string_view text) {
  static const std::pair<std::u16string_view, char16_t> kEntities[] = {
      {u"&amp;", u'&'}, {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&quot;", u'"'}, {u"&apos;", u'\''}};
  std::u16string out;
  for (std::size_t i = 0; i < text.size();) {
    bool replaced = false;
    if (text[i] == u'&') {
      for (const auto& [entity, character] : kEntities) {
        if (text.substr(i, entity.size()) == entity) {
          out += character;
          i += entity.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) {
      out += text[i++];
    }
  }
  return out;
}

// The attributes of the start tag that begins at `at` (just after '<'); `at` moves past it.
std::map<std::u16string, std::u16string> Attributes(std::u16string_view markup, std::size_t& at) {
  std::map<std::u16string, std::u16string> out;
  while (at < markup.size() && !IsSpace(markup[at]) && markup[at] != u'>' && markup[at] != u'/') {
    ++at;  // the element name
  }
  while (at < markup.size() && markup[at] != u'>') {
    if (IsSpace(markup[at]) || markup[at] == u'/') {
      ++at;
      continue;
    }
    const std::size_t nameStart = at;
    while (at < markup.size() && markup[at] != u'=' && !IsSpace(markup[at]) && markup[at] != u'>') {
      ++at;
    }
    const std::u16string name(markup.substr(nameStart, at - nameStart));
    while (at < markup.size() && (IsSpace(markup[at]) || markup[at] == u'=')) {
      ++at;
    }
    if (at >= markup.size() || (markup[at] != u'"' && markup[at] != u'\'')) {
      continue;  // an attribute without a quoted value: not well-formed, skip it
    }
    const char16_t quote = markup[at++];
    const std::size_t valueEnd = markup.find(quote, at);
    if (valueEnd == std::u16string_view::npos) {
      at = markup.size();
      break;
    }
    out[name] = Decoded(markup.substr(at, valueEnd - at));
    at = valueEnd + 1;
  }
  return out;
}

}  // namespace

std::optional<std::u16string> ControlAttribute(std::u16string_view markup, std::u16string_view id,
                                               std::u16string_view attribute) {
  std::size_t at = 0;
  while ((at = markup.find(u'<', at)) != std::u16string_view::npos) {
    ++at;
    if (markup.substr(at, 3) == u"!--") {
      at = markup.find(u"-->", at);  // a commented-out control is no control
      if (at == std::u16string_view::npos) {
        break;
      }
      continue;
    }
    if (at < markup.size() && (markup[at] == u'/' || markup[at] == u'?' || markup[at] == u'!')) {
      continue;  // end tags and declarations hold no controls
    }
    const auto attributes = Attributes(markup, at);
    const auto found = attributes.find(u"id");
    if (found == attributes.end() || found->second != id) {
      continue;
    }
    const auto wanted = attributes.find(std::u16string(attribute));
    if (wanted == attributes.end()) {
      return std::nullopt;
    }
    return wanted->second;
  }
  return std::nullopt;
}

}  // namespace morvane::e2e
