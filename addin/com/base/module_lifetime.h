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
// Keeps the module loaded until the process ends, from the first class object on. The
// statically linked thread runtime leaves a thread handle and an event behind at every unload
// (two semaphores more once an exception was thrown), and Excel unloads and reloads add-ins
// (the COM Add-ins dialog, CoFreeUnusedLibraries): loaded once, the module is simply reused.
// Every state of the add-in is reset at connection, so a reuse starts as clean as a reload.
void PinModule();
HINSTANCE ModuleHandle();
// The full path of that module's file.
std::wstring ModulePath();

}  // namespace morvane::com
