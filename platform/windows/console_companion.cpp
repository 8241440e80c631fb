#include "platform/windows/console_companion.h"

#include <windows.h>

#include <cstdio>

#include "messages/messages.h"
#include "platform/windows/wide_text.h"

namespace {

bool companion = false;

BOOL WINAPI ignore_interrupt(DWORD event) {
  return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
}

// A job that ends every process in it when its last handle closes, that is
// when this process ends however it ends (or its console is closed). A
// process the program starts with CREATE_BREAKAWAY_FROM_JOB may outlive it.
// Not inheritable: no program holds it open.
HANDLE closing_job() {
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job == nullptr) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags =
      JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_BREAKAWAY_OK;
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                               sizeof limits)) {
    CloseHandle(job);
    return nullptr;
  }
  return job;
}

}  // namespace

void become_console_companion(PathRules& rules) {
  companion = true;
  rules.companion_suffix = "-console";
}

bool is_console_companion() { return companion; }

void write_console_message(const std::string& caption, const std::string& text) {
  // A path or value may hold control sequences meant for the terminal.
  std::string block = escape_control_characters("[" + caption + "]\n" + text);
  if (block.back() != '\n') block += '\n';
  write_standard_error(block);
}

void write_standard_error(const std::string& text) {
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  fflush(stderr);
  if (GetConsoleMode(error, &mode)) {
    const std::wstring wide = to_utf16(text);
    for (size_t done = 0; done < wide.size();) {
      DWORD written = 0;
      const DWORD count = static_cast<DWORD>(wide.size() - done);
      if (!WriteConsoleW(error, wide.data() + done, count, &written, nullptr) ||
          written == 0) {
        return;
      }
      done += written;
    }
    return;
  }
  fwrite(text.data(), 1, text.size(), stderr);
  fflush(stderr);
}

void leave_interrupts_to_the_program() {
  SetConsoleCtrlHandler(ignore_interrupt, TRUE);
}

unsigned long run_to_its_end(void* process, void* thread) {
  // Where the job cannot be made or joined (a job around this one that
  // forbids it), the program still runs and is waited for; it only does not
  // end with this process then.
  HANDLE job = closing_job();
  if (job != nullptr && !AssignProcessToJobObject(job, process)) {
    CloseHandle(job);
    job = nullptr;
  }
  if (ResumeThread(thread) == static_cast<DWORD>(-1)) {
    const DWORD error = GetLastError();
    TerminateProcess(process, 1);
    CloseHandle(thread);
    CloseHandle(process);
    if (job != nullptr) CloseHandle(job);
    return error;
  }
  CloseHandle(thread);
  WaitForSingleObject(process, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process, &status);
  fflush(nullptr);
  // The job closes with this process: what the program left running in it
  // ends too.
  ExitProcess(status);
}
