// Stands in for velmora\velmora.exe in the console companion's tests; what
// it does is chosen by COMPANION_MODE:
//   exit:<n>          ends with status n (all 32 bits)
//   output            lines to standard output and error in turn, the last
//                     after a pause
//   wait:<file>       writes its process id to <file>, then runs for a minute
//   interrupt:<file>  the same, but ends with status 42 on Ctrl+C
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

BOOL WINAPI on_interrupt(DWORD event) {
  if (event != CTRL_C_EVENT) return FALSE;
  ExitProcess(42);
}

// Written beside its final name and moved there: never seen half written.
void announce(const std::wstring& file) {
  const std::wstring partial = file + L".partial";
  FILE* out = _wfopen(partial.c_str(), L"wb");
  if (out == nullptr) return;
  fprintf(out, "%lu", GetCurrentProcessId());
  fclose(out);
  MoveFileExW(partial.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int wmain() {
  const wchar_t* given = _wgetenv(L"COMPANION_MODE");
  const std::wstring mode = given != nullptr ? given : L"";
  const size_t colon = mode.find(L':');
  const std::wstring kind = mode.substr(0, colon);
  const std::wstring value = colon == std::wstring::npos ? L"" : mode.substr(colon + 1);
  if (kind == L"exit") ExitProcess(wcstoul(value.c_str(), nullptr, 10));
  if (kind == L"output") {
    for (int line = 1; line <= 4; ++line) {
      fprintf(line % 2 ? stdout : stderr, "%s %d\n", line % 2 ? "out" : "err", line);
      fflush(nullptr);
    }
    Sleep(300);
    printf("out last\n");
    return 0;
  }
  if (kind == L"interrupt") SetConsoleCtrlHandler(on_interrupt, TRUE);
  if (kind == L"wait" || kind == L"interrupt") {
    announce(value);
    Sleep(60000);
    return 7;
  }
  return 2;
}
