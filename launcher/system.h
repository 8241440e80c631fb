// The one door from the launcher's core to the operating system. Windows and
// POSIX each implement it under platform/; tests use a fake.
#ifndef LAUNCHER_LAUNCHER_SYSTEM_H_
#define LAUNCHER_LAUNCHER_SYSTEM_H_

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "launcher/trace.h"

enum class MessageKind;  // messages/messages.h

// A file opened for reading, consumed in chunks of bytes.
class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to |size| bytes into |buffer| and stores their count in
  // |count|, 0 at the end of the file. False on a read error, which is not
  // the end of the file: what follows it was never seen.
  virtual bool read(char* buffer, size_t size, size_t* count) = 0;
};

class System {
 public:
  virtual ~System() = default;

  // Adopts the user's locale for the runtime library (all categories).
  virtual void adopt_user_locale() = 0;

  // The current working directory, or empty when it cannot be had.
  virtual std::string current_directory() = 0;

  // True when |path| names an existing regular file (not a directory,
  // FIFO or device).
  virtual bool is_regular_file(const std::string& path) = 0;

  // True when |path| names a regular file that may be run as a program;
  // the PATH search takes only such files, as a shell does.
  virtual bool is_executable_file(const std::string& path) {
    return is_regular_file(path);
  }

  // The operating system's own record of the running executable's path,
  // or empty where it keeps none.
  virtual std::string executable_path() = 0;

  // True when |first| and |second| name one and the same existing file.
  virtual bool same_file(const std::string& first,
                         const std::string& second) = 0;

  // Reads a variable; false when it is not set.
  virtual bool get_environment(const std::string& name, std::string* value) = 0;

  // Sets a variable for this process and the programs it starts; an empty
  // value removes it. False when the platform refuses the assignment.
  virtual bool set_environment(const std::string& name,
                               const std::string& value) = 0;

  // True when the variable is set to a value that is not empty.
  virtual bool has_environment_value(const std::string& name) {
    std::string value;
    return get_environment(name, &value) && !value.empty();
  }

  // Appends |suffix| to the value of the variable |name|, which is set.
  // False when the platform refuses. This default copies the value out and
  // back; a platform that can extend it in place does so, so that many
  // entries extending one variable cost linear time.
  virtual bool append_environment(const std::string& name,
                                  const std::string& suffix) {
    std::string value;
    get_environment(name, &value);
    return set_environment(name, value + suffix);
  }

  // The user's personal documents folder, without a trailing separator.
  virtual std::string documents_folder() = 0;

  // Opens a regular file for reading; null when it cannot be opened or is
  // not a regular file.
  virtual std::unique_ptr<InputFile> open_file(const std::string& path) = 0;

  // |bytes|, a line that is not UTF-8, read as text in the system's legacy
  // code page and given in UTF-8. Where there is no such code page the bytes
  // stay as they are.
  virtual std::string decode_legacy_text(const std::string& bytes) {
    return bytes;
  }

  // The catalogue text of |id| in the user's language, in full.
  virtual std::string load_string(int id) = 0;

  // Shows |text| under |caption| and returns once the user has seen it;
  // |kind| tells an error from information, for a platform that shows them
  // differently.
  virtual void display_message(const std::string& caption,
                               const std::string& text, MessageKind kind) = 0;

  // Writes |text| to standard output at once.
  virtual void write_output(const std::string& text) = 0;

  // The trace the stages report to; off unless the platform turned it on.
  Trace& trace() { return trace_; }

  // True for a dry run: everything as usual up to the start of the
  // program, which is only checked (check_start), never made.
  virtual bool dry_run() { return false; }

  // Checks what starting the program at |path| with |arguments| would
  // check, without starting it. False, after the line a failed start
  // writes, when the start would fail.
  virtual bool check_start(const std::string& path,
                           const std::vector<std::string>& arguments) {
    (void)arguments;
    return is_regular_file(path);
  }

  // Replaces this process with the program at |path|, giving it |arguments|
  // joined by single blanks as its command line. Returns only on failure,
  // after the system's description of the error has gone to standard error.
  virtual void start_program(const std::string& path,
                             const std::vector<std::string>& arguments) = 0;

 protected:
  Trace trace_;
};

#endif  // LAUNCHER_LAUNCHER_SYSTEM_H_
