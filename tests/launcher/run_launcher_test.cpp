// The whole launch sequence on a fake system.
#include "launcher/run_launcher.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "launcher/trace.h"
#include "tests/support/fake_system.h"

namespace {

using Strings = std::vector<std::string>;

const char kLauncher[] = "C:\\Prod\\launcher.exe";
const char kIni[] = "C:\\Prod\\launcher.ini";
const char kTarget[] = "C:\\Prod\\.\\velmora\\velmora.exe";
const char kQuotedTarget[] = "\"C:\\Prod\\.\\velmora\\velmora.exe\"";
const char kUsage[] = "launcher [-data WORKSPACE] [-help] [VELMORA OPTION]";

class RunLauncherTest : public ::testing::Test {
 protected:
  RunLauncherTest() { install(); }

  // A fresh installation in C:\Prod with its INI file.
  void install() {
    system = FakeSystem();
    system.cwd = "C:\\Work";
    system.environment["PATH"] = "C:\\Windows";
    system.add_file(kLauncher);
    system.add_file(kIni,
                    "[Settings]\nVMArgs=-Xmx512m\n"
                    "[Environment Variables]\nPATH=<CURRDIR>jre\\bin\n");
  }

  // Runs the launcher as kLauncher with |arguments| after the program name.
  int run(const Strings& arguments) {
    Strings argv{kLauncher};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return run_launcher(argv, system, windows_path_rules());
  }

  void expect_nothing_read_or_started(const std::string& ini_path) {
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].caption, "Error");
    EXPECT_EQ(system.messages[0].text, "Cannot open INI file: " + ini_path + "\n");
    EXPECT_TRUE(system.opened_files.empty());
    EXPECT_FALSE(system.started);
    EXPECT_EQ(system.environment["PATH"], "C:\\Windows");
  }

  FakeSystem system;
};

TEST_F(RunLauncherTest, TypicalRun) {
  int status = run({"-data", "D:\\My Work", "-clean"});
  ASSERT_TRUE(system.started);
  EXPECT_EQ(system.started_path, kTarget);
  EXPECT_EQ(system.started_arguments,
            (Strings{kQuotedTarget, "-ws", "win32", "-data", "\"D:\\My Work\"",
                     "-clean", "-vmargs", "-Xmx512m"}));
  EXPECT_EQ(system.environment["PATH"], "C:\\Windows;C:\\Prod\\jre\\bin");
  EXPECT_EQ(system.opened_files, Strings{kIni});
  // The fake returns from the start, as a failed hand-over would.
  EXPECT_EQ(status, kExitFailure);
  EXPECT_EQ(system.events, (Strings{"locale", "start", "message"}));
}

TEST_F(RunLauncherTest, FailedHandOverEndsWithStatusOne) {
  system.language = 1031;
  EXPECT_EQ(run({}), 1);
  ASSERT_EQ(system.messages.size(), 1u);
  EXPECT_EQ(system.messages[0].caption, "Fehler");
  EXPECT_EQ(system.messages[0].text, "Fehler: Failed Loading Velmora.");
  EXPECT_EQ(system.events, (Strings{"locale", "start", "message"}));
  EXPECT_EQ(system.started_arguments,
            (Strings{kQuotedTarget, "-ws", "win32", "-vmargs", "-Xmx512m"}));
}

TEST_F(RunLauncherTest, StringTestFirstShowsSixBoxesThenLaunches) {
  run({"-stringtest", "-clean"});
  ASSERT_GE(system.events.size(), 8u);
  EXPECT_EQ(system.events[0], "locale");
  EXPECT_EQ(Strings(system.events.begin() + 1, system.events.begin() + 8),
            (Strings{"message", "message", "message", "message", "message",
                     "message", "start"}));
  ASSERT_GE(system.messages.size(), 6u);
  EXPECT_EQ(system.messages[0].text, "Cannot open INI file: _TEST_\n");
  EXPECT_EQ(system.messages[5].text, "Message");
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(system.messages[i].caption, "Message");
  EXPECT_EQ(system.started_arguments,
            (Strings{kQuotedTarget, "-ws", "win32", "-stringtest", "-clean",
                     "-vmargs", "-Xmx512m"}));
}

TEST_F(RunLauncherTest, StringTestElsewhereIsAnOrdinaryArgument) {
  run({"-clean", "-stringtest"});
  EXPECT_EQ(system.events, (Strings{"locale", "start", "message"}));
  EXPECT_EQ(system.started_arguments,
            (Strings{kQuotedTarget, "-ws", "win32", "-clean", "-stringtest",
                     "-vmargs", "-Xmx512m"}));
}

