// The path conventions of one platform, handed to the core as a value so that
// the same code serves Windows and POSIX (and each can be tested anywhere).
#ifndef LAUNCHER_PATHS_PATH_RULES_H_
#define LAUNCHER_PATHS_PATH_RULES_H_

#include <string>

struct PathRules {
  char separator;                     // the only directory separator
  char list_separator;                // between PATH entries and appended values
  bool (*is_absolute)(const std::string& path);
  std::string executable_suffix;      // retried by locate_launcher; may be empty
  std::string target_program;         // below the installation directory
  std::string window_system;          // value of the "-ws" option we add
};

// Backslash, ";", "C:..." or "\..." absolute, ".exe", "win32".
PathRules windows_path_rules();
// "/", ":", absolute when it begins with "/", no suffix, "gtk".
PathRules posix_path_rules();

#endif  // LAUNCHER_PATHS_PATH_RULES_H_
