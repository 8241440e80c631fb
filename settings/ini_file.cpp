#include "settings/ini_file.h"

#include <memory>

#include "environment/environment.h"
#include "launcher/launch_settings.h"
#include "launcher/system.h"
#include "messages/messages.h"
#include "settings/line_reader.h"
#include "settings/text_encoding.h"

namespace {

enum class Section { kNone, kIgnored, kSettings, kEnvironment };

// Applies a "[Settings]" entry; says what it did, for the trace.
const char* apply_setting(LaunchSettings& settings, const std::string& key,
                          std::string& value) {
  if (key == "VMArgs") {
    settings.vm_arguments.push_back(std::move(value));
    return "VM argument entry";
  }
  if (key == "CustomizationINI") {
    settings.customization_file = std::move(value);
    settings.customization_given = true;
    return "customization file";
  }
  if (key == "ProductName" || key == "Version" || key == "WindowSystem") {
    return "known key without effect";
  }
  return "skipped: not a known key";
}

// Why a line that is neither a header nor an applied entry changes nothing.
std::string skipped_because(Section section, const std::string& line) {
  if (section == Section::kNone) return "skipped: before any section header";
  if (section == Section::kIgnored) return "skipped: under an ignored section";
  // A line that starts with "[" is a header, so this one has blanks first.
  size_t first = line.find_first_not_of(' ');
  if (first != std::string::npos && line[first] == '[') {
    return "skipped: blanks before \"[\" make it no header";
  }
  return line[0] == '=' ? "skipped: nothing before \"=\"" : "skipped: no \"=\"";
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

  Trace& trace = system.trace();
  auto note = [&trace](size_t number, const std::string& what) {
    trace.line("INI line " + std::to_string(number) + ": " + what);
  };
  LineReader reader(*file, rules.ctrl_z_ends_text);
  Section section = Section::kNone;
  std::string line, key, value;
  for (size_t number = 1; reader.next_line(&line); ++number) {
    if (line.empty() || line[0] == ';') continue;
    // A file saved in the system's legacy code page, or one line of it.
    if (!is_valid_utf8(line)) {
      line = system.decode_legacy_text(line);
      if (trace.on()) note(number, "not UTF-8: read in the system's code page");
    }
    // Only a line that can be a header is trimmed; entries stay as they are.
    if (line.find('[') != std::string::npos) {
      std::string header = trim_spaces(line);
      Section opened = Section::kNone;  // not a header
      if (header == "[Settings]") {
        opened = Section::kSettings;
      } else if (header == "[Environment Variables]") {
        opened = Section::kEnvironment;
      } else if (line[0] == '[') {
        opened = Section::kIgnored;
      }
      if (opened != Section::kNone) {
        section = opened;
        if (trace.on()) {
          note(number, (section == Section::kIgnored ? "ignored section " : "section ") +
                           traced(header));
        }
        continue;
      }
    }
    if (section == Section::kNone || section == Section::kIgnored ||
        !split_entry(line, &key, &value)) {
      if (trace.on()) note(number, skipped_because(section, line) + ": " + traced(line));
      continue;
    }
    if (section == Section::kSettings) {
      std::string entry = trace.on() ? traced(key) + "=" + traced(value) : std::string();
      const char* effect = apply_setting(settings, key, value);
      if (trace.on()) note(number, entry + ": " + effect);
    } else {
      if (trace.on()) note(number, "environment " + traced(key) + "=" + traced(value));
      apply_environment_entry(settings, system, rules, key, value);
    }
  }
  if (reader.failed()) {
    if (trace.on()) trace.line("INI file: read error");
    // Half the settings would start the program in a state nobody wrote:
    // a file that cannot be read to its end counts as one that cannot be
    // read at all.
    show_missing_ini(system, ini_path);
    return false;
  }
  return true;
}
