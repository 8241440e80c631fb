#include "platform/windows/windows_system.h"

#include <windows.h>

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "commandline/quoting.h"
#include "platform/windows/console_companion.h"
#include "platform/windows/program_start.h"
#include "platform/windows/system_libraries.h"
#include "platform/windows/trace_output.h"
#include "platform/windows/wide_text.h"

namespace {

// The longest variable name or value the system keeps, and the longest
// command line it starts a program with, in UTF-16 code units without the
// terminating NUL.
constexpr size_t kMaxVariableUnits = 32766;
constexpr size_t kMaxCommandLineUnits = 32766;

const char kStartFailed[] = "Error when executing execv";

// FOLDERID_Documents, here rather than from the import library's table of
// every known GUID.
const GUID kDocumentsFolder = {
    0xfdd39ad0, 0x238f, 0x46af, {0xad, 0xb4, 0x6c, 0x85, 0x48, 0x03, 0x69, 0xc7}};

// A file read through its handle, which no program started later inherits.
class HandleFile : public InputFile {
 public:
  explicit HandleFile(HANDLE file) : file_(file) {}
  ~HandleFile() override { CloseHandle(file_); }

  bool read(char* buffer, size_t size, size_t* count) override {
    DWORD got = 0;
    const DWORD wanted = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    const bool read = ReadFile(file_, buffer, wanted, &got, nullptr) != 0;
    *count = read ? got : 0;
    return read;
  }

 private:
  HANDLE file_;
};

// The volume and index that identify the file at |path|; false when it
// cannot be opened.
bool file_identity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
  HANDLE file = CreateFileW(to_utf16(path).c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool known = GetFileInformationByHandle(file, info) != 0;
  CloseHandle(file);
  return known;
}

bool has_nul(const std::string& text) {
  return text.find('\0') != std::string::npos;
}

// A name the system accepts: not empty, no "=" (which ends a name in the
// environment block), no NUL.
bool valid_variable_name(const std::string& name) {
  return !name.empty() && name.find('=') == std::string::npos && !has_nul(name);
}

// The system's legacy ("ANSI") code page, which old INI files are written
// in. Asked of the system locale itself: CP_ACP is UTF-8 for a program whose
// manifest asks for it. 0 where the locale has none.
unsigned legacy_code_page() {
  DWORD code_page = 0;
  if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT,
                     LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                     reinterpret_cast<LPWSTR>(&code_page),
                     sizeof code_page / sizeof(wchar_t)) == 0) {
    return 0;
  }
  return code_page;
}

}  // namespace

void WindowsSystem::adopt_user_locale() {
  setlocale(LC_ALL, "");
  // Read once, as the launcher was started: the INI file cannot change them.
  std::string dry_run, trace;
  const bool trace_set = get_environment("VELMORA_LAUNCHER_TRACE", &trace);
  dry_run_ = get_environment("VELMORA_LAUNCHER_DRY_RUN", &dry_run) &&
             is_dry_run(dry_run.c_str());
  trace_output_ = open_trace_output(trace_set ? trace.c_str() : nullptr, dry_run_);
  trace_.attach(trace_output_.get());
}

std::string WindowsSystem::current_directory() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  for (;;) {
    if (size == 0) return std::string();
    std::wstring directory(size, L'\0');
    DWORD length = GetCurrentDirectoryW(size, &directory[0]);
    if (length < size) {
      directory.resize(length);
      return length == 0 ? std::string() : to_utf8(directory);
    }
    size = length;  // changed in between: the size it needs now
  }
}

bool WindowsSystem::is_regular_file(const std::string& path) {
  struct _stat status;
  return !has_nul(path) && _wstat(to_utf16(path).c_str(), &status) == 0 &&
         (status.st_mode & _S_IFREG) != 0;
}

std::string WindowsSystem::executable_path() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, &path[0],
                                      static_cast<DWORD>(path.size()));
    if (length == 0) return std::string();
    if (length < path.size()) {
      path.resize(length);
      return to_utf8(path);
    }
    path.resize(path.size() * 2);
  }
}

bool WindowsSystem::same_file(const std::string& first,
                              const std::string& second) {
  BY_HANDLE_FILE_INFORMATION first_info, second_info;
  return !has_nul(first) && !has_nul(second) &&
         file_identity(first, &first_info) && file_identity(second, &second_info) &&
         first_info.dwVolumeSerialNumber == second_info.dwVolumeSerialNumber &&
         first_info.nFileIndexHigh == second_info.nFileIndexHigh &&
         first_info.nFileIndexLow == second_info.nFileIndexLow;
}

bool WindowsSystem::get_environment(const std::string& name, std::string* value) {
  if (has_nul(name)) return false;
  const std::wstring* found = environment_.find(to_utf16(name));
  if (found == nullptr) return false;
  *value = to_utf8(*found);
  return true;
}

bool WindowsSystem::set_environment(const std::string& name,
                                    const std::string& value) {
  if (!valid_variable_name(name) || has_nul(value)) return false;
  const std::wstring wide_name = to_utf16(name), wide_value = to_utf16(value);
  // Refused rather than cut short.
  if (wide_name.size() > kMaxVariableUnits || wide_value.size() > kMaxVariableUnits) {
    return false;
  }
  environment_.set(wide_name, wide_value);
  return true;
}

