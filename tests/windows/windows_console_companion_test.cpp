// The console companion under Wine: it waits for the program and hands back
// its exit status and output, leaves Ctrl+C to it, ends it when ended, and
// writes to standard error what the launcher shows in a box.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/windows/windows_expectations.h"
#include "tests/windows/windows_installation.h"

namespace {

std::wstring built(const wchar_t* name) { return build_bin_directory() + L"\\" + name; }

// An installation whose launcher, |name|.exe, is the companion, or another
// executable of the build once use() has put it there.
class Installation : public WindowsInstallation {
 public:
  explicit Installation(const std::wstring& name = L"velmora-console")
      : WindowsInstallation(L"My Product", name) {
    use(L"launcher-console.exe");
  }
  void use(const wchar_t* executable) const {
    CopyFileW(built(executable).c_str(), launcher().c_str(), FALSE);
  }
  void use_companion_target() const {
    CopyFileW(built(L"windows_companion_target.exe").c_str(),
              (directory() + L"\\velmora\\velmora.exe").c_str(), FALSE);
  }
  void write_file(const std::wstring& name, const std::string& text) const {
    FILE* file = _wfopen((directory() + L"\\" + name).c_str(), L"wb");
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
  }
  std::wstring quoted() const { return L"\"" + launcher() + L"\""; }
};

// A started companion whose standard output and error share one pipe.
struct Started {
  PROCESS_INFORMATION process = {};
  HANDLE output = nullptr;  // the reading end
  ~Started() {
    if (process.hProcess != nullptr) {
      TerminateProcess(process.hProcess, 99);
      CloseHandle(process.hProcess);
      CloseHandle(process.hThread);
    }
    if (output != nullptr) CloseHandle(output);
  }
  bool running() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }
  unsigned long wait(unsigned timeout_ms = 20000) const {
    DWORD status = 99;
    if (WaitForSingleObject(process.hProcess, timeout_ms) == WAIT_OBJECT_0) {
      GetExitCodeProcess(process.hProcess, &status);
    }
    return status;
  }
  // What has arrived in the pipe so far, without waiting for more.
  std::string arrived() const {
    DWORD available = 0;
    PeekNamedPipe(output, nullptr, 0, nullptr, &available, nullptr);
    std::string text(available, '\0');
    DWORD count = 0;
    if (available > 0) ReadFile(output, &text[0], available, &count, nullptr);
    text.resize(count);
    return text;
  }
};

bool start(const Installation& install, const std::wstring& mode, Started* started,
           DWORD flags = 0) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE write = nullptr;
  if (!CreatePipe(&started->output, &write, &inherit, 1 << 16)) return false;
  SetHandleInformation(started->output, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if ((flags & CREATE_NEW_CONSOLE) == 0) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = write;
  }
  auto variables = WindowsInstallation::base_environment();
  variables[L"COMPANION_MODE"] = mode;
  std::wstring block;
  for (const auto& variable : variables) block += variable.first + L"=" + variable.second + L'\0';
  block += L'\0';
  std::wstring line = install.quoted();
  const bool made = CreateProcessW(install.launcher().c_str(), &line[0], nullptr, nullptr,
                                   TRUE, CREATE_UNICODE_ENVIRONMENT | flags, &block[0],
                                   install.directory().c_str(), &startup, &started->process);
  CloseHandle(write);
  return made;
}

// The process id the target wrote to |file|, once it has; 0 after ten seconds.
DWORD announced(const std::wstring& file) {
  for (int tries = 0; tries < 200; ++tries) {
    FILE* in = _wfopen(file.c_str(), L"rb");
    if (in != nullptr) {
      unsigned long id = 0;
      fscanf(in, "%lu", &id);
      fclose(in);
      return id;
    }
    Sleep(50);
  }
  return 0;
}

std::wstring marker(const Installation& install) { return install.directory() + L"\\started"; }

TEST(ConsoleCompanion, EndsWithTheProgramsExitStatusAllThirtyTwoBits) {
  Installation install;
  install.use_companion_target();
  install.write_ini("[Settings]\r\n");
  for (unsigned long status : {0ul, 3ul, 255ul, 259ul, 0xC0000005ul, 4000000001ul}) {
    SCOPED_TRACE(status);
    DriveResult result = install.run(install.quoted(), std::wstring(),
                                     {{L"COMPANION_MODE", L"exit:" + std::to_wstring(status)}});
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.exit_status, status);
    EXPECT_TRUE(result.boxes.empty());
  }
}

