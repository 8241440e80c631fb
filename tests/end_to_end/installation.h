// End-to-end test support: a throw-away installation of the built launcher
// with the recording target as velmora/velmora, a runner that starts a
// program with an exact argv and environment, and the reader of the
// recording target's record.
#ifndef LAUNCHER_TESTS_END_TO_END_INSTALLATION_H_
#define LAUNCHER_TESTS_END_TO_END_INSTALLATION_H_

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using Strings = std::vector<std::string>;

// The recording target's exit status; the launcher's own are 0 and 1.
constexpr int kTargetExitStatus = 42;

// A temporary directory "<root>/<directory name>" (by default "My Product":
// a blank in every installation path) holding the launcher, the recording target at velmora/velmora and
// an INI file once one is written. The root is removed on destruction
// unless the current test has failed; then it is kept for a look.
class Installation {
 public:
  explicit Installation(const std::string& launcher_name = "launcher",
                        const std::string& directory_name = "My Product");
  ~Installation();
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  const std::string& root() const { return root_; }
  const std::string& directory() const { return directory_; }  // no final "/"
  std::string launcher() const { return directory_ + "/" + launcher_name_; }
  std::string target() const { return directory_ + "/velmora/velmora"; }
  std::string ini_path() const;  // <directory>/<stem>.ini
  std::string record_file() const { return root_ + "/record"; }

  void write_ini(const std::string& text) const;
  void write_file(const std::string& path, const std::string& text) const;

 private:
  std::string root_;
  std::string directory_;
  std::string launcher_name_;
};

// Copies the recording target to |path|, creating its directory.
void copy_recording_target(const std::string& path);

struct Invocation {
  std::string program;                // the file executed
  Strings arguments;                  // argv, argv[0] included
  Strings environment;                // "NAME=value", nothing else
  std::string working_directory;      // empty: the test's own
  int timeout_seconds = 10;
  // Run through the peak memory probe (where the build provides it), so
  // that the peak RSS is the program's own and not partly the test's.
  bool measure_peak_memory = false;
};

struct RunResult {
  int exit_status = -1;    // -1 unless the process exited by itself
  bool timed_out = false;  // killed after the timeout
  std::string standard_output;
  std::string standard_error;
  // The child's peak resident set, what it executed into included; without
  // the probe it also counts the test's own private pages, copied by fork.
  long peak_rss_kib = -1;
  double seconds = 0;  // wall-clock time from fork to exit
};

RunResult run_program(const Invocation& invocation);

// What the recording target wrote down.
struct Record {
  Strings arguments;
  Strings environment;
  Strings descriptors;  // the open file descriptors, as numbers
  // The value of |name|, or nothing when the target did not have it.
  std::optional<std::string> variable(const std::string& name) const;
};

// Reads the record at |path|; nothing when there is none (the target did not
// run) or when it is malformed.
std::optional<Record> read_record(const std::string& path);

// A fresh installation per test and a minimal, fully controlled environment:
// PATH, HOME (a directory that does not exist) and RECORD_FILE, plus what
// the test adds to |environment_|.
class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { reinstall("launcher"); }
  void reinstall(const std::string& launcher_name,
                 const std::string& directory_name = "My Product");

  // Starts the launcher under |argv0| (its absolute path when empty) with
  // |arguments| after it, in |directory| (the test's own when empty).
  RunResult launch(const Strings& arguments, const std::string& argv0 = "",
                   const std::string& directory = "");

  // What the target received; a test failure when it did not run.
  Record started() const;

  // The target's argv when the launcher was started by its absolute path:
  // program, "-ws gtk", |middle|, "-vmargs", |vm_arguments|.
  Strings target_argv(const Strings& middle, const Strings& vm_arguments = {}) const;

  // A run that must end with |status| and |error| without starting the target.
  void expect_no_start(const RunResult& result, int status, const std::string& error) const;

  // The English missing-INI error for this installation.
  std::string missing_ini() const;

  std::unique_ptr<Installation> install_;
  std::map<std::string, std::string> environment_;
  Strings extra_entries_;  // passed after |environment_| as they are, repeats too
  bool measure_peak_memory_ = false;  // passed on to each launch
};

// The same with every launch going through the peak memory probe, for the
// tests of hostile input, which bound time and memory.
class HostileEndToEnd : public EndToEnd {
 protected:
  void SetUp() override {
    EndToEnd::SetUp();
    measure_peak_memory_ = true;
  }
};

// Prints "[ figures  ] <what> <seconds> s, peak RSS <MiB> MiB".
void print_figures(const std::string& what, const RunResult& result);

#endif  // LAUNCHER_TESTS_END_TO_END_INSTALLATION_H_