bool WindowsSystem::append_environment(const std::string& name,
                                       const std::string& suffix) {
  if (!valid_variable_name(name) || has_nul(suffix)) return false;
  const std::wstring wide_name = to_utf16(name), wide_suffix = to_utf16(suffix);
  const std::wstring* value = environment_.find(wide_name);
  const size_t length = (value == nullptr ? 0 : value->size()) + wide_suffix.size();
  if (wide_name.size() > kMaxVariableUnits || length > kMaxVariableUnits) return false;
  environment_.append(wide_name, wide_suffix);
  return true;
}

std::string WindowsSystem::documents_folder() {
  // Where the folder is now, of any length, whether or not it exists.
  const auto known_folder_path = known_folder_path_function();
  const auto task_memory_free = task_memory_free_function();
  if (known_folder_path == nullptr || task_memory_free == nullptr) return std::string();
  wchar_t* folder = nullptr;
  std::string result;
  if (SUCCEEDED(known_folder_path(kDocumentsFolder, KF_FLAG_DONT_VERIFY, nullptr,
                                  &folder))) {
    result = to_utf8(folder, wcslen(folder));
  }
  task_memory_free(folder);
  return result;
}

std::unique_ptr<InputFile> WindowsSystem::open_file(const std::string& path) {
  if (has_nul(path)) return nullptr;
  // Not inheritable: the program started later never holds the file open.
  HANDLE file = CreateFileW(to_utf16(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  // Checked on the opened file, not by a second look-up of the path: a
  // regular file on a disk, not a directory, pipe or device.
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    CloseHandle(file);
    return nullptr;
  }
  return std::unique_ptr<InputFile>(new HandleFile(file));
}

std::string WindowsSystem::decode_legacy_text(const std::string& bytes) {
  static const unsigned code_page = legacy_code_page();
  if (code_page == 0 || code_page == CP_UTF8 || bytes.empty()) return bytes;
  int length = MultiByteToWideChar(code_page, 0, bytes.data(),
                                   static_cast<int>(bytes.size()), nullptr, 0);
  if (length <= 0) return bytes;
  std::wstring text(length, L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()),
                      &text[0], length);
  return to_utf8(text);
}

std::string WindowsSystem::load_string(int id) {
  // Read from the string table as the system's LoadStringW reads it (which
  // would need USER32): the block of ids 16n to 16n+15 is resource n+1, in
  // the user's interface language as the system picks it, and holds 16
  // strings, each a UTF-16 count followed by as many units.
  if (id < 0 || id > 0xFFFF) return std::string();
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC block = FindResourceW(module, MAKEINTRESOURCEW((id >> 4) + 1),
                              MAKEINTRESOURCEW(6) /* RT_STRING */);
  HGLOBAL loaded = block == nullptr ? nullptr : LoadResource(module, block);
  const wchar_t* units =
      loaded == nullptr ? nullptr : static_cast<const wchar_t*>(LockResource(loaded));
  if (units == nullptr) return std::string();
  const size_t size = SizeofResource(module, block) / sizeof(wchar_t);
  size_t at = 0;
  for (int skipped = 0; skipped < (id & 15) && at < size; ++skipped) {
    at += 1 + units[at];
  }
  if (at >= size || units[at] == 0 || units[at] > size - at - 1) return std::string();
  return to_utf8(units + at + 1, units[at]);
}

void WindowsSystem::display_message(const std::string& caption,
                                    const std::string& text, MessageKind) {
  if (is_console_companion()) {  // a script must not wait on a box
    write_console_message(caption, text);
    return;
  }
  const auto message_box = message_box_function();
  if (message_box != nullptr) {
    message_box(nullptr, to_utf16(text).c_str(), to_utf16(caption).c_str(), MB_OK);
  }
}

void WindowsSystem::write_output(const std::string& text) {
  fwrite(text.data(), 1, text.size(), stdout);
  fflush(stdout);
}

// The error line of a failed start, |reason| in UTF-8, and its trace.
void WindowsSystem::report_start_failure(const std::string& reason) {
  trace_.line("start failed: " + reason);
  write_standard_error(std::string(kStartFailed) + ": " + reason + "\n");
}

// The system takes no longer command line; it is not cut short.
bool WindowsSystem::fits(const std::wstring& command_line) {
  if (command_line.size() <= kMaxCommandLineUnits) return true;
  const wchar_t* reason = _wcserror(E2BIG);
  report_start_failure(to_utf8(reason, wcslen(reason)));
  return false;
}

bool WindowsSystem::check_start(const std::string& path,
                                const std::vector<std::string>& arguments) {
  if (!is_regular_file(path)) {
    report_start_failure(to_utf8(system_error_text(ERROR_FILE_NOT_FOUND)));
    return false;
  }
  return fits(to_utf16(join_command_line(arguments)));
}

void WindowsSystem::start_program(const std::string& path,
                                  const std::vector<std::string>& arguments) {
  std::wstring command_line = to_utf16(join_command_line(arguments));
  if (!fits(command_line)) return;
  trace_.line("starting the program");
  const unsigned long error =
      start_in_place(to_utf16(path), std::move(command_line), environment_.block());
  report_start_failure(to_utf8(system_error_text(error)));
}
