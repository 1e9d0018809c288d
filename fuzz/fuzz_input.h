#pragma once

// Turning the fuzzer's bytes into the texts the targets take, and stopping on a broken property.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace morvane::fuzz {

// An even first byte takes each later byte as one code unit (mostly ASCII, where the fast paths
// are); an odd one takes the bytes in little-endian pairs (anything, unpaired surrogates too).
inline std::u16string TextFrom(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  if (size == 0) {
    return text;
  }
  if (data[0] % 2 == 0) {
    text.assign(data + 1, data + size);
  } else {
    for (std::size_t i = 1; i + 1 < size; i += 2) {
      text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    }
  }
  return text;
}

// Aborts, so that libFuzzer keeps the input that broke the property.
inline void Require(bool holds, const char* property) {
  if (!holds) {
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
  }
}

}  // namespace morvane::fuzz
