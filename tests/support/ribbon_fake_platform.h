#pragma once

// The ribbon's platform for tests: a fresh temporary folder stands for the DLL's folder, and
// Windows-1252 (the ANSI code page of Western European Windows) stands for the system's code
// page.

#include <filesystem>
#include <string>
#include <string_view>

#include "addin/model/ribbon_platform.h"

namespace morvane::fakes {

// Windows-1252 as MultiByteToWideChar reads it: the five unassigned bytes (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) become the C1 controls of the same value.
std::u16string Windows1252ToUtf16(std::string_view bytes);

class FakeRibbonPlatform : public RibbonPlatform {
 public:
  // Creates an empty folder of its own; removes it, with everything in it, when destroyed.
  FakeRibbonPlatform();
  ~FakeRibbonPlatform() override;
  FakeRibbonPlatform(const FakeRibbonPlatform&) = delete;
  FakeRibbonPlatform& operator=(const FakeRibbonPlatform&) = delete;

  // Where the DLL "lies"; a test may point it elsewhere (a folder that does not exist).
  std::filesystem::path folder;

  std::filesystem::path RibbonFile() const;
  void WriteRibbonFile(std::string_view bytes) const;

  std::filesystem::path ModuleFolder() override { return folder; }
  std::u16string AnsiToText(std::string_view bytes) override { return Windows1252ToUtf16(bytes); }

 private:
  std::filesystem::path own_;
};

}  // namespace morvane::fakes
