// From the launcher's command line to the target program's, and the
// hand-over to it.
#ifndef LAUNCHER_COMMANDLINE_TRANSLATION_H_
#define LAUNCHER_COMMANDLINE_TRANSLATION_H_

#include <string>
#include <vector>

#include "paths/path_rules.h"

class System;
struct LaunchSettings;

enum class PrescanResult { kContinue, kHelpShown };

// Notes "-ws", "-vmargs" and "-customizationini" (with its value) in
// |settings|. A help option shows the usage text and returns kHelpShown; the
// run then ends with status 0. |arguments| is argv, program name first.
PrescanResult prescan_arguments(LaunchSettings& settings, System& system,
                                const std::vector<std::string>& arguments);

// Builds the target argument vector of |settings|. Returns false, with the
// usage text shown and no vector built, when "-data" or "-customizationini"
// lacks its value.
bool translate_arguments(LaunchSettings& settings, System& system,
                         const PathRules& rules,
                         const std::vector<std::string>& arguments);

// Replaces the launcher with the target program. Returns only when that
// failed, after telling the user.
void hand_over(const LaunchSettings& settings, System& system);

// Tells the user that the program could not be started.
void report_failed_start(System& system);

#endif  // LAUNCHER_COMMANDLINE_TRANSLATION_H_
