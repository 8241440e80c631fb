#include "paths/installation_paths.h"

#include "launcher/launch_settings.h"
#include "launcher/system.h"

namespace {

std::string existing_file_or_empty(System& system, const std::string& candidate) {
  return system.is_regular_file(candidate) ? candidate : std::string();
}

bool starts_with(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// The PATH search of a bare name; the current directory comes last.
std::string search_path(System& system, const PathRules& rules,
                        const std::string& name) {
  std::string list;
  system.get_environment("PATH", &list);
  list += rules.list_separator;
  list += '.';

  const std::string dot_prefix = std::string(".") + rules.separator;
  const std::string dot_dot_prefix = std::string("..") + rules.separator;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(rules.list_separator, start);
    if (end == std::string::npos) end = list.size();
    std::string candidate = list.substr(start, end - start);
    start = end + 1;
    if (candidate.empty()) continue;

    if (candidate.back() != rules.separator) candidate += rules.separator;
    candidate += name;
    if (starts_with(candidate, dot_prefix) ||
        starts_with(candidate, dot_dot_prefix)) {
      // Without a known current directory a relative candidate would be
      // read as one below the root: skip it.
      std::string directory = system.current_directory();
      if (directory.empty()) continue;
      candidate = directory + rules.separator + candidate;
    }
    if (system.is_regular_file(candidate)) return candidate;
  }
  return std::string();
}

}  // namespace

std::string resolve_program_path(System& system, const PathRules& rules,
                                 const std::string& name) {
  if (rules.is_absolute(name)) return existing_file_or_empty(system, name);

  if (name.find(rules.separator) != std::string::npos) {
    std::string candidate = system.current_directory();
    if (candidate.empty()) return std::string();
    if (candidate.back() != rules.separator) {
      candidate += rules.separator;
    }
    candidate += name;
    return existing_file_or_empty(system, candidate);
  }

  return search_path(system, rules, name);
}

std::string directory_part(const PathRules& rules, const std::string& path) {
  size_t last = path.rfind(rules.separator);
  if (last == std::string::npos) return std::string();
  return path.substr(0, last + 1);
}

std::string file_name_part(const PathRules& rules, const std::string& path) {
  size_t last = path.rfind(rules.separator);
  if (last == std::string::npos) return path;
  return path.substr(last + 1);
}

std::string strip_extension(const std::string& file_name) {
  size_t dot = file_name.rfind('.');
  if (dot == std::string::npos || dot + 1 == file_name.size()) return file_name;
  return file_name.substr(0, dot);
}

void locate_launcher(LaunchSettings& settings, System& system,
                     const PathRules& rules, const std::string& name) {
  settings.launcher_path = resolve_program_path(system, rules, name);
  if (settings.launcher_path.empty() && !rules.executable_suffix.empty()) {
    settings.launcher_path =
        resolve_program_path(system, rules, name + rules.executable_suffix);
  }
  settings.installation_directory = directory_part(rules, settings.launcher_path);
  settings.launcher_file_name = file_name_part(rules, settings.launcher_path);
  settings.launcher_stem = strip_extension(settings.launcher_file_name);
  settings.ini_path =
      settings.installation_directory + settings.launcher_stem + ".ini";
  settings.target_program_path =
      settings.installation_directory + rules.target_program;
}
