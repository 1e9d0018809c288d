#pragma once

// The About box's texts. The addresses in them come from web_addresses.h.

#include <string>
#include <string_view>

namespace morvane::about {

// Label2: what the add-in does, named with its version when that is known (empty: not known),
// an empty line, the request for feedback and the contact line, joined by CR LF.
std::u16string Label2Text(std::u16string_view version);

// Label21, the footer: the maker's notice with the contact addresses. A click on it opens the
// home page.
std::u16string FooterText();

}  // namespace morvane::about
