/* Measures the peak memory of one chain. The peak that wait4 reports for a
 * child also counts the pages of the process it was spawned from, so the
 * benchmark, which holds its samples and arguments, spawns this small
 * program instead; it starts the chain and writes "<chain KiB> <own KiB>":
 * the chain's ru_maxrss and the probe's own peak (VmHWM) before the start.
 * A chain's figure is its own only when it is the larger. Exit status: the
 * chain's.
 *
 * Usage: peak_probe PROGRAM [ARGUMENT]...
 */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

/* VmHWM of this process in KiB, read without stdio's buffers. */
static long own_peak_kib(void) {
  char status[4096];
  int descriptor = open("/proc/self/status", O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return -1;
  ssize_t size = read(descriptor, status, sizeof status - 1);
  close(descriptor);
  status[size > 0 ? size : 0] = '\0';
  const char* line = strstr(status, "VmHWM:");
  return line != NULL ? strtol(line + 6, NULL, 10) : -1;
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  long own = own_peak_kib();
  pid_t child = vfork();
  if (child == 0) {
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status;
  struct rusage chain;
  if (child < 0 || wait4(child, &status, 0, &chain) != child) return 2;
  printf("%ld %ld\n", chain.ru_maxrss, own);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}
