#include "launcher/run_launcher.h"

#include "commandline/quoting.h"
#include "commandline/translation.h"
#include "launcher/launch_settings.h"
#include "launcher/system.h"
#include "messages/messages.h"
#include "paths/installation_paths.h"
#include "settings/ini_file.h"

namespace {

const char* yes_no(bool value) { return value ? "yes" : "no"; }

void trace_start(Trace& trace, const std::vector<std::string>& arguments) {
  trace.line("version " LAUNCHER_VERSION);
  for (size_t i = 0; i < arguments.size(); ++i) {
    trace.line("argument " + std::to_string(i) + ": " + traced(arguments[i]));
  }
}

void trace_paths(Trace& trace, const LaunchSettings& settings) {
  trace.line("installation directory " + traced(settings.installation_directory));
  trace.line("stem " + traced(settings.launcher_stem));
  trace.line("INI file " + traced(settings.ini_path));
  trace.line("target program " + traced(settings.target_program_path));
}

void trace_prescan(Trace& trace, const LaunchSettings& settings) {
  trace.line(std::string("pre-scan: -ws given: ") +
             yes_no(settings.window_system_given) +
             ", -vmargs given: " + yes_no(settings.vm_arguments_given) +
             ", customization file: " +
             (settings.customization_given ? traced(settings.customization_file)
                                           : std::string("none")));
}

// What the program will see: its own split of the line it is given.
void trace_target(Trace& trace, const LaunchSettings& settings) {
  const std::vector<std::string> seen =
      program_argv(settings.target_program_path, settings.target_arguments);
  for (size_t i = 0; i < seen.size(); ++i) {
    trace.line("target argument " + std::to_string(i) + ": " + traced(seen[i]));
  }
  trace.line("command line: " + join_command_line(settings.target_arguments));
}

}  // namespace

int run_launcher(const std::vector<std::string>& arguments, System& system,
                 const PathRules& rules) {
  system.adopt_user_locale();
  Trace& trace = system.trace();
  if (trace.on()) trace_start(trace, arguments);

  if (arguments.size() > 1 && arguments[1] == "-stringtest") {
    run_string_test(system);
  }

  LaunchSettings settings;
  locate_launcher(settings, system, rules,
                  arguments.empty() ? std::string() : arguments[0]);
  if (trace.on()) trace_paths(trace, settings);
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
  if (trace.on()) trace_prescan(trace, settings);
  if (!translate_arguments(settings, system, rules, arguments)) {
    return kExitFailure;
  }
  if (trace.on()) trace_target(trace, settings);

  if (system.dry_run()) {
    if (!system.check_start(settings.target_program_path,
                            settings.target_arguments)) {
      report_failed_start(system);
      return kExitFailure;
    }
    trace.line("dry run: the program would be started");
    return kExitDryRun;
  }
  hand_over(settings, system);
  return kExitFailure;
}
