// From the launcher's command line to the target program's, and the hand-over.
#include "commandline/translation.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "commandline/quoting.h"
#include "launcher/launch_settings.h"
#include "paths/path_rules.h"
#include "tests/support/fake_system.h"

namespace {

using Strings = std::vector<std::string>;

const char kTargetPath[] = "C:\\Prod\\.\\velmora\\velmora.exe";
const char kQuotedTarget[] = "\"C:\\Prod\\.\\velmora\\velmora.exe\"";
const char kUsage[] = "launcher [-data WORKSPACE] [-help] [VELMORA OPTION]";

class TranslationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.launcher_stem = "launcher";
    settings.target_program_path = kTargetPath;
  }

  // Pre-scan and translation, as the launch runs them.
  bool translate(const Strings& user_arguments) {
    Strings arguments{"launcher"};
    arguments.insert(arguments.end(), user_arguments.begin(), user_arguments.end());
    EXPECT_EQ(prescan_arguments(settings, system, arguments),
              PrescanResult::kContinue);
    return translate_arguments(settings, system, rules, arguments);
  }

  Strings translated(const Strings& user_arguments) {
    EXPECT_TRUE(translate(user_arguments));
    EXPECT_TRUE(system.messages.empty());
    return settings.target_arguments;
  }

  FakeSystem system;
  PathRules rules = windows_path_rules();
  LaunchSettings settings;
};

TEST_F(TranslationTest, NoArguments) {
  settings.vm_arguments = {"-Xmx256m"};
  EXPECT_EQ(translated({}),
            (Strings{kQuotedTarget, "-ws", "win32", "-vmargs", "-Xmx256m"}));
}

TEST_F(TranslationTest, VmargsEndsTheLineEvenWithoutVmArguments) {
  EXPECT_EQ(translated({"-clean"}),
            (Strings{kQuotedTarget, "-ws", "win32", "-clean", "-vmargs"}));
}

TEST_F(TranslationTest, DataValueIsAlwaysWrappedAndSplitsBack) {
  const Strings values = {"C:\\My Workspace", "C:\\ws", "C:\\ws\\", "D:\\My Work\\",
                          "a\"b", "C:\\ws\\\\"};
  const Strings wrapped = {"\"C:\\My Workspace\"", "\"C:\\ws\"", "\"C:\\ws\\\\\"",
                           "\"D:\\My Work\\\\\"", "\"a\\\"b\"", "\"C:\\ws\\\\\\\\\""};
  for (size_t i = 0; i < values.size(); ++i) {
    SCOPED_TRACE(values[i]);
    settings.target_arguments.clear();
    const Strings target = translated({"-data", values[i], "-clean"});
    EXPECT_EQ(target, (Strings{kQuotedTarget, "-ws", "win32", "-data", wrapped[i],
                               "-clean", "-vmargs"}));
    EXPECT_EQ(split_command_line(join_command_line(target)),
              (Strings{kTargetPath, "-ws", "win32", "-data", values[i], "-clean",
                       "-vmargs"}));
  }
}

