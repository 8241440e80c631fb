/* The temporary installation that the Windows benchmark's chains start
 * from: the launcher with a typical INI, the floors, the .cmd peer and the
 * target at velmora\velmora.exe, in a new folder under the user's temporary
 * folder. */
#ifndef BENCH_WINDOWS_BENCH_INSTALLATION_H_
#define BENCH_WINDOWS_BENCH_INSTALLATION_H_

#include <windows.h>

struct installation {
  wchar_t root[MAX_PATH];
  wchar_t launcher[MAX_PATH * 2];
  wchar_t ini[MAX_PATH * 2];
  wchar_t floor[MAX_PATH * 2];
  wchar_t floor_cp[MAX_PATH * 2];
  wchar_t peer[MAX_PATH * 2];
  wchar_t target[MAX_PATH * 2];
  wchar_t cmd[MAX_PATH * 2];  /* the system's cmd.exe, which runs the peer */
};

/* Copies the programs from this executable's folder (sleep_target.exe as
 * the target if |sleeping|, else noop_target.exe) and writes launcher.ini
 * and launcher.cmd. Returns 0 with a message on failure. */
int installation_create(struct installation* installation, int sleeping);
void installation_remove(const struct installation* installation);

#endif  // BENCH_WINDOWS_BENCH_INSTALLATION_H_
