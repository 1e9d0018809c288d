#include "ribbon_fake_platform.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <stdexcept>

#include "addin/ribbon.h"

namespace morvane::fakes {

std::u16string Windows1252ToUtf16(std::string_view bytes) {
  // 0x80..0x9F; the rest of the code page equals Latin-1.
  static constexpr char16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
  };
  std::u16string text;
  text.reserve(bytes.size());
  for (char byte : bytes) {
    const unsigned char b = static_cast<unsigned char>(byte);
    text += (b >= 0x80 && b <= 0x9F) ? kHigh[b - 0x80] : static_cast<char16_t>(b);
  }
  return text;
}

FakeRibbonPlatform::FakeRibbonPlatform() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate =
        std::filesystem::temp_directory_path() /
        ("morvane-ribbon-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    if (std::filesystem::create_directory(candidate)) {
      own_ = candidate;
      folder = candidate;
      return;
    }
  }
  throw std::runtime_error("no temporary folder for the ribbon tests");
}

FakeRibbonPlatform::~FakeRibbonPlatform() {
  std::error_code ignored;
  std::filesystem::remove_all(own_, ignored);
}

std::filesystem::path FakeRibbonPlatform::RibbonFile() const {
  return folder / kRibbonFileName;
}

void FakeRibbonPlatform::WriteRibbonFile(std::string_view bytes) const {
  std::ofstream out(RibbonFile(), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write the ribbon file");
  }
}

}  // namespace morvane::fakes
