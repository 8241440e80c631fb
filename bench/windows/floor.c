/* The floor of the Windows benchmark: the least any launcher can do. It
 * starts velmora\velmora.exe beside itself with its own arguments and does
 * nothing else (no INI, no translation). Built twice:
 *   floor.exe                 starts it with the runtime's _execv, as the
 *                             launcher does: the runtime joins the arguments
 *                             into a command line, starts the program and
 *                             ends this process;
 *   floor_createprocess.exe   (FLOOR_CREATE_PROCESS) hands its own command
 *                             line, after its program name, to CreateProcessW
 *                             and ends without waiting.
 * Exit status 1 when the start fails. */
#include <windows.h>

#include <process.h>
#include <stdlib.h>
#include <string.h>

static const wchar_t kTarget[] = L"velmora\\velmora.exe";

/* The directory of this executable with |name| appended; 0 if too long. */
static int beside_me(wchar_t* path, size_t size) {
  DWORD length = GetModuleFileNameW(NULL, path, (DWORD)size);
  if (length == 0 || length >= size) return 0;
  wchar_t* slash = wcsrchr(path, L'\\');
  size_t directory = slash != NULL ? (size_t)(slash - path) + 1 : 0;
  if (directory + wcslen(kTarget) + 1 > size) return 0;
  wcscpy(path + directory, kTarget);
  return 1;
}

#ifdef FLOOR_CREATE_PROCESS

int main(void) {
  wchar_t target[MAX_PATH + 32];
  if (!beside_me(target, MAX_PATH)) return 1;
  /* Skip the program name as the runtime's parser does: up to the closing
   * quote if it starts with one, else up to the first blank. */
  const wchar_t* rest = GetCommandLineW();
  if (*rest == L'"') {
    ++rest;
    while (*rest != L'\0' && *rest != L'"') ++rest;
    if (*rest == L'"') ++rest;
  } else {
    while (*rest != L'\0' && *rest != L' ' && *rest != L'\t') ++rest;
  }
  size_t size = wcslen(target) + wcslen(rest) + 3;
  wchar_t* command_line = malloc(size * sizeof(wchar_t));
  if (command_line == NULL) return 1;
  command_line[0] = L'"';
  wcscpy(command_line + 1, target);
  wcscat(command_line, L"\"");
  wcscat(command_line, rest);

  STARTUPINFOW startup = {0};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessW(target, command_line, NULL, NULL, FALSE, 0, NULL, NULL,
                      &startup, &process)) {
    return 1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

#else

/* _execv joins the arguments with single blanks and no quoting: quote each
 * one as the runtime's parser splits it back (only what the benchmark's
 * arguments need costs nothing; the rest is the usual rule). */
static char* quoted(const char* argument) {
  size_t length = strlen(argument);
  if (length > 0 && strpbrk(argument, " \t\"") == NULL) return (char*)argument;
  char* result = malloc(2 * length + 3);
  if (result == NULL) return NULL;
  char* out = result;
  *out++ = '"';
  size_t backslashes = 0;
  for (const char* in = argument;; ++in) {
    if (*in == '\\') {
      ++backslashes;
      continue;
    }
    /* Backslashes before a quote, or before the closing quote, double. */
    size_t copies = *in == '"' || *in == '\0' ? 2 * backslashes : backslashes;
    while (copies-- > 0) *out++ = '\\';
    backslashes = 0;
    if (*in == '\0') break;
    if (*in == '"') *out++ = '\\';
    *out++ = *in;
  }
  *out++ = '"';
  *out = '\0';
  return result;
}

int main(int argc, char** argv) {
  wchar_t wide[MAX_PATH + 32];
  char target[4 * (MAX_PATH + 32)];
  if (!beside_me(wide, MAX_PATH) ||
      WideCharToMultiByte(CP_ACP, 0, wide, -1, target, sizeof target, NULL,
                          NULL) == 0) {
    return 1;
  }
  argv[0] = (char*)quoted(target);
  for (int i = 1; i < argc; ++i) argv[i] = quoted(argv[i]);
  for (int i = 0; i < argc; ++i) {
    if (argv[i] == NULL) return 1;
  }
  _execv(target, (const char* const*)argv);
  return 1;
}

#endif
