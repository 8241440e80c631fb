/* The floor of the process benchmark: the least any launcher can do. It
 * starts velmora/velmora beside itself with its own arguments, and does
 * nothing else (no INI, no translation). Exit status 1 when that fails. */
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

int main(int argc, char** argv) {
  static const char kTarget[] = "velmora/velmora";
  char path[PATH_MAX];
  const char* slash = argc > 0 ? strrchr(argv[0], '/') : NULL;
  size_t directory = slash != NULL ? (size_t)(slash - argv[0]) + 1 : 0;
  if (directory + sizeof kTarget > sizeof path) return 1;
  memcpy(path, argv[0], directory);
  memcpy(path + directory, kTarget, sizeof kTarget);
  argv[0] = path;
  execv(path, argv);
  return 1;
}
