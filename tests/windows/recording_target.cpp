// Stands in for velmora\velmora.exe in the Windows end-to-end tests: writes
// its command line as Windows gave it (GetCommandLineW), the C runtime's
// argv and its environment to the file named by RECORD_FILE, as UTF-8:
//   line <n>\n<bytes>\n   once
//   arg <n>\n<bytes>\n    per argv element
//   env <n>\n<bytes>\n    per environment entry
// The record is written beside its final name and then moved there, so a
// reader never sees half of it.
#include <windows.h>

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
