#include "platform/posix/documents_folder.h"

namespace {

// The shell word of an assignment: "...", '...' or bare, with the escapes
// that xdg-user-dirs-update writes ("\"", "\\", "\$", "\`").
std::string unquote(const std::string& word) {
  if (word.size() >= 2 && word.front() == '\'' && word.back() == '\'') {
    return word.substr(1, word.size() - 2);
  }
  std::string text = word;
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) ++i;
    result += text[i];
  }
  return result;
}

}  // namespace

std::string documents_folder_from_user_dirs(const std::string& content,
                                            const std::string& home) {
  const std::string key = "XDG_DOCUMENTS_DIR=";
  std::string folder;
  bool found = false;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    start = end + 1;

    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line.compare(first, key.size(), key) != 0) {
      continue;
    }
    std::string value = line.substr(first + key.size());
    size_t last = value.find_last_not_of(" \t\r");
    value = unquote(value.substr(0, last == std::string::npos ? 0 : last + 1));
    if (value.compare(0, 5, "$HOME") == 0) {
      value = home + value.substr(5);
    } else if (value.compare(0, 7, "${HOME}") == 0) {
      value = home + value.substr(7);
    }
    folder = value;
    found = !value.empty();
  }
  if (!found) folder = home;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}
