// How the Windows launcher hands over to the program: the environment it
// builds, the show state and the handles the program gets.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include <gtest/gtest.h>

#include "tests/windows/windows_installation.h"

namespace {

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
TEST(WindowsHandOver, ManyEnvironmentEntriesReachTheProgramInLinearTime) {
  const double few = best_time_with_entries(1600), many = best_time_with_entries(16000);
  printf("1,600 entries: %.3f s, 16,000 entries: %.3f s\n", few, many);
  EXPECT_LT(many, 30 * few);
}

// A shortcut set to "Run: Maximized" or "Minimized" starts the launcher with
// that show state; the program gets it.
TEST(WindowsHandOver, ShowStateIsPassedOn) {
  WindowsInstallation install;
  install.write_ini("[Settings]\r\n");
  for (int show : {-1, SW_SHOWMAXIMIZED, SW_SHOWMINNOACTIVE}) {
    SCOPED_TRACE(show);
    install.run(L"\"" + install.launcher() + L"\"", std::wstring(), {}, show);
    TargetRecord target = install.record();
    ASSERT_TRUE(target.found);
    EXPECT_EQ(target.show_window, show < 0 ? "" : std::to_string(show));
  }
}

// The program holds as many files as when started directly (the standard
// handles the launcher got, and its current directory), and no file the
// launcher opened.
TEST(WindowsHandOver, ProgramInheritsNoFileTheLauncherOpened) {
  WindowsInstallation install;
  install.write_ini("[Settings]\r\n");
  install.run(L"\"" + install.launcher() + L"\"");
  const TargetRecord through_launcher = install.record();
  install.run_target();
  const TargetRecord direct = install.record();
  ASSERT_TRUE(through_launcher.found && direct.found);
  EXPECT_EQ(through_launcher.files.size(), direct.files.size());
  EXPECT_FALSE(direct.files.empty());
  for (const std::string& file : through_launcher.files) {
    EXPECT_EQ(file.find("launcher.ini"), std::string::npos) << file;
  }
}

}  // namespace
