// Where the launcher is installed, worked out from the name it was started
// under, and the paths derived from it.
#ifndef LAUNCHER_PATHS_INSTALLATION_PATHS_H_
#define LAUNCHER_PATHS_INSTALLATION_PATHS_H_

#include <string>

#include "paths/path_rules.h"

class System;
struct LaunchSettings;

// Fills the launcher path, installation directory, file name, stem, INI path
// and target program path of |settings| from |name| (argv[0]), checked
// against the system's own record of the running executable where it keeps
// one: a name that leads elsewhere, or to a path without a directory, gives
// way to that record.
void locate_launcher(LaunchSettings& settings, System& system,
                     const PathRules& rules, const std::string& name);

// The path of the regular file that |name| denotes: itself when absolute,
// below the current directory when it holds a separator, else the first
// file on PATH that may be run, with the current directory searched last.
// Empty when none exists.
std::string resolve_program_path(System& system, const PathRules& rules,
                                 const std::string& name);

// "C:\Prod\launcher.exe" -> "C:\Prod\"; a path ending in its separator is
// returned whole; a path without one gives "".
std::string directory_part(const PathRules& rules, const std::string& path);

// "C:\Prod\launcher.exe" -> "launcher.exe"; the whole path when it has no
// separator; "" when it ends in one.
std::string file_name_part(const PathRules& rules, const std::string& path);

// Cuts the last extension: "archive.tar.exe" -> "archive.tar"; "tool." stays.
std::string strip_extension(const std::string& file_name);

#endif  // LAUNCHER_PATHS_INSTALLATION_PATHS_H_
