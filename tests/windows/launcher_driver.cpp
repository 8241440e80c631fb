#include "tests/windows/launcher_driver.h"

#include <windows.h>

#include <set>

namespace {

struct Search {
  DWORD process_id;
  std::set<HWND>* answered;
  std::vector<MessageBoxSeen>* boxes;
};

std::wstring window_text(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(length + 1, L'\0');
  text.resize(GetWindowTextW(window, &text[0], length + 1));
  return text;
}

std::wstring dialog_item_text(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  if (item == nullptr) return std::wstring();
  int length = GetWindowTextLengthW(item);
  std::wstring text(length + 1, L'\0');
  text.resize(GetDlgItemTextW(dialog, id, &text[0], length + 1));
  return text;
}

BOOL CALLBACK answer_box(HWND window, LPARAM parameter) {
  Search* search = reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process_id || search->answered->count(window) > 0) {
    return TRUE;
  }
  wchar_t class_name[16] = L"";
  GetClassNameW(window, class_name, 16);
  if (std::wstring(class_name) != L"#32770" || !IsWindowVisible(window)) {
    return TRUE;
  }
  // The static text of a message box has the control id 0xFFFF.
  search->boxes->push_back(
      {to_utf8(window_text(window)), to_utf8(dialog_item_text(window, 0xFFFF))});
  search->answered->insert(window);
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

HANDLE inheritable_temp_file(std::wstring* path) {
  wchar_t directory[MAX_PATH + 1], name[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, directory);
  GetTempFileNameW(directory, L"drv", 0, name);
  *path = name;
  SECURITY_ATTRIBUTES security = {sizeof security, nullptr, TRUE};
  return CreateFileW(name, GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
}

std::string read_and_remove(HANDLE file, const std::wstring& path) {
  std::string content;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  char buffer[4096];
  DWORD count = 0;
  while (ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0) {
    content.append(buffer, count);
  }
  CloseHandle(file);
  DeleteFileW(path.c_str());
  return content;
}

std::wstring environment_block(const std::map<std::wstring, std::wstring>& variables) {
  std::wstring block;
  for (const auto& variable : variables) {
    block += variable.first + L"=" + variable.second;
    block += L'\0';
  }
  block += L'\0';
  return block;
}

}  // namespace

std::string to_utf8(const std::wstring& text) {
  // By hand: an unpaired surrogate stays visible (as the three bytes of its
  // code point) instead of becoming U+FFFD.
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned c = static_cast<unsigned short>(text[i]);
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() &&
        text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (c < 0x80) {
      result += static_cast<char>(c);
    } else if (c < 0x800) {
      result += static_cast<char>(0xC0 | (c >> 6));
      result += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      result += static_cast<char>(0xE0 | (c >> 12));
      result += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      result += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      result += static_cast<char>(0xF0 | (c >> 18));
      result += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      result += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      result += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return result;
}

std::wstring from_utf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(),
                                 nullptr, 0);
  std::wstring result(size, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), &result[0], size);
  return result;
}

DriveResult drive(const DriveRequest& request) {
  DriveResult result;
  std::wstring out_path, err_path;
  HANDLE out = inheritable_temp_file(&out_path);
  HANDLE err = inheritable_temp_file(&err_path);

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  if (!request.standard_handles) {
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nullptr;
  }
  if (request.show_window >= 0) {
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(request.show_window);
  }
  PROCESS_INFORMATION process = {};
  std::wstring command_line = request.command_line;
  std::wstring block = environment_block(request.environment);

  result.started = CreateProcessW(
      request.program.c_str(), &command_line[0], nullptr, nullptr, TRUE,
      CREATE_UNICODE_ENVIRONMENT, &block[0],
      request.directory.empty() ? nullptr : request.directory.c_str(), &startup,
      &process);
  if (result.started) {
    std::set<HWND> answered;
    Search search = {process.dwProcessId, &answered, &result.boxes};
    DWORD waited = 0;
    while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
      EnumWindows(answer_box, reinterpret_cast<LPARAM>(&search));
      waited += 20;
      if (waited >= request.timeout_ms) {
        result.timed_out = true;
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
        break;
      }
    }
    GetExitCodeProcess(process.hProcess, &result.exit_status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  result.standard_output = read_and_remove(out, out_path);
  result.standard_error = read_and_remove(err, err_path);
  return result;
}
