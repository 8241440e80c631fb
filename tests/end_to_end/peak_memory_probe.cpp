// Measures the peak resident set of a program and of what it executes into:
//   peak_memory_probe REPORT PROGRAM ARGV0 ARGS...
// runs PROGRAM with the argument vector ARGV0 ARGS... and the probe's own
// environment and standard streams, writes the child's peak RSS in KiB
// (ru_maxrss of wait4) to the file REPORT, and exits with the child's
// status (128 + the signal when it was killed).
//
// A child forked from a big process (a test under the sanitizers, say)
// starts out counting the parent's private pages; forked from this small
// program it counts next to nothing of its own before the exec.
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s REPORT PROGRAM ARGV0 [ARGS...]\n", argv[0]);
    return 125;
  }
  pid_t child = fork();
  if (child < 0) return 125;
  if (child == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // dies with the probe on a timeout
    execv(argv[2], argv + 3);
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  while (wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) return 125;
  }
  FILE* report = std::fopen(argv[1], "w");
  if (report == nullptr) return 125;
  std::fprintf(report, "%ld\n", usage.ru_maxrss);
  if (std::fclose(report) != 0) return 125;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
