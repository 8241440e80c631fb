#include "tests/windows/windows_expectations.h"

#include <windows.h>

#include <gtest/gtest.h>

std::string repeat(const std::string& text, size_t times) {
  std::string result;
  for (size_t i = 0; i < times; ++i) result += text;
  return result;
}

Strings user_part(const TargetRecord& record) {
  return Strings(record.arguments.begin() + (record.arguments.empty() ? 0 : 1),
                 record.arguments.end());
}

void expect_boxes(const DriveResult& result,
                  const std::vector<MessageBoxSeen>& expected) {
  ASSERT_EQ(result.boxes.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(result.boxes[i].caption, expected[i].caption) << "box " << i;
    EXPECT_EQ(result.boxes[i].text, expected[i].text) << "box " << i;
  }
}

void expect_failed_hand_over(const DriveResult& result, const std::string& reason) {
  EXPECT_EQ(result.exit_status, 1u);
  EXPECT_EQ(result.standard_error, "Error when executing execv: " + reason + "\r\n");
  expect_boxes(result, {{"Error", "Error: Failed Loading Velmora."}});
}

std::string system_text(unsigned long error) {
  wchar_t* text = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring result(text, length);
  LocalFree(text);
  while (!result.empty() && std::wstring(L"\r\n ").find(result.back()) != std::wstring::npos) {
    result.pop_back();
  }
  return to_utf8(result);
}
