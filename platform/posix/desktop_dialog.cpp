#include "platform/posix/desktop_dialog.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

namespace {

// The tools in the order they are preferred, wherever each lies on PATH.
const char* const kTools[] = {"zenity", "kdialog", "xmessage"};

// The value of |name| in |environment|, null when it is not there.
const char* find_variable(char* const* environment, const char* name) {
  const size_t length = strlen(name);
  for (char* const* entry = environment; entry != nullptr && *entry != nullptr;
       ++entry) {
    if (strncmp(*entry, name, length) == 0 && (*entry)[length] == '=') {
      return *entry + length + 1;
    }
  }
  return nullptr;
}

bool has_value(const char* value) { return value != nullptr && value[0] != '\0'; }

bool any_standard_stream_is_terminal() {
  return isatty(STDIN_FILENO) || isatty(STDOUT_FILENO) || isatty(STDERR_FILENO);
}

// Starts |tool| with |arguments| in |environment|, its standard streams on
// /dev/null, and waits for it to end, however it ends.
void run_and_wait(const std::string& tool, std::vector<std::string> arguments,
                  char* const* environment) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (std::string& argument : arguments) argv.push_back(&argument[0]);
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return;
  bool prepared = true;
  for (int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    prepared = prepared &&
               posix_spawn_file_actions_addopen(
                   &actions, descriptor, "/dev/null",
                   descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0) == 0;
  }
  pid_t child = -1;
  bool started = prepared && posix_spawn(&child, tool.c_str(), &actions, nullptr,
                                         argv.data(), environment) == 0;
  posix_spawn_file_actions_destroy(&actions);
  if (!started) return;
  int status;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

DialogPolicy dialog_policy(const char* setting) {
  if (setting == nullptr) return DialogPolicy::kAuto;
  if (strcmp(setting, "never") == 0) return DialogPolicy::kNever;
  if (strcmp(setting, "always") == 0) return DialogPolicy::kAlways;
  return DialogPolicy::kAuto;
}

bool wants_dialog(DialogPolicy policy, bool has_terminal, bool has_display) {
  switch (policy) {
    case DialogPolicy::kNever:
      return false;
    case DialogPolicy::kAlways:
      return has_display;
    case DialogPolicy::kAuto:
      break;
  }
  return has_display && !has_terminal;
}

std::string find_dialog_tool(
    const std::string& path,
    const std::function<bool(const std::string&)>& is_executable) {
  for (const char* tool : kTools) {
    size_t start = 0;
    for (;;) {
      size_t end = path.find(':', start);
      if (end == std::string::npos) end = path.size();
      std::string directory = path.substr(start, end - start);
      if (!directory.empty() && directory[0] == '/') {
        if (directory.back() != '/') directory += '/';
        std::string candidate = directory + tool;
        if (is_executable(candidate)) return candidate;
      }
      if (end == path.size()) break;
      start = end + 1;
    }
  }
  return std::string();
}

std::vector<std::string> dialog_arguments(const std::string& tool,
                                          const std::string& caption,
                                          const std::string& text,
                                          MessageKind kind) {
  const std::string name = tool.substr(tool.rfind('/') + 1);
  const bool error = kind == MessageKind::kError;
  if (name == "zenity") {
    return {name, error ? "--error" : "--info", "--no-markup",
            "--title=" + caption, "--text=" + text};
  }
  if (name == "kdialog") {
    // kdialog has no plain-text switch: the text goes as escaped rich text.
    return {name, "--title", caption, error ? "--error" : "--msgbox",
            "<qt>" + escape_html(text) + "</qt>"};
  }
  return {name, "-title", caption, text};
}

std::string escape_html(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': result += "&amp;"; break;
      case '<': result += "&lt;"; break;
      case '>': result += "&gt;"; break;
      case '"': result += "&quot;"; break;
      case '\n': result += "<br>"; break;
      default: result += c;
    }
  }
  return result;
}

void show_desktop_dialog(
    char* const* environment, const std::string& caption, const std::string& text,
    MessageKind kind, const std::function<bool(const std::string&)>& is_executable) {
  DialogPolicy policy = dialog_policy(find_variable(environment, kDialogsVariable));
  bool has_display = has_value(find_variable(environment, "DISPLAY")) ||
                     has_value(find_variable(environment, "WAYLAND_DISPLAY"));
  if (!wants_dialog(policy, policy == DialogPolicy::kAuto &&
                                any_standard_stream_is_terminal(),
                    has_display)) {
    return;
  }
  const char* path = find_variable(environment, "PATH");
  std::string tool = find_dialog_tool(path == nullptr ? "" : path, is_executable);
  if (tool.empty()) return;
  // The same text as on standard error, control characters written out.
  run_and_wait(tool,
               dialog_arguments(tool, escape_control_characters(caption),
                                escape_control_characters(text), kind),
               environment);
}
