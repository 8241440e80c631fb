#include "environment/environment.h"

#include "launcher/launch_settings.h"
#include "launcher/system.h"
#include "messages/messages.h"

namespace {

const std::string kDocumentsPlaceholder = "<My Documents>";
const std::string kHomePlaceholder = "<$HOME>";
const std::string kInstallationPlaceholder = "<CURRDIR>";

bool placeholder_at(const std::string& text, size_t position,
                    const std::string& placeholder) {
  return text.compare(position, placeholder.size(), placeholder) == 0;
}

}  // namespace

std::string replace_first(const std::string& text, const std::string& pattern,
                          const std::string& replacement) {
  size_t position = pattern.empty() ? std::string::npos : text.find(pattern);
  if (position == std::string::npos) return text;
  std::string result = text;
  result.replace(position, pattern.size(), replacement);
  return result;
}

std::string expand_placeholder(const LaunchSettings& settings, System& system,
                               const std::string& value) {
  size_t next = value.find('<');
  if (next == std::string::npos) return value;

  std::string documents;
  bool documents_known = false;
  std::string result(value, 0, next);
  for (size_t i = next; i < value.size();) {
    if (value[i] == '<') {
      const std::string* replaced = nullptr;
      if (placeholder_at(value, i, kDocumentsPlaceholder)) {
        replaced = &kDocumentsPlaceholder;
      } else if (placeholder_at(value, i, kHomePlaceholder)) {
        replaced = &kHomePlaceholder;
      }
      if (replaced != nullptr) {
        if (!documents_known) {
          documents = system.documents_folder();
          documents_known = true;
        }
        result += documents;
        i += replaced->size();
        continue;
      }
      if (placeholder_at(value, i, kInstallationPlaceholder)) {
        result += settings.installation_directory;
        i += kInstallationPlaceholder.size();
        continue;
      }
    }
    result += value[i++];
  }
  return result;
}

void set_environment_entry(System& system, const PathRules& rules,
                           const std::string& name, const std::string& text) {
  // Nothing to add: the variable stays exactly as it was. (Extending it
  // would leave an empty last entry, which on PATH means the current
  // directory; setting it would remove one set but empty.)
  Trace& trace = system.trace();
  if (text.empty()) {
    if (trace.on()) trace.line(traced(name) + " left as it was: nothing to add");
    return;
  }
  std::string before;
  const bool was_set = trace.on() && system.get_environment(name, &before);
  // An empty current value counts as unset: a leading separator would add
  // an empty entry (on PATH: the current directory).
  const bool extend = system.has_environment_value(name);
  const std::string separator(1, rules.list_separator);
  if (extend ? system.append_environment(name, separator + text)
             : system.set_environment(name, text)) {
    if (trace.on()) {
      std::string after;
      system.get_environment(name, &after);
      trace.line(traced(name) + (extend ? " extended: " : " set: ") +
                 (was_set ? traced(before) : std::string("unset")) + " -> " +
                 traced(after));
    }
    return;
  }
  std::string value;
  if (extend) {
    system.get_environment(name, &value);
    value += separator;
  }
  if (trace.on()) trace.line(traced(name) + " refused by the system");
  system.write_output(escape_control_characters(
                          "Error setting up env variable: " + name + "=" +
                          value + text) +
                      "\n");
}

void apply_environment_entry(const LaunchSettings& settings, System& system,
                             const PathRules& rules, const std::string& name,
                             const std::string& value) {
  set_environment_entry(system, rules, name,
                        expand_placeholder(settings, system, value));
}
