#include "tests/support/fake_system.h"

#include <algorithm>
#include <cstring>

#include "messages/catalogue.h"

namespace {

class StringFile : public InputFile {
 public:
  StringFile(const std::string& content, size_t chunk, size_t error_at)
      : content_(content), chunk_(chunk), error_at_(error_at) {}

  bool read(char* buffer, size_t size, size_t* count) override {
    *count = std::min({size, chunk_, content_.size() - position_});
    if (error_at_ < position_ + std::max<size_t>(*count, 1)) {
      *count = 0;
      return false;
    }
    std::memcpy(buffer, content_.data() + position_, *count);
    position_ += *count;
    return true;
  }

 private:
  std::string content_;
  size_t chunk_;
  size_t error_at_;
  size_t position_ = 0;
};

}  // namespace

void FakeSystem::adopt_user_locale() {
  locale_adopted = true;
  events.push_back("locale");
}

bool FakeSystem::is_regular_file(const std::string& path) {
  file_tests.push_back(path);
  return files.count(path) > 0;
}

bool FakeSystem::is_executable_file(const std::string& path) {
  return is_regular_file(path) && not_executable.count(path) == 0;
}

bool FakeSystem::same_file(const std::string& first, const std::string& second) {
  auto identity = [this](const std::string& path) {
    auto alias = same_file_as.find(path);
    return alias == same_file_as.end() ? path : alias->second;
  };
  return files.count(first) > 0 && files.count(second) > 0 &&
         identity(first) == identity(second);
}

bool FakeSystem::get_environment(const std::string& name, std::string* value) {
  auto found = environment.find(name);
  if (found == environment.end()) return false;
  *value = found->second;
  return true;
}

bool FakeSystem::set_environment(const std::string& name,
                                 const std::string& value) {
  if (refused_names.count(name) > 0) return false;
  if (value.empty()) {
    environment.erase(name);
  } else {
    environment[name] = value;
  }
  return true;
}

std::string FakeSystem::documents_folder() {
  ++documents_queries;
  return documents;
}

std::string FakeSystem::decode_legacy_text(const std::string& bytes) {
  if (!legacy_latin1) return bytes;
  std::string text;
  for (char c : bytes) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | byte >> 6);
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

std::unique_ptr<InputFile> FakeSystem::open_file(const std::string& path) {
  opened_files.push_back(path);
  auto found = files.find(path);
  if (found == files.end()) return nullptr;
  return std::unique_ptr<InputFile>(new StringFile(found->second, read_chunk_size, read_error_at));
}

std::string FakeSystem::load_string(int id) {
  return catalogue_text(language, id);
}

void FakeSystem::display_message(const std::string& caption,
                                 const std::string& text, MessageKind kind) {
  messages.push_back({caption, text, kind});
  events.push_back("message");
}

void FakeSystem::start_program(const std::string& path,
                               const std::vector<std::string>& arguments) {
  started = true;
  started_path = path;
  started_arguments = arguments;
  events.push_back("start");
}

void FakeSystem::trace_on() {
  collector_.reset(new LineCollector(trace_lines));
  trace_.attach(collector_.get());
}

bool FakeSystem::check_start(const std::string& path,
                             const std::vector<std::string>& arguments) {
  (void)path;
  started_arguments = arguments;
  return start_would_work;
}
