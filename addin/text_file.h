#pragma once

// Reading the ribbon markup file.

#include <filesystem>
#include <string>

#include "addin/model/ribbon_platform.h"

namespace morvane {

// Far beyond any real ribbon markup (a few kilobytes).
inline constexpr std::size_t kMostTextFileBytes = std::size_t{1024} * 1024;

// The whole content of a file as text. The bytes are read in binary mode and become text
// through the system's ANSI code page, except in a file that begins with a UTF-8 byte order
// mark: that one is read as UTF-8 and the mark dropped (through the code page the mark would
// reach the host as three stray characters before the markup, and the host would reject it).
// A file that does not exist is created, empty, and gives empty text. A file that can be
// neither read nor created, or is larger than kMostTextFileBytes, fails with
// std::system_error.
std::u16string ReadTextFile(const std::filesystem::path& path, RibbonPlatform& platform);

}  // namespace morvane
