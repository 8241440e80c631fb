// Two files of the DLL loading test, from one source.
// As shcore.dll (PLANTED_DLL): a DLL named as one that SHELL32 loads by
// name, to be planted beside a program.
// As a program: one that imports SHELL32 and leaves the DLL search as it
// is, so it does load a planted shcore.dll, which shows that the test can
// see one loaded.
#ifdef PLANTED_DLL
extern "C" __declspec(dllexport) int planted() { return 1; }
#else
#include <windows.h>
#include <shlobj.h>

int main() {
  wchar_t folder[MAX_PATH];
  return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, folder)) ? 0 : 1;
}
#endif
