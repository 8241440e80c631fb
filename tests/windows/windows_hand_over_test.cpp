// How the Windows launcher hands over to the program: the command line and
// environment it builds, their limits, the show state and the handles the
// program gets, and a start that fails.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>

#include "tests/windows/windows_expectations.h"
#include "tests/windows/windows_installation.h"

namespace {

const char kVariableRefused[] = "Error setting up env variable: ";

class WindowsHandOver : public InstalledLauncherTest {};

// Seconds the launcher takes, best of three, with |count| INI entries that
// each set a variable; every one must reach the program.
double best_time_with_entries(size_t count) {
  WindowsInstallation install;
  std::string ini = "[Environment Variables]\r\n";
  for (size_t i = 0; i < count; ++i) {
    ini += "VAR" + std::to_string(i) + "=value " + std::to_string(i) + "\r\n";
  }
  install.write_ini(ini);
  double best = 1e9;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  for (int round = 0; round < 3; ++round) {
    QueryPerformanceCounter(&start);
    DriveResult result = install.run(L"\"" + install.launcher() + L"\"");
    QueryPerformanceCounter(&end);
    EXPECT_EQ(result.exit_status, 0u);
    best = std::min(best, double(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    TargetRecord target = install.record();
    EXPECT_TRUE(target.found);
    size_t arrived = 0;
    for (size_t i = 0; i < count; ++i) {
      arrived += target.variable("VAR" + std::to_string(i)) == "value " + std::to_string(i);
    }
    EXPECT_EQ(arrived, count);
  }
  return best;
}

// Each entry costs the same, however many there are.
TEST_F(WindowsHandOver, ManyEnvironmentEntriesReachTheProgramInLinearTime) {
  const double few = best_time_with_entries(1600), many = best_time_with_entries(16000);
  printf("1,600 entries: %.3f s, 16,000 entries: %.3f s\n", few, many);
  EXPECT_LT(many, 30 * few);
}

// A shortcut set to "Run: Maximized" or "Minimized" starts the launcher with
// that show state; the program gets it.
TEST_F(WindowsHandOver, ShowStateIsPassedOn) {
  install_.write_ini("[Settings]\r\n");
  for (int show : {-1, SW_SHOWMAXIMIZED, SW_SHOWMINNOACTIVE}) {
    SCOPED_TRACE(show);
    install_.run(quoted_launcher(), std::wstring(), {}, show);
    TargetRecord target = install_.record();
    ASSERT_TRUE(target.found);
    EXPECT_EQ(target.show_window, show < 0 ? "" : std::to_string(show));
  }
}

// The program holds as many files as when started directly (the standard
// handles the launcher got, and its current directory), and no file the
// launcher opened.
TEST_F(WindowsHandOver, ProgramInheritsNoFileTheLauncherOpened) {
  install_.write_ini("[Settings]\r\n");
  install_.run(quoted_launcher());
  const TargetRecord through_launcher = install_.record();
  install_.run_target();
  const TargetRecord direct = install_.record();
  ASSERT_TRUE(through_launcher.found && direct.found);
  EXPECT_EQ(through_launcher.files.size(), direct.files.size());
  EXPECT_FALSE(direct.files.empty());
  for (const std::string& file : through_launcher.files) {
    EXPECT_EQ(file.find("launcher.ini"), std::string::npos) << file;
  }
}

TEST_F(WindowsHandOver, FailedHandOverIsReportedWithStatusOne) {
  install_.write_ini("[Settings]\r\n");
  install_.remove_target();
  expect_failed_hand_over(install_.run(quoted_launcher() + L" -clean"),
                          system_text(ERROR_FILE_NOT_FOUND));
}

// The system starts a program with a command line of at most 32,766 UTF-16
// units, which arrives exactly as joined; a longer one would arrive cut, so
// it is not started at all.
TEST_F(WindowsHandOver, CommandLineLimitCountsUtf16Units) {
  const std::string target = "\"" + utf8(install_.directory()) + "\\.\\velmora\\velmora.exe\"";
  const std::string fixed = target + " -ws win32 -vmargs -Dpad= -Dend";
  struct Case {
    std::string unit;  // of one UTF-16 unit
    size_t line_units;
  };
  for (const Case& c : {Case{"x", 32766}, Case{"x", 32767},
                        Case{"\xE2\x9C\x93", 32766}}) {  // 3 bytes each
    SCOPED_TRACE(c.unit + " " + std::to_string(c.line_units));
    const std::string pad =
        "-Dpad=" + repeat(c.unit, c.line_units - from_utf8(fixed).size());
    install_.write_ini("[Settings]\r\nVMArgs=" + pad + " -Dend\r\n");
    DriveResult result = install_.run(quoted_launcher());
    TargetRecord record = install_.record(c.line_units > 32766 ? 300 : 10000);
    if (c.line_units > 32766) {
      expect_failed_hand_over(result, strerror(E2BIG));
      EXPECT_FALSE(record.found);
      continue;
    }
    EXPECT_EQ(result.exit_status, 0u);
    ASSERT_TRUE(record.found);
    EXPECT_EQ(from_utf8(record.command_line).size(), c.line_units);
    EXPECT_TRUE(record.command_line == target + " -ws win32 -vmargs " + pad + " -Dend");
    EXPECT_TRUE(user_part(record) == (Strings{"-ws", "win32", "-vmargs", pad, "-Dend"}));
  }
}

// A variable's name or value is kept up to 32,766 UTF-16 units, however
// many bytes its UTF-8 takes; a longer one is refused with a line on
// standard output, and the launch goes on.
TEST_F(WindowsHandOver, OverlongVariablesAreRefusedAndTheLaunchGoesOn) {
  const std::string pair = "\xF0\x9F\x98\x80";  // 4 bytes, 2 units
  const std::string check = "\xE2\x9C\x93";      // 3 bytes, 1 unit
  struct Entry {
    std::string name, value;
    bool refused;
  };
  const std::vector<Entry> entries = {
      {"ASCII", repeat("x", 32766), false},
      {"ASCII_OVER", repeat("x", 32767), true},
      {"PAIRS", repeat(pair, 16383), false},
      {"PAIRS_OVER", repeat(pair, 16383) + "x", true},
      {"BYTES", repeat(check, 21845) + "x", false},  // 65,536 bytes
      {repeat("N", 32767), "x", true},
      // Entries extending one variable reach the limit together.
      {"LIST", repeat("x", 20000), false},
      {"LIST", repeat("y", 12765), false},
      {"LIST", "z", true},
  };
  std::string ini = "[Environment Variables]\r\n", output;
  std::map<std::string, std::string> kept;
  for (const Entry& entry : entries) {
    ini += entry.name + "=" + entry.value + "\r\n";
    std::string& value = kept[entry.name];
    const std::string whole = value.empty() ? entry.value : value + ";" + entry.value;
    if (entry.refused) {
      output += kVariableRefused + entry.name + "=" + whole + "\r\n";  // text mode
    } else {
      value = whole;
    }
  }
  install_.write_ini(ini);
  DriveResult result = install_.run(quoted_launcher());
  EXPECT_FALSE(result.timed_out);
  EXPECT_EQ(result.exit_status, 0u);
  EXPECT_TRUE(result.standard_output == output)
      << result.standard_output.size() << " bytes, not " << output.size();
  TargetRecord target = install_.record();
  ASSERT_TRUE(target.found);
  for (const auto& variable : kept) {
    const std::string& name = variable.first;
    EXPECT_TRUE(target.variable(name) ==
                (variable.second.empty() ? "(unset)" : variable.second))
        << name.substr(0, 16) << ": " << target.variable(name).size() << " bytes";
  }
}

}  // namespace
