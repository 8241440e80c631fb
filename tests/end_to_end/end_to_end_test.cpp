// The built launcher, copied into temporary installations, starting the
// recording target: what reaches the target, what the user sees on the
// standard streams, and the exit statuses. Suites are named end_to_end_* so
// that "ctest -R end_to_end" picks them out.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/end_to_end/installation.h"

namespace {

using namespace std::string_literals;

const std::string kUsage = "[Message]\nlauncher [-data WORKSPACE] [-help] [VELMORA OPTION]\n";

using end_to_end_typical_run = EndToEnd;
using end_to_end_user_arguments = EndToEnd;
using end_to_end_environment = EndToEnd;
using end_to_end_ini_file = EndToEnd;
using end_to_end_help = EndToEnd;
using end_to_end_missing_ini = EndToEnd;
using end_to_end_string_test = EndToEnd;
using end_to_end_language = EndToEnd;
using end_to_end_hand_over = EndToEnd;

// What |command| prints on standard output.
std::string output_of(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, count);
    pclose(pipe);
  }
  return text;
}

}  // namespace

TEST_F(end_to_end_typical_run, TranslatesCommandLineAndPreparesEnvironment) {
  install_->write_ini(
      "[Settings]\nVMArgs=-Xmx512m\n[Environment Variables]\nPATH=<CURRDIR>jre/bin\n"
      "WORKSPACES=<My Documents>/ws:<$HOME>/old\nTWICE=<CURRDIR>a:<CURRDIR>b:<CURRDIR>\n");
  RunResult result = launch({"-data", "My Work", "-clean"});
  EXPECT_EQ(result.exit_status, kTargetExitStatus);
  EXPECT_EQ(result.standard_error + result.standard_output, "");
  Record target = started();
  EXPECT_EQ(target.arguments, target_argv({"-data", "My Work", "-clean"}, {"-Xmx512m"}));
  const std::string dir = install_->directory() + "/", home = environment_["HOME"];
  EXPECT_EQ(target.variable("PATH"), "/usr/bin:/bin:" + dir + "jre/bin");
  EXPECT_EQ(target.variable("WORKSPACES"), home + "/ws:" + home + "/old");
  EXPECT_EQ(target.variable("TWICE"), dir + "a:" + dir + "b:" + dir);
  EXPECT_EQ(target.variable("RECORD_FILE"), install_->record_file());
}

