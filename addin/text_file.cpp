#include "addin/text_file.h"

#include <fstream>
#include <string_view>
#include <system_error>

#include "addin/model/utf8.h"

namespace morvane {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string Describe(std::string_view what, const std::filesystem::path& path) {
  const std::u8string name = path.u8string();
  return std::string(what) + std::string(name.begin(), name.end());
}

void CreateEmpty(const std::filesystem::path& path) {
  // Appending never truncates, should the file have appeared in the meantime.
  std::ofstream created(path, std::ios::binary | std::ios::app);
  if (!created.is_open()) {
    throw std::system_error(std::make_error_code(std::errc::permission_denied),
                            Describe("cannot create ", path));
  }
}

// All bytes of the file, from its start; a missing file is created empty.
std::string ReadOrCreate(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) {
    std::error_code ignored;
    if (std::filesystem::status(path, ignored).type() != std::filesystem::file_type::not_found) {
      throw std::system_error(std::make_error_code(std::errc::permission_denied),
                              Describe("cannot open ", path));
    }
    CreateEmpty(path);
    return {};
  }
  std::string bytes;
  char buffer[16 * 1024];
  while (in.read(buffer, sizeof buffer), in.gcount() > 0) {
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    // Read afresh on every call, a huge file would cost the host its memory and time for
    // markup it would refuse anyway.
    if (bytes.size() > kMostTextFileBytes) {
      throw std::system_error(std::make_error_code(std::errc::file_too_large),
                              Describe("too large: ", path));
    }
  }
  if (in.bad()) {
    throw std::system_error(std::make_error_code(std::errc::io_error),
                            Describe("cannot read ", path));
  }
  return bytes;
}

}  // namespace

std::u16string ReadTextFile(const std::filesystem::path& path, RibbonPlatform& platform) {
  const std::string bytes = ReadOrCreate(path);
  if (std::string_view(bytes).starts_with(kUtf8ByteOrderMark)) {
    return Utf8ToUtf16(std::string_view(bytes).substr(kUtf8ByteOrderMark.size()));
  }
  return platform.AnsiToText(bytes);
}

}  // namespace morvane
