#include "settings/ini_file.h"

#include <memory>

#include "environment/environment.h"
#include "launcher/launch_settings.h"
#include "launcher/system.h"
#include "messages/messages.h"
#include "settings/line_reader.h"
#include "settings/text_encoding.h"

namespace {

enum class Section { kNone, kSettings, kEnvironment };

void apply_setting(LaunchSettings& settings, const std::string& key,
                   std::string& value) {
  if (key == "VMArgs") {
    settings.vm_arguments.push_back(std::move(value));
  } else if (key == "CustomizationINI") {
    settings.customization_file = std::move(value);
    settings.customization_given = true;
  }
  // ProductName, Version, WindowSystem and unknown keys change nothing.
}

}  // namespace

void show_missing_ini(System& system, const std::string& ini_path) {
  std::string text = load_message(system, IDS_MissingINI, kMessageCapacity);
  show_message(system, format_message(text, {ini_path}), MessageKind::kError);
}

std::string trim_spaces(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

bool split_entry(const std::string& line, std::string* key, std::string* value) {
  size_t equals = line.find('=');
  if (equals == std::string::npos || equals == 0) return false;
  key->assign(line, 0, equals);
  value->assign(line, equals + 1, std::string::npos);
  return true;
}

bool read_launcher_ini(LaunchSettings& settings, System& system,
                       const PathRules& rules, const std::string& ini_path) {
  std::unique_ptr<InputFile> file;
  if (system.is_regular_file(ini_path)) file = system.open_file(ini_path);
  if (!file) {
    show_missing_ini(system, ini_path);
    return false;
  }

  LineReader reader(*file);
  Section section = Section::kNone;
  std::string line, key, value;
  while (reader.next_line(&line)) {
    if (line.empty() || line[0] == ';') continue;
    // A file saved in the system's legacy code page, or one line of it.
    if (!is_valid_utf8(line)) line = system.decode_legacy_text(line);
    // Only a line that can be a header is trimmed; entries stay as they are.
    if (line.find('[') != std::string::npos) {
      std::string header = trim_spaces(line);
      if (header == "[Settings]") {
        section = Section::kSettings;
        continue;
      }
      if (header == "[Environment Variables]") {
        section = Section::kEnvironment;
        continue;
      }
      if (line[0] == '[') {
        section = Section::kNone;
        continue;
      }
    }
    if (section == Section::kNone || !split_entry(line, &key, &value)) continue;
    if (section == Section::kSettings) {
      apply_setting(settings, key, value);
    } else {
      apply_environment_entry(settings, system, rules, key, value);
    }
  }
  if (reader.failed()) {
    // Half the settings would start the program in a state nobody wrote:
    // a file that cannot be read to its end counts as one that cannot be
    // read at all.
    show_missing_ini(system, ini_path);
    return false;
  }
  return true;
}
