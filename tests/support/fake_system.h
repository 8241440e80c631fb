// An in-memory System for the core's tests: files, environment and messages
// live in plain containers, and every call the core makes is recorded.
#ifndef LAUNCHER_TESTS_SUPPORT_FAKE_SYSTEM_H_
#define LAUNCHER_TESTS_SUPPORT_FAKE_SYSTEM_H_

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "launcher/system.h"
#include "messages/messages.h"

struct ShownMessage {
  std::string caption;
  std::string text;
  MessageKind kind;
};

class FakeSystem : public System {
 public:
  // --- What the fake system holds; tests set these up directly. ---
  std::string cwd;
  std::map<std::string, std::string> files;  // regular files and contents
  std::set<std::string> directories;         // exist, but are not files
  std::map<std::string, std::string> environment;
  std::set<std::string> refused_names;       // set_environment fails for these
  std::string documents = "C:\\Users\\ann\\Documents";
  int language = 1033;
  size_t read_chunk_size = 4096;             // bytes per InputFile::read
  size_t read_error_at = std::string::npos;  // a read reaching it fails
  std::set<std::string> not_executable;      // files that cannot be run
  std::string executable;                    // the system's record of us
  // Lines that are not UTF-8 are read as Latin-1 when set, else kept.
  bool legacy_latin1 = false;
  // Paths that name the file of another path (links, other spellings);
  // any other path names only itself.
  std::map<std::string, std::string> same_file_as;

  bool dry = false;                          // a dry run was asked for
  bool start_would_work = true;              // what check_start finds

  // --- What the core did. ---
  std::vector<std::string> trace_lines;      // once trace_on() was called
  bool locale_adopted = false;
  int documents_queries = 0;
  std::vector<std::string> opened_files;
  std::vector<std::string> file_tests;       // every is_regular_file path
  std::vector<ShownMessage> messages;
  std::string output;
  bool started = false;
  std::string started_path;
  std::vector<std::string> started_arguments;
  std::vector<std::string> events;           // "locale", "message", "start"

  void add_file(const std::string& path, const std::string& content = "") {
    files[path] = content;
  }

  // Turns the trace on, into trace_lines.
  void trace_on();
  bool dry_run() override { return dry; }
  bool check_start(const std::string& path,
                   const std::vector<std::string>& arguments) override;

  void adopt_user_locale() override;
  std::string current_directory() override { return cwd; }
  bool is_regular_file(const std::string& path) override;
  bool is_executable_file(const std::string& path) override;
  std::string executable_path() override { return executable; }
  bool same_file(const std::string& first, const std::string& second) override;
  bool get_environment(const std::string& name, std::string* value) override;
  bool set_environment(const std::string& name, const std::string& value) override;
  std::string documents_folder() override;
  std::string decode_legacy_text(const std::string& bytes) override;
  std::unique_ptr<InputFile> open_file(const std::string& path) override;
  std::string load_string(int id) override;
  void display_message(const std::string& caption, const std::string& text,
                       MessageKind kind) override;
  void write_output(const std::string& text) override { output += text; }
  void start_program(const std::string& path,
                     const std::vector<std::string>& arguments) override;

 private:
  class LineCollector : public TraceWriter {
   public:
    explicit LineCollector(std::vector<std::string>& lines) : lines_(lines) {}
    void write_line(const std::string& line) override { lines_.push_back(line); }

   private:
    std::vector<std::string>& lines_;
  };
  std::unique_ptr<LineCollector> collector_;
};

#endif  // LAUNCHER_TESTS_SUPPORT_FAKE_SYSTEM_H_
