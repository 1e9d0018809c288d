#include "addin/win32/message_box.h"

#include <windows.h>

#include "addin/win32/wide_text.h"

namespace morvane::win32 {

void ShowMessageBox(const std::u16string& text) {
  // The add-in reports nothing about a box that could not be shown: there is no one to tell.
  MessageBoxW(GetActiveWindow(), ToWide(text).c_str(), kMessageCaption, MB_OK);
}

}  // namespace morvane::win32
