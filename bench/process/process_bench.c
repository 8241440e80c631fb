/* The whole-process benchmark: starts the floor's, the launcher's and the sh
 * peer's chain (each ending in the same no-op target) many times in this one
 * process, alternating them round by round, and prints median times, the
 * median of the per-round ratios to the floor, and peak memory.
 *
 * Usage: process_bench BIN_DIR SH_PEER [--rounds N] [--quick]
 *                      [--only typical|lines|arguments] [--compare LAUNCHER]
 * BIN_DIR holds launcher, floor, noop_target and peak_probe. --compare adds
 * another build of the launcher to the typical run, with the median of the
 * per-round differences of the two ratios to the floor.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "chain_runs.h"
#include "installation.h"

enum { FLOOR, LAUNCHER, PEER, DIRECT, OTHER, CONTENDERS };

static const char* const kNames[CONTENDERS] = {
    "floor + target", "launcher + target", "sh peer + target", "target alone",
    "other + target"};

static char probe[PATH_MAX];

struct summary {
  size_t rounds;
  double wall_us[CONTENDERS];   /* medians */
  double cpu_us[CONTENDERS];
  double ratio[CONTENDERS];     /* median of the per-round ratios to the floor */
  double peak_kib[CONTENDERS];  /* median chain peak, through the probe */
  double paired;                /* median of launcher's - other's ratio */
  long probe_kib;               /* the probe's own largest peak */
};

static const char* contender_path(const struct installation* installation,
                                  int contender) {
  switch (contender) {
    case FLOOR: return installation->floor;
    case LAUNCHER: return installation->launcher;
    case PEER: return installation->peer;
    case OTHER: return installation->other;
    default: return installation->target;
  }
}

static double* samples(size_t count) {
  double* memory = calloc(count, sizeof(double));
  if (memory == NULL) {
    fputs("process_bench: out of memory\n", stderr);
    exit(2);
  }
  return memory;
}

/* Runs |rounds| rounds of the contenders in |mask| (the floor among them);
 * each round starts every contender once, in an order that rotates from
 * round to round. Then measures the peak memory of those in |peak_mask|.
 * |argv| has room for argv[0] before the arguments. */
static int measure(const struct installation* installation, unsigned mask,
                   unsigned peak_mask, char** argv, size_t rounds,
                   struct summary* summary) {
  int active[CONTENDERS], count = 0;
  double *wall[CONTENDERS], *cpu[CONTENDERS], *ratio[CONTENDERS];
  for (int c = 0; c < CONTENDERS; ++c) {
    if (mask & (1u << c)) active[count++] = c;
    wall[c] = samples(rounds);
    cpu[c] = samples(rounds);
    ratio[c] = samples(rounds);
  }
  memset(summary, 0, sizeof *summary);
  summary->rounds = rounds;

  size_t warm_up = rounds / 20 < 2 ? 2 : rounds / 20;
  int result = 0;
  for (size_t round = 0; round < warm_up + rounds && result == 0; ++round) {
    struct chain_run runs[CONTENDERS];
    for (int i = 0; i < count && result == 0; ++i) {
      int c = active[(round + (size_t)i) % (size_t)count];
      argv[0] = (char*)contender_path(installation, c);
      result = run_chain(argv[0], argv, &runs[c]);
    }
    if (round < warm_up || result != 0) continue;
    for (int i = 0; i < count; ++i) {
      int c = active[i];
      wall[c][round - warm_up] = runs[c].wall_us;
      cpu[c][round - warm_up] = runs[c].cpu_us;
      ratio[c][round - warm_up] = runs[c].wall_us / runs[FLOOR].wall_us;
    }
  }
  if (result == 0 && (mask & (1u << OTHER))) {
    /* Paired by round, before the medians reorder the samples. */
    double* paired = samples(rounds);
    for (size_t round = 0; round < rounds; ++round) {
      paired[round] = ratio[LAUNCHER][round] - ratio[OTHER][round];
    }
    summary->paired = median(paired, rounds);
    free(paired);
  }
  for (int i = 0; i < count && result == 0; ++i) {
    int c = active[i];
    summary->wall_us[c] = median(wall[c], rounds);
    summary->cpu_us[c] = median(cpu[c], rounds);
    summary->ratio[c] = median(ratio[c], rounds);
  }

  /* Memory hardly varies: a few rounds, alternating as well. */
  size_t peak_rounds = rounds < 9 ? rounds : 9;
  for (size_t round = 0; round < peak_rounds && result == 0; ++round) {
    for (int i = 0; i < count && result == 0; ++i) {
      int c = active[i];
      long chain_kib, probe_kib;
      if (!(peak_mask & (1u << c))) continue;
      argv[0] = (char*)contender_path(installation, c);
      result = probe_peak(probe, argv[0], argv, &chain_kib, &probe_kib);
      wall[c][round] = (double)chain_kib;
      if (probe_kib > summary->probe_kib) summary->probe_kib = probe_kib;
    }
  }
  for (int c = 0; c < CONTENDERS; ++c) {
    if (result == 0 && (peak_mask & (1u << c))) {
      summary->peak_kib[c] = median(wall[c], peak_rounds);
    }
    free(wall[c]);
    free(cpu[c]);
    free(ratio[c]);
  }
  return result;
}

