// The real Windows launcher under Wine: message boxes as the user sees
// them, exit statuses, and exactly what the target program receives.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

#include "tests/windows/windows_expectations.h"
#include "tests/windows/windows_installation.h"

namespace {

const char kUsage[] = "launcher [-data WORKSPACE] [-help] [VELMORA OPTION]";

class WindowsLauncher : public InstalledLauncherTest {};

TEST_F(WindowsLauncher, TypicalRunHandsOverTheTranslatedCommandLine) {
  install_.write_ini(
      "; settings\r\n[Settings]\r\nVMArgs=-Xmx512m\r\n"
      "[Environment Variables]\r\nPATH=<CURRDIR>jre\\bin\r\n");
  // A hidden per-drive directory entry, as cmd.exe keeps them.
  DriveResult result = install_.run(quoted_launcher() + L" -data \"D:\\My Work\" -clean",
                                    std::wstring(), {{L"=D:", L"D:\\work"}});
  EXPECT_FALSE(result.timed_out);
  EXPECT_TRUE(result.boxes.empty());
  EXPECT_EQ(result.exit_status, 0u);

  TargetRecord target = install_.record();
  ASSERT_TRUE(target.found);
  const std::string dir = utf8(install_.directory());
  EXPECT_EQ(target.command_line, "\"" + dir + "\\.\\velmora\\velmora.exe\" -ws win32 "
                                 "-data \"D:\\My Work\" -clean -vmargs -Xmx512m");
  EXPECT_EQ(target.arguments, (Strings{dir + "\\.\\velmora\\velmora.exe", "-ws", "win32",
                                       "-data", "D:\\My Work", "-clean", "-vmargs",
                                       "-Xmx512m"}));
  EXPECT_EQ(target.variable("=D:"), "D:\\work");
  // The inherited Path, extended by the INI file's PATH entry: one entry.
  EXPECT_EQ(target.variable("Path"), "C:\\windows\\system32;C:\\windows;" + dir + "\\jre\\bin");
  size_t paths = 0;
  for (const auto& variable : target.environment) {
    paths += _stricmp(variable.first.c_str(), "PATH") == 0;
  }
  EXPECT_EQ(paths, 1u);
  // In the order Windows asks for: by name, without regard to case (as its
  // upper-case table compares them). Wine adds its own variables, and
  // SystemDrive and SystemRoot, at the end of every program's block.
  Strings names;
  for (const std::string& name : target.names) {
    if (_strnicmp(name.c_str(), "WINE", 4) != 0 && name.rfind("SystemDrive", 0) != 0 &&
        name.rfind("SystemRoot", 0) != 0) {
      names.push_back(name);
    }
  }
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::string& a,
                                                            const std::string& b) {
    const std::wstring x = from_utf8(a), y = from_utf8(b);
    return CompareStringOrdinal(x.data(), int(x.size()), y.data(), int(y.size()), TRUE) ==
           CSTR_LESS_THAN;
  }));
}

TEST_F(WindowsLauncher, EnvironmentEntriesExpandEveryPlaceholder) {
  install_.write_ini(
      "[Environment Variables]\r\n"
      "DOCS=<My Documents>\\ws;<$HOME>\r\nTWICE=<CURRDIR>a;<CURRDIR>b\r\n"
      "LIST=one\r\nLIST=two\r\nNOTHING=\r\n[Settings]\r\nVMArgs=-Xms8m -Xmx64m\r\n");
  // The folder where the user keeps it now, not where it was made, under
  // names outside any one legacy code page.
  for (const wchar_t* name : {L"Moved Documents \u00dc",
                              L"\u0414\u043e\u043a\u0443\u043c\u0435\u043d\u0442\u044b",
                              L"\u30c9\u30ad\u30e5\u30e1\u30f3\u30c8"}) {
    const std::wstring documents = install_.directory() + L"\\" + name;
    SCOPED_TRACE(utf8(documents));
    MovedDocuments moved(documents);
    install_.run(quoted_launcher());
    TargetRecord target = install_.record();
    ASSERT_TRUE(target.found);

    const std::string docs = utf8(documents), dir = utf8(install_.directory()) + "\\";
    EXPECT_EQ(target.variable("DOCS"), docs + "\\ws;" + docs);
    EXPECT_EQ(target.variable("TWICE"), dir + "a;" + dir + "b");
    EXPECT_EQ(target.variable("LIST"), "one;two");
    EXPECT_EQ(target.variable("NOTHING"), "(unset)");
    // One VMArgs line may carry several options.
    EXPECT_EQ(user_part(target), (Strings{"-ws", "win32", "-vmargs", "-Xms8m", "-Xmx64m"}));
  }
}

