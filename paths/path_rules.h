// The path conventions of one platform, handed to the core as a value so that
// the same code serves Windows and POSIX (and each can be tested anywhere).
#ifndef LAUNCHER_PATHS_PATH_RULES_H_
#define LAUNCHER_PATHS_PATH_RULES_H_

#include <string>

struct PathRules {
  char separator;                     // the separator we write
  std::string separators;             // every character that separates
  char list_separator;                // between PATH entries and appended values
  bool (*is_absolute)(const std::string& path);
  std::string executable_suffix;      // retried by locate_launcher; may be empty
  std::string target_program;         // below the installation directory
  std::string window_system;          // value of the "-ws" option we add
  // A stem ending in it may share the INI file of the stem without it, when
  // it has none of its own ("tool-console" reads "tool.ini"); empty: never.
  // Set by the platform for an executable built to be such a companion.
  std::string companion_suffix;
  // A Ctrl-Z ends a text file of bytes, as the Windows runtime's text mode
  // reads it (old editors write one at the end); not a UTF-16 one.
  bool ctrl_z_ends_text;
};

// Backslash (and "/" read as one too), ";", "C:...", "\..." or "/..."
// absolute, ".exe", "win32", Ctrl-Z ends a text.
PathRules windows_path_rules();
// "/", ":", absolute when it begins with "/", no suffix, "gtk".
PathRules posix_path_rules();

// True when |c| separates directories under |rules|.
inline bool is_separator(const PathRules& rules, char c) {
  return rules.separators.find(c) != std::string::npos;
}

#endif  // LAUNCHER_PATHS_PATH_RULES_H_
