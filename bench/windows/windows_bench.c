/* The Windows process benchmark, run under Wine: starts the floor's, the
 * launcher's and the .cmd peer's chain (each ending in the same no-op
 * target) many times in this one process, alternating them round by round,
 * and prints the median time of each chain and the median of the per-round
 * ratios to the floor.
 *
 * The launcher and the floor end as soon as they have started the target,
 * so waiting for the first process would time only a part of the chain.
 * Each chain therefore runs in a job object of its own, tied to an I/O
 * completion port: the first process is created suspended, put into the
 * job and resumed, every process it starts joins the job, and the chain is
 * over when the port delivers JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO.
 *
 * Usage: windows_bench [--rounds N] [--floor execv|createprocess]
 *                      [--sleeping-target] [--dlls A+B,A+B,...]
 *        windows_bench --once CHAIN
 * The programs are taken from this executable's folder. --once runs one
 * chain once and prints the ids of its processes (for counting the DLLs
 * they load in a traced run); --dlls adds those counts to the table, per
 * chain in the order of the table and per process in the order of start; --sleeping-target installs a target that sleeps
 * 50 ms, to check that the whole chain is waited for.
 */
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "bench_installation.h"

enum { FLOOR, FLOOR_CP, LAUNCHER, PEER, DIRECT, CHAINS };

static const char* const kNames[CHAINS] = {
    "floor", "floor_createprocess", "launcher", "cmd_peer", "target"};
static const char* const kLabels[CHAINS] = {
    "floor (_execv) + target", "floor (CreateProcessW) + target",
    "launcher + target", ".cmd peer + target", "target alone"};

/* What one start of a chain gave. */
struct chain_run {
  double microseconds;
  DWORD processes;   /* processes the job saw */
  DWORD exit_code;   /* of the first process */
  DWORD ids[8];      /* the first ones' process ids */
};

static HANDLE port;

static void fail(const char* what) {
  fprintf(stderr, "windows_bench: %s (error %lu)\n", what, GetLastError());
  exit(2);
}

static void command_line(const struct installation* installation, int chain,
                         wchar_t* line, size_t size) {
  static const wchar_t kArguments[] = L"-clean -verbose -offline";
  wchar_t program[MAX_PATH * 2];
  switch (chain) {
    case FLOOR: wcscpy(program, installation->floor); break;
    case FLOOR_CP: wcscpy(program, installation->floor_cp); break;
    case LAUNCHER: wcscpy(program, installation->launcher); break;
    case PEER: wcscpy(program, installation->peer); break;
    default: wcscpy(program, installation->target); break;
  }
  if (chain == PEER) {
    /* What the system does for a script: cmd /c with the whole line. */
    _snwprintf(line, size, L"\"%ls\" /c \"\"%ls\" -data \"%ls\\My Work\" %ls\"",
               installation->cmd, program, installation->root, kArguments);
  } else {
    _snwprintf(line, size, L"\"%ls\" -data \"%ls\\My Work\" %ls", program,
               installation->root, kArguments);
  }
  line[size - 1] = L'\0';
}

/* Starts |chain| once and waits until none of its processes is left. */
static void run_chain(const struct installation* installation, int chain,
                      ULONG_PTR key, struct chain_run* run) {
  wchar_t line[4096];
  command_line(installation, chain, line, sizeof line / sizeof line[0]);
  const wchar_t* application = chain == PEER ? installation->cmd : NULL;

  HANDLE job = CreateJobObjectW(NULL, NULL);
  if (job == NULL) fail("CreateJobObject");
  JOBOBJECT_ASSOCIATE_COMPLETION_PORT completion = {(PVOID)key, port};
  if (!SetInformationJobObject(job, JobObjectAssociateCompletionPortInformation,
                               &completion, sizeof completion)) {
    fail("SetInformationJobObject");
  }
  memset(run, 0, sizeof *run);

  STARTUPINFOW startup = {0};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(application, line, NULL, NULL, FALSE, CREATE_SUSPENDED,
                      NULL, installation->root, &startup, &process)) {
    fail("CreateProcess");
  }
  if (!AssignProcessToJobObject(job, process.hProcess)) fail("AssignProcessToJobObject");
  ResumeThread(process.hThread);

  for (;;) {
    DWORD message;
    ULONG_PTR from;
    LPOVERLAPPED value;
    if (!GetQueuedCompletionStatus(port, &message, &from, &value, 60000)) {
      TerminateJobObject(job, 99);
      fail("no end of the chain within 60 s");
    }
    if (from != key) continue;  /* a late message of an earlier job */
    if (message == JOB_OBJECT_MSG_NEW_PROCESS) {
      if (run->processes < sizeof run->ids / sizeof run->ids[0]) {
        run->ids[run->processes] = (DWORD)(ULONG_PTR)value;
      }
      ++run->processes;
    } else if (message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO) {
      break;
    }
  }
  QueryPerformanceCounter(&end);
  run->microseconds =
      (double)(end.QuadPart - start.QuadPart) * 1e6 / (double)frequency.QuadPart;

  /* The job's own count confirms the port's. */
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting;
  if (QueryInformationJobObject(job, JobObjectBasicAccountingInformation,
                                &accounting, sizeof accounting, NULL) &&
      accounting.ActiveProcesses != 0) {
    fprintf(stderr, "windows_bench: %s: %lu processes still active\n",
            kNames[chain], accounting.ActiveProcesses);
    exit(2);
  }
  GetExitCodeProcess(process.hProcess, &run->exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(job);
}

static int compare(const void* a, const void* b) {
  double x = *(const double*)a, y = *(const double*)b;
  return x < y ? -1 : x > y;
}

