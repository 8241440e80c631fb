// The DLLs the Windows launcher loads, as Wine's loader reports them: a
// launch that shows nothing and needs no Documents folder maps no more
// than any program, and every DLL comes from the system folder, never one
// planted beside the launcher.
//
// Wine writes the loader's lines (WINEDEBUG=+pid,+loaddll) to the standard
// error it was started with, which every program started from this one
// shares, not to a program's own: ctest runs these tests with that
// appended to the file named by LAUNCHER_LOADER_TRACE.
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "tests/windows/windows_expectations.h"
#include "tests/windows/windows_installation.h"

namespace {

const std::map<std::wstring, std::wstring> kLoaderTrace = {
    {L"WINEDEBUG", L"+pid,+loaddll"}};

// What the loader reports while |run| runs.
std::string loader_trace(const std::function<void()>& run) {
  const char* unix_path = getenv("LAUNCHER_LOADER_TRACE");
  if (unix_path == nullptr) {
    ADD_FAILURE() << "LAUNCHER_LOADER_TRACE is not set";
    return std::string();
  }
  std::wstring path = L"Z:" + from_utf8(unix_path);
  for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, share, nullptr,
                            TRUNCATE_EXISTING, 0, nullptr);
  CloseHandle(file);
  run();
  std::string trace;
  file = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    trace.append(buffer, got);
  }
  CloseHandle(file);
  return trace;
}

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() &&
         text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return text;
}

// The paths (in lower case) of the DLLs loaded by the process of the
// program |name|, in order, from the loader's lines on standard error:
//   0114:0118:trace:loaddll:build_module Loaded L"C:\\windows\\kernel32.dll" at ...
// The first line of a process names its program.
Strings dlls_loaded_by(const std::string& trace, const std::string& name) {
  std::map<std::string, Strings> by_process;
  const std::string marker = ":trace:loaddll:build_module Loaded L\"";
  size_t line = 0;
  while (line < trace.size()) {
    size_t end = trace.find('\n', line);
    if (end == std::string::npos) end = trace.size();
    const std::string text = trace.substr(line, end - line);
    line = end + 1;
    const size_t at = text.find(marker), colon = text.find(':');
    if (at == std::string::npos) continue;
    const size_t start = at + marker.size(), quote = text.find('"', start);
    std::string path;
    for (size_t i = start; i < quote; ++i) {
      if (text[i] == '\\' && text[i + 1] == '\\') ++i;
      path += text[i];
    }
    by_process[text.substr(0, colon)].push_back(lower(path));
  }
  for (const auto& process : by_process) {
    if (ends_with(process.second.front(), "\\" + lower(name))) {
      return Strings(process.second.begin() + 1, process.second.end());
    }
  }
  ADD_FAILURE() << "no DLLs of " << name << " in the trace:\n" << trace;
  return Strings();
}

// Those of |dlls| that are neither in the system folder nor in the store
// of side-by-side assemblies (Common Controls 6, which the manifest names).
Strings outside_the_system_folder(const Strings& dlls) {
  Strings outside;
  for (const std::string& dll : dlls) {
    if (dll.rfind("c:\\windows\\system32\\", 0) != 0 &&
        dll.rfind("c:\\windows\\winsxs\\", 0) != 0) {
      outside.push_back(dll);
    }
  }
  return outside;
}

bool has(const Strings& dlls, const std::string& name) {
  for (const std::string& dll : dlls) {
    if (ends_with(dll, "\\" + name)) return true;
  }
  return false;
}

TEST(WindowsDllLoading, OnlyWhatTheLaunchUsesAndOnlyFromTheSystemFolder) {
  WindowsInstallation install;
  const std::wstring bin = build_bin_directory(), dir = install.directory();
  // SHELL32 loads shcore.dll by name; Wine takes it from the program's
  // folder unless the program restricts the search.
  ASSERT_TRUE(CopyFileW((bin + L"\\planted\\shcore.dll").c_str(),
                        (dir + L"\\shcore.dll").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW((bin + L"\\windows_dll_probe.exe").c_str(),
                        (dir + L"\\probe.exe").c_str(), FALSE));
  const std::string planted = lower(to_utf8(dir)) + "\\shcore.dll";

  // The control: a program without the restriction does load it.
  DriveRequest probe;
  probe.program = dir + L"\\probe.exe";
  probe.command_line = L"probe";
  probe.environment = WindowsInstallation::base_environment();
  for (const auto& variable : kLoaderTrace) {
    probe.environment[variable.first] = variable.second;
  }
  std::string trace = loader_trace([&] { drive(probe); });
  EXPECT_EQ(outside_the_system_folder(dlls_loaded_by(trace, "probe.exe")), Strings{planted});

  const std::wstring launcher = L"\"" + install.launcher() + L"\"";
  DriveResult result;
  // A plain launch maps the C runtime and the two DLLs every program has.
  install.write_ini("[Settings]\r\nVMArgs=-Xmx1g\r\n");
  trace = loader_trace([&] { result = install.run(launcher, std::wstring(), kLoaderTrace); });
  EXPECT_TRUE(install.record().found);
  EXPECT_EQ(dlls_loaded_by(trace, "launcher.exe"),
            (Strings{"c:\\windows\\system32\\kernelbase.dll",
                     "c:\\windows\\system32\\kernel32.dll",
                     "c:\\windows\\system32\\msvcrt.dll"}));

  // A message box, and the Documents folder: USER32, SHELL32 and what they
  // load, all from the system folder.
  trace = loader_trace([&] {
    result = install.run(launcher + L" -help", std::wstring(), kLoaderTrace);
  });
  EXPECT_EQ(result.boxes.size(), 1u);
  Strings dlls = dlls_loaded_by(trace, "launcher.exe");
  EXPECT_TRUE(has(dlls, "user32.dll"));
  EXPECT_EQ(outside_the_system_folder(dlls), Strings());

  install.write_ini("[Environment Variables]\r\nDOCS=<My Documents>\r\n");
  trace = loader_trace([&] { install.run(launcher, std::wstring(), kLoaderTrace); });
  EXPECT_NE(install.record().variable("DOCS"), "");
  dlls = dlls_loaded_by(trace, "launcher.exe");
  EXPECT_TRUE(has(dlls, "shell32.dll"));
  EXPECT_TRUE(has(dlls, "shcore.dll"));
  EXPECT_EQ(outside_the_system_folder(dlls), Strings());
}

}  // namespace
