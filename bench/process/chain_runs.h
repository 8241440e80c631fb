/* Starting one chain (a contender that replaces itself with the target) and
 * waiting for its end, with the figures the benchmark reports. */
#ifndef BENCH_PROCESS_CHAIN_RUNS_H_
#define BENCH_PROCESS_CHAIN_RUNS_H_

#include <stddef.h>

struct chain_run {
  double wall_us;       /* from the start of the spawn to the end of the wait */
  double cpu_us;        /* user + system time of the child */
};

/* Starts |path| with |argv| (argv[0] first, null-terminated) and the
 * benchmark's own environment, and waits for it. Returns 0 when the chain
 * ended with status 0, otherwise -1 after a message on standard error. */
int run_chain(const char* path, char* const argv[], struct chain_run* run);

/* Starts |path| with |argv| through the peak probe at |probe| and reads the
 * chain's peak memory and the probe's own, in KiB. 0 when the chain ended
 * with status 0, otherwise -1 after a message on standard error. */
int probe_peak(const char* probe, const char* path, char* const argv[],
               long* chain_kib, long* probe_kib);

/* The median of |count| values (reorders |values|). */
double median(double* values, size_t count);

#endif /* BENCH_PROCESS_CHAIN_RUNS_H_ */