TEST_F(TranslationTest, OptionWithoutAcceptableValueIsRefused) {
  const std::vector<Strings> refused = {
      {"-data"},          {"-data", "-clean"},          {"-data", ""},
      {"-clean", "-data"}, {"-customizationini"},        {"-customizationini", ""},
      {"-customizationini", "-clean"}, {"-data", "-vmargs", "-Dx=1"},
  };
  for (const Strings& arguments : refused) {
    SCOPED_TRACE(testing::PrintToString(arguments));
    FakeSystem fresh;
    LaunchSettings clean;
    clean.launcher_stem = "launcher";
    clean.target_program_path = kTargetPath;
    clean.vm_arguments = {"-Xmx256m"};
    Strings argv{"launcher"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ASSERT_EQ(prescan_arguments(clean, fresh, argv), PrescanResult::kContinue);
    EXPECT_FALSE(translate_arguments(clean, fresh, rules, argv));
    EXPECT_TRUE(clean.target_arguments.empty());
    ASSERT_EQ(fresh.messages.size(), 1u);
    EXPECT_EQ(fresh.messages[0].caption, "Message");
    EXPECT_EQ(fresh.messages[0].text, kUsage);
    EXPECT_FALSE(fresh.started);
  }
}

TEST_F(TranslationTest, CustomizationFile) {
  EXPECT_EQ(translated({"-customizationini", "C:\\c.ini", "-clean"}),
            (Strings{kQuotedTarget, "-ws", "win32", "-plugincustomization",
                     "\"C:\\c.ini\"", "-clean", "-vmargs"}));

  // The command line replaces the INI file's choice; one pair only.
  settings = LaunchSettings();
  settings.target_program_path = kTargetPath;
  settings.customization_file = "C:\\a.ini";
  settings.customization_given = true;
  EXPECT_EQ(translated({"-customizationini", "C:\\b.ini"}),
            (Strings{kQuotedTarget, "-ws", "win32", "-plugincustomization",
                     "\"C:\\b.ini\"", "-vmargs"}));

  // An empty name from the INI file still reaches the target as one argument.
  settings = LaunchSettings();
  settings.target_program_path = kTargetPath;
  settings.customization_given = true;
  const Strings target = translated({});
  EXPECT_EQ(target, (Strings{kQuotedTarget, "-ws", "win32", "-plugincustomization",
                             "\"\"", "-vmargs"}));
  EXPECT_EQ(split_command_line(join_command_line(target)),
            (Strings{kTargetPath, "-ws", "win32", "-plugincustomization", "",
                     "-vmargs"}));
}

TEST_F(TranslationTest, UserWindowSystemAndVmargsKeepTheirPlace) {
  settings.vm_arguments = {"-Xmx256m"};
  EXPECT_EQ(translated({"-clean", "-ws", "motif"}),
            (Strings{kQuotedTarget, "-clean", "-ws", "motif", "-vmargs", "-Xmx256m"}));
  EXPECT_TRUE(settings.window_system_given);

  settings = LaunchSettings();
  settings.target_program_path = kTargetPath;
  settings.vm_arguments = {"-Xmx256m"};
  EXPECT_EQ(translated({"-vmargs", "-Dx=1"}),
            (Strings{kQuotedTarget, "-ws", "win32", "-vmargs", "-Xmx256m", "-Dx=1"}));

  settings.target_arguments.clear();
  settings.vm_arguments = {"-Xmx256m", "-Dy=2"};
  EXPECT_EQ(translated({"-vmargs", "-Da", "-vmargs", "-Db"}),
            (Strings{kQuotedTarget, "-ws", "win32", "-vmargs", "-Xmx256m", "-Dy=2",
                     "-Da", "-vmargs", "-Xmx256m", "-Dy=2", "-Db"}));
}

// Each VMArgs entry is split into the words the program will see and each
// word quoted alone: an entry reaches the program as before when its quotes
// balance, and cannot reach into the user's arguments when they do not.
TEST_F(TranslationTest, VmArgumentEntriesGoWordByWord) {
  struct Case {
    Strings entries;
    Strings target_sees;  // after -vmargs, what the program's split gives
  };
  const Case cases[] = {
      {{"-Xmx256m -Dname=a b", "", "-Dq=\"x y\"", "-Dp=C:\\dir\\"},
       {"-Xmx256m", "-Dname=a", "b", "-Dq=x y", "-Dp=C:\\dir\\"}},
      {{"-Dtmp=\"C:\\Temp\\\""}, {"-Dtmp=C:\\Temp\""}},
      {{"-Dtitle=\"Velmora"}, {"-Dtitle=Velmora"}},
      {{"\t -Da  \t"}, {"-Da"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entries[0]);
    settings = LaunchSettings();
    settings.target_program_path = kTargetPath;
    settings.vm_arguments = c.entries;
    translated({"-vmargs", "-Xmx2g", "-Dx=a b"});
    Strings expected{kTargetPath, "-ws", "win32", "-vmargs"};
    expected.insert(expected.end(), c.target_sees.begin(), c.target_sees.end());
    expected.insert(expected.end(), {"-Xmx2g", "-Dx=a b"});
    EXPECT_EQ(split_command_line(join_command_line(settings.target_arguments)),
              expected);
  }
}

TEST_F(TranslationTest, UserArgumentsReachTheTargetExactly) {
  const Strings user = {"My Project", "tab\there", "line\nbreak", "v\vt",
                        "say \"hi\"", "", "C:\\plain\\", "a\\\\b", "--help", "-HELP"};
  EXPECT_EQ(translated(user),
            (Strings{kQuotedTarget, "-ws", "win32", "\"My Project\"", "\"tab\there\"",
                     "\"line\nbreak\"", "\"v\vt\"", "\"say \\\"hi\\\"\"", "\"\"",
                     "C:\\plain\\", "a\\\\b", "--help", "-HELP", "-vmargs"}));
  Strings expected{kTargetPath, "-ws", "win32"};
  expected.insert(expected.end(), user.begin(), user.end());
  expected.push_back("-vmargs");
  EXPECT_EQ(split_command_line(join_command_line(settings.target_arguments)), expected);
}

TEST_F(TranslationTest, GeneratedArgumentsSurviveTheWholeTranslation) {
  std::mt19937 engine(4242u);
  const std::string alphabet = "ab -\\\"\t\n\v\xe4:";
  auto random_text = [&](size_t max_length) {
    std::string text(std::uniform_int_distribution<size_t>(0, max_length)(engine), 'x');
    for (char& c : text) {
      c = alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(engine)];
    }
    return text;
  };
  for (int round = 0; round < 1000; ++round) {
    Strings user;
    for (int i = std::uniform_int_distribution<int>(0, 5)(engine); i > 0; --i) {
      std::string argument = random_text(10);
      if (!argument.empty() && argument[0] == '-') argument.insert(0, "x");
      user.push_back(argument);
    }
    std::string workspace = "W" + random_text(10);
    settings = LaunchSettings();
    settings.target_program_path = kTargetPath;
    Strings arguments = user;
    arguments.insert(arguments.begin(), {"-data", workspace});
    ASSERT_TRUE(translate(arguments)) << round;
    Strings expected{kTargetPath, "-ws", "win32", "-data", workspace};
    expected.insert(expected.end(), user.begin(), user.end());
    expected.push_back("-vmargs");
    ASSERT_EQ(split_command_line(join_command_line(settings.target_arguments)),
              expected) << "round " << round;
  }
}

TEST_F(TranslationTest, HelpAnywhereShowsUsage) {
  const std::vector<Strings> helps = {
      {"-help"}, {"-?"}, {"/help"}, {"/?"}, {"-clean", "-help"},
      {"-data", "-help"}, {"-customizationini", "/?"}, {"-ws", "-?", "-vmargs"},
  };
  for (const Strings& arguments : helps) {
    SCOPED_TRACE(testing::PrintToString(arguments));
    FakeSystem fresh;
    Strings argv{"launcher"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    EXPECT_EQ(prescan_arguments(settings, fresh, argv), PrescanResult::kHelpShown);
    ASSERT_EQ(fresh.messages.size(), 1u);
    EXPECT_EQ(fresh.messages[0].caption, "Message");
    EXPECT_EQ(fresh.messages[0].text, kUsage);
  }
}

TEST_F(TranslationTest, PrescanNotesOptionsFromTheFirstArgumentOn) {
  EXPECT_EQ(prescan_arguments(settings, system, {"-vmargs"}), PrescanResult::kContinue);
  EXPECT_FALSE(settings.vm_arguments_given);

  EXPECT_EQ(prescan_arguments(settings, system,
                              {"launcher", "-ws", "x", "-vmargs", "-customizationini",
                               "C:\\1.ini", "-customizationini", "C:\\2.ini"}),
            PrescanResult::kContinue);
  EXPECT_TRUE(settings.window_system_given);
  EXPECT_TRUE(settings.vm_arguments_given);
  EXPECT_TRUE(settings.customization_given);
  EXPECT_EQ(settings.customization_file, "C:\\2.ini");
  EXPECT_TRUE(system.messages.empty());
}

TEST_F(TranslationTest, PosixRulesAddGtk) {
  rules = posix_path_rules();
  settings.target_program_path = "/opt/prod/./velmora/velmora";
  EXPECT_EQ(translated({"-data", "/home/ann/My Work/"}),
            (Strings{"\"/opt/prod/./velmora/velmora\"", "-ws", "gtk", "-data",
                     "\"/home/ann/My Work/\"", "-vmargs"}));
}

TEST_F(TranslationTest, FailedHandOverIsReported) {
  settings.vm_arguments = {"-Xmx256m"};
  ASSERT_TRUE(translate({"-clean"}));
  hand_over(settings, system);
  EXPECT_TRUE(system.started);
  EXPECT_EQ(system.started_path, kTargetPath);
  EXPECT_EQ(system.started_arguments,
            (Strings{kQuotedTarget, "-ws", "win32", "-clean", "-vmargs", "-Xmx256m"}));
  EXPECT_EQ(system.events, (Strings{"start", "message"}));
  ASSERT_EQ(system.messages.size(), 1u);
  EXPECT_EQ(system.messages[0].caption, "Error");
  EXPECT_EQ(system.messages[0].text, "Error: Failed Loading Velmora.");

  FakeSystem german;
  german.language = 1031;
  hand_over(settings, german);
  ASSERT_EQ(german.messages.size(), 1u);
  EXPECT_EQ(german.messages[0].caption, "Fehler");
  EXPECT_EQ(german.messages[0].text, "Fehler: Failed Loading Velmora.");
}

}  // namespace
