// Environment entries of the INI file: placeholders, appending, refusals.
#include "environment/environment.h"

#include <gtest/gtest.h>

#include <string>

#include "launcher/launch_settings.h"
#include "tests/support/fake_system.h"

namespace {

const char kDocuments[] = "C:\\Users\\ann\\Documents";

class EnvironmentTest : public ::testing::Test {
 protected:
  EnvironmentTest() : rules(windows_path_rules()) {
    settings.installation_directory = "C:\\Prod\\";
    system.documents = kDocuments;
  }

  std::string expand(const std::string& value) {
    return expand_placeholder(settings, system, value);
  }

  void apply(const std::string& name, const std::string& value) {
    apply_environment_entry(settings, system, rules, name, value);
  }

  bool is_set(const std::string& name) {
    return system.environment.count(name) > 0;
  }

  FakeSystem system;
  LaunchSettings settings;
  PathRules rules;
};

TEST(ReplaceFirstTest, ReplacesOnlyTheFirstOccurrence) {
  const struct { const char* text; const char* pattern; const char* replacement;
                 const char* result; } cases[] = {
      {"a-b-c", "-", "+", "a+b-c"},
      {"<CURRDIR>a;<CURRDIR>b", "<CURRDIR>", "C:\\P\\", "C:\\P\\a;<CURRDIR>b"},
      {"aaa", "aa", "b", "ba"},
      {"x", "x", "xx", "xx"},
      {"<CURRDIR>", "<CURRDIR>", "", ""},
      {"abc", "", "X", "abc"},
      {"abc", "z", "X", "abc"},
      {"", "a", "X", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(replace_first(c.text, c.pattern, c.replacement), c.result)
        << c.text << " / " << c.pattern;
  }
}

TEST_F(EnvironmentTest, ExpandsEveryPlaceholderOfEveryKind) {
  const std::string docs = kDocuments;
  const struct { std::string value; std::string expanded; } cases[] = {
      {"<CURRDIR>jre", "C:\\Prod\\jre"},
      {"<CURRDIR>a;<CURRDIR>b", "C:\\Prod\\a;C:\\Prod\\b"},
      {"<My Documents>\\ws;<CURRDIR>", docs + "\\ws;C:\\Prod\\"},
      {"<CURRDIR>x;<My Documents>;<$HOME>", "C:\\Prod\\x;" + docs + ";" + docs},
      {"<$HOME>", docs},
      {"<$HOME><$HOME>", docs + docs},
      {"<<CURRDIR>>", "<C:\\Prod\\>"},
      {"a<b<CURRDIR>", "a<bC:\\Prod\\"},
      {"<currdir> <CURRDIR <My documents> <HOME> <$HOME",
       "<currdir> <CURRDIR <My documents> <HOME> <$HOME"},
      {"plain", "plain"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(expand(c.value), c.expanded) << c.value;
}

TEST_F(EnvironmentTest, ReplacementTextIsNotScannedAgain) {
  system.documents = "D:\\<CURRDIR>\\<$HOME>";
  settings.installation_directory = "C:\\<My Documents>\\";
  EXPECT_EQ(expand("<My Documents>|<CURRDIR>|<$HOME>"),
            "D:\\<CURRDIR>\\<$HOME>|C:\\<My Documents>\\|D:\\<CURRDIR>\\<$HOME>");
  EXPECT_EQ(expand("<CURRDIR>"), "C:\\<My Documents>\\");
}

TEST_F(EnvironmentTest, AsksForTheDocumentsFolderOnlyWhenNeeded) {
  EXPECT_EQ(expand("<CURRDIR>bin;<My Doc;<HOME>"), "C:\\Prod\\bin;<My Doc;<HOME>");
  EXPECT_EQ(system.documents_queries, 0);
  settings.installation_directory = "C:\\<My Documents>\\";
  expand("<CURRDIR>");
  EXPECT_EQ(system.documents_queries, 0);
  expand("<$HOME>");
  EXPECT_GE(system.documents_queries, 1);
}

TEST_F(EnvironmentTest, SetsAndExtendsVariables) {
  system.environment["PATH"] = "C:\\Windows";
  apply("JAVA_HOME", "<CURRDIR>jre");
  apply("PATH", "<CURRDIR>bin");
  apply("DOCS", "<$HOME>");
  EXPECT_EQ(system.environment["JAVA_HOME"], "C:\\Prod\\jre");
  EXPECT_EQ(system.environment["PATH"], "C:\\Windows;C:\\Prod\\bin");
  EXPECT_EQ(system.environment["DOCS"], kDocuments);
  EXPECT_EQ(system.output, "");
}

TEST_F(EnvironmentTest, EntriesOfOneNameAccumulate) {
  system.environment["PATH"] = "X";
  apply("PATH", "a");
  apply("PATH", "b");
  apply("NEW", "1");
  apply("NEW", "2");
  EXPECT_EQ(system.environment["PATH"], "X;a;b");
  EXPECT_EQ(system.environment["NEW"], "1;2");
}

TEST_F(EnvironmentTest, NamesAreTakenExactly) {
  system.environment["PATH"] = "X";
  apply("PATH ", "a");
  apply("path", "b");
  EXPECT_EQ(system.environment["PATH"], "X");
  EXPECT_EQ(system.environment["PATH "], "a");
  EXPECT_EQ(system.environment["path"], "b");
}

TEST_F(EnvironmentTest, JoinsWithTheListSeparatorOfTheRules) {
  const struct { PathRules rules; const char* joined; } cases[] = {
      {windows_path_rules(), "/usr/bin;/opt/prod/bin"},
      {posix_path_rules(), "/usr/bin:/opt/prod/bin"},
  };
  for (const auto& c : cases) {
    FakeSystem system;
    LaunchSettings settings;
    settings.installation_directory = "/opt/prod/";
    system.environment["PATH"] = "/usr/bin";
    apply_environment_entry(settings, system, c.rules, "PATH", "<CURRDIR>bin");
    EXPECT_EQ(system.environment["PATH"], c.joined);
  }
}

TEST_F(EnvironmentTest, EmptyCurrentValueCountsAsUnset) {
  for (const PathRules& rules : {windows_path_rules(), posix_path_rules()}) {
    FakeSystem system;
    system.environment["PATH"] = "";
    set_environment_entry(system, rules, "PATH", "C:\\Prod\\bin");
    EXPECT_EQ(system.environment["PATH"], "C:\\Prod\\bin");
  }
}

// Nothing to add changes nothing: no separator (an empty last PATH entry
// means the current directory), and a set but empty variable stays set.
TEST_F(EnvironmentTest, EmptyValuesLeaveTheVariableAsItWas) {
  system.documents = "";
  settings.installation_directory = "";
  system.environment["SET"] = "X";
  system.environment["EMPTY"] = "";
  for (const char* value : {"", "<CURRDIR>", "<My Documents>"}) {
    SCOPED_TRACE(value);
    for (const char* name : {"UNSET", "SET", "EMPTY"}) apply(name, value);
    EXPECT_FALSE(is_set("UNSET"));
    EXPECT_EQ(system.environment["SET"], "X");
    ASSERT_TRUE(is_set("EMPTY"));
    EXPECT_EQ(system.environment["EMPTY"], "");
  }
  EXPECT_EQ(system.output, "");
}

TEST_F(EnvironmentTest, RefusedAssignmentIsReportedAndTheNextEntryApplies) {
  system.refused_names = {"BAD", "WORSE"};
  system.environment["WORSE"] = "old";
  apply("BAD", "<CURRDIR>x=1");
  apply("WORSE", "new\x1b]0;title\a\x7f\r\t\xc3\xa4");
  apply("GOOD", "<CURRDIR>ok");
  // The line goes to a terminal or a log: control characters are escaped.
  EXPECT_EQ(system.output,
            "Error setting up env variable: BAD=C:\\Prod\\x=1\n"
            "Error setting up env variable: WORSE=old;new\\x1b]0;title\\x07\\x7f\\x0d\t\xc3\xa4\n");
  EXPECT_FALSE(is_set("BAD"));
  EXPECT_EQ(system.environment["WORSE"], "old");
  EXPECT_EQ(system.environment["GOOD"], "C:\\Prod\\ok");
  EXPECT_TRUE(system.messages.empty());
}

TEST_F(EnvironmentTest, LongValuesAreComposedInFull) {
  const std::string directory = "C:\\" + std::string(400, 'd') + "\\";
  settings.installation_directory = directory;
  system.environment["PATH"] = std::string(3000, 'p');
  apply("PATH", "<CURRDIR>bin;<CURRDIR>lib");
  EXPECT_EQ(system.environment["PATH"],
            std::string(3000, 'p') + ";" + directory + "bin;" + directory + "lib");
}

}  // namespace
