// The launch settings: one record, filled stage by stage during a run.
#ifndef LAUNCHER_LAUNCHER_LAUNCH_SETTINGS_H_
#define LAUNCHER_LAUNCHER_LAUNCH_SETTINGS_H_

#include <string>
#include <vector>

struct LaunchSettings {
  // Installation paths.
  std::string launcher_path;           // empty when the launcher was not found
  std::string installation_directory;  // ends in a separator, or empty
  std::string launcher_file_name;
  std::string launcher_stem;
  std::string ini_path;
  std::string target_program_path;

  // From the INI file, and the customization fields also from the command line.
  std::vector<std::string> vm_arguments;
  std::string customization_file;
  bool customization_given = false;

  // What the user's command line already says.
  bool window_system_given = false;
  bool vm_arguments_given = false;

  // The command line of the target program, one element per piece that the
  // hand-over joins with single blanks.
  std::vector<std::string> target_arguments;
};

#endif  // LAUNCHER_LAUNCHER_LAUNCH_SETTINGS_H_
