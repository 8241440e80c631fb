// The launch sequence: the whole run of the launcher.
#ifndef LAUNCHER_LAUNCHER_RUN_LAUNCHER_H_
#define LAUNCHER_LAUNCHER_RUN_LAUNCHER_H_

#include <string>
#include <vector>

#include "paths/path_rules.h"

class System;

// Exit statuses of a run that did not end in the target program.
constexpr int kExitHelp = 0;
constexpr int kExitFailure = 1;
constexpr int kExitDryRun = 0;  // everything checked, nothing started

// Runs the launcher with |arguments| (argv, program name first) and returns
// the process exit status; when the hand-over succeeds it does not return.
int run_launcher(const std::vector<std::string>& arguments, System& system,
                 const PathRules& rules);

#endif  // LAUNCHER_LAUNCHER_RUN_LAUNCHER_H_
