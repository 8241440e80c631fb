// A System kept in memory for the benchmarks: files and environment in hash
// tables, nothing recorded, so that a benchmark times the core alone.
#ifndef LAUNCHER_BENCH_CORE_MEMORY_SYSTEM_H_
#define LAUNCHER_BENCH_CORE_MEMORY_SYSTEM_H_

#include <string>
#include <unordered_map>
#include <vector>

#include "launcher/system.h"

class MemorySystem : public System {
 public:
  std::unordered_map<std::string, std::string> files;
  std::unordered_map<std::string, std::string> environment;
  std::string cwd = "/opt";
  std::string documents = "/home/ann/Documents";
  size_t started_arguments = 0;  // how many the last start_program received

  void adopt_user_locale() override {}
  std::string current_directory() override { return cwd; }
  bool is_regular_file(const std::string& path) override {
    return files.count(path) > 0;
  }
  std::string executable_path() override { return std::string(); }
  bool same_file(const std::string& first, const std::string& second) override {
    return first == second && files.count(first) > 0;
  }
  bool get_environment(const std::string& name, std::string* value) override;
  bool set_environment(const std::string& name,
                       const std::string& value) override;
  // In place, as the POSIX launcher extends a variable.
  bool has_environment_value(const std::string& name) override {
    auto found = environment.find(name);
    return found != environment.end() && !found->second.empty();
  }
  bool append_environment(const std::string& name,
                          const std::string& suffix) override {
    environment[name] += suffix;
    return true;
  }
  std::string documents_folder() override { return documents; }
  std::unique_ptr<InputFile> open_file(const std::string& path) override;
  std::string load_string(int id) override;
  void display_message(const std::string&, const std::string&,
                       MessageKind) override {}
  void write_output(const std::string&) override {}
  void start_program(const std::string&,
                     const std::vector<std::string>& arguments) override {
    started_arguments = arguments.size();
  }
};

// An INI of |lines| lines, the mix of the process benchmark's scaled INI: a
// "[Settings]" half and an "[Environment Variables]" half in which every
// fifth line is a VMArgs line or an entry for a variable of its own.
std::string scaled_ini(long lines);

// |count| user arguments: short options, every tenth one holding a blank.
std::vector<std::string> user_arguments(long count);

#endif  // LAUNCHER_BENCH_CORE_MEMORY_SYSTEM_H_
