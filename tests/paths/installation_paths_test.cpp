// Where the launcher finds itself, and the paths derived from that.
#include "paths/installation_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/launch_settings.h"
#include "paths/path_rules.h"
#include "tests/support/fake_system.h"

namespace {

struct Located {
  std::string launcher_path, directory, file_name, stem, ini_path, target;
};

void expect_located(const LaunchSettings& s, const Located& want) {
  EXPECT_EQ(s.launcher_path, want.launcher_path);
  EXPECT_EQ(s.installation_directory, want.directory);
  EXPECT_EQ(s.launcher_file_name, want.file_name);
  EXPECT_EQ(s.launcher_stem, want.stem);
  EXPECT_EQ(s.ini_path, want.ini_path);
  EXPECT_EQ(s.target_program_path, want.target);
}

class WindowsLocateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    system.cwd = "C:\\Prod";
    system.environment["PATH"] = "C:\\Windows;C:\\Tools";
  }
  void locate(const std::string& name) {
    locate_launcher(settings, system, rules, name);
  }
  std::string resolve(const std::string& name) {
    return resolve_program_path(system, rules, name);
  }

  FakeSystem system;
  PathRules rules = windows_path_rules();
  LaunchSettings settings;
};

TEST_F(WindowsLocateTest, AbsoluteNameIsTakenAsItStands) {
  system.add_file("C:\\Prod\\launcher.exe");
  system.add_file("C:\\Tools\\launcher.exe");
  locate("C:\\Prod\\launcher.exe");
  expect_located(settings, {"C:\\Prod\\launcher.exe", "C:\\Prod\\", "launcher.exe",
                            "launcher", "C:\\Prod\\launcher.ini",
                            "C:\\Prod\\.\\velmora\\velmora.exe"});
  EXPECT_EQ(system.file_tests, std::vector<std::string>{"C:\\Prod\\launcher.exe"});

  // A name starting at the root is absolute too.
  system.add_file("\\Prod\\launcher.exe");
  EXPECT_EQ(resolve("\\Prod\\launcher.exe"), "\\Prod\\launcher.exe");
}

TEST_F(WindowsLocateTest, BareNameSearchesPathThenCurrentDirectoryThenRetriesWithExe) {
  system.add_file("C:\\Prod\\.\\launcher.exe");
  locate("launcher");
  expect_located(settings, {"C:\\Prod\\.\\launcher.exe", "C:\\Prod\\.\\",
                            "launcher.exe", "launcher", "C:\\Prod\\.\\launcher.ini",
                            "C:\\Prod\\.\\.\\velmora\\velmora.exe"});
  EXPECT_EQ(system.file_tests,
            (std::vector<std::string>{
                "C:\\Windows\\launcher", "C:\\Tools\\launcher",
                "C:\\Prod\\.\\launcher", "C:\\Windows\\launcher.exe",
                "C:\\Tools\\launcher.exe", "C:\\Prod\\.\\launcher.exe"}));
}

TEST_F(WindowsLocateTest, BareNameSearchCases) {
  struct Case {
    const char* what;
    const char* path;  // nullptr: PATH unset
    std::vector<std::string> files;
    std::vector<std::string> directories;
    const char* name;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"PATH entry wins over the current directory", "C:\\Windows;C:\\Tools",
       {"C:\\Tools\\launcher.exe", "C:\\Prod\\.\\launcher.exe"}, {},
       "launcher.exe", "C:\\Tools\\launcher.exe"},
      {"entry ending in a backslash gets no second one", "C:\\Tools\\",
       {"C:\\Tools\\launcher.exe"}, {}, "launcher.exe", "C:\\Tools\\launcher.exe"},
      {"empty entries are skipped, never read as the root", ";;C:\\Tools;;",
       {"\\launcher.exe", "C:\\Tools\\launcher.exe"}, {}, "launcher.exe",
       "C:\\Tools\\launcher.exe"},
      {"PATH unset still searches the current directory", nullptr,
       {"C:\\Prod\\.\\launcher.exe"}, {}, "launcher.exe",
       "C:\\Prod\\.\\launcher.exe"},
      {"a directory of that name does not count", "C:\\Tools",
       {"C:\\Prod\\.\\launcher.exe"}, {"C:\\Tools\\launcher.exe"},
       "launcher.exe", "C:\\Prod\\.\\launcher.exe"},
      {"relative entries below the current directory", "..\\Tools;.\\bin",
       {"C:\\Prod\\.\\bin\\launcher.exe", "C:\\Prod\\..\\Tools\\launcher.exe"}, {},
       "launcher.exe", "C:\\Prod\\..\\Tools\\launcher.exe"},
      {"two-character C: is a bare name", "C:\\Tools", {"C:\\Tools\\C:"}, {},
       "C:", "C:\\Tools\\C:"},
      {"forward slashes: an entry ending in one, relative entries", "C:/Tools/;../x;./bin",
       {"C:\\Prod\\./bin\\launcher.exe", "C:\\Prod\\../x\\launcher.exe",
        "C:/Tools/launcher.exe"},
       {}, "launcher.exe", "C:/Tools/launcher.exe"},
      {"./ and ../ entries are below the current directory", "../x;./bin",
       {"C:\\Prod\\./bin\\launcher.exe", "../x\\launcher.exe"}, {},
       "launcher.exe", "C:\\Prod\\./bin\\launcher.exe"},
      {"nothing anywhere", "C:\\Tools", {"C:\\Other\\launcher.exe"}, {},
       "launcher.exe", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSystem fresh;
    fresh.cwd = "C:\\Prod";
    if (c.path != nullptr) fresh.environment["PATH"] = c.path;
    for (const std::string& f : c.files) fresh.add_file(f);
    fresh.directories.insert(c.directories.begin(), c.directories.end());
    EXPECT_EQ(resolve_program_path(fresh, rules, c.name), c.expected);
    for (const std::string& tested : fresh.file_tests) {
      EXPECT_EQ(tested.find("\\\\"), std::string::npos) << tested;
    }
  }
}

