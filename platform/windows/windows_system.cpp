#include "platform/windows/windows_system.h"

#include <windows.h>
#include <shlobj.h>

#include <direct.h>
#include <process.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "commandline/quoting.h"

namespace {

// The longest variable name or value the system keeps, and the longest
// command line it starts a program with, in UTF-16 code units without the
// terminating NUL. The runtime's _putenv faults on a longer value, and
// _execv cuts a longer command line without a word.
constexpr size_t kMaxVariableUnits = 32766;
constexpr size_t kMaxCommandLineUnits = 32766;
// The narrow system functions carry a text in a counted string of 16-bit
// byte length, one byte kept for the NUL: a longer variable arrives cut.
constexpr size_t kMaxNarrowBytes = 65534;

const char kStartFailed[] = "Error when executing execv";

class StdioFile : public InputFile {
 public:
  explicit StdioFile(FILE* file) : file_(file) {}
  ~StdioFile() override { fclose(file_); }

  bool read(char* buffer, size_t size, size_t* count) override {
    *count = 0;
    if (at_end_) return true;
    *count = fread(buffer, 1, size, file_);
    if (*count < size && ferror(file_)) {
      *count = 0;
      return false;
    }
    // A Ctrl-Z ends a text file, as the runtime's text mode reads it; old
    // editors still write one at the end.
    const void* end_of_file = memchr(buffer, '\x1A', *count);
    if (end_of_file != nullptr) {
      *count = static_cast<const char*>(end_of_file) - buffer;
      at_end_ = true;
    }
    return true;
  }

 private:
  FILE* file_;
  bool at_end_ = false;
};

// |text| in UTF-16, from the narrow code page the runtime uses.
std::wstring to_wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(),
                                   static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(length > 0 ? length : 0, L'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                        &wide[0], length);
  }
  return wide;
}

std::string to_narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  int length = WideCharToMultiByte(CP_ACP, 0, text.data(),
                                   static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
  std::string narrow(length > 0 ? length : 0, '\0');
  if (length > 0) {
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                        &narrow[0], length, nullptr, nullptr);
  }
  return narrow;
}

// The length of |text| in UTF-16 code units, as the system converts it from
// the narrow code page.
size_t utf16_length(const std::string& text) {
  if (text.empty()) return 0;
  if (text.size() > static_cast<size_t>(INT_MAX)) return text.size();
  return static_cast<size_t>(MultiByteToWideChar(
      CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0));
}

// True when the system keeps |text| as a variable's name or value whole.
bool fits_variable(const std::string& text) {
  return text.size() <= kMaxNarrowBytes && utf16_length(text) <= kMaxVariableUnits;
}

// The volume and index that identify the file at |path|; false when it
// cannot be opened.
bool file_identity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
  HANDLE file = CreateFileW(to_wide(path).c_str(), FILE_READ_ATTRIBUTES,
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

}  // namespace

void WindowsSystem::adopt_user_locale() { setlocale(LC_ALL, ""); }

std::string WindowsSystem::current_directory() {
  char* directory = _getcwd(nullptr, 0);  // allocated to fit
  if (directory == nullptr) return std::string();
  std::string result(directory);
  free(directory);
  return result;
}

bool WindowsSystem::is_regular_file(const std::string& path) {
  struct _stat status;
  return !has_nul(path) && _stat(path.c_str(), &status) == 0 &&
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
      return to_narrow(path);
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
  const char* found = getenv(name.c_str());
  if (found == nullptr) return false;
  value->assign(found);
  return true;
}

bool WindowsSystem::set_environment(const std::string& name,
                                    const std::string& value) {
  if (has_nul(name) || has_nul(value)) return false;
  // Refused rather than cut short (or, for a long value, a fault in the
  // runtime).
  if (!fits_variable(name) || !fits_variable(value)) return false;
  // "NAME=" removes NAME; the runtime copies the assignment.
  return _putenv((name + "=" + value).c_str()) == 0;
}

std::string WindowsSystem::documents_folder() {
  char folder[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder);
  return folder;
}

std::unique_ptr<InputFile> WindowsSystem::open_file(const std::string& path) {
  if (has_nul(path)) return nullptr;
  // Binary: the reader drops the carriage return of each line end itself.
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return nullptr;
  // Checked on the opened file, not by a second look-up of the path.
  struct _stat status;
  if (_fstat(_fileno(file), &status) != 0 || (status.st_mode & _S_IFREG) == 0) {
    fclose(file);
    return nullptr;
  }
  return std::unique_ptr<InputFile>(new StdioFile(file));
}

std::string WindowsSystem::load_string(int id) {
  // A string-table entry holds at most 4097 characters; in the UTF-8 code
  // page each takes up to three bytes.
  std::string text(3 * 4097 + 1, '\0');
  int length = LoadStringA(GetModuleHandleA(nullptr), id, &text[0],
                           static_cast<int>(text.size()));
  text.resize(length > 0 ? length : 0);
  return text;
}

void WindowsSystem::display_message(const std::string& caption,
                                    const std::string& text, MessageKind) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

void WindowsSystem::write_output(const std::string& text) {
  fwrite(text.data(), 1, text.size(), stdout);
  fflush(stdout);
}

void WindowsSystem::start_program(const std::string& path,
                                  const std::vector<std::string>& arguments) {
  // The runtime would start the program with the command line cut short.
  if (utf16_length(join_command_line(arguments)) > kMaxCommandLineUnits) {
    errno = E2BIG;
    perror(kStartFailed);
    return;
  }
  std::vector<const char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  argv.push_back(nullptr);

  fflush(nullptr);
  // The runtime joins the elements with single blanks into the new
  // program's command line and ends this process once it has started.
  _execv(path.c_str(), argv.data());
  perror(kStartFailed);
}
