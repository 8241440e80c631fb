// The launcher INI file: sections, entries, line reading and the missing file.
#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/launch_settings.h"
#include "settings/line_reader.h"
#include "settings/text_encoding.h"
#include "tests/support/fake_system.h"

namespace {

using Strings = std::vector<std::string>;

const char kIniPath[] = "C:\\Prod\\launcher.ini";
const size_t kChunkSizes[] = {1, 2, 3, 7, 4096};

class IniFileTest : public ::testing::Test {
 protected:
  IniFileTest() : rules(windows_path_rules()) {
    settings.installation_directory = "C:\\Prod\\";
  }

  bool read(const std::string& content) {
    system.add_file(kIniPath, content);
    return read_launcher_ini(settings, system, rules, kIniPath);
  }

  FakeSystem system;
  LaunchSettings settings;
  PathRules rules;
};

// Every line of |content| as the reader hands them out, |chunk| bytes a read.
Strings read_lines(const std::string& content, size_t chunk) {
  FakeSystem system;
  system.read_chunk_size = chunk;
  system.add_file("f", content);
  std::unique_ptr<InputFile> file = system.open_file("f");
  LineReader reader(*file);
  Strings lines;
  std::string line;
  while (reader.next_line(&line) && lines.size() < 100) lines.push_back(line);
  return lines;
}

TEST(TrimSpacesTest, RemovesOnlyOuterBlanks) {
  const struct { const char* text; const char* trimmed; } cases[] = {
      {"  [Settings]  ", "[Settings]"}, {"[Settings]", "[Settings]"},
      {"\t[Settings]", "\t[Settings]"}, {" a\t ", "a\t"},
      {" a b ", "a b"},                 {"   ", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(trim_spaces(c.text), c.trimmed) << '"' << c.text << '"';
  }
}

TEST(SplitEntryTest, SplitsAtFirstEqualsWithoutTrimming) {
  const struct { const char* line; bool ok; const char* key; const char* value; } cases[] = {
      {"VMArgs=-Xmx1g", true, "VMArgs", "-Xmx1g"},
      {"VMArgs=", true, "VMArgs", ""},
      {"VMArgs=-Dname=a=b", true, "VMArgs", "-Dname=a=b"},
      {"VMArgs = x", true, "VMArgs ", " x"},
      {" k=v", true, " k", "v"},
      {"=value", false, "", ""},
      {"novalue", false, "", ""},
      {"", false, "", ""},
  };
  for (const auto& c : cases) {
    std::string key = "unchanged", value = "unchanged";
    ASSERT_EQ(split_entry(c.line, &key, &value), c.ok) << c.line;
    if (!c.ok) continue;
    EXPECT_EQ(key, c.key) << c.line;
    EXPECT_EQ(value, c.value) << c.line;
  }
}

TEST(LineReaderTest, SplitsLinesAtEveryChunkSize) {
  const struct { std::string content; Strings lines; } cases[] = {
      {"", {}},
      {"\n", {""}},
      {"x\n", {"x"}},
      {"a\r\nb\n\nc\rd\nlast", {"a", "b", "", "c\rd", "last"}},
      {"\r\n\r\nx\r\n", {"", "", "x"}},
      {"\xEF\xBB\xBF", {}},
      {"\xEF\xBB\xBF\n", {""}},
      {"\xEF\xBB\xBFone\r\ntwo", {"one", "two"}},
      {"\xEF\xBB\xBF\xEF\xBB\xBFx", {"\xEF\xBB\xBFx"}},  // only the first mark
      {"\xEF\xBB", {"\xEF\xBB"}},                          // not a whole mark
      {"a\n\xEF\xBB\xBF" "b\n", {"a", "\xEF\xBB\xBF" "b"}},
  };
  for (const auto& c : cases) {
    for (size_t chunk : kChunkSizes) {
      EXPECT_EQ(read_lines(c.content, chunk), c.lines)
          << "content \"" << c.content << "\", chunk " << chunk;
    }
  }
}

TEST(LineReaderTest, ReadsVeryLongLinesWhole) {
  std::string long_line(100000, 'x');
  long_line[0] = 'a';
  long_line.back() = 'z';
  for (size_t chunk : {size_t{7}, size_t{4096}}) {
    EXPECT_EQ(read_lines(long_line + "\r\nnext\n", chunk),
              (Strings{long_line, "next"})) << "chunk " << chunk;
  }
}

TEST_F(IniFileTest, HeadersAreTrimmedOfBlanksButCaseSensitive) {
  ASSERT_TRUE(read("  [Settings]  \nVMArgs=a\n[settings]\nVMArgs=b\n"
                   "[Settings]\t\nVMArgs=c\n"));
  EXPECT_EQ(settings.vm_arguments, Strings{"a"});
}

TEST_F(IniFileTest, SettingsEntries) {
  const struct { const char* content; Strings vm_arguments; } cases[] = {
      {"VMArgs=early\n[Settings]\nVMArgs=late\n", {"late"}},
      {"[Settings]\n;VMArgs=comment\nVMArgs=kept\n", {"kept"}},
      {"[Settings]\nVMArgs=\n", {""}},
      {"[Settings]\nVMArgs=-Dname=a=b\n", {"-Dname=a=b"}},
      {"[Settings]\nVMArgs=-Xms64m -Xmx1g\n", {"-Xms64m -Xmx1g"}},
      {"[Settings]\n=value\nnovalue\nVMArgs = x\nvmargs=x\n VMArgs=x\n", {}},
      {"[Settings]\nProductName=P\nVersion=1\nWindowSystem=motif\n", {}},
      // Blanks before "[" make an entry line, so the section goes on.
      {"[Settings]\n  [Other]\nVMArgs=still\n", {"still"}},
      {"[Settings]\nVMArgs=a\n[Other]\nVMArgs=ignored\n[Environment Variables]\n"
       "[Settings]\nVMArgs=b\n",
       {"a", "b"}},
      {"[Settings]\nVMArgs=a\n[Settings] ; note\nVMArgs=ignored\n", {"a"}},
      {"", {}},
  };
  for (const auto& c : cases) {
    FakeSystem system;
    LaunchSettings settings;
    system.add_file(kIniPath, c.content);
    ASSERT_TRUE(read_launcher_ini(settings, system, rules, kIniPath)) << c.content;
    EXPECT_EQ(settings.vm_arguments, c.vm_arguments) << c.content;
    EXPECT_FALSE(settings.customization_given) << c.content;
    EXPECT_TRUE(system.messages.empty()) << c.content;
  }
}

TEST_F(IniFileTest, EmptyCustomizationStillSetsTheFlag) {
  ASSERT_TRUE(read("[Settings]\nCustomizationINI=\n"));
  EXPECT_TRUE(settings.customization_given);
  EXPECT_EQ(settings.customization_file, "");
}

TEST_F(IniFileTest, LaterCustomizationWins) {
  ASSERT_TRUE(read("[Settings]\nCustomizationINI=C:\\a.ini\n[Other]\n"
                   "CustomizationINI=C:\\x.ini\n[Settings]\nCustomizationINI=C:\\b.ini\n"));
  EXPECT_TRUE(settings.customization_given);
  EXPECT_EQ(settings.customization_file, "C:\\b.ini");
}

TEST_F(IniFileTest, EnvironmentEntriesApplyInFileOrder) {
  system.environment["PATH"] = "X";
  system.refused_names.insert("BAD");
  ASSERT_TRUE(read("[Environment Variables]\nPATH=a\n=skipped\nnovalue\n;PATH=c\nBAD=1\n"
                   "[Settings]\nPATH=not-an-assignment\n"
                   "[Environment Variables]\nPATH=<CURRDIR>b\n [X]=v\n"));
  EXPECT_EQ(system.environment["PATH"], "X;a;C:\\Prod\\b");
  EXPECT_EQ(system.environment[" [X]"], "v");
  EXPECT_EQ(system.environment.size(), 2u);
  EXPECT_EQ(system.output, "Error setting up env variable: BAD=1\n");
  EXPECT_TRUE(settings.vm_arguments.empty());
}

TEST_F(IniFileTest, ByteOrderMarkAndCrLfAtAnyChunkSize) {
  for (size_t chunk : kChunkSizes) {
    FakeSystem system;
    LaunchSettings settings;
    system.read_chunk_size = chunk;
    system.add_file(kIniPath,
                    "\xEF\xBB\xBF[Settings]\r\nVMArgs=a\r\nVMArgs=b\rc\r\n"
                    "[Environment Variables]\r\nJAVA_HOME=C:\\jre\r\nVMArgs=last");
    ASSERT_TRUE(read_launcher_ini(settings, system, rules, kIniPath));
    EXPECT_EQ(settings.vm_arguments, (Strings{"a", "b\rc"})) << "chunk " << chunk;
    EXPECT_EQ(system.environment["JAVA_HOME"], "C:\\jre") << "chunk " << chunk;
    EXPECT_EQ(system.environment["VMArgs"], "last") << "chunk " << chunk;
  }
}

TEST_F(IniFileTest, ByteOrderMarkInsideTheFileIsKept) {
  ASSERT_TRUE(read("[Settings]\n\xEF\xBB\xBFVMArgs=a\nVMArgs=\xEF\xBB\xBF\n"
                   "\xEF\xBB\xBF[Other]\nVMArgs=b\n"));
  EXPECT_EQ(settings.vm_arguments, (Strings{"\xEF\xBB\xBF", "b"}));
}

TEST_F(IniFileTest, LongLinesAreOneElement) {
  const std::string medium = "-D" + std::string(300, 'm');
  const std::string huge = "-D" + std::string(100000, 'h') + "=end";
  system.read_chunk_size = 7;
  ASSERT_TRUE(read("[Settings]\nVMArgs=" + medium + "\nVMArgs=" + huge +
                   "\r\nVMArgs=tail\nVMArgs=" + medium));
  EXPECT_EQ(settings.vm_arguments, (Strings{medium, huge, "tail", medium}));
}

TEST_F(IniFileTest, MissingFileOrDirectoryIsNeverOpened) {
  for (bool as_directory : {false, true}) {
    FakeSystem system;
    LaunchSettings settings;
    if (as_directory) system.directories.insert(kIniPath);
    EXPECT_FALSE(read_launcher_ini(settings, system, rules, kIniPath));
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].caption, "Error");
    EXPECT_EQ(system.messages[0].text,
              "Cannot open INI file: C:\\Prod\\launcher.ini\n");
    EXPECT_TRUE(system.opened_files.empty());
    EXPECT_FALSE(system.started);
  }
}

