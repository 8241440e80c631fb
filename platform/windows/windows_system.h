// The launcher's operating-system interface on Windows.
#ifndef LAUNCHER_PLATFORM_WINDOWS_WINDOWS_SYSTEM_H_
#define LAUNCHER_PLATFORM_WINDOWS_WINDOWS_SYSTEM_H_

#include <memory>
#include <string>
#include <vector>

#include "launcher/system.h"
#include "platform/windows/environment_block.h"

class WindowsSystem : public System {
 public:
  void adopt_user_locale() override;
  std::string current_directory() override;
  bool is_regular_file(const std::string& path) override;
  std::string executable_path() override;
  bool same_file(const std::string& first, const std::string& second) override;
  bool get_environment(const std::string& name, std::string* value) override;
  bool set_environment(const std::string& name, const std::string& value) override;
  bool append_environment(const std::string& name, const std::string& suffix) override;
  std::string documents_folder() override;
  std::unique_ptr<InputFile> open_file(const std::string& path) override;
  std::string decode_legacy_text(const std::string& bytes) override;
  std::string load_string(int id) override;
  void display_message(const std::string& caption, const std::string& text,
                       MessageKind kind) override;
  void write_output(const std::string& text) override;
  bool dry_run() override { return dry_run_; }
  bool check_start(const std::string& path,
                   const std::vector<std::string>& arguments) override;
  void start_program(const std::string& path,
                     const std::vector<std::string>& arguments) override;

 private:
  void report_start_failure(const std::string& reason);
  bool fits(const std::wstring& command_line);

  std::unique_ptr<TraceWriter> trace_output_;  // null while the trace is off
  bool dry_run_ = false;
  // What the program will get: the inherited environment with the INI
  // file's changes, which this launcher's own reads see as well.
  EnvironmentBlock environment_;
};

#endif  // LAUNCHER_PLATFORM_WINDOWS_WINDOWS_SYSTEM_H_