static double median(double* values, size_t count) {
  qsort(values, count, sizeof *values, compare);
  return count % 2 ? values[count / 2]
                   : (values[count / 2 - 1] + values[count / 2]) / 2;
}

/* The sum of "15 + 3". */
static long dll_total(const char* counts) {
  long total = 0;
  for (char* next = (char*)counts; *next != '\0';) {
    total += strtol(next, &next, 10);
    while (*next == ' ' || *next == '+') ++next;
  }
  return total;
}

static int chain_named(const char* name) {
  for (int c = 0; c < CHAINS; ++c) {
    if (strcmp(name, kNames[c]) == 0) return c;
  }
  fprintf(stderr, "windows_bench: no chain %s\n", name);
  exit(2);
}

int main(int argc, char** argv) {
  size_t rounds = 1000;
  int base = FLOOR, once = -1, sleeping = 0;
  char dlls[CHAINS][32];
  int have_dlls = 0;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
      rounds = strtoul(argv[++i], NULL, 10);
    } else if (strcmp(argv[i], "--floor") == 0 && i + 1 < argc) {
      ++i;
      base = strcmp(argv[i], "createprocess") == 0 ? FLOOR_CP : FLOOR;
    } else if (strcmp(argv[i], "--once") == 0 && i + 1 < argc) {
      once = chain_named(argv[++i]);
    } else if (strcmp(argv[i], "--sleeping-target") == 0) {
      sleeping = 1;
    } else if (strcmp(argv[i], "--dlls") == 0 && i + 1 < argc) {
      /* Per chain, the counts of its processes: "3+3,3+3,15+3,...". */
      char* next = argv[++i];
      for (int c = 0; c < CHAINS; ++c) {
        dlls[c][0] = '\0';
        for (size_t n = 0; *next != '\0' && *next != ','; ++next) {
          if (n + 4 < sizeof dlls[c]) {
            n += *next == '+' ? (size_t)sprintf(dlls[c] + n, " + ")
                              : (size_t)sprintf(dlls[c] + n, "%c", *next);
          }
        }
        next += *next == ',';
      }
      have_dlls = 1;
    } else {
      fprintf(stderr, "usage: windows_bench [--rounds N] [--floor execv|createprocess] "
                      "[--sleeping-target] [--dlls A+B,...] | --once CHAIN\n");
      return 2;
    }
  }
  if (rounds == 0) rounds = 1;
  _setmode(_fileno(stdout), _O_BINARY);  /* lines end in \n, as on POSIX */

  struct installation installation;
  if (!installation_create(&installation, sleeping)) return 2;
  port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, NULL, 0, 1);
  if (port == NULL) fail("CreateIoCompletionPort");
  ULONG_PTR key = 0;
  struct chain_run run;

  if (once >= 0) {
    run_chain(&installation, once, ++key, &run);
    printf("%s: %.1f us, exit code %lu, %lu processes:", kNames[once],
           run.microseconds, run.exit_code, run.processes);
    for (DWORD p = 0; p < run.processes && p < 8; ++p) printf(" %04lx", run.ids[p]);
    printf("\n");
    installation_remove(&installation);
    return 0;
  }

  double* times[CHAINS];
  double* ratios[CHAINS];
  DWORD processes[CHAINS] = {0};
  unsigned repeated[CHAINS] = {0};
  for (int c = 0; c < CHAINS; ++c) {
    times[c] = calloc(rounds, sizeof(double));
    ratios[c] = calloc(rounds, sizeof(double));
    if (times[c] == NULL || ratios[c] == NULL) fail("out of memory");
  }
  size_t warm_up = rounds / 20 < 2 ? 2 : rounds / 20;
  for (size_t round = 0; round < warm_up + rounds; ++round) {
    double this_round[CHAINS];
    for (int i = 0; i < CHAINS; ++i) {
      int c = (int)((round + (size_t)i) % CHAINS);
      /* A failed start is reported and repeated, twice at most: under
       * load Wine's cmd.exe has been seen not to find the target once in
       * thousands of starts. */
      for (int attempt = 0;; ++attempt) {
        run_chain(&installation, c, ++key, &run);
        if (run.exit_code == 0) break;
        fprintf(stderr, "windows_bench: %s ended with %lu\n", kNames[c],
                run.exit_code);
        if (attempt == 2) return 2;
        ++repeated[c];
      }
      this_round[c] = run.microseconds;
      processes[c] = run.processes;
    }
    if (round < warm_up) continue;
    for (int c = 0; c < CHAINS; ++c) {
      times[c][round - warm_up] = this_round[c];
      ratios[c][round - warm_up] = this_round[c] / this_round[base];
    }
  }

  printf("%zu rounds (after %zu warm-up rounds)%s\n", rounds, warm_up,
         sleeping ? ", the target sleeps 50 ms" : "");
  printf("| chain | processes | median us | fastest us | ratio to floor |%s\n",
         have_dlls ? " DLLs loaded (per process) |" : "");
  printf("|---|---:|---:|---:|---:|%s\n", have_dlls ? "---:|" : "");
  for (int c = 0; c < CHAINS; ++c) {
    double middle = median(times[c], rounds);  /* sorts */
    printf("| %s | %lu | %.1f | %.1f | %.3f |", kLabels[c], processes[c],
           middle, times[c][0], median(ratios[c], rounds));
    if (have_dlls) printf(" %ld (%s) |", dll_total(dlls[c]), dlls[c]);
    printf("\n");
  }
  for (int c = 0; c < CHAINS; ++c) {
    if (repeated[c] > 0) {
      printf("%s: %u failed starts repeated\n", kLabels[c], repeated[c]);
    }
  }
  installation_remove(&installation);
  return 0;
}
