#include "chain_runs.h"

#include <errno.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

static double microseconds(const struct timespec* time) {
  return (double)time->tv_sec * 1e6 + (double)time->tv_nsec / 1e3;
}

static double timeval_us(const struct timeval* time) {
  return (double)time->tv_sec * 1e6 + (double)time->tv_usec;
}

int run_chain(const char* path, char* const argv[], struct chain_run* run) {
  struct timespec start, end;
  struct rusage usage;
  int status;
  pid_t child;

  clock_gettime(CLOCK_MONOTONIC, &start);
  /* glibc spawns with a vfork-like clone: the benchmark's own size adds
   * nothing to the time of a start. */
  int error = posix_spawn(&child, path, NULL, NULL, argv, environ);
  if (error != 0) {
    fprintf(stderr, "process_bench: cannot start %s: %s\n", path,
            strerror(error));
    return -1;
  }
  while (wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      perror("process_bench: wait4");
      return -1;
    }
  }
  clock_gettime(CLOCK_MONOTONIC, &end);

  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    fprintf(stderr, "process_bench: %s ended with status %d (signal %d)\n",
            path, WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    return -1;
  }
  run->wall_us = microseconds(&end) - microseconds(&start);
  run->cpu_us = timeval_us(&usage.ru_utime) + timeval_us(&usage.ru_stime);
  return 0;
}

int probe_peak(const char* probe, const char* path, char* const argv[],
               long* chain_kib, long* probe_kib) {
  size_t count = 0;
  while (argv[count] != NULL) ++count;
  char** probe_argv = malloc((count + 2) * sizeof(char*));
  int channel[2];
  if (probe_argv == NULL || pipe(channel) != 0) {
    perror("process_bench: peak probe");
    free(probe_argv);
    return -1;
  }
  probe_argv[0] = (char*)probe;
  probe_argv[1] = (char*)path;
  for (size_t i = 1; i <= count; ++i) probe_argv[i + 1] = argv[i];

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, channel[0]);
  pid_t child;
  int error = posix_spawn(&child, probe, &actions, NULL, probe_argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  free(probe_argv);
  close(channel[1]);
  if (error != 0) {
    close(channel[0]);
    fprintf(stderr, "process_bench: cannot start %s: %s\n", probe, strerror(error));
    return -1;
  }
  char text[64];
  ssize_t size = read(channel[0], text, sizeof text - 1);
  close(channel[0]);
  int status;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  text[size > 0 ? size : 0] = '\0';
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      sscanf(text, "%ld %ld", chain_kib, probe_kib) != 2) {
    fprintf(stderr, "process_bench: %s failed under the peak probe\n", path);
    return -1;
  }
  return 0;
}

static int compare_doubles(const void* left, const void* right) {
  double a = *(const double*)left, b = *(const double*)right;
  return (a > b) - (a < b);
}

double median(double* values, size_t count) {
  if (count == 0) return 0.0;
  qsort(values, count, sizeof *values, compare_doubles);
  return count % 2 == 1 ? values[count / 2]
                        : (values[count / 2 - 1] + values[count / 2]) / 2.0;
}