TEST_F(WindowsLauncher, BareNameIsFoundThroughTheCurrentDirectory) {
  install_.write_ini("[Settings]\r\n");
  install_.run(L"launcher -clean", install_.directory());
  TargetRecord target = install_.record();
  ASSERT_TRUE(target.found);
  EXPECT_EQ(target.arguments[0], utf8(install_.directory()) + "\\.\\.\\velmora\\velmora.exe");
  EXPECT_EQ(user_part(target), (Strings{"-ws", "win32", "-clean", "-vmargs"}));
}

// Whatever name it is started under, the launcher takes its INI file and
// program from its own installation: never those of a planted copy in the
// current directory or of another file the name leads to.
TEST_F(WindowsLauncher, StartedUnderAnyNameItUsesItsOwnInstallation) {
  install_.write_ini("[Settings]\r\nVMArgs=-Downer=real\r\n");
  WindowsInstallation planted(L"Planted");  // a launcher, INI and program
  planted.write_ini("[Settings]\r\nVMArgs=-Downer=planted\r\n");
  std::wstring forward = install_.directory();
  for (wchar_t& c : forward) c = c == L'\\' ? L'/' : c;
  const std::string own_target = utf8(install_.directory()) + "\\.\\velmora\\velmora.exe";
  struct Case {
    std::wstring first_token;  // the program itself is always the real launcher
    std::wstring directory;
    std::string target;
  };
  for (const Case& c : {
           // A path with forward slashes is used as written.
           Case{L"\"" + forward + L"/launcher.exe\"", planted.directory(),
                utf8(forward) + "/.\\velmora\\velmora.exe"},
           // Names that lead to the planted copy, or to the launcher by a
           // path without a directory (drive-relative).
           Case{L"launcher", planted.directory(), own_target},
           Case{L"\"" + planted.launcher() + L"\"", planted.directory(), own_target},
           Case{L"C:launcher.exe", install_.directory(), own_target},
       }) {
    SCOPED_TRACE(utf8(c.first_token + L" in " + c.directory));
    DriveResult result = install_.run(c.first_token + L" -clean", c.directory);
    EXPECT_EQ(result.exit_status, 0u);
    EXPECT_TRUE(result.boxes.empty());
    TargetRecord target = install_.record();
    ASSERT_TRUE(target.found);
    EXPECT_EQ(target.arguments[0], c.target);
    EXPECT_EQ(user_part(target), (Strings{"-ws", "win32", "-clean", "-vmargs", "-Downer=real"}));
  }
}

