#pragma once

// What reading the ribbon markup needs of the platform: where the add-in's DLL lies and how
// the system's ANSI code page turns bytes into text. The Windows build answers with the DLL's
// own module path and MultiByteToWideChar(CP_ACP); tests answer with a temporary folder.

#include <filesystem>
#include <string>
#include <string_view>

namespace morvane {

class RibbonPlatform {
 public:
  virtual ~RibbonPlatform() = default;
  // The folder that holds the add-in's DLL.
  virtual std::filesystem::path ModuleFolder() = 0;
  // Bytes to text through the system's ANSI code page.
  virtual std::u16string AnsiToText(std::string_view bytes) = 0;
};

}  // namespace morvane
