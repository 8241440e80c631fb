#include "paths/installation_paths.h"

#include "launcher/launch_settings.h"
#include "launcher/system.h"

namespace {

std::string existing_file_or_empty(System& system, const std::string& candidate) {
  return system.is_regular_file(candidate) ? candidate : std::string();
}

// True when |path| starts with "." or ".." and a separator.
bool is_dot_relative(const PathRules& rules, const std::string& path) {
  size_t dots = path.compare(0, 2, "..") == 0 ? 2 : path.compare(0, 1, ".") == 0 ? 1 : 0;
  return dots > 0 && path.size() > dots && is_separator(rules, path[dots]);
}

// The PATH search of a bare name; the current directory comes last. Only
// files that may be run count, as in a shell's search.
std::string search_path(System& system, const PathRules& rules,
                        const std::string& name) {
  std::string list;
  system.get_environment("PATH", &list);
  list += rules.list_separator;
  list += '.';

  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(rules.list_separator, start);
    if (end == std::string::npos) end = list.size();
    std::string candidate = list.substr(start, end - start);
    start = end + 1;
    if (candidate.empty()) continue;

    if (!is_separator(rules, candidate.back())) candidate += rules.separator;
    candidate += name;
    if (is_dot_relative(rules, candidate)) {
      // Without a known current directory a relative candidate would be
      // read as one below the root: skip it.
      std::string directory = system.current_directory();
      if (directory.empty()) continue;
      candidate = directory + rules.separator + candidate;
    }
    const bool found = system.is_executable_file(candidate);
    if (system.trace().on()) {
      system.trace().line("PATH candidate " + traced(candidate) +
                          (found ? ": found" : ": no program file"));
    }
    if (found) return candidate;
  }
  return std::string();
}

// Where the name leads, or empty: the name as given, then with the
// platform's executable suffix.
std::string find_by_name(System& system, const PathRules& rules,
                         const std::string& name) {
  std::string found = resolve_program_path(system, rules, name);
  if (found.empty() && !rules.executable_suffix.empty()) {
    found = resolve_program_path(system, rules, name + rules.executable_suffix);
  }
  return found;
}

// The INI file of |settings|' stem, or of the stem without the companion
// suffix when the stem ends in it and has no INI file of its own. Only
// looked for beside a launcher that was found.
std::string ini_path_for(System& system, const PathRules& rules,
                         const LaunchSettings& settings) {
  const std::string& stem = settings.launcher_stem;
  const std::string own = settings.installation_directory + stem + ".ini";
  const std::string& suffix = rules.companion_suffix;
  if (suffix.empty() || settings.installation_directory.empty() ||
      stem.size() <= suffix.size() ||
      stem.compare(stem.size() - suffix.size(), suffix.size(), suffix) != 0 ||
      system.is_regular_file(own)) {
    return own;
  }
  if (system.trace().on()) {
    system.trace().line("no INI file " + traced(own) + ": the shared one is used");
  }
  return settings.installation_directory +
         stem.substr(0, stem.size() - suffix.size()) + ".ini";
}

}  // namespace

std::string resolve_program_path(System& system, const PathRules& rules,
                                 const std::string& name) {
  Trace& trace = system.trace();
  if (rules.is_absolute(name)) {
    if (trace.on()) trace.line(traced(name) + " is absolute: taken as it stands");
    return existing_file_or_empty(system, name);
  }

  if (name.find_first_of(rules.separators) != std::string::npos) {
    std::string candidate = system.current_directory();
    if (trace.on()) {
      trace.line(traced(name) + " holds a separator: below the current directory " +
                 traced(candidate));
    }
    if (candidate.empty()) return std::string();
    if (!is_separator(rules, candidate.back())) {
      candidate += rules.separator;
    }
    candidate += name;
    return existing_file_or_empty(system, candidate);
  }

  if (trace.on()) trace.line(traced(name) + " is a bare name: searched on PATH");
  return search_path(system, rules, name);
}

std::string directory_part(const PathRules& rules, const std::string& path) {
  size_t last = path.find_last_of(rules.separators);
  if (last == std::string::npos) return std::string();
  return path.substr(0, last + 1);
}

std::string file_name_part(const PathRules& rules, const std::string& path) {
  size_t last = path.find_last_of(rules.separators);
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
  // The name is the caller's to choose (and a file of that name anyone's to
  // plant): what it leads to counts only when it is the running program
  // itself. That keeps the INI of a renamed copy or of a link by its name.
  Trace& trace = system.trace();
  if (trace.on()) trace.line("finding itself from argv[0] " + traced(name));
  std::string found = find_by_name(system, rules, name);
  const std::string own = system.executable_path();
  if (trace.on()) {
    trace.line("found by name: " + (found.empty() ? "nothing" : traced(found)));
    trace.line("the system's record of this program: " +
               (own.empty() ? "none" : traced(own)));
  }
  // The same path names the same file: no need to ask the system.
  if (!own.empty() && (found.empty() || directory_part(rules, found).empty() ||
                       (found != own && !system.same_file(found, own)))) {
    if (trace.on() && !found.empty()) {
      trace.line("the name does not lead to this program: the record is used");
    }
    found = own;
  } else if (trace.on() && !own.empty()) {
    trace.line("the name leads to this program: it is used");
  }
  // Without a directory the INI file and the program would be taken from
  // the current directory.
  if (directory_part(rules, found).empty()) {
    if (trace.on() && !found.empty()) trace.line("no directory: not used");
    found.clear();
  }
  if (trace.on()) {
    trace.line("launcher path " + (found.empty() ? "not found" : traced(found)));
  }
  settings.launcher_path = found;
  settings.installation_directory = directory_part(rules, settings.launcher_path);
  settings.launcher_file_name = file_name_part(rules, settings.launcher_path);
  settings.launcher_stem = strip_extension(settings.launcher_file_name);
  settings.ini_path = ini_path_for(system, rules, settings);
  settings.target_program_path =
      settings.installation_directory + rules.target_program;
}
