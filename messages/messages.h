// Everything the launcher tells the user goes through these functions.
#ifndef LAUNCHER_MESSAGES_MESSAGES_H_
#define LAUNCHER_MESSAGES_MESSAGES_H_

#include <string>
#include <vector>

#include "resources/message_ids.h"

class System;

enum class MessageKind { kInformation, kError };

// The capacity of an ordinary message load; the string test uses more.
constexpr size_t kMessageCapacity = 255;

// The catalogue text of |id|, cut to at most |capacity| - 1 bytes (never in
// the middle of a UTF-8 character).
std::string load_message(System& system, int id, size_t capacity);

// Fills each "%s" of |pattern| with the next of |arguments| ("%%" stands
// for one "%"); a missing argument counts as empty. Never interprets
// anything else, so texts and arguments cannot be mistaken for directives.
std::string format_message(const std::string& pattern,
                           const std::vector<std::string>& arguments);

// |text| made safe for a terminal or a log: every control character other
// than line feed and tab (and, unless |keep_line_breaks|, line feed too),
// and DEL, is written as "\x1b" (lower-case hex); every other byte, UTF-8
// included, stays as it is.
std::string escape_control_characters(const std::string& text,
                                      bool keep_line_breaks = true);

// Shows |text| under the caption of its kind ("Error" or "Message",
// loaded in the user's language at the moment of display).
void show_message(System& system, const std::string& text, MessageKind kind);

// Shows the usage text for the launcher named |stem|.
void show_usage(System& system, const std::string& stem);

// Shows every catalogue message once, so that its translations can be seen.
void run_string_test(System& system);

#endif  // LAUNCHER_MESSAGES_MESSAGES_H_