TEST_F(RunLauncherTest, HelpWithoutIniGivesTheIniError) {
  system.files.erase(kIni);
  EXPECT_EQ(run({"-help"}), 1);
  ASSERT_EQ(system.messages.size(), 1u);
  EXPECT_EQ(system.messages[0].caption, "Error");
  EXPECT_EQ(system.messages[0].text, "Cannot open INI file: C:\\Prod\\launcher.ini\n");
  EXPECT_FALSE(system.started);
}

TEST_F(RunLauncherTest, HelpShowsUsageAndStartsNothing) {
  const Strings cases[] = {{"-help"}, {"-?"}, {"/help"}, {"/?"},
                           {"-clean", "-help", "-data"}, {"-data", "-help"}};
  for (const Strings& arguments : cases) {
    install();
    EXPECT_EQ(run(arguments), 0) << arguments[0];
    ASSERT_EQ(system.messages.size(), 1u) << arguments[0];
    EXPECT_EQ(system.messages[0].caption, "Message");
    EXPECT_EQ(system.messages[0].text, kUsage);
    EXPECT_FALSE(system.started);
    EXPECT_EQ(system.events.front(), "locale");
  }
}

TEST_F(RunLauncherTest, RefusedCommandLineShowsUsageWithStatusOne) {
  const Strings cases[] = {{"-data"}, {"-data", "-clean"}, {"-data", ""},
                           {"-customizationini"}, {"-customizationini", "-data", "x"},
                           {"-clean", "-customizationini", ""}};
  for (const Strings& arguments : cases) {
    install();
    EXPECT_EQ(run(arguments), 1) << arguments.back();
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].caption, "Message");
    EXPECT_EQ(system.messages[0].text, kUsage);
    EXPECT_FALSE(system.started);
  }
}

TEST_F(RunLauncherTest, BareNameFoundThroughTheCurrentDirectory) {
  system.cwd = "C:\\Prod";
  system.add_file("C:\\Prod\\.\\launcher.exe");
  system.add_file("C:\\Prod\\.\\launcher.ini", "[Settings]\nVMArgs=-Dfound\n");
  run_launcher({"launcher"}, system, windows_path_rules());
  EXPECT_EQ(system.opened_files, Strings{"C:\\Prod\\.\\launcher.ini"});
  EXPECT_EQ(system.started_path, "C:\\Prod\\.\\.\\velmora\\velmora.exe");
  EXPECT_EQ(system.started_arguments,
            (Strings{"\"C:\\Prod\\.\\.\\velmora\\velmora.exe\"", "-ws", "win32",
                     "-vmargs", "-Dfound"}));
}

TEST_F(RunLauncherTest, LauncherNotFoundReadsAndStartsNothing) {
  // Planted files relative to the current directory must not be used.
  system.add_file(".ini", "[Environment Variables]\nPATH=planted\n");
  system.add_file(".\\velmora\\velmora.exe");
  system.add_file("C:\\Work\\.ini", "[Environment Variables]\nPATH=planted\n");
  system.add_file("C:\\Work\\.\\velmora\\velmora.exe");
  EXPECT_EQ(run_launcher({"launcher"}, system, windows_path_rules()), 1);
  expect_nothing_read_or_started(".ini");
}

TEST_F(RunLauncherTest, LauncherNotFoundAfterStringTest) {
  EXPECT_EQ(run_launcher({"C:\\Gone\\launcher.exe", "-stringtest"}, system,
                         windows_path_rules()), 1);
  ASSERT_EQ(system.messages.size(), 7u);
  EXPECT_EQ(system.messages[6].text, "Cannot open INI file: .ini\n");
  EXPECT_FALSE(system.started);
  EXPECT_TRUE(system.opened_files.empty());
}

TEST_F(RunLauncherTest, EmptyArgumentVector) {
  system.add_file(".ini", "[Settings]\n");
  EXPECT_EQ(run_launcher({}, system, windows_path_rules()), 1);
  expect_nothing_read_or_started(".ini");
  EXPECT_TRUE(system.locale_adopted);
}

