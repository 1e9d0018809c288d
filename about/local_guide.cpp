#include "about/local_guide.h"

#include <array>
#include <system_error>

namespace morvane::about {
namespace {

char16_t Lower(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool EndsWithName(std::u16string_view host, std::u16string_view name) {
  return host == name || (host.size() > name.size() && host.ends_with(name) &&
                          host[host.size() - name.size() - 1] == u'.');
}

// The host of "scheme://[user@]host[:port]/...", in lower case; empty when there is none.
std::u16string HostOf(std::u16string_view address) {
  const std::size_t scheme = address.find(u"://");
  if (scheme == std::u16string_view::npos) {
    return {};
  }
  std::u16string_view rest = address.substr(scheme + 3);
  rest = rest.substr(0, rest.find_first_of(u"/?#"));
  if (const std::size_t at = rest.rfind(u'@'); at != std::u16string_view::npos) {
    rest.remove_prefix(at + 1);
  }
  rest = rest.substr(0, rest.find(u':'));
  if (rest.ends_with(u'.')) {
    rest.remove_suffix(1);  // the root of the name
  }
  std::u16string host;
  for (const char16_t c : rest) {
    host += Lower(c);
  }
  return host;
}

// Letters, digits and the marks a URL path holds as they are.
bool StaysInUrl(char16_t c) {
  if (c >= 0x80) {
    return true;
  }
  if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) {
    return true;
  }
  return std::u16string_view(u"-._~/:!$&'()*+,;=@").find(c) != std::u16string_view::npos;
}

}  // namespace

bool IsPlaceholderAddress(std::u16string_view address) {
  static constexpr std::array<std::u16string_view, 7> kReserved = {
      u"example",     u"invalid",     u"test",       u"localhost",
      u"example.com", u"example.net", u"example.org"};
  const std::u16string host = HostOf(address);
  for (const std::u16string_view name : kReserved) {
    if (EndsWithName(host, name)) {
      return true;
    }
  }
  return false;
}

std::u16string FileUrl(std::u16string_view path) {
  std::u16string slashed;
  for (const char16_t c : path) {
    slashed += c == u'\\' ? u'/' : c;
  }
  std::u16string_view rest = slashed;
  bool unc = false;
  // The long-path forms "\\?\UNC\server\share\..." and "\\?\C:\...".
  if (rest.starts_with(u"//?/UNC/")) {
    rest.remove_prefix(8);
    unc = true;
  } else if (rest.starts_with(u"//?/")) {
    rest.remove_prefix(4);
  } else if (rest.starts_with(u"//")) {
    rest.remove_prefix(2);
    unc = true;
  }
  // A UNC path's server is the URL's host; a drive or POSIX path has an empty host.
  const bool driveLetter = !unc && !rest.starts_with(u'/');
  std::u16string url = driveLetter ? u"file:///" : u"file://";
  constexpr std::u16string_view kHex = u"0123456789ABCDEF";
  for (const char16_t c : rest) {
    if (StaysInUrl(c)) {
      url += c;
    } else {
      url += u'%';
      url += kHex[(c >> 4) & 0xF];
      url += kHex[c & 0xF];
    }
  }
  return url;
}

std::u16string AddressToOpen(std::u16string_view webPage,
                             const std::filesystem::path& addInFolder) {
  if (!IsPlaceholderAddress(webPage) || addInFolder.empty()) {
    return std::u16string(webPage);
  }
  const std::filesystem::path guide = addInFolder / std::filesystem::path(kGuideFileName);
  std::error_code error;
  if (!std::filesystem::is_regular_file(guide, error)) {
    return std::u16string(webPage);
  }
  return FileUrl(guide.u16string());
}

}  // namespace morvane::about