// A read that fails is not the end of the file: the run stops as for a
// file that cannot be opened, however far it got and whatever the chunks.
TEST_F(IniFileTest, ReadErrorEndsTheRunLikeAMissingFile) {
  const std::string content = "[Settings]\nVMArgs=a\n[Environment Variables]\nX=1\nVMArgs=b";
  FakeSystem reference;
  show_missing_ini(reference, kIniPath);
  for (size_t chunk : kChunkSizes) {
    for (size_t error_at : {size_t{0}, size_t{15}, content.size() - 1, content.size()}) {
      SCOPED_TRACE(std::to_string(chunk) + " bytes a read, error at " +
                   std::to_string(error_at));
      FakeSystem system;
      LaunchSettings settings;
      system.read_chunk_size = chunk;
      system.read_error_at = error_at;
      system.add_file(kIniPath, content);
      EXPECT_FALSE(read_launcher_ini(settings, system, rules, kIniPath));
      ASSERT_EQ(system.messages.size(), 1u);
      EXPECT_EQ(system.messages[0].text, reference.messages[0].text);
    }
  }
}

TEST(TextEncodingTest, ValidUtf8) {
  const struct { const char* bytes; bool valid; } cases[] = {
      {"plain", true},          {"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", true},
      {"Caf\xE9", false},       {"\xC0\x80", false},           // overlong
      {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false},  // surrogate, too high
      {"\xE2\x82", false},     {"\x80", false},
  };
  for (const auto& c : cases) EXPECT_EQ(is_valid_utf8(c.bytes), c.valid) << c.bytes;
}