static void print_load(const char* when) {
  char text[128] = "";
  FILE* file = fopen("/proc/loadavg", "r");
  if (file != NULL) {
    if (fgets(text, sizeof text, file) == NULL) text[0] = '\0';
    fclose(file);
  }
  printf("load average %s: %s", when, text[0] != '\0' ? text : "unknown\n");
}

/* The typical user arguments: -data "<root>/My Work" -clean -verbose -offline */
static char** typical_argv(const struct installation* installation) {
  static char data[PATH_MAX + 16];
  static char* arguments[7];
  snprintf(data, sizeof data, "%s/My Work", installation->root);
  char* typical[] = {NULL, "-data", data, "-clean", "-verbose", "-offline",
                     NULL};
  memcpy(arguments, typical, sizeof typical);
  return arguments;
}

static int typical_run(const struct installation* installation, size_t rounds) {
  struct summary s;
  unsigned all = (1u << FLOOR) | (1u << LAUNCHER) | (1u << PEER) | (1u << DIRECT);
  if (installation->other[0] != '\0') all |= 1u << OTHER;
  if (measure(installation, all, all, typical_argv(installation), rounds, &s) != 0) {
    return -1;
  }
  printf("\nTypical installation: INI of 20 lines, 5 arguments; %zu rounds\n",
         s.rounds);
  printf("%-18s %10s %9s %15s %9s %15s\n", "chain", "median us", "cpu us",
         "ratio to floor", "peak KiB", "peak / floor's");
  for (int c = 0; c < CONTENDERS; ++c) {
    if (!(all & (1u << c))) continue;
    printf("%-18s %10.1f %9.1f %15.3f %9.0f %15.3f\n", kNames[c], s.wall_us[c],
           s.cpu_us[c], s.ratio[c], s.peak_kib[c],
           s.peak_kib[c] / s.peak_kib[FLOOR]);
  }
  printf("launcher chain - floor chain: %.1f us (medians); peak probe's own "
         "peak: %ld KiB\n", s.wall_us[LAUNCHER] - s.wall_us[FLOOR], s.probe_kib);
  if (all & (1u << OTHER)) {
    printf("launcher's ratio - other's, median of the rounds: %+.3f\n", s.paired);
  }
  fflush(stdout);
  return 0;
}

static size_t scaled_rounds(size_t base, long size) {
  long rounds = 200000 / size;
  if (rounds > (long)base) rounds = (long)base;
  return rounds < 5 ? 5 : (size_t)rounds;
}

static void print_scaling_header(const char* unit) {
  printf("%9s %6s %9s %11s %11s %9s %9s %10s %8s %9s %9s\n", unit, "rounds",
         "floor us", "launcher us", "sh us", "launcher/", "sh/", "launcher-",
         "per item", "floor", "launcher");
  printf("%9s %6s %9s %11s %11s %9s %9s %10s %8s %9s %9s\n", "", "", "", "", "",
         "floor", "floor", "floor us", "ns", "peak KiB", "peak KiB");
}

static void print_scaling_row(long size, const struct summary* s) {
  double extra = s->wall_us[LAUNCHER] - s->wall_us[FLOOR];
  printf("%9ld %6zu %9.1f %11.1f %11.1f %9.3f %9.3f %10.1f %8.1f %9.0f %9.0f\n",
         size, s->rounds, s->wall_us[FLOOR], s->wall_us[LAUNCHER],
         s->wall_us[PEER], s->ratio[LAUNCHER], s->ratio[PEER], extra,
         extra * 1000.0 / (double)size, s->peak_kib[FLOOR], s->peak_kib[LAUNCHER]);
  fflush(stdout);
}

