// Arbitrary bytes as the launcher's INI file, read through read_launcher_ini
// on the fake system. The first byte chooses the path rules (top bit) and
// how many bytes each read of the file returns (the rest: 1 to 127, 0 for
// whole 64 KiB chunks), so that lines, carriage returns and the byte order
// mark fall across read boundaries. The remaining bytes are the file.
//
// Property: the settings and the environment are exactly what a plain model
// of the format gives: lines split at line feeds (a carriage return before
// one dropped, a leading UTF-8 byte order mark skipped, the text ended at a
// Ctrl-Z under the Windows rules), ";" comments,
// headers compared after trimming blanks, any other line starting with "["
// opening an ignored section, entries split at their first "=". So every
// VMArgs entry of a recognised section appears once and in file order, the
// last CustomizationINI wins, and nothing from an ignored section or from
// before the first header reaches the settings or the environment. (Lines
// that are not UTF-8 stay as they are: the fake keeps no legacy code page.)
// A file that starts with the UTF-16 byte order mark is read, and every VM
// argument it gives is well-formed UTF-8.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "settings/text_encoding.h"
#include "launcher/launch_settings.h"
#include "settings/ini_file.h"
#include "tests/support/fake_system.h"

namespace {

const char kInstallationDirectory[] = "C:\\Prod Dir\\";
const char kIniPath[] = "C:\\Prod Dir\\launcher.ini";

struct ExpectedSettings {
  std::vector<std::string> vm_arguments;
  bool customization_given = false;
  std::string customization_file;
};

std::vector<std::string> lines_of(std::string text, bool ctrl_z_ends_text) {
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  if (ctrl_z_ends_text && text.find('\x1A') != std::string::npos) {
    text.erase(text.find('\x1A'));
  }
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t feed = text.find('\n', start);
    if (feed == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    std::string line = text.substr(start, feed - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = feed + 1;
  }
  return lines;
}

std::string without_blanks_around(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return text.substr(begin, end - begin);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool windows = (data[0] & 0x80) != 0;
  const size_t chunk = (data[0] & 0x7F) == 0 ? 64 * 1024 : (data[0] & 0x7F);
  const std::string content(reinterpret_cast<const char*>(data) + 1, size - 1);
  const PathRules rules = windows ? windows_path_rules() : posix_path_rules();

  FakeSystem system;
  system.read_chunk_size = chunk;
  system.add_file(kIniPath, content);
  system.documents = "D:\\Docs";
  system.environment = {{"PATH", "C:\\Windows"}, {"EMPTY", ""}};
  system.refused_names = {"REFUSED"};

  fuzz::EnvironmentModel environment;
  environment.variables = system.environment;
  environment.refused = system.refused_names;
  environment.list_separator = rules.list_separator;

  LaunchSettings settings;
  settings.installation_directory = kInstallationDirectory;
  const bool read = read_launcher_ini(settings, system, rules, kIniPath);

  if (content.compare(0, 2, "\xFF\xFE") == 0) {
    // UTF-16: whatever the units, the text handed on is well-formed UTF-8.
    FUZZ_CHECK(read && system.messages.empty(), "an existing INI file was refused");
    for (const std::string& argument : settings.vm_arguments) {
      FUZZ_CHECK(is_valid_utf8(argument),
                 "UTF-16 decoded to bad UTF-8: " + fuzz::printable(argument));
    }
    return 0;
  }

  // The model.
  enum { kNone, kSettings, kEnvironment } section = kNone;
  ExpectedSettings expected;
  for (const std::string& line : lines_of(content, rules.ctrl_z_ends_text)) {
    if (line.empty() || line[0] == ';') continue;
    const std::string header = without_blanks_around(line);
    if (header == "[Settings]") {
      section = kSettings;
    } else if (header == "[Environment Variables]") {
      section = kEnvironment;
    } else if (line[0] == '[') {
      section = kNone;
    } else if (section != kNone) {
      size_t equals = line.find('=');
      if (equals == std::string::npos || equals == 0) continue;
      const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
      if (section == kEnvironment) {
        environment.apply(key, fuzz::expected_expansion(value, system.documents,
                                                        kInstallationDirectory));
      } else if (key == "VMArgs") {
        expected.vm_arguments.push_back(value);
      } else if (key == "CustomizationINI") {
        expected.customization_given = true;
        expected.customization_file = value;
      }
    }
  }

  FUZZ_CHECK(read && system.messages.empty(), "an existing INI file was refused");
  FUZZ_CHECK(settings.vm_arguments == expected.vm_arguments,
             "VM arguments " + fuzz::printable(settings.vm_arguments) +
                 "\nexpected    " + fuzz::printable(expected.vm_arguments));
  FUZZ_CHECK(settings.customization_given == expected.customization_given &&
                 settings.customization_file == expected.customization_file,
             "customization file \"" + fuzz::printable(settings.customization_file) +
                 "\" expected \"" + fuzz::printable(expected.customization_file) + "\"");
  FUZZ_CHECK(system.environment == environment.variables,
             "the environment differs from the model");
  FUZZ_CHECK(system.output == environment.output,
             "output \"" + fuzz::printable(system.output) + "\"\nexpected \"" +
                 fuzz::printable(environment.output) + "\"");
  FUZZ_CHECK(settings.target_arguments.empty() && !settings.window_system_given &&
                 !settings.vm_arguments_given && !system.started,
             "the INI reader touched what is not its own");
  return 0;
}
