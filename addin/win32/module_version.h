#pragma once

// The file version in a module's version resource, as Windows shows it ("1.0.0.0").

#include <string>

struct HINSTANCE__;

namespace morvane::win32 {

// Empty when the module has no readable version resource.
std::u16string ModuleFileVersion(HINSTANCE__* module);

}  // namespace morvane::win32
