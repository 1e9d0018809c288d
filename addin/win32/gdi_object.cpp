#include "addin/win32/gdi_object.h"

#include <windows.h>

namespace morvane::win32 {

void DeleteGdiObject(void* object) noexcept {
  DeleteObject(static_cast<HGDIOBJ>(object));
}

}  // namespace morvane::win32
