#include "tests/end_to_end/installation.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace {

void copy_executable(const std::string& from, const std::string& to) {
  fs::create_directories(fs::path(to).parent_path());
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  fs::permissions(to, fs::status(from).permissions());
}

// A fresh, empty file's name in the temporary directory.
std::string temporary_file_name(const std::string& prefix) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp") +
                        "/" + prefix + "-XXXXXX";
  int descriptor = mkstemp(&pattern[0]);
  if (descriptor < 0) throw std::runtime_error("mkstemp failed for " + pattern);
  close(descriptor);
  return pattern;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (std::string& text : texts) result.push_back(&text[0]);
  result.push_back(nullptr);
  return result;
}

}  // namespace

Installation::Installation(const std::string& launcher_name,
                           const std::string& directory_name)
    : launcher_name_(launcher_name) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern =
      std::string(tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp") +
      "/launcher-e2e-XXXXXX";
  if (mkdtemp(&pattern[0]) == nullptr) {
    throw std::runtime_error("mkdtemp failed for " + pattern);
  }
  // The launcher sees the directory through getcwd, so no symbolic links.
  root_ = fs::canonical(pattern).string();
  directory_ = root_ + "/" + directory_name;
  copy_executable(LAUNCHER_BINARY, launcher());
  copy_recording_target(target());
}

Installation::~Installation() {
  if (::testing::Test::HasFailure()) {
    std::cerr << "Installation kept for a look: " << root_ << "\n";
    return;
  }
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

std::string Installation::ini_path() const {
  std::string stem = launcher_name_;
  size_t dot = stem.rfind('.');
  if (dot != std::string::npos && dot + 1 < stem.size()) stem.resize(dot);
  return directory_ + "/" + stem + ".ini";
}

void Installation::write_ini(const std::string& text) const {
  write_file(ini_path(), text);
}

void Installation::write_file(const std::string& path,
                              const std::string& text) const {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

void copy_recording_target(const std::string& path) {
  copy_executable(RECORDING_TARGET_BINARY, path);
}

RunResult run_program(const Invocation& invocation) {
  RunResult result;
  // Output goes to unlinked temporary files: no pipe to fill up and block.
  FILE* out = std::tmpfile();
  FILE* err = std::tmpfile();
  if (out == nullptr || err == nullptr) throw std::runtime_error("tmpfile");

  // Everything the child needs is prepared before fork.
  std::string program = invocation.program;
  std::vector<std::string> arguments = invocation.arguments;
  std::string report;
#ifdef PEAK_MEMORY_PROBE_BINARY
  if (invocation.measure_peak_memory) {
    report = temporary_file_name("launcher-rss");
    arguments.insert(arguments.begin(), {PEAK_MEMORY_PROBE_BINARY, report, program});
    program = PEAK_MEMORY_PROBE_BINARY;
  }
#endif
  std::vector<std::string> environment = invocation.environment;
  std::vector<char*> argv = pointers(arguments);
  std::vector<char*> envp = pointers(environment);
  const char* directory = invocation.working_directory.empty()
                              ? nullptr
                              : invocation.working_directory.c_str();

  const auto start = std::chrono::steady_clock::now();
  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    int in = open("/dev/null", O_RDONLY);
    if (in < 0 || dup2(in, 0) < 0 || dup2(fileno(out), 1) < 0 ||
        dup2(fileno(err), 2) < 0 || (directory != nullptr && chdir(directory) != 0)) {
      _exit(126);
    }
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }

  const auto deadline = start + std::chrono::seconds(invocation.timeout_seconds);
  int status = 0;
  struct rusage usage {};
  while (wait4(child, &status, WNOHANG, &usage) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      wait4(child, &status, 0, &usage);
      result.timed_out = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  result.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.peak_rss_kib = usage.ru_maxrss;  // Linux: kibibytes, kept across exec
  if (!report.empty()) {
    std::ifstream in(report);
    if (!(in >> result.peak_rss_kib)) result.peak_rss_kib = -1;
    std::remove(report.c_str());
  }
  if (!result.timed_out && WIFEXITED(status)) {
    result.exit_status = WEXITSTATUS(status);
  }

  for (auto [stream, text] : {std::pair{out, &result.standard_output},
                              std::pair{err, &result.standard_error}}) {
    std::rewind(stream);
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, stream)) > 0) {
      text->append(buffer, count);
    }
    std::fclose(stream);
  }
  return result;
}

