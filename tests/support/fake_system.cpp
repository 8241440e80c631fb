#include "tests/support/fake_system.h"

#include <algorithm>
#include <cstring>

#include "messages/catalogue.h"

namespace {

class StringFile : public InputFile {
 public:
  StringFile(const std::string& content, size_t chunk)
      : content_(content), chunk_(chunk) {}

  size_t read(char* buffer, size_t size) override {
    size_t count = std::min({size, chunk_, content_.size() - position_});
    std::memcpy(buffer, content_.data() + position_, count);
    position_ += count;
    return count;
  }

 private:
  std::string content_;
  size_t chunk_;
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

std::unique_ptr<InputFile> FakeSystem::open_file(const std::string& path) {
  opened_files.push_back(path);
  auto found = files.find(path);
  if (found == files.end()) return nullptr;
  return std::unique_ptr<InputFile>(new StringFile(found->second, read_chunk_size));
}

std::string FakeSystem::load_string(int id) {
  return catalogue_text(language, id);
}

void FakeSystem::display_message(const std::string& caption,
                                 const std::string& text) {
  messages.push_back({caption, text});
  events.push_back("message");
}

void FakeSystem::start_program(const std::string& path,
                               const std::vector<std::string>& arguments) {
  started = true;
  started_path = path;
  started_arguments = arguments;
  events.push_back("start");
}
