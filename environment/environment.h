// The environment variables that the INI file gives the target program.
#ifndef LAUNCHER_ENVIRONMENT_ENVIRONMENT_H_
#define LAUNCHER_ENVIRONMENT_ENVIRONMENT_H_

#include <string>

#include "paths/path_rules.h"

class System;
struct LaunchSettings;

// Expands the placeholders of |value| and sets or extends the variable |name|.
void apply_environment_entry(const LaunchSettings& settings, System& system,
                             const PathRules& rules, const std::string& name,
                             const std::string& value);

// |value| with every "<My Documents>" and "<$HOME>" replaced by the user's
// documents folder and every "<CURRDIR>" by the installation directory, in
// one pass from left to right (replacements are not scanned again).
std::string expand_placeholder(const LaunchSettings& settings, System& system,
                               const std::string& value);

// A copy of |text| whose first |pattern| is replaced by |replacement|;
// unchanged when |pattern| is empty or absent.
std::string replace_first(const std::string& text, const std::string& pattern,
                          const std::string& replacement);

// Appends |text| to the variable's current value after the list separator,
// or sets it to |text| when it is unset or empty; an empty |text| changes
// nothing. A refused assignment is reported on standard output and the
// launch goes on.
void set_environment_entry(System& system, const PathRules& rules,
                           const std::string& name, const std::string& text);

#endif  // LAUNCHER_ENVIRONMENT_ENVIRONMENT_H_
