#include "commandline/quoting.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string wrap_in_quotes(const std::string& text) {
  std::string result;
  result.reserve(text.size() + 2);
  result += '"';
  size_t backslashes = 0;
  for (char c : text) {
    if (c == '\\') {
      ++backslashes;
    } else {
      if (c == '"') result.append(backslashes + 1, '\\');
      backslashes = 0;
    }
    result += c;
  }
  // Backslashes before the closing quote would escape it.
  result.append(backslashes, '\\');
  result += '"';
  return result;
}

std::string quote_argument(const std::string& text) {
  if (!text.empty() && text.find_first_of(" \t\n\v\"") == std::string::npos) {
    return text;
  }
  return wrap_in_quotes(text);
}

std::string join_command_line(const std::vector<std::string>& elements) {
  size_t size = 0;
  for (const std::string& element : elements) size += element.size() + 1;
  std::string line;
  line.reserve(size);
  for (size_t i = 0; i < elements.size(); ++i) {
    if (i > 0) line += ' ';
    line += elements[i];
  }
  return line;
}

namespace {

// Appends the arguments of |line| from |i| on to |arguments|.
void split_arguments_from(const std::string& line, size_t i,
                          std::vector<std::string>& arguments) {
  const size_t n = line.size();
  for (;;) {
    while (i < n && is_blank(line[i])) ++i;
    if (i >= n) break;

    std::string argument;
    bool quoted = false;
    while (i < n && (quoted || !is_blank(line[i]))) {
      if (line[i] == '\\') {
        size_t backslashes = 0;
        while (i < n && line[i] == '\\') {
          ++backslashes;
          ++i;
        }
        if (i < n && line[i] == '"') {
          argument.append(backslashes / 2, '\\');
          if (backslashes % 2 == 1) {
            argument += '"';
            ++i;
          }
          // An even count leaves the quote to delimit, below.
        } else {
          argument.append(backslashes, '\\');
        }
        continue;
      }
      if (line[i] == '"') {
        if (quoted && i + 1 < n && line[i + 1] == '"') {
          argument += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
        continue;
      }
      argument += line[i];
      ++i;
    }
    arguments.push_back(argument);
  }
}

}  // namespace

std::vector<std::string> split_command_line(const std::string& line) {
  // The program name: quotes toggle, nothing is escaped.
  std::string program;
  bool quoted = false;
  size_t i = 0;
  for (; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && is_blank(c)) {
      break;
    } else {
      program += c;
    }
  }
  std::vector<std::string> arguments{program};
  split_arguments_from(line, i, arguments);
  return arguments;
}

std::vector<std::string> split_arguments(const std::string& line) {
  std::vector<std::string> arguments;
  split_arguments_from(line, 0, arguments);
  return arguments;
}

std::vector<std::string> program_argv(const std::string& path,
                                      const std::vector<std::string>& elements) {
  std::vector<std::string> argv{path};
  split_arguments_from(join_command_line(elements),
                       elements.empty() ? 0 : elements[0].size(), argv);
  return argv;
}
