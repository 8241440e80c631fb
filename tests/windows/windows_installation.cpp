#include "tests/windows/windows_installation.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace {

void remove_tree(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring child = path + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        remove_tree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

std::string read_file(const std::wstring& path, bool* found) {
  std::string content;
  FILE* file = _wfopen(path.c_str(), L"rb");
  *found = file != nullptr;
  if (file == nullptr) return content;
  char buffer[4096];
  size_t count;
  while ((count = fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, count);
  fclose(file);
  return content;
}

}  // namespace

std::string TargetRecord::variable(const std::string& name) const {
  auto found = environment.find(name);
  return found == environment.end() ? "(unset)" : found->second;
}

std::wstring build_bin_directory() {
  wchar_t path[MAX_PATH * 4];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::wstring self(path, length);
  return self.substr(0, self.rfind(L'\\'));
}

WindowsInstallation::WindowsInstallation(const std::wstring& folder,
                                         const std::wstring& launcher_name)
    : launcher_name_(launcher_name) {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  static unsigned counter = 0;
  root_ = std::wstring(temp) + L"launcher-test-" +
          std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
  directory_ = root_ + L"\\" + folder;
  record_file_ = root_ + L"\\record.txt";
  CreateDirectoryW(root_.c_str(), nullptr);
  CreateDirectoryW(directory_.c_str(), nullptr);
  CreateDirectoryW((directory_ + L"\\velmora").c_str(), nullptr);
  std::wstring bin = build_bin_directory();
  CopyFileW((bin + L"\\launcher.exe").c_str(), launcher().c_str(), FALSE);
  CopyFileW((bin + L"\\windows_recording_target.exe").c_str(),
            (directory_ + L"\\velmora\\velmora.exe").c_str(), FALSE);
}

WindowsInstallation::~WindowsInstallation() { remove_tree(root_); }

void WindowsInstallation::write_ini(const std::string& text) const {
  FILE* file = _wfopen((directory_ + L"\\" + launcher_name_ + L".ini").c_str(), L"wb");
  fwrite(text.data(), 1, text.size(), file);
  fclose(file);
}

void WindowsInstallation::remove_target() const {
  DeleteFileW((directory_ + L"\\velmora\\velmora.exe").c_str());
}

std::map<std::wstring, std::wstring> WindowsInstallation::base_environment() {
  std::map<std::wstring, std::wstring> environment;
  wchar_t* block = GetEnvironmentStringsW();
  for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
    std::wstring text = entry;
    size_t equals = text.find(L'=', 1);  // "=C:=C:\..." entries start with "="
    if (equals != std::wstring::npos) {
      environment[text.substr(0, equals)] = text.substr(equals + 1);
    }
  }
  FreeEnvironmentStringsW(block);
  // Named as Windows names it.
  for (auto it = environment.begin(); it != environment.end();) {
    it = _wcsicmp(it->first.c_str(), L"PATH") == 0 ? environment.erase(it) : std::next(it);
  }
  environment[L"Path"] = L"C:\\windows\\system32;C:\\windows";
  return environment;
}

DriveResult WindowsInstallation::run(
    const std::wstring& command_line, const std::wstring& directory,
    const std::map<std::wstring, std::wstring>& extra, int show_window,
    bool standard_handles) const {
  DeleteFileW(record_file_.c_str());
  DriveRequest request;
  request.standard_handles = standard_handles;
  request.program = launcher();
  request.command_line = command_line;
  request.show_window = show_window;
  request.directory = directory.empty() ? root_ : directory;
  request.environment = base_environment();
  request.environment[L"RECORD_FILE"] = record_file_;
  for (const auto& variable : extra) request.environment[variable.first] = variable.second;
  return drive(request);
}

DriveResult WindowsInstallation::run_target() const {
  DeleteFileW(record_file_.c_str());
  DriveRequest request;
  request.program = directory_ + L"\\velmora\\velmora.exe";
  request.command_line = L"\"" + request.program + L"\"";
  request.directory = root_;
  request.environment = base_environment();
  request.environment[L"RECORD_FILE"] = record_file_;
  return drive(request);
}

TargetRecord WindowsInstallation::record(unsigned timeout_ms) const {
  TargetRecord record;
  std::string content;
  for (unsigned waited = 0;; waited += 50) {
    content = read_file(record_file_, &record.found);
    if (record.found || waited >= timeout_ms) break;
    Sleep(50);
  }
  size_t position = 0;
  while (position < content.size()) {
    size_t blank = content.find(' ', position), feed = content.find('\n', blank);
    std::string kind = content.substr(position, blank - position);
    size_t length = std::stoul(content.substr(blank + 1, feed - blank - 1));
    std::string value = content.substr(feed + 1, length);
    position = feed + 1 + length + 1;
    if (kind == "line") {
      record.command_line = value;
    } else if (kind == "arg") {
      record.arguments.push_back(value);
    } else if (kind == "show") {
      record.show_window = value;
    } else if (kind == "file") {
      record.files.push_back(value);
    } else {
      size_t equals = value.find('=', 1);
      record.environment[value.substr(0, equals)] = value.substr(equals + 1);
      record.names.push_back(value.substr(0, equals));
    }
  }
  std::sort(record.files.begin(), record.files.end());
  return record;
}

namespace {
const wchar_t kDocumentsValue[] = L"Personal";
}  // namespace

MovedDocuments::MovedDocuments(const std::wstring& folder)
    : saved_{{L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
              REG_EXPAND_SZ},
             {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
              REG_SZ}} {
  CreateDirectoryW(folder.c_str(), nullptr);
  const DWORD size = static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t));
  for (Saved& saved : saved_) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, saved.key, 0, nullptr, 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr);
    saved.handle = key;
    DWORD type = REG_NONE, length = 0;
    saved.present = RegQueryValueExW(key, kDocumentsValue, nullptr, &type, nullptr,
                                     &length) == ERROR_SUCCESS;
    saved.data.resize(length);
    if (saved.present) {
      RegQueryValueExW(key, kDocumentsValue, nullptr, &type, saved.data.data(), &length);
    }
    saved.type = type;
    RegSetValueExW(key, kDocumentsValue, 0, saved.new_type,
                   reinterpret_cast<const BYTE*>(folder.c_str()), size);
  }
}

MovedDocuments::~MovedDocuments() {
  for (Saved& saved : saved_) {
    HKEY key = static_cast<HKEY>(saved.handle);
    if (saved.present) {
      RegSetValueExW(key, kDocumentsValue, 0, saved.type, saved.data.data(),
                     static_cast<DWORD>(saved.data.size()));
    } else {
      RegDeleteValueW(key, kDocumentsValue);
    }
    RegCloseKey(key);
  }
}