TEST(ConsoleCompanion, OutputArrivesInOrderBeforeItEnds) {
  Installation install;
  install.use_companion_target();
  install.write_ini("[Settings]\r\n");
  Started companion;
  ASSERT_TRUE(start(install, L"output", &companion));
  EXPECT_EQ(companion.wait(), 0u);
  EXPECT_EQ(companion.arrived(), "out 1\r\nerr 2\r\nout 3\r\nerr 4\r\nout last\r\n");
}

// Wine's job objects end the processes in a job when its last handle
// closes, as Windows does, so this is shown by ending the companion.
TEST(ConsoleCompanion, RunsWhileTheProgramRunsAndEndsItWhenEnded) {
  Installation install;
  install.use_companion_target();
  install.write_ini("[Settings]\r\n");
  Started companion;
  ASSERT_TRUE(start(install, L"wait:" + marker(install), &companion));
  const DWORD id = announced(marker(install));
  ASSERT_NE(id, 0u);
  HANDLE program = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
  ASSERT_NE(program, nullptr);
  Sleep(200);
  EXPECT_TRUE(companion.running());
  TerminateProcess(companion.process.hProcess, 5);
  const bool ended = WaitForSingleObject(program, 10000) == WAIT_OBJECT_0;
  EXPECT_TRUE(ended) << "the program outlived the companion";
  if (!ended) TerminateProcess(program, 99);
  CloseHandle(program);
}

// Ctrl+C in the console they share reaches the program, which decides (here:
// to end with 42); the companion itself stays to hand that status back.
TEST(ConsoleCompanion, CtrlCIsTheProgramsToHandle) {
  Installation install;
  install.use_companion_target();
  install.write_ini("[Settings]\r\n");
  Started companion;
  ASSERT_TRUE(start(install, L"interrupt:" + marker(install), &companion, CREATE_NEW_CONSOLE));
  ASSERT_NE(announced(marker(install)), 0u);
  // Into their console for the moment of the event, ignoring it here.
  FreeConsole();
  ASSERT_TRUE(AttachConsole(companion.process.dwProcessId)) << GetLastError();
  SetConsoleCtrlHandler(nullptr, TRUE);
  EXPECT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) << GetLastError();
  EXPECT_EQ(companion.wait(), 42u);
  FreeConsole();
  SetConsoleCtrlHandler(nullptr, FALSE);
}

