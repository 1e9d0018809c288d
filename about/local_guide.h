#pragma once

// Which address a page of the product's site is opened at. While the site's addresses are
// placeholders that resolve nowhere, the user guide installed beside the add-in stands in for
// the site, so that "Online User Guide" and the About box's footer always lead somewhere.

#include <filesystem>
#include <string>
#include <string_view>

namespace morvane::about {

// The rendered guide the packages install beside the DLL.
inline constexpr std::u16string_view kGuideFileName = u"MorvaneGuide.html";

// True for an address whose host lies under a name reserved for examples (.example, .invalid,
// .test, .localhost, example.com/.net/.org): it can never be the publisher's own site.
bool IsPlaceholderAddress(std::u16string_view address);

// A file: URL for a local or UNC path, in Windows' form ("C:\a b\x.html" gives
// "file:///C:/a%20b/x.html") or POSIX form. Characters a URL cannot hold as they are (spaces,
// "#", "%", "?", controls) are escaped; other characters stay as they are, since the shell turns
// escapes back into bytes of the ANSI code page, not UTF-8.
std::u16string FileUrl(std::u16string_view path);

// The address to open for `webPage`: the page itself when it is a real address; otherwise the
// guide in `addInFolder` as a file: URL when that file exists, and the page when it does not
// (or the folder is not known: empty).
std::u16string AddressToOpen(std::u16string_view webPage, const std::filesystem::path& addInFolder);

}  // namespace morvane::about
