#include "commandline/translation.h"

#include "commandline/quoting.h"
#include "launcher/launch_settings.h"
#include "launcher/system.h"
#include "messages/messages.h"

namespace {

bool is_help_option(const std::string& argument) {
  return argument == "-help" || argument == "-?" || argument == "/help" ||
         argument == "/?";
}

// An option's value must exist, be non-empty and not look like an option.
bool has_value_at(const std::vector<std::string>& arguments, size_t index) {
  return index < arguments.size() && !arguments[index].empty() &&
         arguments[index][0] != '-';
}

void append_vm_arguments(const LaunchSettings& settings,
                         std::vector<std::string>& target) {
  target.push_back("-vmargs");
  // One entry may carry several options. Each is split as the program will
  // split it and handed on quoted word by word, so that an entry with an
  // unbalanced quote cannot reach into the arguments after it.
  for (const std::string& entry : settings.vm_arguments) {
    for (const std::string& word : split_arguments(entry)) {
      target.push_back(quote_argument(word));
    }
  }
}

}  // namespace

PrescanResult prescan_arguments(LaunchSettings& settings, System& system,
                                const std::vector<std::string>& arguments) {
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "-customizationini") {
      settings.customization_given = true;
      if (i + 1 < arguments.size()) settings.customization_file = arguments[i + 1];
    } else if (argument == "-vmargs") {
      settings.vm_arguments_given = true;
    } else if (argument == "-ws") {
      settings.window_system_given = true;
    } else if (is_help_option(argument)) {
      show_usage(system, settings.launcher_stem);
      return PrescanResult::kHelpShown;
    }
  }
  return PrescanResult::kContinue;
}

bool translate_arguments(LaunchSettings& settings, System& system,
                         const PathRules& rules,
                         const std::vector<std::string>& arguments) {
  std::vector<std::string> target;
  target.reserve(arguments.size() + settings.vm_arguments.size() + 8);
  target.push_back('"' + settings.target_program_path + '"');
  if (!settings.window_system_given) {
    target.push_back("-ws");
    target.push_back(rules.window_system);
  }
  if (settings.customization_given) {
    target.push_back("-plugincustomization");
    target.push_back(wrap_in_quotes(settings.customization_file));
  }

  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "-customizationini") {
      if (!has_value_at(arguments, i + 1)) {
        show_usage(system, settings.launcher_stem);
        return false;
      }
      ++i;  // taken by the pre-scan and placed at the front
    } else if (argument == "-vmargs") {
      append_vm_arguments(settings, target);
    } else if (argument == "-data") {
      if (!has_value_at(arguments, i + 1)) {
        show_usage(system, settings.launcher_stem);
        return false;
      }
      target.push_back("-data");
      target.push_back(wrap_in_quotes(arguments[++i]));
    } else {
      target.push_back(quote_argument(argument));
    }
  }

  if (!settings.vm_arguments_given) append_vm_arguments(settings, target);
  settings.target_arguments.swap(target);
  return true;
}

void hand_over(const LaunchSettings& settings, System& system) {
  system.start_program(settings.target_program_path, settings.target_arguments);
  report_failed_start(system);
}

void report_failed_start(System& system) {
  show_message(system,
               format_message("%s: %s", {load_message(system, IDS_ERROR,
                                                      kMessageCapacity),
                                          "Failed Loading Velmora."}),
               MessageKind::kError);
}
