#include "messages/messages.h"

#include "launcher/system.h"

std::string load_message(System& system, int id, size_t capacity) {
  std::string text = system.load_string(id);
  if (capacity == 0) return std::string();
  if (text.size() >= capacity) {
    size_t size = capacity - 1;
    // Step back over continuation bytes so no character is cut in half.
    while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) {
      --size;
    }
    text.resize(size);
  }
  return text;
}

std::string format_message(const std::string& pattern,
                           const std::vector<std::string>& arguments) {
  std::string result;
  result.reserve(pattern.size());
  size_t next_argument = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size()) {
      if (pattern[i + 1] == 's') {
        if (next_argument < arguments.size()) result += arguments[next_argument];
        ++next_argument;
        ++i;
        continue;
      }
      if (pattern[i + 1] == '%') {
        result += '%';
        ++i;
        continue;
      }
    }
    result += pattern[i];
  }
  return result;
}

std::string escape_control_characters(const std::string& text,
                                      bool keep_line_breaks) {
  static const char kHex[] = "0123456789abcdef";
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    bool kept = c == '\t' || (c == '\n' && keep_line_breaks);
    if ((byte < 0x20 && !kept) || byte == 0x7F) {
      result += "\\x";
      result += kHex[byte >> 4];
      result += kHex[byte & 0xF];
    } else {
      result += c;
    }
  }
  return result;
}

void show_message(System& system, const std::string& text, MessageKind kind) {
  int caption_id = kind == MessageKind::kError ? IDS_ERROR : IDS_MESSAGE;
  const std::string caption = load_message(system, caption_id, kMessageCapacity);
  if (system.trace().on()) {
    system.trace().line("message " + traced(caption) + ": " + traced(text));
  }
  system.display_message(caption, text, kind);
}

void show_usage(System& system, const std::string& stem) {
  // The heading is loaded as it always has been, but the box shows only the
  // usage line itself.
  load_message(system, IDS_USAGE, kMessageCapacity);
  std::string usage = load_message(system, IDS_USAGE_CONTENT, kMessageCapacity);
  show_message(system, format_message(usage, {stem}), MessageKind::kInformation);
}
