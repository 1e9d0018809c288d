#pragma once

// Text of the harness's messages, converted as the add-in converts it, and paths between Linux
// and the Wine drive that maps it.

#include <string>
#include <string_view>

#include "addin/model/utf8.h"
#include "addin/win32/wide_text.h"

namespace morvane::e2e {

using win32::Utf8FromWide;
using win32::WideFromUtf8;

// An HRESULT or SCODE as Windows writes it in messages: 0x800A03EC.
std::string Hex(long code);

// A Linux absolute path as Wine's Z: drive shows it; Windows paths pass through.
std::wstring WindowsPath(std::string_view path);

}  // namespace morvane::e2e
