/* Temporary installations for the process benchmark: the launcher, its INI,
 * the sh peer and the floor side by side, the target at velmora/velmora. */
#ifndef BENCH_PROCESS_INSTALLATION_H_
#define BENCH_PROCESS_INSTALLATION_H_

#include <limits.h>

struct programs {
  const char* launcher;
  const char* floor;
  const char* target;
  const char* peer_script;
  const char* other_launcher;  /* another build to compare with, or NULL */
};

struct installation {
  char root[PATH_MAX];      /* the installation directory, no trailing "/" */
  char launcher[PATH_MAX];  /* root/launcher, reads root/launcher.ini */
  char peer[PATH_MAX];      /* root/launcher.sh, reads the same INI */
  char floor[PATH_MAX];     /* root/floor */
  char target[PATH_MAX];    /* root/velmora/velmora */
  char ini[PATH_MAX];       /* root/launcher.ini */
  char other[PATH_MAX];     /* root/other, reads root/other.ini; "" without one */
  char other_ini[PATH_MAX];
};

/* Lays out a new installation in a fresh directory below $TMPDIR (or /tmp);
 * 0 on success, -1 with a message on standard error. */
int installation_create(struct installation* installation,
                        const struct programs* programs);

/* Writes the INI of a typical installation (20 lines: four VM arguments,
 * a customization file, eight environment entries with placeholders). */
int write_typical_ini(const char* path);

/* Writes an INI of |lines| lines (at least 10): a "[Settings]" half and an
 * "[Environment Variables]" half in which every fifth line is a VMArgs line
 * or an entry for a variable of its own, the rest comments and keys that
 * change nothing. */
int write_scaled_ini(const char* path, long lines);

/* Removes everything installation_create laid out. */
void installation_remove(const struct installation* installation);

#endif /* BENCH_PROCESS_INSTALLATION_H_ */
