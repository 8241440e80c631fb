// The launcher's INI file: VM arguments, the customization file and the
// environment variables for the target program.
#ifndef LAUNCHER_SETTINGS_INI_FILE_H_
#define LAUNCHER_SETTINGS_INI_FILE_H_

#include <string>

#include "paths/path_rules.h"

class System;
struct LaunchSettings;

// Reads the file at |ini_path| into |settings|, applying each environment
// entry as it comes. When the file cannot be opened (or is not a regular
// file) or a read fails, shows the missing-INI message and returns false.
bool read_launcher_ini(LaunchSettings& settings, System& system,
                       const PathRules& rules, const std::string& ini_path);

// Tells the user that the INI file at |ini_path| cannot be opened.
void show_missing_ini(System& system, const std::string& ini_path);

// |text| without leading and trailing blanks (the space character only).
std::string trim_spaces(const std::string& text);

// Splits "key=value" at the first "="; false when there is no "=" or the
// key would be empty.
bool split_entry(const std::string& line, std::string* key, std::string* value);

#endif  // LAUNCHER_SETTINGS_INI_FILE_H_
