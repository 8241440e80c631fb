// Run by ctest once per language, with LC_ALL set so that Wine's user
// interface is in that language and LAUNCHER_EXPECTED_LANGUAGE naming it:
// the string-table resources must give the catalogue's texts exactly.
#include <windows.h>

#include <cstdlib>
#include <map>

#include <gtest/gtest.h>

#include "messages/catalogue.h"
#include "messages/messages.h"
#include "tests/windows/windows_installation.h"

namespace {

struct Captions {
  const char* message;
  const char* error;
};

// Written out here as well, so that a catalogue typo cannot hide.
const std::map<int, Captions> kCaptions = {
    {1033, {"Message", "Error"}},  {1031, {"Nachricht", "Fehler"}},
    {1036, {"Message", "Erreur"}}, {1040, {"Messaggio", "Errore"}},
    {3082, {"Mensaje", "Error"}},  {1046, {"Mensagem", "Erro"}},
    {1041, {"\xE3\x83\xA1\xE3\x83\x83\xE3\x82\xBB\xE3\x83\xBC\xE3\x82\xB8", "\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC"}},
    {1042, {"\xEB\xA9\x94\xEC\x8B\x9C\xEC\xA7\x80", "\xEC\x98\xA4\xEB\xA5\x98"}},
    {2052, {"\xE6\xB6\x88\xE6\x81\xAF", "\xE9\x94\x99\xE8\xAF\xAF"}},
    {1028, {"\xE8\xA8\x8A\xE6\x81\xAF", "\xE9\x8C\xAF\xE8\xAA\xA4"}},
};

TEST(WindowsLanguage, StringTestAndCaptionsFollowTheUserInterface) {
  const char* expected = std::getenv("LAUNCHER_EXPECTED_LANGUAGE");
  if (expected == nullptr) GTEST_SKIP() << "run by ctest once per language";
  const int language = std::atoi(expected);
  ASSERT_EQ(kCaptions.count(language), 1u);
  const Captions captions = kCaptions.at(language);
  ASSERT_EQ(catalogue_text(language, IDS_MESSAGE), captions.message);
  ASSERT_EQ(catalogue_text(language, IDS_ERROR), captions.error);

  // Wine reads file names as ASCII under these locales: keep the paths so.
  WindowsInstallation install(L"Product");
  install.write_ini("[Settings]\r\n");
  DriveResult result = install.run(L"\"" + install.launcher() + L"\" -stringtest -help");
  const std::vector<std::pair<int, int>> shown = {
      {IDS_MissingINI, 1}, {IDS_ERROR_NOGTK, 3}, {IDS_USAGE, 0},
      {IDS_USAGE_CONTENT, 1}, {IDS_ERROR, 0}, {IDS_MESSAGE, 0}};
  ASSERT_EQ(result.boxes.size(), shown.size() + 1);
  for (size_t i = 0; i < shown.size(); ++i) {
    std::string text = catalogue_text(language, shown[i].first);
    text = format_message(text, std::vector<std::string>(shown[i].second, "_TEST_"));
    EXPECT_EQ(result.boxes[i].caption, captions.message) << "box " << i;
    EXPECT_EQ(result.boxes[i].text, text) << "box " << i;
  }
  EXPECT_EQ(result.boxes.back().caption, captions.message);
  EXPECT_EQ(result.boxes.back().text,
            format_message(catalogue_text(language, IDS_USAGE_CONTENT), {"launcher"}));
  EXPECT_EQ(result.exit_status, 0u);

  // And an error box carries the error caption.
  DeleteFileW((install.directory() + L"\\launcher.ini").c_str());
  result = install.run(L"\"" + install.launcher() + L"\"");
  ASSERT_EQ(result.boxes.size(), 1u);
  EXPECT_EQ(result.boxes[0].caption, captions.error);
  EXPECT_EQ(result.exit_status, 1u);
}

}  // namespace
