#include "bench_installation.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

/* 20 lines, as the POSIX benchmark's typical INI, with Windows paths. */
static const char kTypicalIni[] =
    "; Velmora Studio: settings of the launcher\r\n"
    "[Settings]\r\n"
    "ProductName=Velmora Studio\r\n"
    "Version=4.2.0\r\n"
    "VMArgs=-Xms256m\r\n"
    "VMArgs=-Xmx2g\r\n"
    "VMArgs=-Dvelmora.autosave=on\r\n"
    "VMArgs=-Dvelmora.splash=off\r\n"
    "CustomizationINI=plugin_customization.ini\r\n"
    "\r\n"
    "[Environment Variables]\r\n"
    "; the bundled runtime comes first\r\n"
    "VELMORA_HOME=<CURRDIR>velmora\r\n"
    "VELMORA_WORKSPACES=<My Documents>\\velmora-workspaces\r\n"
    "PATH=<CURRDIR>jre\\bin\r\n"
    "VELMORA_LIBRARIES=<CURRDIR>jre\\lib\r\n"
    "VELMORA_PLUGINS=<CURRDIR>plugins\r\n"
    "VELMORA_CACHE=<$USERPROFILE>\\.velmora-cache\r\n"
    "VELMORA_LOG_LEVEL=info\r\n"
    "VELMORA_SPLASH=<CURRDIR>splash.png\r\n";

/* What a user would write instead of the launcher: the same settings as
 * the INI, written into the script (cmd has no practical way to read an
 * INI), and the target started with the same arguments. */
static const char kPeerScript[] =
    "@echo off\r\n"
    "setlocal\r\n"
    "set \"VELMORA_HOME=%~dp0velmora\"\r\n"
    "set \"VELMORA_WORKSPACES=%USERPROFILE%\\Documents\\velmora-workspaces\"\r\n"
    "set \"PATH=%PATH%;%~dp0jre\\bin\"\r\n"
    "set \"VELMORA_LIBRARIES=%~dp0jre\\lib\"\r\n"
    "set \"VELMORA_PLUGINS=%~dp0plugins\"\r\n"
    "set \"VELMORA_CACHE=%USERPROFILE%\\.velmora-cache\"\r\n"
    "set \"VELMORA_LOG_LEVEL=info\"\r\n"
    "set \"VELMORA_SPLASH=%~dp0splash.png\"\r\n"
    "\"%~dp0velmora\\velmora.exe\" -ws win32 %* -vmargs -Xms256m -Xmx2g "
    "-Dvelmora.autosave=on -Dvelmora.splash=off\r\n";

static int fail(const char* what, const wchar_t* path) {
  fprintf(stderr, "windows_bench: %s %ls (error %lu)\n", what, path, GetLastError());
  return 0;
}

static int write_file(const wchar_t* path, const char* text) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return fail("cannot write", path);
  DWORD written = 0;
  BOOL done = WriteFile(file, text, (DWORD)strlen(text), &written, NULL);
  CloseHandle(file);
  return done && written == strlen(text) ? 1 : fail("cannot write", path);
}

static int copy_beside_me(const wchar_t* name, const wchar_t* to) {
  wchar_t from[MAX_PATH * 2];
  DWORD length = GetModuleFileNameW(NULL, from, MAX_PATH);
  wchar_t* slash = wcsrchr(from, L'\\');
  if (length == 0 || length >= MAX_PATH || slash == NULL) {
    return fail("cannot find", L"this program");
  }
  wcscpy(slash + 1, name);
  return CopyFileW(from, to, FALSE) ? 1 : fail("cannot copy", from);
}

int installation_create(struct installation* installation, int sleeping) {
  wchar_t temp[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH, temp);
  if (length == 0 || length > MAX_PATH - 40) return fail("no temporary folder", L"");
  /* A new folder: one that a run which was stopped left behind may bear
   * the name the next run tries first. */
  for (unsigned attempt = 0;; ++attempt) {
    _snwprintf(installation->root, MAX_PATH, L"%lslauncher-bench-%lu-%u", temp,
               GetCurrentProcessId(), attempt);
    installation->root[MAX_PATH - 1] = L'\0';
    if (CreateDirectoryW(installation->root, NULL)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS || attempt == 1000) {
      return fail("cannot create", installation->root);
    }
  }
  const wchar_t* root = installation->root;
  size_t size = MAX_PATH * 2;
  _snwprintf(installation->launcher, size, L"%ls\\launcher.exe", root);
  _snwprintf(installation->ini, size, L"%ls\\launcher.ini", root);
  _snwprintf(installation->floor, size, L"%ls\\floor.exe", root);
  _snwprintf(installation->floor_cp, size, L"%ls\\floor_createprocess.exe", root);
  _snwprintf(installation->peer, size, L"%ls\\launcher.cmd", root);
  _snwprintf(installation->target, size, L"%ls\\velmora\\velmora.exe", root);
  UINT system = GetSystemDirectoryW(installation->cmd, MAX_PATH);
  if (system == 0 || system >= MAX_PATH) return fail("no system folder", L"");
  wcscat(installation->cmd, L"\\cmd.exe");

  wchar_t velmora[MAX_PATH * 2];
  _snwprintf(velmora, size, L"%ls\\velmora", root);
  if (!CreateDirectoryW(velmora, NULL)) return fail("cannot create", velmora);
  return copy_beside_me(L"launcher.exe", installation->launcher) &&
         copy_beside_me(L"floor.exe", installation->floor) &&
         copy_beside_me(L"floor_createprocess.exe", installation->floor_cp) &&
         copy_beside_me(sleeping ? L"sleep_target.exe" : L"noop_target.exe",
                        installation->target) &&
         write_file(installation->ini, kTypicalIni) &&
         write_file(installation->peer, kPeerScript);
}

void installation_remove(const struct installation* installation) {
  wchar_t velmora[MAX_PATH * 2];
  DeleteFileW(installation->target);
  _snwprintf(velmora, MAX_PATH * 2, L"%ls\\velmora", installation->root);
  RemoveDirectoryW(velmora);
  DeleteFileW(installation->launcher);
  DeleteFileW(installation->ini);
  DeleteFileW(installation->floor);
  DeleteFileW(installation->floor_cp);
  DeleteFileW(installation->peer);
  RemoveDirectoryW(installation->root);
}
