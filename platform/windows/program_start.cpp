#include "platform/windows/program_start.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform/windows/console_companion.h"

unsigned long start_in_place(const std::wstring& path, std::wstring command_line,
                             std::wstring block) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  // A shortcut's "Run: Maximized" or "Minimized" reaches the launcher here;
  // the program opens its window that way.
  STARTUPINFOW own = {};
  own.cb = sizeof own;
  GetStartupInfoW(&own);
  if ((own.dwFlags & STARTF_USESHOWWINDOW) != 0) {
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = own.wShowWindow;
  }
  // Handles are inherited as by any child: the standard ones and those the
  // launcher inherited as inheritable. Files the launcher opened itself are
  // not inheritable.
  // The companion starts it suspended, to put it in a job before it runs.
  const bool companion = is_console_companion();
  if (companion) leave_interrupts_to_the_program();
  PROCESS_INFORMATION process = {};
  fflush(nullptr);
  if (!CreateProcessW(path.c_str(), &command_line[0], nullptr, nullptr, TRUE,
                      CREATE_UNICODE_ENVIRONMENT | (companion ? CREATE_SUSPENDED : 0),
                      &block[0], nullptr, &startup, &process)) {
    return GetLastError();
  }
  if (companion) return run_to_its_end(process.hProcess, process.hThread);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  _exit(0);
}

std::wstring system_error_text(unsigned long error) {
  wchar_t* text = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring result(text != nullptr ? text : L"", length);
  LocalFree(text);
  while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' ||
                             result.back() == L' ')) {
    result.pop_back();
  }
  if (result.empty()) result = L"error " + std::to_wstring(error);
  return result;
}
