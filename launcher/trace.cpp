#include "launcher/trace.h"

#include <cstring>

#include "messages/messages.h"

void Trace::line(const std::string& event) {
  if (writer_ == nullptr) return;
  std::string text = "launcher: ";
  text += escape_control_characters(event, /*keep_line_breaks=*/false);
  text += '\n';
  writer_->write_line(text);
}

std::string traced(const std::string& value) { return '"' + value + '"'; }

TraceTarget trace_target(const char* setting, const PathRules& rules) {
  if (setting == nullptr || setting[0] == '\0' || std::strcmp(setting, "0") == 0) {
    return TraceTarget::kOff;
  }
  return rules.is_absolute(setting) ? TraceTarget::kFile : TraceTarget::kStandardError;
}

bool is_dry_run(const char* setting) {
  return setting != nullptr && std::strcmp(setting, "1") == 0;
}
