// INI files as people save them: UTF-8 with or without its byte order mark,
// "Unicode" (UTF-16LE with its mark), and the system's legacy code page,
// which ctest sets through Wine's locale (LAUNCHER_LEGACY_CODE_PAGE names it;
// 1252, Wine's own under C.UTF-8, when unset). Whatever the encoding, the
// target receives the same text.
#include <cstdlib>
#include <map>

#include <gtest/gtest.h>

#include "tests/windows/windows_installation.h"

namespace {

using Strings = std::vector<std::string>;

// A text in a legacy code page and in UTF-8.
struct LegacyText {
  std::string bytes, utf8;
};

const std::map<int, LegacyText> kLegacyTexts = {
    {1252, {"Caf\xE9 \xDC" "ber", "Caf\xC3\xA9 \xC3\x9C" "ber"}},
    {1251, {"\xCA\xEB\xE8\xE5\xED\xF2", "\xD0\x9A\xD0\xBB\xD0\xB8\xD0\xB5\xD0\xBD\xD1\x82"}},
};

// The INI file with |text| in a VM argument (quoted: it has blanks), the
// customization file and a variable.
std::string ini_with(const std::string& text) {
  return "[Settings]\r\nVMArgs=-Dname=\"" + text + "\"\r\nCustomizationINI=C:\\" + text +
         "\\custom.ini\r\n[Environment Variables]\r\nGREETING=" + text + "\r\n";
}

std::string utf16_file(const std::string& utf8) {
  const std::wstring text = from_utf8(utf8);
  std::string bytes = "\xFF\xFE";
  for (wchar_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

TEST(WindowsIniEncoding, EveryEncodingGivesTheTargetTheSameText) {
  const char* code_page = std::getenv("LAUNCHER_LEGACY_CODE_PAGE");
  const LegacyText legacy = kLegacyTexts.at(code_page ? std::atoi(code_page) : 1252);
  // Latin, Cyrillic (K is U+041A: a byte 0x1A in UTF-16, not a Ctrl-Z),
  // Japanese and a character beyond the first 65,536.
  const std::string unicode =
      "Caf\xC3\xA9 \xD0\x9A\xD0\xBB\xD0\xB8\xD0\xB5\xD0\xBD\xD1\x82 "
      "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80";
  struct Case {
    const char* encoding;
    std::string file, text;
  };
  for (const Case& c : {Case{"UTF-8", ini_with(unicode), unicode},
                        Case{"UTF-8 with mark", "\xEF\xBB\xBF" + ini_with(unicode), unicode},
                        Case{"UTF-16", utf16_file(ini_with(unicode)), unicode},
                        Case{"legacy", ini_with(legacy.bytes), legacy.utf8}}) {
    SCOPED_TRACE(c.encoding);
    WindowsInstallation install;
    install.write_ini(c.file);
    DriveResult result = install.run(L"\"" + install.launcher() + L"\"");
    EXPECT_EQ(result.exit_status, 0u);
    TargetRecord target = install.record();
    ASSERT_TRUE(target.found);
    EXPECT_EQ(Strings(target.arguments.begin() + 1, target.arguments.end()),
              (Strings{"-ws", "win32", "-plugincustomization", "C:\\" + c.text + "\\custom.ini",
                       "-vmargs", "-Dname=" + c.text}));
    EXPECT_EQ(target.variable("GREETING"), c.text);
  }
}

}  // namespace