// What the launcher shows in boxes, the companion writes to standard error
// ("[caption]" and the text, line by line) after what the launcher writes
// there, with the same exit status.
TEST(ConsoleCompanion, WritesTheLaunchersMessagesToStandardError) {
  struct Case {
    const char* what;
    const char* ini;  // null: none
    const wchar_t* arguments;
    bool target = true;
  };
  const Case cases[] = {
      {"missing INI", nullptr, L" -help"},
      {"usage", "[Settings]\r\n", L" -help"},
      {"string test", "[Settings]\r\n", L" -stringtest"},
      {"failed start", "[Settings]\r\n", L"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Installation install(L"tool");
    if (c.ini != nullptr) install.write_ini(c.ini);
    if (!c.target) install.remove_target();
    install.use(L"launcher.exe");
    const DriveResult shown = install.run(install.quoted() + c.arguments);
    install.use(L"launcher-console.exe");
    const DriveResult written = install.run(install.quoted() + c.arguments);
    ASSERT_FALSE(shown.boxes.empty());
    std::string expected = shown.standard_error;
    for (const MessageBoxSeen& box : shown.boxes) {
      std::string block = "[" + box.caption + "]\n" + box.text;
      if (block.back() != '\n') block += '\n';
      for (char c : block) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_TRUE(written.boxes.empty());
    EXPECT_EQ(written.standard_error, expected);
    EXPECT_EQ(written.exit_status, shown.exit_status);
  }
}

// velmora-console.exe reads velmora-console.ini, else velmora.ini, and names
// the last of them when there is neither.
TEST(ConsoleCompanion, SharesTheIniOfTheStemWithoutItsEnding) {
  Installation install;
  auto last_argument = [&install]() {
    install.run(install.quoted());
    const Strings arguments = install.record().arguments;
    return arguments.empty() ? std::string("(not started)") : arguments.back();
  };
  install.write_file(L"velmora.ini", "[Settings]\r\nVMArgs=-Dshared\r\n");
  EXPECT_EQ(last_argument(), "-Dshared");
  install.write_ini("[Settings]\r\nVMArgs=-Down\r\n");
  EXPECT_EQ(last_argument(), "-Down");

  Installation bare;
  const DriveResult result = bare.run(bare.quoted());
  EXPECT_EQ(result.exit_status, 1u);
  const std::string shared = to_utf8(bare.directory()) + "\\velmora.ini";
  EXPECT_NE(result.standard_error.find(shared), std::string::npos) << result.standard_error;
  EXPECT_EQ(result.standard_error.find("velmora-console.ini"), std::string::npos);
}

// The program gets from the companion exactly what it gets from the launcher.
TEST(ConsoleCompanion, StartsTheProgramAsTheLauncherDoes) {
  Installation install;
  install.write_ini("[Settings]\r\nVMArgs=-Xmx512m\r\n"
                    "[Environment Variables]\r\nPATH=<CURRDIR>jre\\bin\r\n");
  const std::wstring line = install.quoted() + L" -data \"D:\\My Work\" -clean";
  install.use(L"launcher.exe");
  install.run(line, std::wstring(), {{L"=D:", L"D:\\work"}});
  const TargetRecord launched = install.record();
  install.use(L"launcher-console.exe");
  const DriveResult result = install.run(line, std::wstring(), {{L"=D:", L"D:\\work"}});
  const TargetRecord companion = install.record();
  ASSERT_TRUE(launched.found && companion.found);
  EXPECT_EQ(result.exit_status, 0u);
  EXPECT_EQ(companion.command_line, launched.command_line);
  EXPECT_EQ(companion.arguments, launched.arguments);
  EXPECT_EQ(companion.environment, launched.environment);
  EXPECT_EQ(companion.names, launched.names);
  // The same handles: each run's own standard output and error, and the
  // current directory.
  EXPECT_EQ(companion.files.size(), launched.files.size());
}

// To a console the companion writes UTF-16: a path outside every code page
// appears there as it is.
TEST(ConsoleCompanion, WritesUtf16ToAConsole) {
  WindowsInstallation unusual(L"Pr\u00f6dukt \u2713 \u0416");
  CopyFileW(built(L"launcher-console.exe").c_str(), unusual.launcher().c_str(), FALSE);
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::wstring line = L"\"" + unusual.launcher() + L"\"";
  // The trace too reaches the console as UTF-16.
  SetEnvironmentVariableW(L"VELMORA_LAUNCHER_TRACE", L"1");
  ASSERT_TRUE(CreateProcessW(unusual.launcher().c_str(), &line[0], nullptr, nullptr, FALSE, 0,
                             nullptr, unusual.directory().c_str(), &startup, &process));
  SetEnvironmentVariableW(L"VELMORA_LAUNCHER_TRACE", nullptr);
  WaitForSingleObject(process.hProcess, 20000);
  DWORD status = 99;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  EXPECT_EQ(status, 1u);
  HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
  CONSOLE_SCREEN_BUFFER_INFO info = {};
  GetConsoleScreenBufferInfo(screen, &info);
  std::wstring shown(info.dwSize.X * (info.dwCursorPosition.Y + 1), L' ');
  DWORD count = 0;
  ReadConsoleOutputCharacterW(screen, &shown[0], static_cast<DWORD>(shown.size()), {0, 0},
                              &count);
  CloseHandle(screen);
  FreeConsole();
  shown.resize(count);
  EXPECT_NE(shown.find(L"Pr\u00f6dukt \u2713 \u0416"), std::wstring::npos) << to_utf8(shown);
  EXPECT_NE(shown.find(L"launcher: INI file \"" + unusual.directory()), std::wstring::npos)
      << to_utf8(shown);
}

}  // namespace
