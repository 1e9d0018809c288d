#pragma once

// What a member returned, read as the plain value the host model promises. A value of another
// type converts as Visual Basic would convert it (CLng, CStr, CDbl, with locale 1033); one that
// does not convert throws HostError(kTypeMismatch).

#include <cstdint>
#include <string>
#include <string_view>

#include "addin/com/base/variant.h"

namespace morvane::com {

std::int32_t Int32Of(const Variant& result, std::u16string_view member);
double NumberOf(const Variant& result, std::u16string_view member);
std::u16string TextOf(const Variant& result, std::u16string_view member);

}  // namespace morvane::com
