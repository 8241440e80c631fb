// The launcher's operating-system interface on POSIX.
#ifndef LAUNCHER_PLATFORM_POSIX_POSIX_SYSTEM_H_
#define LAUNCHER_PLATFORM_POSIX_POSIX_SYSTEM_H_

#include <time.h>

#include <memory>
#include <string>
#include <vector>

#include "launcher/system.h"

class PosixSystem : public System {
 public:
  void adopt_user_locale() override;
  std::string current_directory() override;
  bool is_regular_file(const std::string& path) override;
  bool is_executable_file(const std::string& path) override;
  std::string executable_path() override;
  bool same_file(const std::string& first, const std::string& second) override;
  bool get_environment(const std::string& name, std::string* value) override;
  bool set_environment(const std::string& name, const std::string& value) override;
  bool has_environment_value(const std::string& name) override;
  bool append_environment(const std::string& name,
                          const std::string& suffix) override;
  std::string documents_folder() override;
  std::unique_ptr<InputFile> open_file(const std::string& path) override;
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
  // Reports why a start fails (or would fail) on standard error and in
  // the trace.
  void report_start_error(int error);
  // Loads the locale that adopt_user_locale kept, once.
  void load_adopted_locale();
  // The messages' language from the environment as it is now.
  static int user_language();

  int language_ = 0;  // chosen with the locale, or at the first message
  bool locale_adopted_ = false;
  std::vector<std::string> locale_entries_;  // "LC_ALL=...", "LANG=...", ...
  // The environment as the launcher received it; null until the locale is
  // adopted. Neither the array nor its strings are ever changed or freed.
  char** start_environment_ = nullptr;
  std::unique_ptr<TraceWriter> trace_output_;  // null while the trace is off
  bool dry_run_ = false;
  timespec started_{};  // when the run began, for the trace
};

#endif  // LAUNCHER_PLATFORM_POSIX_POSIX_SYSTEM_H_