TEST_F(WindowsLocateTest, NameWithoutExeIsPreferredWhenItExists) {
  system.add_file("C:\\Prod\\.\\launcher");
  system.add_file("C:\\Tools\\launcher.exe");
  locate("launcher");
  EXPECT_EQ(settings.launcher_path, "C:\\Prod\\.\\launcher");
  EXPECT_EQ(settings.launcher_stem, "launcher");
  EXPECT_EQ(settings.ini_path, "C:\\Prod\\.\\launcher.ini");
}

TEST_F(WindowsLocateTest, RelativeNameWithDirectoryUsesOnlyCurrentDirectory) {
  system.add_file("C:\\Tools\\bin\\launcher.exe");
  EXPECT_EQ(resolve("bin\\launcher.exe"), "");
  EXPECT_EQ(system.file_tests, std::vector<std::string>{"C:\\Prod\\bin\\launcher.exe"});

  system.add_file("C:\\Prod\\bin\\launcher.exe");
  locate("bin\\launcher.exe");
  expect_located(settings, {"C:\\Prod\\bin\\launcher.exe", "C:\\Prod\\bin\\",
                            "launcher.exe", "launcher", "C:\\Prod\\bin\\launcher.ini",
                            "C:\\Prod\\bin\\.\\velmora\\velmora.exe"});

  // A current directory that already ends in a backslash gets no second one.
  system.cwd = "C:\\";
  system.add_file("C:\\bin\\launcher.exe");
  EXPECT_EQ(resolve("bin\\launcher.exe"), "C:\\bin\\launcher.exe");
}

TEST_F(WindowsLocateTest, DriveRelativeNameIsTakenAsItStands) {
  system.add_file("C:\\Tools\\C:x");
  EXPECT_EQ(resolve("C:x"), "");
  EXPECT_EQ(system.file_tests, std::vector<std::string>{"C:x"});
  // A forward slash separates too: these are absolute or below the current
  // directory, never searched on PATH.
  system.add_file("/Prod/launcher.exe");
  system.add_file("C:/Prod/launcher.exe");
  system.add_file("C:\\Prod\\bin/launcher.exe");
  EXPECT_EQ(resolve("/Prod/launcher.exe"), "/Prod/launcher.exe");
  EXPECT_EQ(resolve("C:/Prod/launcher.exe"), "C:/Prod/launcher.exe");
  EXPECT_EQ(resolve("bin/launcher.exe"), "C:\\Prod\\bin/launcher.exe");
}