static const unsigned kScalingContenders =
    (1u << FLOOR) | (1u << LAUNCHER) | (1u << PEER);
static const unsigned kScalingPeaks = (1u << FLOOR) | (1u << LAUNCHER);

static int ini_scaling(const struct installation* installation, size_t base) {
  static const long kSizes[] = {10, 100, 1000, 10000, 100000};
  printf("\nScaling in the INI's lines (5 arguments; every fifth line a VMArgs "
         "line or an entry for a variable of its own)\n");
  print_scaling_header("INI lines");
  for (size_t i = 0; i < sizeof kSizes / sizeof *kSizes; ++i) {
    struct summary s;
    if (write_scaled_ini(installation->ini, kSizes[i]) != 0 ||
        measure(installation, kScalingContenders, kScalingPeaks,
                typical_argv(installation), scaled_rounds(base, kSizes[i]),
                &s) != 0) {
      return -1;
    }
    print_scaling_row(kSizes[i], &s);
  }
  return write_typical_ini(installation->ini);
}

static int argument_scaling(const struct installation* installation,
                            size_t base) {
  static const long kSizes[] = {1, 10, 100, 1000, 10000, 100000};
  const long largest = kSizes[sizeof kSizes / sizeof *kSizes - 1];
  /* Short arguments, so that 100,000 of them stay within ARG_MAX; every
   * tenth holds a blank and is quoted and split back on its way. */
  char** argv = calloc((size_t)largest + 2, sizeof(char*));
  char* text = calloc((size_t)largest, 12);
  if (argv == NULL || text == NULL) return -1;
  char* next = text;
  for (long i = 0; i < largest; ++i) {
    argv[i + 1] = next;
    next += sprintf(next, i % 10 == 9 ? "w %ld" : "-o%ld", i) + 1;
  }
  printf("\nScaling in the number of arguments (typical INI; every tenth "
         "argument holds a blank)\n");
  print_scaling_header("arguments");
  int result = 0;
  for (size_t i = 0; i < sizeof kSizes / sizeof *kSizes && result == 0; ++i) {
    struct summary s;
    char* saved = argv[kSizes[i] + 1];
    argv[kSizes[i] + 1] = NULL;
    result = measure(installation, kScalingContenders, kScalingPeaks, argv,
                     scaled_rounds(base, kSizes[i]), &s);
    argv[kSizes[i] + 1] = saved;
    if (result == 0) print_scaling_row(kSizes[i], &s);
  }
  free(text);
  free(argv);
  return result;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    fputs("usage: process_bench BIN_DIR SH_PEER [--rounds N] [--quick] "
          "[--only typical|lines|arguments] [--compare LAUNCHER]\n", stderr);
    return 2;
  }
  char launcher[PATH_MAX], floor[PATH_MAX], target[PATH_MAX];
  snprintf(launcher, sizeof launcher, "%s/launcher", argv[1]);
  snprintf(floor, sizeof floor, "%s/floor", argv[1]);
  snprintf(target, sizeof target, "%s/noop_target", argv[1]);
  snprintf(probe, sizeof probe, "%s/peak_probe", argv[1]);
  struct programs programs = {launcher, floor, target, argv[2], NULL};
  size_t rounds = 2000, scaling_base = 500;
  const char* only = "";
  for (int i = 3; i < argc; ++i) {
    if (strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
      rounds = (size_t)strtoul(argv[++i], NULL, 10);
      if (rounds < 10) rounds = 10;
    } else if (strcmp(argv[i], "--quick") == 0) {
      rounds = 200;
      scaling_base = 50;
    } else if (strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
      only = argv[++i];
    } else if (strcmp(argv[i], "--compare") == 0 && i + 1 < argc) {
      programs.other_launcher = argv[++i];
    } else {
      fprintf(stderr, "process_bench: unknown option %s\n", argv[i]);
      return 2;
    }
  }

  struct installation installation;
  if (installation_create(&installation, &programs) != 0) return 1;
  print_load("at the start");
  int result = 0;
  if (only[0] == '\0' || strcmp(only, "typical") == 0) {
    result = typical_run(&installation, rounds);
  }
  if (result == 0 && (only[0] == '\0' || strcmp(only, "lines") == 0)) {
    result = ini_scaling(&installation, scaling_base);
  }
  if (result == 0 && (only[0] == '\0' || strcmp(only, "arguments") == 0)) {
    result = argument_scaling(&installation, scaling_base);
  }
  print_load("at the end");
  installation_remove(&installation);
  return result == 0 ? 0 : 1;
}
