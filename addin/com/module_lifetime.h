#pragma once

// What keeps the DLL loaded: live COM objects and IClassFactory::LockServer locks. COM asks
// DllCanUnloadNow before it unloads the DLL, and the answer must be "no" while any object whose
// vtable lives in this DLL (Connect, a class factory, a menu button's event sink) is still
// referenced by someone.

#include <windows.h>

#include <string>

namespace morvane::com {

// One live object's hold on the module, for as long as the holder lives (a member of every
// COM object the DLL creates; ComObject has one).
class ModuleReference {
 public:
  ModuleReference();
  ModuleReference(const ModuleReference&);
  ModuleReference& operator=(const ModuleReference&) = default;
  ~ModuleReference();
};

// IClassFactory::LockServer.
void LockModule(bool lock);
// True while an object or a lock holds the module.
bool ModuleInUse();

// The module the add-in's code lives in: the DLL's handle, saved by DllMain. In a program that
// links the glue statically (the tests) it stays null, which stands for the program itself.
void SetModuleHandle(HINSTANCE module);
HINSTANCE ModuleHandle();
// The full path of that module's file.
std::wstring ModulePath();

}  // namespace morvane::com
