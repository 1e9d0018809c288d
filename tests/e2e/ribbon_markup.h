#pragma once

// Reads ribbon markup the way the ribbon does for one purpose: which callback a control names
// for an attribute (onAction), so the harness calls the add-in by the name its markup gives.

#include <optional>
#include <string>
#include <string_view>

namespace morvane::e2e {

// The value of `attribute` on the element whose id is `id`, entities decoded; nothing when no
// element has that id or it has no such attribute.
std::optional<std::u16string> ControlAttribute(std::u16string_view markup, std::u16string_view id,
                                               std::u16string_view attribute);

}  // namespace morvane::e2e