std::optional<std::string> Record::variable(const std::string& name) const {
  for (const std::string& entry : environment) {
    if (entry.compare(0, name.size() + 1, name + "=") == 0) {
      return entry.substr(name.size() + 1);
    }
  }
  return std::nullopt;
}

std::optional<Record> read_record(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string kind;
  size_t count = 0;
  if (!(in >> kind >> count) || kind != "argc" || in.get() != '\n') {
    return std::nullopt;  // no record: the target did not run
  }
  Record record;
  size_t length = 0;
  while (in >> kind >> length) {
    std::string text(length, '\0');
    if (in.get() != '\n' || !in.read(&text[0], length) || in.get() != '\n') {
      return std::nullopt;
    }
    if (kind == "arg") {
      record.arguments.push_back(text);
    } else if (kind == "env") {
      record.environment.push_back(text);
    } else if (kind == "fd") {
      record.descriptors.push_back(text);
    } else {
      return std::nullopt;
    }
  }
  if (!in.eof() || record.arguments.size() != count) return std::nullopt;
  return record;
}

void EndToEnd::reinstall(const std::string& launcher_name,
                         const std::string& directory_name) {
  install_ = std::make_unique<Installation>(launcher_name, directory_name);
  environment_ = {{"PATH", "/usr/bin:/bin"},
                  {"HOME", install_->root() + "/home"},
                  {"RECORD_FILE", install_->record_file()}};
}

RunResult EndToEnd::launch(const Strings& arguments, const std::string& argv0,
                           const std::string& directory) {
  std::remove(install_->record_file().c_str());
  Invocation invocation;
  invocation.program = install_->launcher();
  invocation.arguments = {argv0.empty() ? install_->launcher() : argv0};
  invocation.arguments.insert(invocation.arguments.end(), arguments.begin(), arguments.end());
  for (const auto& [name, value] : environment_) {
    invocation.environment.push_back(name + "=" + value);
  }
  invocation.environment.insert(invocation.environment.end(), extra_entries_.begin(),
                                extra_entries_.end());
  invocation.working_directory = directory;
  invocation.measure_peak_memory = measure_peak_memory_;
  RunResult result = run_program(invocation);
  EXPECT_FALSE(result.timed_out) << "the launcher hung and was killed";
  return result;
}

Record EndToEnd::started() const {
  std::optional<Record> record = read_record(install_->record_file());
  if (!record) ADD_FAILURE() << "the target did not run";
  return record.value_or(Record{});
}

Strings EndToEnd::target_argv(const Strings& middle, const Strings& vm_arguments) const {
  Strings argv = {install_->directory() + "/./velmora/velmora", "-ws", "gtk"};
  argv.insert(argv.end(), middle.begin(), middle.end());
  argv.push_back("-vmargs");
  argv.insert(argv.end(), vm_arguments.begin(), vm_arguments.end());
  return argv;
}

void EndToEnd::expect_no_start(const RunResult& result, int status,
                               const std::string& error) const {
  EXPECT_EQ(result.exit_status, status);
  EXPECT_EQ(result.standard_error, error);
  EXPECT_EQ(result.standard_output, "");
  EXPECT_FALSE(read_record(install_->record_file())) << "the target was started";
}

std::string EndToEnd::missing_ini() const {
  return "[Error]\nCannot open INI file: " + install_->ini_path() + "\n";
}

void print_figures(const std::string& what, const RunResult& result) {
  std::printf("[ figures  ] %-40s %7.3f s, peak RSS %6.1f MiB\n", what.c_str(),
              result.seconds, result.peak_rss_kib / 1024.0);
}
