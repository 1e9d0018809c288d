#pragma once

// Points one module's import of a system function at a stand-in for as long as the patch
// lives. For what Wine cannot do on demand: it has no high-contrast mode to switch on
// (SPI_SETHIGHCONTRAST is a stub), so the tests make the code's own SystemParametersInfoW say
// it is on.

#include <windows.h>

#include <cstring>

namespace morvane::uitest {

class ImportPatch {
 public:
  ImportPatch(HMODULE module, const char* dll, const char* function, void* standIn) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
      return;
    }
    for (auto* entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name != 0; ++entry) {
      if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) {
        continue;
      }
      const auto* names =
          reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
      auto* addresses =
          reinterpret_cast<IMAGE_THUNK_DATA*>(const_cast<BYTE*>(base) + entry->FirstThunk);
      for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
          continue;
        }
        const auto* byName =
            reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
          slot_ = reinterpret_cast<ULONG_PTR*>(&addresses->u1.Function);
          original_ = *slot_;
          Write(reinterpret_cast<ULONG_PTR>(standIn));
          return;
        }
      }
    }
  }
  ~ImportPatch() {
    if (slot_) {
      Write(original_);
    }
  }
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  bool Applied() const { return slot_ != nullptr; }
  // The function the import pointed at before.
  template <class Function>
  Function* Original() const {
    return reinterpret_cast<Function*>(original_);
  }

 private:
  void Write(ULONG_PTR value) {
    DWORD previous = 0;
    VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &previous);
    *slot_ = value;
    VirtualProtect(slot_, sizeof *slot_, previous, &previous);
  }

  ULONG_PTR* slot_ = nullptr;
  ULONG_PTR original_ = 0;
};

// While it lives, SystemParametersInfoW as `module` calls it reports high contrast on.
class HighContrastForModule {
 public:
  explicit HighContrastForModule(HMODULE module)
      : patch_(module, "user32.dll", "SystemParametersInfoW",
               reinterpret_cast<void*>(&HighContrastOn)) {
    real_ = patch_.Original<decltype(SystemParametersInfoW)>();
  }
  bool Applied() const { return patch_.Applied(); }

 private:
  static BOOL WINAPI HighContrastOn(UINT action, UINT param, PVOID data, UINT update) {
    if (action == SPI_GETHIGHCONTRAST && data) {
      auto* setting = static_cast<HIGHCONTRASTW*>(data);
      setting->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
      setting->lpszDefaultScheme = nullptr;
      return TRUE;
    }
    return real_(action, param, data, update);
  }

  static inline decltype(SystemParametersInfoW)* real_ = nullptr;
  ImportPatch patch_;
};

}  // namespace morvane::uitest
