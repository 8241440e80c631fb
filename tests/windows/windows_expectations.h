// What the Windows end-to-end tests expect of a run, shared by their files.
#ifndef LAUNCHER_TESTS_WINDOWS_WINDOWS_EXPECTATIONS_H_
#define LAUNCHER_TESTS_WINDOWS_WINDOWS_EXPECTATIONS_H_

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/windows/windows_installation.h"

using Strings = std::vector<std::string>;

inline std::string utf8(const std::wstring& text) { return to_utf8(text); }

// A fresh installation per test, started by its full, quoted path.
class InstalledLauncherTest : public testing::Test {
 protected:
  WindowsInstallation install_;
  std::wstring quoted_launcher() const { return L"\"" + install_.launcher() + L"\""; }
};

std::string repeat(const std::string& text, size_t times);

// The target's argv after its own path.
Strings user_part(const TargetRecord& record);

void expect_boxes(const DriveResult& result, const std::vector<MessageBoxSeen>& expected);

// A hand-over that failed: the line on standard error with |reason|, the
// error box, status 1.
void expect_failed_hand_over(const DriveResult& result, const std::string& reason);

// The system's text for |error|, as FormatMessageW gives it, in UTF-8.
std::string system_text(unsigned long error);

#endif  // LAUNCHER_TESTS_WINDOWS_WINDOWS_EXPECTATIONS_H_