TEST_F(end_to_end_typical_run, InstallationFollowsHowTheLauncherWasStarted) {
  install_->write_ini("[Settings]\n");
  const std::string dir = install_->directory(), elsewhere = install_->root();
  const std::string linked = elsewhere + "/linked";
  install_->write_file(linked + "/velmora-start.ini", "[Settings]\n");
  copy_recording_target(linked + "/velmora/velmora");
  std::filesystem::create_symlink(install_->launcher(), linked + "/velmora-start");
  struct {
    std::string argv0, path, cwd, target;
  } cases[] = {
      {dir + "/launcher", "/usr/bin", elsewhere, dir + "/./velmora/velmora"},
      {"launcher", "/usr/bin:" + dir, elsewhere, dir + "/./velmora/velmora"},
      {"./launcher", "/usr/bin", dir, dir + "/././velmora/velmora"},
      {"launcher", "/usr/bin", dir, dir + "/././velmora/velmora"},  // "." searched last
      {"launcher", "/usr/bin:" + dir, dir, dir + "/./velmora/velmora"},
      {"My Product/launcher", "/usr/bin", elsewhere, dir + "/./velmora/velmora"},
      // A link elsewhere, under another name, keeps the INI and the target
      // beside the link.
      {linked + "/velmora-start", "/usr/bin", elsewhere, linked + "/./velmora/velmora"},
      {"velmora-start", "/usr/bin:" + linked, elsewhere, linked + "/./velmora/velmora"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("argv[0] " + c.argv0 + " in " + c.cwd);
    environment_["PATH"] = c.path;
    EXPECT_EQ(launch({"x"}, c.argv0, c.cwd).exit_status, kTargetExitStatus);
    EXPECT_EQ(started().arguments, (Strings{c.target, "-ws", "gtk", "x", "-vmargs"}));
  }
}

TEST_F(end_to_end_typical_run, UserWindowSystemAndVmArgumentsKeepTheirPlace) {
  install_->write_ini("[Settings]\nVMArgs=-Xmx512m\n");
  launch({"-ws", "motif", "-vmargs", "-Dx=1"});
  EXPECT_EQ(started().arguments, (Strings{install_->directory() + "/./velmora/velmora", "-ws",
                                          "motif", "-vmargs", "-Xmx512m", "-Dx=1"}));
}

TEST_F(end_to_end_typical_run, QuoteInInstallationDirectoryTakesNoArgumentAlong) {
  reinstall("launcher", "odd\"name here");
  install_->write_ini("[Settings]\n");
  launch({"-clean", "x y"});
  EXPECT_EQ(started().arguments, target_argv({"-clean", "x y"}));
}

TEST_F(end_to_end_user_arguments, ReachTheTargetByteForByte) {
  install_->write_ini("[Settings]\nVMArgs=-Xmx512m\n");
  const Strings arguments = {
      "trailing\\", "C:\\My Dir\\", "say \"hi\"", "\"", "\"\"", "tab\there", "new\nline",
      "vertical\vtab", "", "  ", "a\\\\\\\"b", "\\\\\\", "\\\\server\\share", "a\\\\\"b c",
      "ünïcödé ✓ 中文", "bad \xff\xfe\x80 bytes", "%PATH%", "'single'", "-data",
      "C:\\ws \"quoted\"\\"};
  launch(arguments);
  EXPECT_EQ(started().arguments, target_argv(arguments, {"-Xmx512m"}));
}

TEST_F(end_to_end_user_arguments, CustomizationFileGoesFirstUnchanged) {
  install_->write_ini("[Settings]\nCustomizationINI=from-ini.ini\n");
  launch({"-clean", "-customizationini", "my \"custom\" file\\", "-x"});
  EXPECT_EQ(started().arguments,
            target_argv({"-plugincustomization", "my \"custom\" file\\", "-clean", "-x"}));
}

TEST_F(end_to_end_user_arguments, VmArgumentsLineIsSplitAsOnWindows) {
  install_->write_ini("[Settings]\nVMArgs=-Xms64m -Xmx512m\nVMArgs=-Dp=\"My Path\"\nVMArgs=\n");
  launch({});
  EXPECT_EQ(started().arguments, target_argv({}, {"-Xms64m", "-Xmx512m", "-Dp=My Path"}));
}

TEST_F(end_to_end_environment, DocumentsFolderComesFromUserDirs) {
  const std::string home = environment_["HOME"];
  environment_["XDG_CONFIG_HOME"] = install_->root() + "/config";
  install_->write_file(install_->root() + "/config/user-dirs.dirs",
                       "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
  install_->write_ini("[Environment Variables]\nDOCS=<My Documents>\nALSO=<$HOME>/x\n");
  launch({});
  Record target = started();
  EXPECT_EQ(target.variable("DOCS"), home + "/Docs");
  EXPECT_EQ(target.variable("ALSO"), home + "/Docs/x");
}

TEST_F(end_to_end_environment, AppendsInFileOrderAndEmptyEntriesChangeNothing) {
  environment_["LIST"] = "inherited";
  environment_["EMPTY"] = "";
  environment_["KEPT_EMPTY"] = "";
  install_->write_ini(
      "[Environment Variables]\nLIST=<CURRDIR>a\nLIST=b\nEMPTY=first\n"
      "FRESH=one\nFRESH=two\nNOTHING=\nSPACED = kept=as is \nPATH=\nKEPT_EMPTY=\n");
  launch({});
  Record target = started();
  EXPECT_EQ(target.variable("LIST"), "inherited:" + install_->directory() + "/a:b");
  EXPECT_EQ(target.variable("EMPTY"), "first");
  EXPECT_EQ(target.variable("FRESH"), "one:two");
  EXPECT_EQ(target.variable("NOTHING"), std::nullopt);
  EXPECT_EQ(target.variable("SPACED "), " kept=as is ");
  EXPECT_EQ(target.variable("PATH"), environment_["PATH"]);
  EXPECT_EQ(target.variable("KEPT_EMPTY"), "");
}

TEST_F(end_to_end_environment, VariableTheIniChangesComesOnceThoughPassedTwice) {
  // getenv reads the first entry of a name, bash and Python the last.
  extra_entries_ = {"LIST=first", "LIST=second", "BLANK=", "BLANK=second",
                    "OTHER=first", "OTHER=second"};
  install_->write_ini("[Environment Variables]\nLIST=added\nBLANK=set\n");
  launch({});
  const Record target = started();
  auto entries = [&target](const std::string& name) {
    Strings found;
    for (const std::string& entry : target.environment) {
      if (entry.compare(0, name.size() + 1, name + "=") == 0) found.push_back(entry);
    }
    return found;
  };
  EXPECT_EQ(entries("LIST"), Strings{"LIST=first:added"});
  EXPECT_EQ(entries("BLANK"), Strings{"BLANK=set"});
  EXPECT_EQ(entries("OTHER"), (Strings{"OTHER=first", "OTHER=second"}));  // as passed
}

TEST_F(end_to_end_environment, RefusedAssignmentIsReportedAndLaunchGoesOn) {
  install_->write_ini("[Environment Variables]\nBEFORE=1\nBAD=x\0y\nN\0UL=v\nAFTER=2\n"s);
  RunResult result = launch({});
  EXPECT_EQ(result.standard_output,
            "Error setting up env variable: BAD=x\\x00y\n"
            "Error setting up env variable: N\\x00UL=v\n");
  EXPECT_EQ(result.exit_status, kTargetExitStatus);
  Record target = started();
  EXPECT_EQ(target.variable("BEFORE"), "1");
  EXPECT_EQ(target.variable("AFTER"), "2");
  EXPECT_EQ(target.variable("BAD"), std::nullopt);
  EXPECT_EQ(target.variable("N"), std::nullopt);
}

TEST_F(end_to_end_ini_file, ByteOrderMarkCrLfAndLongLines) {
  const std::string long_value = "-Dlong=" + std::string(600, 'v');
  install_->write_ini("\xEF\xBB\xBF[Settings]\r\nVMArgs=-Xmx1g\r\nVMArgs=" + long_value +
                      "\r\n; VMArgs=-Dcomment\r\n[Other]\r\nVMArgs=-Dother\r\n"
                      "  [Environment Variables]  \r\nVELMORA_X=<CURRDIR>x\r\n");
  EXPECT_EQ(launch({}).exit_status, kTargetExitStatus);
  Record target = started();
  EXPECT_EQ(target.arguments, target_argv({}, {"-Xmx1g", long_value}));
  EXPECT_EQ(target.variable("VELMORA_X"), install_->directory() + "/x");
}

TEST_F(end_to_end_help, EveryHelpOptionShowsUsageAndStartsNothing) {
  install_->write_ini("[Settings]\n");
  for (const Strings& arguments : {Strings{"-help"}, Strings{"-?"}, Strings{"/help"},
                                   Strings{"/?"}, Strings{"-clean", "-data", "-help"}}) {
    SCOPED_TRACE(arguments.back());
    expect_no_start(launch(arguments), 0, kUsage);
  }
}

TEST_F(end_to_end_help, UsageNamesTheLauncherByItsStem) {
  for (const std::string name : {"myapp", "my.app"}) {
    reinstall(name);
    install_->write_ini("[Settings]\n");  // myapp.ini, my.ini
    expect_no_start(launch({"-help"}), 0,
                    "[Message]\n" + name.substr(0, name.find('.')) +
                        " [-data WORKSPACE] [-help] [VELMORA OPTION]\n");
  }
}

TEST_F(end_to_end_help, OptionWithoutAcceptableValueIsRefused) {
  install_->write_ini("[Settings]\n");
  for (const Strings& arguments :
       {Strings{"-data"}, Strings{"-data", "-clean"}, Strings{"-data", ""},
        Strings{"-customizationini"}, Strings{"-customizationini", "-x"},
        Strings{"-customizationini", ""}}) {
    SCOPED_TRACE(arguments[0] + " followed by " + std::to_string(arguments.size() - 1));
    expect_no_start(launch(arguments), 1, kUsage);
  }
}

TEST_F(end_to_end_missing_ini, ErrorEvenForHelpWithTerminalCodesEscaped) {
  expect_no_start(launch({}), 1, missing_ini());
  expect_no_start(launch({"-help"}), 1, missing_ini());
  // A path may hold what a terminal takes for commands: it is shown inert.
  reinstall("launcher", "red\x1b[31mdir");
  expect_no_start(launch({}), 1,
                  "[Error]\nCannot open INI file: " + install_->root() +
                      "/red\\x1b[31mdir/launcher.ini\n");
}

TEST_F(end_to_end_missing_ini, DirectoryOrFifoIsNotAnIniFile) {
  std::filesystem::create_directory(install_->ini_path());
  expect_no_start(launch({}), 1, missing_ini());
  std::filesystem::remove(install_->ini_path());
  ASSERT_EQ(mkfifo(install_->ini_path().c_str(), 0644), 0);
  expect_no_start(launch({}), 1, missing_ini());
}

TEST_F(end_to_end_typical_run, PlantedFilesOfItsNameAreNeverTaken) {
  // Where the name leads anywhere but to the running launcher (a file anyone
  // could plant), the launcher's own installation counts, never the INI and
  // target planted beside that file.
  install_->write_ini("[Settings]\nVMArgs=-Dreal\n");
  const std::string planted = install_->root() + "/planted";
  install_->write_file(planted + "/launcher.ini",
                       "[Settings]\nVMArgs=-Dplanted\n[Environment Variables]\nPLANTED=1\n");
  copy_recording_target(planted + "/velmora/velmora");
  const std::string dir = install_->directory(), elsewhere = install_->root();
  struct {
    std::string name, argv0, path, cwd;
    bool executable;  // planted/launcher: a copy of the launcher, else text
  } cases[] = {
      {"text file in the current directory", "launcher", "/usr/bin", planted, false},
      {"text file earlier on PATH", "launcher", planted + ":" + dir, elsewhere, false},
      {"argv[0] naming a planted copy", planted + "/launcher", "/usr/bin", elsewhere, true},
      {"relative name of a planted copy", "./launcher", "/usr/bin", planted, true},
      {"name of no file", "no-such-launcher", "/usr/bin", planted, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(planted + "/launcher");
    if (c.executable) {
      std::filesystem::copy_file(LAUNCHER_BINARY, planted + "/launcher");
    } else {
      install_->write_file(planted + "/launcher", "#!/bin/sh\n");
    }
    environment_["PATH"] = c.path;
    EXPECT_EQ(launch({}, c.argv0, c.cwd).exit_status, kTargetExitStatus);
    Record target = started();
    EXPECT_EQ(target.arguments, target_argv({}, {"-Dreal"}));
    EXPECT_EQ(target.variable("PLANTED"), std::nullopt);
  }
}

TEST_F(end_to_end_missing_ini, ReadErrorCountsAsMissing) {
  // strace makes the second read of the INI file fail, after the first has
  // returned all of it: what was read is not used.
  const std::string strace = "/usr/bin/strace";
  ASSERT_TRUE(std::filesystem::exists(strace)) << "scripts/test.sh installs strace";
  Invocation invocation;
  invocation.program = strace;
  invocation.arguments = {strace, "-o", "/dev/null", "/bin/true"};
  if (run_program(invocation).exit_status != 0) {
    GTEST_SKIP() << "strace cannot trace a process here (no ptrace)";
  }
  install_->write_ini("[Settings]\nVMArgs=-Dread\n");
  invocation.arguments = {strace, "-o", "/dev/null", "-P", install_->ini_path(),
                          "-e", "trace=read", "-e", "inject=read:error=EIO:when=2",
                          install_->launcher()};
  for (const auto& [name, value] : environment_) {
    invocation.environment.push_back(name + "=" + value);
  }
  invocation.environment.push_back("ASAN_OPTIONS=detect_leaks=0");  // no LeakSanitizer under ptrace
  expect_no_start(run_program(invocation), 1, missing_ini());
}

TEST_F(end_to_end_string_test, ShowsEveryTextThenStartsTheTarget) {
  install_->write_ini("[Settings]\n");
  RunResult result = launch({"-stringtest", "-clean"});
  EXPECT_EQ(result.standard_error,
            "[Message]\nCannot open INI file: _TEST_\n"
            "[Message]\n_TEST_ version _TEST_ requires GTK _TEST_ or later to start, but it "
            "was not found on your system. Check the product documentation for software "
            "prerequisites to ensure your system meets the installation requirements.\n"
            "[Message]\nUsage:\n[Message]\n_TEST_ [-data WORKSPACE] [-help] [VELMORA OPTION]\n"
            "[Message]\nError\n[Message]\nMessage\n");
  EXPECT_EQ(result.exit_status, kTargetExitStatus);
  EXPECT_EQ(started().arguments, target_argv({"-stringtest", "-clean"}));
}

TEST_F(end_to_end_string_test, GermanTexts) {
  install_->write_ini("[Settings]\n");
  environment_["LC_ALL"] = "de_DE.UTF-8";
  RunResult result = launch({"-stringtest"});
  EXPECT_EQ(result.standard_error,
            "[Nachricht]\nINI-Datei _TEST_ kann nicht geöffnet werden\n"
            "[Nachricht]\nZum Starten von _TEST_ Version _TEST_ wird GTK _TEST_ oder höher "
            "benötigt, konnte aber nicht auf dem System gefunden werden. Stellen Sie anhand "
            "der Softwarevoraussetzungen in der Produktdokumentation sicher, dass Ihr System "
            "den Installationsvoraussetzungen entspricht. \n"
            "[Nachricht]\nVerwendung:\n"
            "[Nachricht]\n_TEST_ [-data ARBEITSBEREICH] [-help] [VELMORA-OPTIONEN]\n"
            "[Nachricht]\nFehler\n[Nachricht]\nNachricht\n");
  EXPECT_EQ(result.exit_status, kTargetExitStatus);
}

TEST_F(end_to_end_string_test, OnlyAsFirstArgument) {
  install_->write_ini("[Settings]\n");
  EXPECT_EQ(launch({"-clean", "-stringtest"}).standard_error, "");
  EXPECT_EQ(started().arguments, target_argv({"-clean", "-stringtest"}));
}

TEST_F(end_to_end_language, FirstNonEmptyOfLcAllLcMessagesLang) {
  const std::string path = install_->ini_path();
  struct {
    const char *lc_all, *lc_messages, *lang;
    std::string error;
  } cases[] = {
      {"de_DE.UTF-8", "fr_FR", "it_IT",
       "[Fehler]\nINI-Datei " + path + " kann nicht geöffnet werden\n"},
      {"", "fr_FR.UTF-8", "de_DE", "[Erreur]\nImpossible d'ouvrir le fichier INI : " + path + "\n"},
      {nullptr, "", "it_IT", "[Errore]\nImpossibile aprire il file INI: " + path + "\n"},
      {"zh_TW.UTF-8", nullptr, nullptr, "[錯誤]\n無法開啟 INI 檔：" + path + "\n"},
      {nullptr, "zh_HK", nullptr, "[錯誤]\n無法開啟 INI 檔：" + path + "\n"},
      {nullptr, nullptr, "zh_CN.UTF-8", "[错误]\n打不开 INI 文件：" + path + "\n"},
      {"pt_BR.UTF-8", nullptr, nullptr,
       "[Erro]\nNão é possível abrir o arquivo INI: " + path + "\n"},
      {"nl_NL.UTF-8", "de_DE", nullptr, missing_ini()},
      {nullptr, nullptr, nullptr, missing_ini()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    const char* values[] = {c.lc_all, c.lc_messages, c.lang};
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (int i = 0; i < 3; ++i) {
      environment_.erase(names[i]);
      if (values[i] != nullptr) environment_[names[i]] = values[i];
    }
    expect_no_start(launch({}), 1, c.error);
  }
}

TEST_F(end_to_end_language, IniEntriesDoNotChangeTheMessagesLanguage) {
  // The INI prepares the target's environment; the user's own language
  // still speaks to the user.
  install_->write_ini("[Environment Variables]\nLC_ALL=de_DE.UTF-8\nLANG=fr_FR.UTF-8\n");
  environment_.erase("LC_ALL");
  environment_.erase("LC_MESSAGES");
  environment_["LANG"] = "it_IT.UTF-8";
  expect_no_start(launch({"-help"}), 0,
                  "[Messaggio]\nlauncher [-data WORKSPACE] [-help] [VELMORA OPTION]\n");
}

TEST_F(end_to_end_hand_over, TargetMissingOrNotExecutable) {
  install_->write_ini("[Settings]\n");
  std::filesystem::remove(install_->target());
  const std::string perror_line = "Error when executing execv: ";
  struct {
    std::string language, reason, error;
  } cases[] = {
      {"C", "No such file or directory", "[Error]\nError: Failed Loading Velmora.\n"},
      {"de_DE.UTF-8", "", "[Fehler]\nFehler: Failed Loading Velmora.\n"},
      // Loading a UTF-8 locale for perror must not change the error it reports.
      {"C.UTF-8", "Permission denied", "[Error]\nError: Failed Loading Velmora.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error + c.reason);
    if (c.reason == "Permission denied") {  // present, but without execute permission
      copy_recording_target(install_->target());
      std::filesystem::permissions(install_->target(), std::filesystem::perms::owner_read);
    }
    environment_["LC_ALL"] = c.language;
    RunResult result = launch({"-clean"});
    const std::string& err = result.standard_error;
    size_t feed = err.find('\n');
    ASSERT_EQ(err.compare(0, perror_line.size(), perror_line), 0) << err;
    ASSERT_NE(feed, std::string::npos);
    // perror speaks the system's language; only the C locale's text is known.
    if (!c.reason.empty()) {
      EXPECT_EQ(err.substr(0, feed), perror_line + c.reason);
    }
    expect_no_start(result, 1, err.substr(0, feed + 1) + c.error);
  }
}

TEST_F(end_to_end_hand_over, TargetHasOnlyTheDescriptorsTheLauncherInherited) {
  // No file the launcher opened (its INI file) stays open in the target.
  install_->write_ini("[Settings]\n");
  launch({});
  const Strings through_launcher = started().descriptors;
  Invocation direct;
  direct.program = install_->target();
  direct.arguments = {direct.program};
  for (const auto& [name, value] : environment_) direct.environment.push_back(name + "=" + value);
  run_program(direct);
  EXPECT_EQ(through_launcher, started().descriptors);
  EXPECT_FALSE(through_launcher.empty());
  // Nor does a trace file, which stays open until the start.
  environment_["VELMORA_LAUNCHER_TRACE"] = install_->root() + "/trace.log";
  launch({});
  EXPECT_EQ(started().descriptors, through_launcher);
}

TEST(end_to_end_hardening, LauncherIsStaticPieWithFullRelro) {
  const std::string headers = output_of("readelf -hldW '" LAUNCHER_BINARY "'");
  EXPECT_NE(headers.find("Type:                              DYN"), std::string::npos) << headers;
  EXPECT_NE(headers.find("GNU_RELRO"), std::string::npos) << headers;
  EXPECT_NE(headers.find("BIND_NOW"), std::string::npos) << headers;
  // Only a sanitizer runtime, which cannot run in a static program, brings
  // the dynamic loader in.
  if (headers.find("libasan") == std::string::npos) {
    EXPECT_EQ(headers.find("INTERP"), std::string::npos) << headers;
  }
}

TEST(end_to_end_hardening, ProductIsCompiledWithStackProtectorAndFortify) {
  // One "command" line per source in the build's compile_commands.json.
  std::ifstream in(std::filesystem::path(LAUNCHER_BINARY).parent_path().parent_path() /
                   "compile_commands.json");
  ASSERT_TRUE(in) << "no compile_commands.json beside bin/";
  int product_sources = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.find("\"command\"") == std::string::npos ||
        (line.find("/launcher.dir/") == std::string::npos &&
         line.find("/launcher_core.dir/") == std::string::npos &&
         line.find("/launcher_posix.dir/") == std::string::npos)) {
      continue;
    }
    ++product_sources;
    EXPECT_NE(line.find(" -fstack-protector-strong"), std::string::npos) << line;
    // Fortified calls exist only in optimised code.
    if (line.find(" -O") != std::string::npos && line.find(" -O0") == std::string::npos) {
      EXPECT_NE(line.find(" -D_FORTIFY_SOURCE=2"), std::string::npos) << line;
    }
  }
  EXPECT_GT(product_sources, 10);
}