// The name is the caller's to choose and a file that fits it anyone's to
// plant: it counts only when it leads to the running executable.
TEST(LocateCheckedTest, NameCountsOnlyWhenItIsTheRunningExecutable) {
  const PathRules windows = windows_path_rules();
  const PathRules posix = posix_path_rules();
  struct Case {
    const char* what;
    const PathRules* rules;
    const char* executable;  // the system's record; "" when it keeps none
    std::vector<std::string> files;
    std::vector<std::pair<std::string, std::string>> same;  // link -> file
    const char* name;
    const char* launcher_path;
    const char* ini_path;
  };
  const std::string own = "C:\\Prod\\launcher.exe";
  const std::vector<Case> cases = {
      {"renamed link keeps its own INI", &windows, own.c_str(),
       {own, "C:\\Links\\start.exe"}, {{"C:\\Links\\start.exe", own}},
       "C:\\Links\\start.exe", "C:\\Links\\start.exe", "C:\\Links\\start.ini"},
      {"forward slashes stay as written", &windows, own.c_str(),
       {own, "C:/Prod/launcher.exe"}, {{"C:/Prod/launcher.exe", own}},
       "C:/Prod/launcher.exe", "C:/Prod/launcher.exe", "C:/Prod/launcher.ini"},
      {"planted file in the current directory", &windows, own.c_str(),
       {own, "C:\\Work\\.\\launcher.exe"}, {}, "launcher", own.c_str(),
       "C:\\Prod\\launcher.ini"},
      {"name leads nowhere", &windows, own.c_str(), {own}, {}, "gone", own.c_str(),
       "C:\\Prod\\launcher.ini"},
      {"drive-relative name has no directory", &windows, own.c_str(),
       {own, "C:launcher.exe"}, {{"C:launcher.exe", own}}, "C:launcher.exe",
       own.c_str(), "C:\\Prod\\launcher.ini"},
      {"no record: a path without a directory is never used", &windows, "",
       {"C:launcher.exe"}, {}, "C:launcher.exe", "", ".ini"},
      {"no record: the name stands", &windows, "",
       {"C:\\Work\\.\\launcher.exe"}, {}, "launcher", "C:\\Work\\.\\launcher.exe",
       "C:\\Work\\.\\launcher.ini"},
      {"POSIX: a file that cannot run is skipped on PATH", &posix, "",
       {"/usr/bin/launcher", "/opt/prod/launcher"}, {}, "launcher",
       "/opt/prod/launcher", "/opt/prod/launcher.ini"},
      {"POSIX: a planted name gives way to the record", &posix, "/opt/prod/launcher",
       {"/opt/prod/launcher", "/tmp/launcher"}, {}, "/tmp/launcher",
       "/opt/prod/launcher", "/opt/prod/launcher.ini"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSystem system;
    system.cwd = c.rules == &windows ? "C:\\Work" : "/work";
    system.environment["PATH"] = c.rules == &windows ? "C:\\Tools" : "/usr/bin:/opt/prod";
    system.executable = c.executable;
    for (const std::string& file : c.files) system.add_file(file);
    system.not_executable.insert("/usr/bin/launcher");
    for (const auto& link : c.same) system.same_file_as[link.first] = link.second;
    LaunchSettings settings;
    locate_launcher(settings, system, *c.rules, c.name);
    EXPECT_EQ(settings.launcher_path, c.launcher_path);
    EXPECT_EQ(settings.ini_path, c.ini_path);
  }
}

// An executable built as a companion ("-console") shares the INI file of
// the stem without that ending when it has none of its own; no other does.
TEST(LocateCompanionTest, SharedIniOnlyForTheCompanionWithoutItsOwn) {
  PathRules companion = windows_path_rules();
  companion.companion_suffix = "-console";
  const PathRules windows = windows_path_rules();
  const PathRules posix = posix_path_rules();
  struct Case {
    const char* what;
    const PathRules* rules;
    const char* executable;
    std::vector<std::string> inis;  // the INI files that exist
    const char* ini_path;
  };
  const std::vector<Case> cases = {
      {"its own INI first", &companion, "C:\\P\\tool-console.exe",
       {"C:\\P\\tool-console.ini", "C:\\P\\tool.ini"}, "C:\\P\\tool-console.ini"},
      {"else the shared one", &companion, "C:\\P\\tool-console.exe",
       {"C:\\P\\tool.ini"}, "C:\\P\\tool.ini"},
      {"neither: the last path tried", &companion, "C:\\P\\tool-console.exe", {},
       "C:\\P\\tool.ini"},
      {"another stem keeps its own", &companion, "C:\\P\\tool.exe",
       {"C:\\P\\-console.ini"}, "C:\\P\\tool.ini"},
      {"nothing before the ending", &companion, "C:\\P\\-console.exe", {"C:\\P\\.ini"},
       "C:\\P\\-console.ini"},
      {"the GUI launcher never", &windows, "C:\\P\\tool-console.exe",
       {"C:\\P\\tool.ini"}, "C:\\P\\tool-console.ini"},
      {"POSIX never", &posix, "/p/tool-console", {"/p/tool.ini"},
       "/p/tool-console.ini"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSystem system;
    system.cwd = c.rules == &posix ? "/work" : "C:\\Work";
    system.executable = c.executable;
    system.add_file(c.executable);
    for (const std::string& ini : c.inis) system.add_file(ini);
    LaunchSettings settings;
    locate_launcher(settings, system, *c.rules, c.executable);
    EXPECT_EQ(settings.ini_path, c.ini_path);
  }
}

TEST_F(WindowsLocateTest, UnknownCurrentDirectoryNeverMeansTheRoot) {
  system.cwd = "";
  system.environment.erase("PATH");
  for (const char* planted : {"\\launcher.exe", "\\.\\launcher.exe",
                              ".\\launcher.exe", "\\bin\\launcher.exe",
                              "bin\\launcher.exe"}) {
    system.add_file(planted);
  }
  EXPECT_EQ(resolve("bin\\launcher.exe"), "");
  locate("launcher");
  EXPECT_EQ(settings.launcher_path, "");
  EXPECT_TRUE(system.file_tests.empty());
}

TEST_F(WindowsLocateTest, NotFoundLeavesOnlyIniAndTargetRelative) {
  locate("launcher");
  expect_located(settings, {"", "", "", "", ".ini", ".\\velmora\\velmora.exe"});
}

TEST_F(WindowsLocateTest, LongPathsAndStemsAreKeptInFull) {
  const std::string directory = "C:\\" + std::string(300, 'd') + "\\" +
                                std::string(900, 'e') + "\\";
  const std::string stem = "launcher" + std::string(60, 's');
  system.add_file(directory + stem + ".exe");
  locate(directory + stem + ".exe");
  expect_located(settings, {directory + stem + ".exe", directory, stem + ".exe",
                            stem, directory + stem + ".ini",
                            directory + ".\\velmora\\velmora.exe"});
}

TEST(PathParts, DirectoryAndFileName) {
  const PathRules windows = windows_path_rules();
  const PathRules posix = posix_path_rules();
  struct Case {
    const PathRules* rules;
    const char* path;
    const char* directory;
    const char* file_name;
  };
  const Case cases[] = {
      {&windows, "C:\\Prod\\launcher.exe", "C:\\Prod\\", "launcher.exe"},
      {&windows, "C:\\Prod\\", "C:\\Prod\\", ""},
      {&windows, "\\", "\\", ""},
      {&windows, "launcher.exe", "", "launcher.exe"},
      {&windows, "", "", ""},
      {&windows, "C:/Prod/launcher.exe", "C:/Prod/", "launcher.exe"},
      {&windows, "C:\\Prod/sub\\x.exe", "C:\\Prod/sub\\", "x.exe"},
      {&windows, "C:launcher.exe", "", "C:launcher.exe"},
      {&posix, "/opt/prod/launcher", "/opt/prod/", "launcher"},
      {&posix, "/opt/prod/", "/opt/prod/", ""},
      {&posix, "C:\\Prod\\launcher", "", "C:\\Prod\\launcher"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(directory_part(*c.rules, c.path), c.directory);
    EXPECT_EQ(file_name_part(*c.rules, c.path), c.file_name);
  }
}

TEST(PathParts, StripExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"launcher.exe", "launcher"}, {"archive.tar.exe", "archive.tar"},
      {"tool.", "tool."},           {"a.b.", "a.b."},
      {"launcher", "launcher"},     {"", ""},
      {".ini", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(strip_extension(c.first), c.second) << c.first;
}

class PosixLocateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    system.cwd = "/home/ann/projects";
    system.environment["PATH"] = "/usr/bin:/opt/prod";
  }
  FakeSystem system;
  PathRules rules = posix_path_rules();
  LaunchSettings settings;
};

TEST_F(PosixLocateTest, AbsoluteRelativeAndBareNames) {
  system.add_file("/opt/prod/launcher");
  locate_launcher(settings, system, rules, "/opt/prod/launcher");
  expect_located(settings, {"/opt/prod/launcher", "/opt/prod/", "launcher", "launcher",
                            "/opt/prod/launcher.ini", "/opt/prod/./velmora/velmora"});

  system.add_file("/home/ann/projects/./launcher");
  EXPECT_EQ(resolve_program_path(system, rules, "./launcher"),
            "/home/ann/projects/./launcher");

  system.file_tests.clear();
  EXPECT_EQ(resolve_program_path(system, rules, "launcher"), "/opt/prod/launcher");
  EXPECT_EQ(system.file_tests,
            (std::vector<std::string>{"/usr/bin/launcher", "/opt/prod/launcher"}));
}

TEST_F(PosixLocateTest, NoExeRetryAndRelativeEntriesMadeAbsolute) {
  system.add_file("/opt/prod/launcher.exe");
  locate_launcher(settings, system, rules, "launcher");
  expect_located(settings, {"", "", "", "", ".ini", "./velmora/velmora"});
  for (const std::string& tested : system.file_tests) {
    EXPECT_EQ(tested.find(".exe"), std::string::npos) << tested;
  }

  system.environment["PATH"] = "../x::C\\bin";
  system.add_file("/home/ann/projects/../x/launcher");
  EXPECT_EQ(resolve_program_path(system, rules, "launcher"),
            "/home/ann/projects/../x/launcher");
  // A backslash is an ordinary character here: the name is searched on PATH.
  system.add_file("/home/ann/projects/./C:\\launcher");
  EXPECT_EQ(resolve_program_path(system, rules, "C:\\launcher"),
            "/home/ann/projects/./C:\\launcher");
}

}  // namespace
