#include "bench/core/memory_system.h"

#include <algorithm>
#include <cstring>

#include "messages/catalogue.h"

namespace {

class StringFile : public InputFile {
 public:
  explicit StringFile(const std::string& content) : content_(content) {}

  bool read(char* buffer, size_t size, size_t* count) override {
    *count = std::min(size, content_.size() - position_);
    std::memcpy(buffer, content_.data() + position_, *count);
    position_ += *count;
    return true;
  }

 private:
  const std::string& content_;
  size_t position_ = 0;
};

}  // namespace

bool MemorySystem::get_environment(const std::string& name,
                                   std::string* value) {
  auto found = environment.find(name);
  if (found == environment.end()) return false;
  *value = found->second;
  return true;
}

bool MemorySystem::set_environment(const std::string& name,
                                   const std::string& value) {
  if (value.empty()) {
    environment.erase(name);
  } else {
    environment[name] = value;
  }
  return true;
}

std::unique_ptr<InputFile> MemorySystem::open_file(const std::string& path) {
  auto found = files.find(path);
  if (found == files.end()) return nullptr;
  return std::unique_ptr<InputFile>(new StringFile(found->second));
}

std::string MemorySystem::load_string(int id) {
  return catalogue_text(kEnglishLanguage, id);
}

std::string scaled_ini(long lines) {
  std::string ini = "[Settings]\n";
  long half = lines / 2;
  for (long i = 1; i < half; ++i) {
    std::string n = std::to_string(i);
    switch (i % 5) {
      case 0: ini += "VMArgs=-Dvelmora.option" + n + "=on\n"; break;
      case 1: ini += "; option group " + n + "\n"; break;
      case 2: ini += "ProductName=Velmora Studio\n"; break;
      case 3: ini += "Note" + n + "=a key that changes nothing\n"; break;
      default: ini += "\n"; break;
    }
  }
  ini += "[Environment Variables]\n";
  for (long i = half + 1; i < lines; ++i) {
    std::string n = std::to_string(i);
    switch (i % 5) {
      case 0: ini += "VELMORA_OPTION_" + n + "=<CURRDIR>plugins/option" + n + "\n";
        break;
      case 1: ini += "; variable group " + n + "\n"; break;
      case 2: ini += "=a line without a name\n"; break;
      case 3: ini += "a line without an equals sign\n"; break;
      default: ini += "\n"; break;
    }
  }
  return ini;
}

std::vector<std::string> user_arguments(long count) {
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<size_t>(count));
  for (long i = 0; i < count; ++i) {
    arguments.push_back((i % 10 == 9 ? "w " : "-o") + std::to_string(i));
  }
  return arguments;
}
