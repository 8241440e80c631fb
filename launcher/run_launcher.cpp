#include "launcher/run_launcher.h"

#include "commandline/translation.h"
#include "launcher/launch_settings.h"
#include "launcher/system.h"
#include "messages/messages.h"
#include "paths/installation_paths.h"
#include "settings/ini_file.h"

int run_launcher(const std::vector<std::string>& arguments, System& system,
                 const PathRules& rules) {
  system.adopt_user_locale();

  if (arguments.size() > 1 && arguments[1] == "-stringtest") {
    run_string_test(system);
  }

  LaunchSettings settings;
  locate_launcher(settings, system, rules,
                  arguments.empty() ? std::string() : arguments[0]);
  if (settings.launcher_path.empty()) {
    // A launcher that cannot find itself would read its INI file and start
    // its target relative to whatever the current directory is, where
    // anyone could plant both: it reads and starts nothing.
    show_missing_ini(system, settings.ini_path);
    return kExitFailure;
  }

  if (!read_launcher_ini(settings, system, rules, settings.ini_path)) {
    return kExitFailure;
  }
  if (prescan_arguments(settings, system, arguments) ==
      PrescanResult::kHelpShown) {
    return kExitHelp;
  }
  if (!translate_arguments(settings, system, rules, arguments)) {
    return kExitFailure;
  }
  hand_over(settings, system);
  return kExitFailure;
}
