#pragma once

// The add-in's web addresses, all under one base so that moving the site is one edit here.
// The base lies under the reserved .example domain: it can never lead a user to somebody
// else's site. A publisher who owns a domain puts it in kWebBase and the two pages below.

#include <string_view>

namespace morvane::about {

inline constexpr std::u16string_view kWebBase = u"https://morvane.example/";
// The online user guide page (menu "Online &User Guide", ribbon mvOH).
inline constexpr std::u16string_view kUserGuidePage = u"https://morvane.example/guide/";
// The product's home page (the About box's footer).
inline constexpr std::u16string_view kHomePage = u"https://morvane.example/";
// Where feedback goes.
inline constexpr std::u16string_view kFeedbackMail = u"feedback@morvane.example";

static_assert(kUserGuidePage.starts_with(kWebBase) && kHomePage.starts_with(kWebBase));

}  // namespace morvane::about
