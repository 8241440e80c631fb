#include "platform/windows/trace_output.h"

#include <windows.h>

#include <string>

#include "paths/path_rules.h"
#include "platform/windows/console_companion.h"
#include "platform/windows/wide_text.h"

namespace {

class HandleWriter : public TraceWriter {
 public:
  HandleWriter(HANDLE handle, bool owned) : handle_(handle), owned_(owned) {}
  ~HandleWriter() override {
    if (owned_) CloseHandle(handle_);
  }

  // One write per line, so that lines of launchers sharing a file stay
  // whole; a line that cannot be written is dropped.
  void write_line(const std::string& line) override {
    DWORD written = 0;
    WriteFile(handle_, line.data(), static_cast<DWORD>(line.size()), &written,
              nullptr);
  }

 private:
  HANDLE handle_;
  bool owned_;
};

// Standard error that is a console: text goes as UTF-16.
class ConsoleWriter : public TraceWriter {
 public:
  void write_line(const std::string& line) override { write_standard_error(line); }
};

// Opens |path| for appending; not inheritable (no security attributes).
std::unique_ptr<TraceWriter> append_to(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::unique_ptr<TraceWriter>(new HandleWriter(file, true));
}

}  // namespace

std::unique_ptr<TraceWriter> open_trace_output(const char* setting, bool dry_run) {
  TraceTarget target = trace_target(setting, windows_path_rules());
  if (target == TraceTarget::kOff && dry_run) target = TraceTarget::kStandardError;
  if (target == TraceTarget::kOff) return nullptr;
  if (target == TraceTarget::kFile) return append_to(to_utf16(setting));

  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error != nullptr && error != INVALID_HANDLE_VALUE) {
    DWORD type = GetFileType(error), mode = 0;
    if (GetConsoleMode(error, &mode)) {
      return std::unique_ptr<TraceWriter>(new ConsoleWriter);
    }
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE || type == FILE_TYPE_CHAR) {
      return std::unique_ptr<TraceWriter>(new HandleWriter(error, false));
    }
  }
  wchar_t temp[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  if (length == 0 || length > MAX_PATH) return nullptr;
  return append_to(std::wstring(temp, length) + L"velmora-launcher-trace.log");
}
