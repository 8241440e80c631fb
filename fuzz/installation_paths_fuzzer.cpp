// Arbitrary argv[0], PATH and current directory on a fake file system,
// through locate_launcher. The input is cut at NUL bytes: flags, argv[0],
// PATH, the current directory, then any number of further file paths. The
// flags' first byte chooses the rules (bit 0: Windows), whether PATH is
// set (bit 1), whether the system keeps a record of the running executable,
// the first further file path (bit 2), and whether every file placed below
// is that same file (bit 3: links and copies by other names); the next bytes choose which of the places the search may look
// in hold a file named argv[0] (or argv[0] with the executable suffix), so
// that the search finds something far more often than blind bytes would.
//
// Property: the launcher path is empty or a regular file of the fake, and
// never a path without a directory; with a record of the running executable
// it is that file (the record itself, or the path the name led to when that
// is the same file); the installation directory (empty or ending in a
// separator) followed by the file name (holding no separator) is the
// launcher path; the stem is the
// file name without its last extension; the INI path is directory + stem +
// ".ini"; the target is directory + the rules' target program; a launcher
// path found is the name itself when absolute, below the current directory
// when the name holds a separator, and ends in separator + name otherwise
// (the name with the executable suffix when only that was found), unless
// the record overruled the name; without a record an absolute name with a
// directory that exists is always found.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "launcher/launch_settings.h"
#include "paths/installation_paths.h"
#include "tests/support/fake_system.h"

namespace {

bool ends_with(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool starts_with(const std::string& text, const std::string& head) {
  return text.compare(0, head.size(), head) == 0;
}

std::vector<std::string> split_list(const std::string& list, char separator) {
  std::vector<std::string> entries(1);
  for (char c : list) {
    if (c == separator) {
      entries.emplace_back();
    } else {
      entries.back() += c;
    }
  }
  return entries;
}

// The places where the search may find |name|: the name itself, below the
// current directory, and below each PATH entry (relative ones made absolute).
std::vector<std::string> places(const PathRules& rules, const std::string& name,
                                const std::string& path, const std::string& cwd) {
  const std::string sep(1, rules.separator);
  std::vector<std::string> result = {name, cwd + sep + name, cwd + name};
  for (const std::string& entry : split_list(path + rules.list_separator + ".",
                                             rules.list_separator)) {
    std::string candidate = entry;
    if (!candidate.empty() && !is_separator(rules, candidate.back())) candidate += sep;
    candidate += name;
    result.push_back(candidate);
    result.push_back(cwd + sep + candidate);
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> pieces = fuzz::split_at_nul(data, size);
  if (pieces.size() < 4) return 0;
  const std::string& flags = pieces[0];
  const int first = flags.empty() ? 0 : static_cast<unsigned char>(flags[0]);
  const PathRules rules = (first & 1) != 0 ? windows_path_rules() : posix_path_rules();
  const std::string& name = pieces[1];
  const std::string sep(1, rules.separator);

  FakeSystem system;
  system.cwd = pieces[3];
  if ((first & 2) != 0) system.environment["PATH"] = pieces[2];
  for (size_t i = 4; i < pieces.size(); ++i) system.add_file(pieces[i]);
  const bool recorded = (first & 4) != 0 && pieces.size() > 4 && !pieces[4].empty();
  if (recorded) system.executable = pieces[4];
  // Each further flag bit puts a file at one of the places, bit by bit; the
  // bits of even bytes use the bare name, those of odd bytes the suffixed one.
  for (size_t byte = 1; byte < flags.size(); ++byte) {
    const std::string file = byte % 2 == 1 ? name : name + rules.executable_suffix;
    const std::vector<std::string> where = places(rules, file, pieces[2], system.cwd);
    for (int bit = 0; bit < 8; ++bit) {
      size_t index = (byte - 1) / 2 * 8 + bit;
      if ((flags[byte] >> bit & 1) != 0 && index < where.size()) {
        system.add_file(where[index]);
        if (recorded && (first & 8) != 0 && where[index] != system.executable) {
          system.same_file_as[where[index]] = system.executable;
        }
      }
    }
  }

  LaunchSettings settings;
  locate_launcher(settings, system, rules, name);
  const std::string& path = settings.launcher_path;
  const std::string& directory = settings.installation_directory;
  const std::string& file_name = settings.launcher_file_name;
  const std::string& stem = settings.launcher_stem;
  const std::string detail = "name \"" + fuzz::printable(name) + "\" found \"" +
                             fuzz::printable(path) + "\"";

  FUZZ_CHECK(path.empty() || system.files.count(path) > 0,
             "the launcher path is not a regular file: " + detail);
  FUZZ_CHECK(directory + file_name == path, "directory + file name: " + detail);
  FUZZ_CHECK(path.empty() || !directory.empty(),
             "a launcher path without a directory: " + detail);
  FUZZ_CHECK(directory.empty() || is_separator(rules, directory.back()),
             "the directory must end in a separator: " + detail);
  FUZZ_CHECK(file_name.find_first_of(rules.separators) == std::string::npos,
             "the file name holds a separator: " + detail);
  if (recorded) {
    const bool record_usable =
        system.executable.find_first_of(rules.separators) != std::string::npos;
    FUZZ_CHECK(path.empty() ? !record_usable : system.same_file(path, system.executable),
               "the launcher path is not the running executable: " + detail);
    return 0;
  }
  FUZZ_CHECK(file_name == stem ||
                 (starts_with(file_name, stem + ".") && file_name.size() > stem.size() + 1 &&
                  file_name.find('.', stem.size() + 1) == std::string::npos),
             "the stem is not the file name without its last extension: " + detail);
  FUZZ_CHECK(settings.ini_path == directory + stem + ".ini", "INI path: " + detail);
  FUZZ_CHECK(settings.target_program_path == directory + rules.target_program,
             "target program path: " + detail);

  if (rules.is_absolute(name) && system.files.count(name) > 0 &&
      name.find_first_of(rules.separators) != std::string::npos) {
    FUZZ_CHECK(path == name, "an existing absolute name was not found: " + detail);
  }
  if (!path.empty()) {
    // Each of the two names tried is judged by its own form: "C:" is a bare
    // name under the Windows rules, "C:.exe" an absolute one.
    std::string below = system.cwd;
    if (below.empty() || !is_separator(rules, below.back())) below += sep;
    auto found_as = [&](const std::string& tried) {
      if (rules.is_absolute(tried)) return path == tried;
      if (tried.find_first_of(rules.separators) != std::string::npos) {
        return path == below + tried;
      }
      return ends_with(path, tried) && path.size() > tried.size() &&
             is_separator(rules, path[path.size() - tried.size() - 1]);
    };
    FUZZ_CHECK(found_as(name) ||
                   (!rules.executable_suffix.empty() &&
                    found_as(name + rules.executable_suffix)),
               "the launcher path does not fit the name: " + detail);
  }
  return 0;
}