// The same settings saved in each encoding people save INI files in reach
// the launcher as the same UTF-8 text, whatever the size of each read.
TEST_F(IniFileTest, EveryEncodingGivesTheSameText) {
  auto utf16 = [](const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
      bytes += static_cast<char>(unit & 0xFF);
      bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
  };
  const std::string smile = "\xF0\x9F\x98\x80";
  const struct { const char* what; std::string content; std::string value; } cases[] = {
      {"UTF-8", "[Settings]\nVMArgs=-Dn=Caf\xC3\xA9\n[Environment Variables]\nN=Caf\xC3\xA9\n",
       "Caf\xC3\xA9"},
      {"UTF-8 with its mark",
       "\xEF\xBB\xBF[Settings]\r\nVMArgs=-Dn=Caf\xC3\xA9\r\n[Environment Variables]\r\nN=Caf\xC3\xA9",
       "Caf\xC3\xA9"},
      {"legacy code page", "[Settings]\nVMArgs=-Dn=Caf\xE9\n[Environment Variables]\nN=Caf\xE9\n",
       "Caf\xC3\xA9"},
      {"a Ctrl-Z ends a file of bytes (Windows rules)",
       "[Settings]\nVMArgs=-Dn=Caf\xE9\n[Environment Variables]\nN=Caf\xE9\n\x1A\n"
       "[Settings]\nVMArgs=-Dlate\n",
       "Caf\xC3\xA9"},
      {"legacy and UTF-8 lines mixed",
       "[Settings]\nVMArgs=-Dn=Caf\xE9\n[Environment Variables]\nN=Caf\xC3\xA9\n", "Caf\xC3\xA9"},
      {"UTF-16", utf16(u"[Settings]\r\nVMArgs=-Dn=Caf\u00E9\U0001F600\r\n"
                       u"[Environment Variables]\r\nN=Caf\u00E9\U0001F600\r\n"),
       "Caf\xC3\xA9" + smile},
      {"UTF-16 has bytes 0x1A in its characters", utf16(u"[Settings]\nVMArgs=-Dn=\u041A\n"
                                                      u"[Environment Variables]\nN=\u041A\n"),
       "\xD0\x9A"},
      {"UTF-16, unpaired halves and an odd last byte",
       utf16(u"[Settings]\nVMArgs=-Dn=\xD800x\xDC00\n[Environment Variables]\nN=\xD800x\xDC00\n") +
           "A",
       "\xEF\xBF\xBDx\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    for (size_t chunk : kChunkSizes) {
      SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(chunk) + " bytes a read");
      FakeSystem system;
      LaunchSettings settings;
      system.legacy_latin1 = true;
      system.read_chunk_size = chunk;
      system.add_file(kIniPath, c.content);
      ASSERT_TRUE(read_launcher_ini(settings, system, rules, kIniPath));
      EXPECT_EQ(settings.vm_arguments, Strings{"-Dn=" + c.value});
      EXPECT_EQ(system.environment["N"], c.value);
    }
  }
}

TEST_F(IniFileTest, MissingFileMessageFollowsTheLanguage) {
  system.language = 1031;
  EXPECT_FALSE(read_launcher_ini(settings, system, rules, "C:\\100%s\\l.ini"));
  ASSERT_EQ(system.messages.size(), 1u);
  EXPECT_EQ(system.messages[0].caption, "Fehler");
  EXPECT_EQ(system.messages[0].text,
            "INI-Datei C:\\100%s\\l.ini kann nicht ge\xC3\xB6" "ffnet werden\n");
}

}  // namespace