TEST_F(WindowsLauncher, UserArgumentsArriveUnchanged) {
  install_.write_ini("[Settings]\r\n");
  // Files the patterns below would match, in the current directory.
  for (const wchar_t* name : {L"\\a1.txt", L"\\b2.txt"}) {
    CloseHandle(CreateFileW((install_.directory() + name).c_str(), GENERIC_WRITE, 0,
                            nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  // As a shell would quote them: C:\ws\ | say "hi" | a<tab>b | (empty) |
  // \\server\share\ | Grüße ✓ 日本 | -data C:\My Work\ (trailing backslash) |
  // *.txt | a?.txt (no wildcard expansion) | an unpaired surrogate, which
  // Windows allows in a command line.
  install_.run(quoted_launcher() +
               L" \"C:\\ws\\\\\" \"say \\\"hi\\\"\" \"a\tb\" \"\" \\\\server\\share\\"
               L" \"Gr\u00fc\u00dfe \u2713 \u65e5\u672c\" -data \"C:\\My Work\\\\\" *.txt a?.txt x" +
               std::wstring(1, wchar_t(0xD800)) + L"y",
               install_.directory());
  TargetRecord target = install_.record();
  ASSERT_TRUE(target.found);
  EXPECT_EQ(user_part(target),
            (Strings{"-ws", "win32", "C:\\ws\\", "say \"hi\"", "a\tb", "", "\\\\server\\share\\",
                     "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93 \xE6\x97\xA5\xE6\x9C\xAC", "-data",
                     "C:\\My Work\\", "*.txt", "a?.txt", "x\xED\xA0\x80y", "-vmargs"}));
}

TEST_F(WindowsLauncher, NonAsciiInstallationAndIniValues) {
  WindowsInstallation install(L"Produkt \u00dcbersicht");
  install.write_ini("[Settings]\r\nVMArgs=-Dname=\xC3\xA9t\xC3\xA9\r\n"
                    "[Environment Variables]\r\nHOME_DIR=<CURRDIR>\r\n");
  install.run(L"\"" + install.launcher() + L"\"");
  TargetRecord target = install.record();
  ASSERT_TRUE(target.found);
  EXPECT_EQ(target.arguments[0], utf8(install.directory()) + "\\.\\velmora\\velmora.exe");
  EXPECT_EQ(target.arguments.back(), "-Dname=\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(target.variable("HOME_DIR"), utf8(install.directory()) + "\\");
}

// A Ctrl-Z ends the INI file, as old editors write it: what follows it is
// not read, and the byte itself reaches no value.
TEST_F(WindowsLauncher, CtrlZEndsTheIniFile) {
  for (const std::string& ini : {
           std::string("[Settings]\r\nVMArgs=-Xmx1g\x1a\r\nVMArgs=-Dafter\r\n"),
           // Beyond the first read of the file.
           "[Settings]\r\nVMArgs=-Xmx1g\r\n\x1a" + std::string(5000, ';') +
               "\r\nVMArgs=-Dafter\r\n"}) {
    SCOPED_TRACE(ini.size());
    install_.write_ini(ini);
    install_.run(quoted_launcher());
    TargetRecord target = install_.record();
    ASSERT_TRUE(target.found);
    EXPECT_EQ(user_part(target), (Strings{"-ws", "win32", "-vmargs", "-Xmx1g"}));
  }
}

TEST_F(WindowsLauncher, HelpShowsTheUsageAndStartsNothing) {
  install_.write_ini("[Settings]\r\n");
  for (const wchar_t* option : {L"-help", L"-?", L"/help", L"/?", L"-data -help"}) {
    DriveResult result = install_.run(quoted_launcher() + L" " + option);
    SCOPED_TRACE(utf8(option));
    EXPECT_EQ(result.exit_status, 0u);
    expect_boxes(result, {{"Message", kUsage}});
    EXPECT_FALSE(install_.record(300).found);
  }
}

TEST_F(WindowsLauncher, RefusedCommandLinesShowTheUsageWithStatusOne) {
  install_.write_ini("[Settings]\r\n");
  for (const wchar_t* arguments :
       {L"-data", L"-data -clean", L"-data \"\"", L"-customizationini", L"-customizationini -x"}) {
    DriveResult result = install_.run(quoted_launcher() + L" " + arguments);
    SCOPED_TRACE(utf8(arguments));
    EXPECT_EQ(result.exit_status, 1u);
    expect_boxes(result, {{"Message", kUsage}});
    EXPECT_FALSE(install_.record(300).found);
  }
}

TEST_F(WindowsLauncher, MissingIniComesBeforeHelp) {
  DriveResult result = install_.run(quoted_launcher() + L" -help");
  EXPECT_EQ(result.exit_status, 1u);
  expect_boxes(result, {{"Error", "Cannot open INI file: " + utf8(install_.directory()) +
                                      "\\launcher.ini\n"}});
}

TEST_F(WindowsLauncher, IniNamedAfterARenamedLauncher) {
  WindowsInstallation install(L"Tool", L"velmora-start");
  install.write_ini("[Settings]\r\nVMArgs=-Xmx1g\r\n");
  DriveResult result = install.run(L"\"" + install.launcher() + L"\" -help");
  expect_boxes(result, {{"Message", "velmora-start [-data WORKSPACE] [-help] [VELMORA OPTION]"}});
}

TEST_F(WindowsLauncher, StringTestShowsEveryMessageThenLaunches) {
  install_.write_ini("[Settings]\r\n");
  DriveResult result = install_.run(quoted_launcher() + L" -stringtest -clean");
  expect_boxes(result,
               {{"Message", "Cannot open INI file: _TEST_\n"},
                {"Message", "_TEST_ version _TEST_ requires GTK _TEST_ or later to start, but it "
                            "was not found on your system. Check the product documentation for "
                            "software prerequisites to ensure your system meets the installation "
                            "requirements."},
                {"Message", "Usage:"},
                {"Message", "_TEST_ [-data WORKSPACE] [-help] [VELMORA OPTION]"},
                {"Message", "Error"},
                {"Message", "Message"}});
  TargetRecord target = install_.record();
  ASSERT_TRUE(target.found);
  EXPECT_EQ(user_part(target), (Strings{"-ws", "win32", "-stringtest", "-clean", "-vmargs"}));
}

}  // namespace

namespace {

std::string file_text(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  std::string text;
  if (file == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  return text;
}

// The trace goes to the file it names and changes nothing the program gets;
// a launcher without a standard error (started from a shortcut) writes it to
// the temporary folder; a dry run starts nothing.
TEST_F(WindowsLauncher, TraceGoesToItsFileOrTheTemporaryFolder) {
  install_.write_ini("[Settings]\r\nVMArgs=-Xmx1g\r\n[Environment Variables]\r\nTOOLS=<CURRDIR>t\r\n");
  const std::wstring command = quoted_launcher() + L" -data \"My Work\" \"\"";
  install_.run(command);
  const TargetRecord untraced = install_.record();
  ASSERT_TRUE(untraced.found);

  const std::wstring trace = install_.directory() + L"\\trace.log";
  install_.run(command, L"", {{L"VELMORA_LAUNCHER_TRACE", trace}});
  const TargetRecord traced = install_.record();
  EXPECT_EQ(traced.arguments, untraced.arguments);
  EXPECT_EQ(traced.variable("TOOLS"), untraced.variable("TOOLS"));
  EXPECT_EQ(traced.files.size(), untraced.files.size()) << "the trace file was inherited";
  const std::string text = file_text(trace);
  const std::string dir = utf8(install_.directory());
  for (const std::string& line :
       {"launcher: INI file \"" + dir + "\\launcher.ini\"\n",
        "launcher: \"TOOLS\" set: unset -> \"" + dir + "\\t\"\n",
        std::string("launcher: target argument 4: \"My Work\"\n"),
        std::string("launcher: target argument 5: \"\"\n")}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "in:\n" << text;
  }

  // Any other value: standard error, when there is one.
  EXPECT_NE(install_.run(command, L"", {{L"VELMORA_LAUNCHER_TRACE", L"yes"}})
                .standard_error.find("launcher: version "),
            std::string::npos);
  EXPECT_TRUE(install_.record().found);  // started, and done before the next run

  const std::wstring temp = install_.directory() + L"\\temp";
  CreateDirectoryW(temp.c_str(), nullptr);
  DriveResult dry = install_.run(command, L"",
                                 {{L"VELMORA_LAUNCHER_TRACE", L"1"},
                                  {L"VELMORA_LAUNCHER_DRY_RUN", L"1"},
                                  {L"TMP", temp},
                                  {L"TEMP", temp}},
                                 -1, /*standard_handles=*/false);
  EXPECT_EQ(dry.exit_status, 0u);
  EXPECT_TRUE(dry.boxes.empty());
  EXPECT_FALSE(install_.record(500).found) << "a dry run started the program";
  EXPECT_NE(file_text(temp + L"\\velmora-launcher-trace.log")
                .find("launcher: dry run: the program would be started\n"),
            std::string::npos);
}

}  // namespace
