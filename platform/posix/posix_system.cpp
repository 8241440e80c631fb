#include "platform/posix/posix_system.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "commandline/quoting.h"
#include "messages/catalogue.h"
#include "messages/messages.h"
#include "platform/posix/desktop_dialog.h"
#include "platform/posix/documents_folder.h"
#include "platform/posix/locale_language.h"
#include "platform/posix/process_environment.h"
#include "platform/posix/trace_output.h"

namespace {

class PosixFile : public InputFile {
 public:
  explicit PosixFile(int descriptor) : descriptor_(descriptor) {}
  ~PosixFile() override { close(descriptor_); }

  bool read(char* buffer, size_t size, size_t* count) override {
    for (;;) {
      ssize_t read_count = ::read(descriptor_, buffer, size);
      if (read_count >= 0) {
        *count = static_cast<size_t>(read_count);
        return true;
      }
      if (errno != EINTR) {
        *count = 0;
        return false;
      }
    }
  }

 private:
  int descriptor_;
};

bool has_nul(const std::string& text) {
  return text.find('\0') != std::string::npos;
}

// Opens |path| if it is a regular file. Non-blocking, so that a FIFO
// swapped in after an earlier check cannot hang us; the check that counts is
// made on the opened file.
std::unique_ptr<InputFile> open_regular_file(const std::string& path) {
  if (has_nul(path)) return nullptr;
  int descriptor =
      open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (descriptor < 0) return nullptr;
  struct stat status;
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(descriptor);
    return nullptr;
  }
  return std::unique_ptr<InputFile>(new PosixFile(descriptor));
}

// The first MiB of a small regular file; empty when it cannot be read.
std::string read_small_file(const std::string& path) {
  std::string content;
  std::unique_ptr<InputFile> file = open_regular_file(path);
  if (!file) return content;
  char buffer[4096];
  size_t count;
  while (content.size() < (1 << 20) &&
         file->read(buffer, sizeof buffer, &count) && count > 0) {
    content.append(buffer, count);
  }
  return content;
}

// The entries of |environment| that choose the locale: setlocale reads
// LC_ALL, the variable of each category, LANG and LOCPATH.
std::vector<std::string> locale_entries(char** environment) {
  std::vector<std::string> entries;
  for (char** entry = environment; entry != nullptr && *entry != nullptr; ++entry) {
    if (strncmp(*entry, "LC_", 3) == 0 || strncmp(*entry, "LANG=", 5) == 0 ||
        strncmp(*entry, "LOCPATH=", 8) == 0) {
      entries.emplace_back(*entry);
    }
  }
  return entries;
}

void write_all(FILE* stream, const std::string& text) {
  fwrite(text.data(), 1, text.size(), stream);
  fflush(stream);
}

}  // namespace

// Loading the user's locale costs more than all the rest of a launch, and
// here only the system's error texts (perror) depend on it. So the variables
// that choose it are kept as they are now, before the INI file can change
// any, and the locale is loaded from them when such a text is due.
void PosixSystem::adopt_user_locale() {
  // Read once, as the launcher was started: the INI file cannot change them.
  dry_run_ = is_dry_run(getenv("VELMORA_LAUNCHER_DRY_RUN"));
  trace_output_ = open_trace_output(getenv("VELMORA_LAUNCHER_TRACE"), dry_run_);
  trace_.attach(trace_output_.get());
  if (trace_.on()) clock_gettime(CLOCK_MONOTONIC, &started_);
  locale_entries_ = locale_entries(environ);
  // A dialog, should one be shown, runs in this environment: the INI file's
  // variables are meant for the target program. The environment table
  // takes a copy of this array and never writes to it.
  start_environment_ = environ;
  locale_adopted_ = true;
  // The messages speak the user's language, whatever the INI file later
  // sets for the target program.
  language_ = user_language();
}

int PosixSystem::user_language() {
  return language_for_locale(message_locale(
      getenv("LC_ALL"), getenv("LC_MESSAGES"), getenv("LANG")));
}

void PosixSystem::load_adopted_locale() {
  if (!locale_adopted_) return;
  locale_adopted_ = false;
  std::vector<char*> entries;
  for (std::string& entry : locale_entries_) entries.push_back(&entry[0]);
  entries.push_back(nullptr);
  // setlocale reads the variables from the environment: for this one call
  // it sees them as they were when the locale was adopted.
  char** current = environ;
  environ = entries.data();
  setlocale(LC_ALL, "");
  environ = current;
}

std::string PosixSystem::current_directory() {
  std::string directory(256, '\0');
  for (;;) {
    if (getcwd(&directory[0], directory.size()) != nullptr) {
      directory.resize(strlen(directory.c_str()));
      return directory;
    }
    if (errno != ERANGE) return std::string();
    directory.resize(directory.size() * 2);
  }
}

bool PosixSystem::is_regular_file(const std::string& path) {
  struct stat status;
  return !has_nul(path) && stat(path.c_str(), &status) == 0 &&
         S_ISREG(status.st_mode);
}

bool PosixSystem::is_executable_file(const std::string& path) {
  return is_regular_file(path) && access(path.c_str(), X_OK) == 0;
}

