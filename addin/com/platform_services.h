#pragma once

// The Windows implementations of the portable code's seams: the Win32 user interface (forms,
// message boxes, the shell) and the reader of the user's decimal separator.
//
// They are installed when the first Connect is created, not in DllMain: nothing that creates
// windows or loads other DLLs may run under the loader lock. They are released when COM asks
// whether the DLL can unload and nothing holds it any more, again before DllMain's detach.

namespace morvane::com {

// Installs them unless they are installed already.
void InstallPlatformServices();
// Unloads the About form's window and drops the user interface; the next Connect installs
// them again.
void ReleasePlatformServices();

}  // namespace morvane::com