// The trace reports each stage and changes nothing the launch does.
TEST_F(RunLauncherTest, TraceShowsTheRunAndChangesNothing) {
  system.files[kIni] += "[Other]\nVMArgs=-Dlate\n[Settings]\nvmargs=-Dtypo\n";
  run({"-data", "D:\\My Work", ""});
  const Strings untraced_arguments = system.started_arguments;
  const auto untraced_environment = system.environment;

  install();
  system.files[kIni] += "[Other]\nVMArgs=-Dlate\n[Settings]\nvmargs=-Dtypo\n";
  system.trace_on();
  run({"-data", "D:\\My Work", ""});
  EXPECT_EQ(system.started_arguments, untraced_arguments);
  EXPECT_EQ(system.environment, untraced_environment);

  // In this order, among the other lines.
  const Strings expected = {
      "launcher: argument 3: \"\"\n",
      "launcher: INI file \"C:\\Prod\\launcher.ini\"\n",
      "launcher: \"PATH\" extended: \"C:\\Windows\" -> \"C:\\Windows;C:\\Prod\\jre\\bin\"\n",
      "launcher: INI line 6: skipped: under an ignored section: \"VMArgs=-Dlate\"\n",
      "launcher: INI line 8: \"vmargs\"=\"-Dtypo\": skipped: not a known key\n",
      "launcher: target argument 0: \"C:\\Prod\\.\\velmora\\velmora.exe\"\n",
      "launcher: target argument 4: \"D:\\My Work\"\n",
      "launcher: target argument 5: \"\"\n",
      "launcher: target argument 7: \"-Xmx512m\"\n",
      "launcher: message \"Error\": \"Error: Failed Loading Velmora.\"\n",
  };
  auto next = system.trace_lines.begin();
  for (const std::string& line : expected) {
    auto found = std::find(next, system.trace_lines.end(), line);
    EXPECT_NE(found, system.trace_lines.end()) << "missing or out of order: " << line;
    if (found != system.trace_lines.end()) next = found;
  }
}

TEST(TraceTest, LinesCannotBeForgedAndValuesChooseTheTarget) {
  FakeSystem system;
  system.trace_on();
  system.trace().line(traced("a\nlauncher: forged\r\x1b[2J\t\xC3\xA4"));
  EXPECT_EQ(system.trace_lines,
            Strings{"launcher: \"a\\x0alauncher: forged\\x0d\\x1b[2J\t\xC3\xA4\"\n"});

  const PathRules posix = posix_path_rules(), windows = windows_path_rules();
  const struct { const char* value; const PathRules* rules; TraceTarget target; } cases[] = {
      {nullptr, &posix, TraceTarget::kOff},       {"", &posix, TraceTarget::kOff},
      {"0", &posix, TraceTarget::kOff},           {"1", &posix, TraceTarget::kStandardError},
      {"yes", &posix, TraceTarget::kStandardError}, {"2", &posix, TraceTarget::kStandardError},
      {"trace.log", &posix, TraceTarget::kStandardError},
      {"/tmp/trace.log", &posix, TraceTarget::kFile},
      {"C:\\trace.log", &windows, TraceTarget::kFile},
      {"trace.log", &windows, TraceTarget::kStandardError},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(trace_target(c.value, *c.rules), c.target) << (c.value ? c.value : "unset");
  }
}

// A dry run goes as far as the start and only checks it; help and refused
// command lines keep their statuses.
TEST_F(RunLauncherTest, DryRunChecksTheStartWithoutMakingIt) {
  const struct { Strings arguments; bool would_work; int status; size_t messages; } cases[] = {
      {{"-clean"}, true, 0, 0},
      {{"-clean"}, false, 1, 1},
      {{"-help"}, true, 0, 1},
      {{"-data"}, true, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments[0] + (c.would_work ? "" : ", start would fail"));
    install();
    system.dry = true;
    system.start_would_work = c.would_work;
    EXPECT_EQ(run(c.arguments), c.status);
    EXPECT_FALSE(system.started);
    EXPECT_EQ(system.messages.size(), c.messages);
  }
  EXPECT_TRUE(is_dry_run("1"));
  EXPECT_FALSE(is_dry_run(nullptr) || is_dry_run("0") || is_dry_run(""));
}

TEST(RunLauncherPosixTest, UsesThePosixRules) {
  FakeSystem system;
  system.environment["PATH"] = "/usr/bin";
  system.add_file("/opt/prod/launcher");
  system.add_file("/opt/prod/launcher.ini",
                  "[Settings]\nVMArgs=-Xmx1g\n[Environment Variables]\n"
                  "PATH=<CURRDIR>jre/bin\n");
  EXPECT_EQ(run_launcher({"/opt/prod/launcher", "My Project"}, system,
                         posix_path_rules()), 1);
  EXPECT_EQ(system.started_path, "/opt/prod/./velmora/velmora");
  EXPECT_EQ(system.started_arguments,
            (Strings{"\"/opt/prod/./velmora/velmora\"", "-ws", "gtk",
                     "\"My Project\"", "-vmargs", "-Xmx1g"}));
  EXPECT_EQ(system.environment["PATH"], "/usr/bin:/opt/prod/jre/bin");
}

}  // namespace
