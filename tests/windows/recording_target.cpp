// Stands in for velmora\velmora.exe in the Windows end-to-end tests: writes
// its command line as Windows gave it (GetCommandLineW), the C runtime's
// argv and its environment to the file named by RECORD_FILE, as UTF-8:
//   line <n>\n<bytes>\n   once
//   arg <n>\n<bytes>\n    per argv element
//   env <n>\n<bytes>\n    per environment entry
//   show <n>\n<number>\n  the show state of its start-up information, if any
//   file <n>\n<path>\n    per file or directory handle it holds at start
// The record is written beside its final name and then moved there, so a
// reader never sees half of it.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "tests/windows/launcher_driver.h"

namespace {

void put(std::string& record, const char* kind, const std::wstring& value) {
  std::string bytes = to_utf8(value);
  record += kind;
  record += " " + std::to_string(bytes.size()) + "\n" + bytes + "\n";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::string record;
  // Before anything here opens a file: what it was started with.
  for (uintptr_t value = 4; value < 0x4000; value += 4) {
    HANDLE handle = reinterpret_cast<HANDLE>(value);
    wchar_t path[1024];
    if (GetFileType(handle) != FILE_TYPE_DISK) continue;
    DWORD length = GetFinalPathNameByHandleW(handle, path, 1024, 0);
    if (length > 0 && length < 1024) put(record, "file", std::wstring(path, length));
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  if (startup.dwFlags & STARTF_USESHOWWINDOW) {
    put(record, "show", std::to_wstring(startup.wShowWindow));
  }
  put(record, "line", GetCommandLineW());
  for (int i = 0; i < argc; ++i) put(record, "arg", argv[i]);
  wchar_t* block = GetEnvironmentStringsW();
  for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
    put(record, "env", entry);
  }
  FreeEnvironmentStringsW(block);

  const wchar_t* target = _wgetenv(L"RECORD_FILE");
  if (target == nullptr) {
    fwrite(record.data(), 1, record.size(), stdout);
    return 0;
  }
  std::wstring partial = std::wstring(target) + L".partial";
  FILE* file = _wfopen(partial.c_str(), L"wb");
  if (file == nullptr) return 2;
  fwrite(record.data(), 1, record.size(), file);
  fclose(file);
  return MoveFileExW(partial.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
}
