#include "platform/windows/system_libraries.h"

namespace {

// |name| in the system DLL |library|, loaded from the system folder alone.
// Once loaded it stays: a later call only finds it again.
template <typename Function>
Function system_function(const wchar_t* library, const char* name) {
  HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

void restrict_dll_search() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }

decltype(&MessageBoxW) message_box_function() {
  return system_function<decltype(&MessageBoxW)>(L"user32.dll", "MessageBoxW");
}

decltype(&SHGetKnownFolderPath) known_folder_path_function() {
  return system_function<decltype(&SHGetKnownFolderPath)>(L"shell32.dll",
                                                          "SHGetKnownFolderPath");
}

decltype(&CoTaskMemFree) task_memory_free_function() {
  return system_function<decltype(&CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
}