std::string PosixSystem::executable_path() {
  std::string path(256, '\0');
  for (;;) {
    ssize_t length = readlink("/proc/self/exe", &path[0], path.size());
    if (length < 0) return std::string();
    if (static_cast<size_t>(length) < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

bool PosixSystem::same_file(const std::string& first, const std::string& second) {
  struct stat first_status, second_status;
  return !has_nul(first) && !has_nul(second) &&
         stat(first.c_str(), &first_status) == 0 &&
         stat(second.c_str(), &second_status) == 0 &&
         first_status.st_dev == second_status.st_dev &&
         first_status.st_ino == second_status.st_ino;
}

bool PosixSystem::get_environment(const std::string& name, std::string* value) {
  if (has_nul(name)) return false;
  return find_environment_variable(name, value);
}

bool PosixSystem::set_environment(const std::string& name,
                                  const std::string& value) {
  // A NUL would silently cut the name or value short.
  if (has_nul(name) || has_nul(value)) return false;
  if (value.empty()) return remove_environment_variable(name);
  return set_environment_variable(name, value);
}

bool PosixSystem::has_environment_value(const std::string& name) {
  return !has_nul(name) && environment_variable_has_value(name);
}

bool PosixSystem::append_environment(const std::string& name,
                                     const std::string& suffix) {
  return !has_nul(name) && !has_nul(suffix) &&
         append_environment_variable(name, suffix);
}

std::string PosixSystem::documents_folder() {
  std::string home;
  get_environment("HOME", &home);
  std::string config;
  if (!get_environment("XDG_CONFIG_HOME", &config) || config.empty()) {
    config = home + "/.config";
  }
  return documents_folder_from_user_dirs(
      read_small_file(config + "/user-dirs.dirs"), home);
}

std::unique_ptr<InputFile> PosixSystem::open_file(const std::string& path) {
  return open_regular_file(path);
}

std::string PosixSystem::load_string(int id) {
  if (language_ == 0) language_ = user_language();
  return catalogue_text(language_, id);
}

void PosixSystem::display_message(const std::string& caption,
                                  const std::string& text, MessageKind kind) {
  // A path or value may hold control sequences meant for the terminal.
  std::string block =
      escape_control_characters("[" + caption + "]\n" + text);
  if (block.back() != '\n') block += '\n';
  write_all(stderr, block);
  show_desktop_dialog(
      start_environment_ != nullptr ? start_environment_ : environ, caption, text,
      kind, [this](const std::string& path) { return is_executable_file(path); });
}

void PosixSystem::write_output(const std::string& text) {
  write_all(stdout, text);
}

namespace {

// True when |argv| and the environment fit what the kernel takes: each
// string at most 32 pages, all of them with their pointers within ARG_MAX.
bool fits_the_argument_limit(const std::vector<std::string>& argv) {
  const size_t kMaxString = 32 * 4096;
  long limit = sysconf(_SC_ARG_MAX);
  size_t total = 0;
  for (const std::string& argument : argv) {
    if (argument.size() + 1 > kMaxString) return false;
    total += argument.size() + 1 + sizeof(char*);
  }
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    size_t size = strlen(*entry) + 1;
    if (size > kMaxString) return false;
    total += size + sizeof(char*);
  }
  return limit <= 0 || total <= static_cast<size_t>(limit);
}

}  // namespace

void PosixSystem::report_start_error(int error) {
  load_adopted_locale();
  if (trace_.on()) trace_.line(std::string("start failed: ") + strerror(error));
  errno = error;
  perror("Error when executing execv");
}

bool PosixSystem::check_start(const std::string& path,
                              const std::vector<std::string>& arguments) {
  drop_later_duplicates();
  struct stat status;
  int error = 0;
  if (has_nul(path) || stat(path.c_str(), &status) != 0) {
    error = has_nul(path) ? ENOENT : errno;
  } else if (!S_ISREG(status.st_mode)) {
    error = EACCES;  // what execv says of a directory or a device
  } else if (access(path.c_str(), X_OK) != 0) {
    error = errno;
  } else if (!fits_the_argument_limit(program_argv(path, arguments))) {
    error = E2BIG;
  }
  if (error == 0) return true;
  report_start_error(error);
  return false;
}

void PosixSystem::start_program(const std::string& path,
                                const std::vector<std::string>& arguments) {
  // The target receives what a Windows program would parse from the joined
  // line.
  std::vector<std::string> split = program_argv(path, arguments);
  std::vector<char*> argv;
  argv.reserve(split.size() + 1);
  for (std::string& argument : split) argv.push_back(&argument[0]);
  argv.push_back(nullptr);

  drop_later_duplicates();
  if (trace_.on()) {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    long long micros = (now.tv_sec - started_.tv_sec) * 1000000LL +
                       (now.tv_nsec - started_.tv_nsec) / 1000;
    trace_.line("starting the program after " + std::to_string(micros) + " us");
  }
  fflush(nullptr);
  execv(path.c_str(), argv.data());
  report_start_error(errno);
}
