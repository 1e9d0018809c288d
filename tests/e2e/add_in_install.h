#pragma once

// The add-in's way in and out, as Excel and a user's installation take it: the DLL copied to
// its own folder (with or without its ribbon markup), registered by regsvr32, found through
// the Excel add-in key and its ProgID, loaded from the registered path, created through its
// class object; then unloaded and unregistered, with nothing left behind.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "addin/com/base/com_ptr.h"
#include "tests/e2e/registry_view.h"

namespace morvane::e2e {

class AddInInstall {
 public:
  // Copies the DLL (and, unless `ribbonSource` is empty, the markup file) into a new folder.
  // `installed`: the DLL was installed and registered already (by its installer): it stays
  // where it is, and only its registration is read and checked, never written or removed.
  AddInInstall(const std::wstring& builtDll, const std::wstring& ribbonSource,
               std::vector<std::string>& failures, bool installed = false);
  ~AddInInstall();
  AddInInstall(const AddInInstall&) = delete;
  AddInInstall& operator=(const AddInInstall&) = delete;

  // regsvr32, then the entries Excel reads. False when Excel would not load the add-in.
  bool Register();
  // The class object from the registered path, and a new instance of the add-in's class.
  com::ComPtr<IUnknown> Create();
  // After every reference is gone: DllCanUnloadNow, then FreeLibrary.
  void Unload();
  // regsvr32 /u, then the registry compared with before Register.
  void Unregister();

  const std::wstring& Folder() const { return folder_; }
  // Where the DLL and its markup file lie.
  std::wstring DllFolder() const { return dllPath_.substr(0, dllPath_.find_last_of(L'\\')); }
  const std::wstring& ProgId() const { return progId_; }

 private:
  void Fail(const std::string& what);
  // The registration as Excel reads it: the add-in entry, ProgID, class, server, type library.
  bool Check(const std::wstring& addIn);

  std::vector<std::string>& failures_;
  std::wstring folder_;
  std::wstring dllPath_;
  std::wstring progId_;
  CLSID clsid_{};
  std::wstring serverPath_;
  HMODULE module_ = nullptr;
  std::unique_ptr<OfficeKeys> officeKeys_;
  std::unique_ptr<RegistrySnapshot> before_;
  bool registered_ = false;
  bool installed_ = false;
};

}  // namespace morvane::e2e
