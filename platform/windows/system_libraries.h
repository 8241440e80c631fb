// The system DLLs the launcher needs only now and then: USER32 for a
// message box, SHELL32 and OLE32 for the Documents folder. They are not
// imported, so a launch that shows nothing maps none of them (nor the
// dozen DLLs they bring in); they are loaded on first use, from the system
// folder only, and stay loaded.
#ifndef LAUNCHER_PLATFORM_WINDOWS_SYSTEM_LIBRARIES_H_
#define LAUNCHER_PLATFORM_WINDOWS_SYSTEM_LIBRARIES_H_

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

// Called first thing: every DLL loaded by name later, by the launcher or by
// a system DLL for its own needs, comes from the system folder, never from
// the launcher's folder (which the user may be able to write to) or the
// current one.
void restrict_dll_search();

// The functions, each null when its DLL or the function cannot be loaded.
decltype(&MessageBoxW) message_box_function();
decltype(&SHGetKnownFolderPath) known_folder_path_function();
decltype(&CoTaskMemFree) task_memory_free_function();

#endif  // LAUNCHER_PLATFORM_WINDOWS_SYSTEM_LIBRARIES_H_
