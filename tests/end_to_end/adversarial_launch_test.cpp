// Hostile command lines and surroundings on the built launcher: bytes that
// are not text, no argument vector at all, 100,000 arguments, a PATH of
// 10,000 entries, and targets that cannot be started. Each must end in a
// defined way, the target started with exactly what was asked or a clear
// message and a status, in bounded time and memory (the probe measures the
// peak resident set, see adversarial_test.cpp).
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "tests/end_to_end/installation.h"

namespace {

namespace fs = std::filesystem;

constexpr long kMiB = 1024;  // in the KiB of ru_maxrss
const std::string kExecvFailed = "Error when executing execv: ";
const std::string kFailedLoading = "[Error]\nError: Failed Loading Velmora.\n";

using end_to_end_hostile_arguments = HostileEndToEnd;
using end_to_end_hostile_path = HostileEndToEnd;
using end_to_end_hostile_target = HostileEndToEnd;

}  // namespace

TEST_F(end_to_end_hostile_arguments, InvalidUtf8AndControlBytesArriveUnchanged) {
  install_->write_ini("[Settings]\n");
  const Strings odd = {"\xFF\xFE", "\xC3\x28", "\x80", "caf\xC3\xA9 \xE2\x82", "\x01\x1B[31m",
                       "\"\xFF\\\"", "\r", "\t\n\v", "\x7F\\"};
  for (const char* locale : {"C", "C.UTF-8", "de_DE.UTF-8"}) {
    SCOPED_TRACE(locale);
    environment_["LC_ALL"] = locale;
    Strings arguments = odd;
    arguments.insert(arguments.end(), {"-data", "\xFF ws\\", "-customizationini", "\xFE.ini"});
    RunResult result = launch(arguments);
    EXPECT_EQ(result.exit_status, kTargetExitStatus);
    EXPECT_EQ(result.standard_error + result.standard_output, "");
    Strings middle = {"-plugincustomization", "\xFE.ini"};
    middle.insert(middle.end(), odd.begin(), odd.end());
    middle.insert(middle.end(), {"-data", "\xFF ws\\"});
    EXPECT_EQ(started().arguments, target_argv(middle));
  }
}

TEST_F(end_to_end_hostile_arguments, NoArgumentVectorAtAll) {
  // Started with argc 0 (newer kernels turn that into one empty argv[0]):
  // no name to find itself by, so the system tells where it runs from.
  install_->write_ini("[Settings]\n");
  Invocation invocation;
  invocation.program = install_->launcher();
  invocation.environment = {"PATH=" + install_->directory(),
                            "RECORD_FILE=" + install_->record_file()};
  invocation.working_directory = install_->directory();
  RunResult result = run_program(invocation);
  EXPECT_EQ(result.exit_status, kTargetExitStatus);
  EXPECT_EQ(result.standard_error, "");
  EXPECT_EQ(started().arguments, target_argv({}));
}

TEST_F(end_to_end_hostile_arguments, HundredThousandArgumentsAllArrive) {
  // The kernel allows argv + environment a quarter of the stack limit; the
  // arguments below need about 1.5 MB (strings and pointers), so make sure
  // the limit is at least the usual 8 MiB.
  struct rlimit stack;
  ASSERT_EQ(getrlimit(RLIMIT_STACK, &stack), 0);
  const rlim_t wanted = 16u << 20;
  if (stack.rlim_cur != RLIM_INFINITY && stack.rlim_cur < wanted) {
    stack.rlim_cur = stack.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, stack.rlim_max);
    ASSERT_EQ(setrlimit(RLIMIT_STACK, &stack), 0);
  }
  ASSERT_GE(stack.rlim_cur, 8u << 20) << "the stack limit is too small for this test";

  install_->write_ini("[Settings]\nVMArgs=-Xmx1g\n");
  Strings arguments;
  arguments.reserve(100000);
  for (int i = 0; i < 100000; ++i) {
    const std::string n = std::to_string(i);
    switch (i % 5) {
      case 0: arguments.push_back(n); break;
      case 1: arguments.push_back("a " + n); break;     // quoted on the way
      case 2: arguments.push_back("\"" + n); break;     // an escaped quote
      case 3: arguments.push_back(n + "\\"); break;     // a trailing backslash
      default: arguments.push_back(i % 1000 == 4 ? "" : "-x"); break;
    }
  }
  RunResult result = launch(arguments);
  print_figures("100,000 arguments", result);
  EXPECT_EQ(result.exit_status, kTargetExitStatus);
  EXPECT_EQ(result.standard_error, "");
  Record target = started();
  EXPECT_EQ(target.arguments.size(), arguments.size() + 5);
  EXPECT_TRUE(target.arguments == target_argv(arguments, {"-Xmx1g"}))
      << "the arguments did not arrive unchanged and in order";
  EXPECT_LT(result.seconds, 10.0);
  EXPECT_LT(result.peak_rss_kib, 100 * kMiB);  // about 1 MB of text, a few copies
}

TEST_F(end_to_end_hostile_path, TenThousandEntriesWithEmptyAndRelativeOnes) {
  install_->write_ini("[Settings]\n");
  std::string junk;
  for (int k = 0; k < 10000; ++k) {
    const char* forms[] = {"", "rel/dir", "./no", "../x", "/no/such/"};
    junk += forms[k % 5];
    if (k % 5 == 4) junk += std::to_string(k);
    junk += ":";
  }
  const std::string dir = install_->directory();
  struct {
    std::string name, path, cwd, target;
  } cases[] = {
      // Not on PATH at all: found in the current directory, searched last.
      {"found last in the current directory", junk, dir, dir + "/././velmora/velmora"},
      {"found in the last entry", junk + dir, install_->root(), dir + "/./velmora/velmora"},
      // A relative entry is taken relative to the current directory.
      {"found in a relative entry", junk + "My Product:" + dir, install_->root(),
       "My Product/./velmora/velmora"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    environment_["PATH"] = c.path;
    RunResult result = launch({"-clean"}, "launcher", c.cwd);
    print_figures("PATH of 10,000 entries, " + c.name, result);
    EXPECT_EQ(result.exit_status, kTargetExitStatus);
    EXPECT_EQ(result.standard_error, "");
    Record target = started();
    EXPECT_EQ(target.arguments, (Strings{c.target, "-ws", "gtk", "-clean", "-vmargs"}));
    EXPECT_EQ(target.variable("PATH"), c.path);
    EXPECT_LT(result.seconds, 5.0);
  }
}

TEST_F(end_to_end_hostile_target, UnstartableTargetIsReported) {
  install_->write_ini("[Settings]\n");
  const std::string target = install_->target();
  struct {
    std::string name, reason;
    std::function<void()> make;
  } cases[] = {
      {"directory", "Permission denied", [&] { fs::create_directory(target); }},
      {"not executable", "Permission denied",
       [&] {
         copy_recording_target(target);
         fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
       }},
      {"executable garbage", "Exec format error",
       [&] {
         install_->write_file(target, "\x7F" "ELF? no, just bytes\n");
         fs::permissions(target, fs::perms::owner_all);
       }},
      {"script with a missing interpreter", "No such file or directory",
       [&] {
         install_->write_file(target, "#!/no/such/interpreter\n");
         fs::permissions(target, fs::perms::owner_all);
       }},
      {"link to itself", "Too many levels of symbolic links",
       [&] { fs::create_symlink(target, target); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(target);
    c.make();
    expect_no_start(launch({"-clean"}), 1, kExecvFailed + c.reason + "\n" + kFailedLoading);
  }
}
