#pragma once

// The ribbon markup's platform on Windows: the folder of the module the add-in's code lives in
// (the DLL; a test program that links the glue statically stands in for it) and the system's
// ANSI code page.

#include "addin/model/ribbon_platform.h"

namespace morvane::com {

class WindowsRibbonPlatform final : public RibbonPlatform {
 public:
  std::filesystem::path ModuleFolder() override;
  std::u16string AnsiToText(std::string_view bytes) override;
};

}  // namespace morvane::com
