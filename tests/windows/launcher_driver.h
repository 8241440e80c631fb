// Starts a Windows program the way a user would and answers its message
// boxes: every top-level dialog (class "#32770") of that process is read
// (caption and text) and closed with OK, until the process ends.
#ifndef LAUNCHER_TESTS_WINDOWS_LAUNCHER_DRIVER_H_
#define LAUNCHER_TESTS_WINDOWS_LAUNCHER_DRIVER_H_

#include <map>
#include <string>
#include <vector>

struct MessageBoxSeen {
  std::string caption;  // UTF-8
  std::string text;     // UTF-8
};

struct DriveResult {
  bool started = false;
  bool timed_out = false;
  unsigned long exit_status = 0;
  std::vector<MessageBoxSeen> boxes;
  std::string standard_output;
  std::string standard_error;
};

struct DriveRequest {
  std::wstring program;       // the file to start
  std::wstring command_line;  // exactly as the process will see it
  std::wstring directory;     // current directory; empty: the driver's own
  std::map<std::wstring, std::wstring> environment;  // the whole environment
  int show_window = -1;       // wShowWindow, as a shortcut gives it; -1: none
  bool standard_handles = true;  // false: none, as from a shortcut
  unsigned timeout_ms = 30000;
};

DriveResult drive(const DriveRequest& request);

std::string to_utf8(const std::wstring& text);
std::wstring from_utf8(const std::string& text);

#endif  // LAUNCHER_TESTS_WINDOWS_LAUNCHER_DRIVER_H_
