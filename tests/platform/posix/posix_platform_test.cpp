// The POSIX platform: language choice, documents folder and the system calls.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>

#include "messages/messages.h"
#include "platform/posix/documents_folder.h"
#include "platform/posix/locale_language.h"
#include "platform/posix/posix_system.h"
#include "resources/message_ids.h"

namespace {

namespace fs = std::filesystem;

TEST(LanguageForLocaleTest, MapsLocaleNamesToCatalogueLanguages) {
  const struct { const char* locale; int language; } cases[] = {
      {"de_DE.UTF-8", 1031}, {"de", 1031},          {"de@euro", 1031},
      {"de_AT@euro", 1031},  {"zh_TW", 1028},       {"zh_HK", 1028},
      {"zh_TW.Big5", 1028},  {"zh_CN.UTF-8", 2052}, {"zh", 2052},
      {"zh_SG", 2052},       {"pt_PT", 1046},       {"pt_BR.UTF-8", 1046},
      {"ja_JP", 1041},       {"ko", 1042},          {"es_ES", 3082},
      {"es_MX.UTF-8", 3082}, {"fr_CA", 1036},       {"it", 1040},
      {"en_GB", 1033},       {"C", 1033},           {"C.UTF-8", 1033},
      {"POSIX", 1033},       {"", 1033},            {"nl_NL", 1033},
      {"deu", 1033},         {"d", 1033},           {"_DE", 1033},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(language_for_locale(c.locale), c.language) << '"' << c.locale << '"';
  }
}

TEST(MessageLocaleTest, FirstNonEmptyOfLcAllLcMessagesLang) {
  EXPECT_EQ(message_locale("fr_FR", "de_DE", "it_IT"), "fr_FR");
  EXPECT_EQ(message_locale("", "de_DE", "it_IT"), "de_DE");
  EXPECT_EQ(message_locale(nullptr, "de_DE", "it_IT"), "de_DE");
  EXPECT_EQ(message_locale(nullptr, "", "it_IT"), "it_IT");
  EXPECT_EQ(message_locale("", nullptr, "ja_JP"), "ja_JP");
  EXPECT_EQ(message_locale("", "", ""), "");
  EXPECT_EQ(message_locale(nullptr, nullptr, nullptr), "");
}

TEST(DocumentsFolderTest, ReadsXdgDocumentsDir) {
  const char* home = "/home/ann";
  const struct { const char* content; const char* folder; } cases[] = {
      {"XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n", "/home/ann/Documents"},
      {"XDG_DOCUMENTS_DIR=\"/data/docs\"", "/data/docs"},
      {"XDG_DOCUMENTS_DIR=\"/first\"\nXDG_DOCUMENTS_DIR=\"$HOME/second\"\n",
       "/home/ann/second"},
      {"XDG_DOCUMENTS_DIR=\"/kept\"\n# XDG_DOCUMENTS_DIR=\"/commented\"\n", "/kept"},
      {"# XDG_DOCUMENTS_DIR=\"/commented\"\n", "/home/ann"},
      {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS=\"/x\"\n", "/home/ann"},
      {"", "/home/ann"},
      {"XDG_DOCUMENTS_DIR=\"/first\"\nXDG_DOCUMENTS_DIR=\"\"\n", "/home/ann"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/Docs/\"\n", "/home/ann/Docs"},
      {"XDG_DOCUMENTS_DIR=\"/data/docs//\"\r\n", "/data/docs"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"\n", "/home/ann/My \"Docs\""},
      {"XDG_DOCUMENTS_DIR=\"$HOME/My Documents\"\n", "/home/ann/My Documents"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(documents_folder_from_user_dirs(c.content, home), c.folder) << c.content;
  }
}

// Restores an environment variable when it goes out of scope.
class SavedVariable {
 public:
  explicit SavedVariable(const char* name) : name_(name) {
    const char* value = getenv(name);
    was_set_ = value != nullptr;
    if (was_set_) value_ = value;
  }
  ~SavedVariable() {
    if (was_set_) {
      setenv(name_.c_str(), value_.c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }

 private:
  std::string name_;
  std::string value_;
  bool was_set_;
};

class PosixSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "launcher_posix_XXXXXX").string();
    ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
    root = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }

  std::string path(const std::string& name) const { return (root / name).string(); }

  void write_file(const std::string& name, const std::string& content) {
    std::ofstream(path(name), std::ios::binary) << content;
  }

  fs::path root;
  PosixSystem system;
};

TEST_F(PosixSystemTest, RegularFilesOnly) {
  write_file("launcher.ini", "[Settings]\n");
  fs::create_directory(path("dir.ini"));
  ASSERT_EQ(mkfifo(path("fifo.ini").c_str(), 0600), 0);
  EXPECT_TRUE(system.is_regular_file(path("launcher.ini")));
  EXPECT_FALSE(system.is_regular_file(path("dir.ini")));
  EXPECT_FALSE(system.is_regular_file(path("fifo.ini")));
  EXPECT_FALSE(system.is_regular_file(path("missing.ini")));
  EXPECT_FALSE(system.is_regular_file(path("launcher.ini") + std::string(1, '\0') + "x"));
  EXPECT_FALSE(system.is_regular_file("/dev/null"));
}

TEST_F(PosixSystemTest, OpensAndReadsARegularFile) {
  const std::string content = "\xEF\xBB\xBF[Settings]\r\nVMArgs=a\n";
  write_file("launcher.ini", content);
  std::unique_ptr<InputFile> file = system.open_file(path("launcher.ini"));
  ASSERT_NE(file, nullptr);
  std::string read;
  char buffer[5];
  for (size_t count; file->read(buffer, sizeof buffer, &count) && count > 0;) {
    read.append(buffer, count);
  }
  EXPECT_EQ(read, content);
  fs::create_directory(path("dir.ini"));
  EXPECT_EQ(system.open_file(path("dir.ini")), nullptr);
  EXPECT_EQ(system.open_file(path("missing.ini")), nullptr);
  EXPECT_EQ(system.open_file("/dev/null"), nullptr);
}

TEST_F(PosixSystemTest, OpeningAFifoDoesNotHang) {
  const std::string fifo = path("fifo.ini");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::future<bool> opened = std::async(std::launch::async, [this, &fifo] {
    return system.open_file(fifo) != nullptr;
  });
  if (opened.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    ADD_FAILURE() << "open_file blocked on a FIFO";
    // Release the blocked reader so that the test can end.
    int writer = open(fifo.c_str(), O_WRONLY);
    if (writer >= 0) close(writer);
  }
  EXPECT_FALSE(opened.get());
}

TEST_F(PosixSystemTest, SetsGetsAndUnsetsVariables) {
  const char* name = "LAUNCHER_POSIX_TEST_VARIABLE";
  SavedVariable saved(name);
  unsetenv(name);
  std::string value = "untouched";
  EXPECT_FALSE(system.get_environment(name, &value));
  EXPECT_EQ(value, "untouched");

  ASSERT_TRUE(system.set_environment(name, "a b:c=d"));
  ASSERT_NE(getenv(name), nullptr);
  EXPECT_STREQ(getenv(name), "a b:c=d");
  EXPECT_TRUE(system.get_environment(name, &value));
  EXPECT_EQ(value, "a b:c=d");

  EXPECT_TRUE(system.set_environment(name, ""));
  EXPECT_EQ(getenv(name), nullptr);
  EXPECT_FALSE(system.get_environment(name, &value));

  setenv(name, "", 1);
  EXPECT_TRUE(system.get_environment(name, &value));
  EXPECT_EQ(value, "");
}

TEST_F(PosixSystemTest, AppendsToInheritedAndOwnValues) {
  const char* name = "LAUNCHER_POSIX_TEST_APPEND";
  SavedVariable saved(name);
  unsetenv(name);
  EXPECT_FALSE(system.has_environment_value(name));
  EXPECT_FALSE(system.append_environment(name, ":x"));  // nothing to extend
  EXPECT_EQ(getenv(name), nullptr);

  setenv(name, "", 1);
  EXPECT_FALSE(system.has_environment_value(name));  // empty counts as unset
  setenv(name, "inherited", 1);
  EXPECT_TRUE(system.has_environment_value(name));
  ASSERT_TRUE(system.append_environment(name, ":a"));
  ASSERT_TRUE(system.append_environment(name, ":b"));
  EXPECT_STREQ(getenv(name), "inherited:a:b");

  // Replaced behind the launcher's back, then extended again.
  setenv(name, "other", 1);
  ASSERT_TRUE(system.append_environment(name, ":c"));
  EXPECT_STREQ(getenv(name), "other:c");
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(system.append_environment(name, "d"));
  EXPECT_EQ(std::string(getenv(name)), "other:c" + std::string(1000, 'd'));

  EXPECT_FALSE(system.append_environment(name, std::string(":\0", 2)));
  EXPECT_EQ(std::string(getenv(name)), "other:c" + std::string(1000, 'd'));
}

TEST_F(PosixSystemTest, RefusesAssignmentsItCannotMake) {
  EXPECT_FALSE(system.set_environment("BAD=NAME", "x"));
  EXPECT_FALSE(system.set_environment("", "x"));
  EXPECT_FALSE(system.set_environment(std::string("A\0B", 3), "x"));
  EXPECT_FALSE(system.set_environment("LAUNCHER_POSIX_TEST_NUL", std::string("x\0y", 3)));
  EXPECT_EQ(getenv("LAUNCHER_POSIX_TEST_NUL"), nullptr);
}

TEST_F(PosixSystemTest, CurrentDirectoryOfAnyLength) {
  const fs::path saved = fs::current_path();
  fs::path deep = fs::canonical(root);
  for (int i = 0; i < 4; ++i) deep /= std::string(120, static_cast<char>('a' + i));
  fs::create_directories(deep);
  ASSERT_EQ(chdir(deep.c_str()), 0);
  std::string directory = system.current_directory();
  ASSERT_EQ(chdir(saved.c_str()), 0);
  EXPECT_GT(directory.size(), 480u);
  EXPECT_EQ(directory, deep.string());
  EXPECT_EQ(system.current_directory(), saved.string());
}

TEST_F(PosixSystemTest, DocumentsFolderFromTheUserDirsFile) {
  SavedVariable home("HOME"), config("XDG_CONFIG_HOME");
  setenv("HOME", root.c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(system.documents_folder(), root.string());

  fs::create_directory(path(".config"));
  write_file(".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
  EXPECT_EQ(system.documents_folder(), path("Docs"));

  fs::create_directory(path("other"));
  write_file("other/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/elsewhere/\"\n");
  setenv("XDG_CONFIG_HOME", path("other").c_str(), 1);
  EXPECT_EQ(system.documents_folder(), "/elsewhere");
}

TEST_F(PosixSystemTest, MessagesGoToStandardErrorInTheLocaleLanguage) {
  SavedVariable lc_all("LC_ALL"), lc_messages("LC_MESSAGES"), lang("LANG");
  SavedVariable dialogs("VELMORA_LAUNCHER_DIALOGS");  // no dialog on a desktop
  setenv("VELMORA_LAUNCHER_DIALOGS", "never", 1);
  setenv("LC_ALL", "", 1);
  setenv("LC_MESSAGES", "de_DE.UTF-8", 1);
  setenv("LANG", "fr_FR.UTF-8", 1);
  PosixSystem german;
  EXPECT_EQ(german.load_string(IDS_ERROR), "Fehler");

  testing::internal::CaptureStderr();
  german.display_message("Fehler", "Cannot open INI file: x\n", MessageKind::kError);
  german.display_message("Message", "usage", MessageKind::kInformation);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "[Fehler]\nCannot open INI file: x\n[Message]\nusage\n");

  testing::internal::CaptureStdout();
  german.write_output("Error setting up env variable: A=b\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Error setting up env variable: A=b\n");
}

}  // namespace
